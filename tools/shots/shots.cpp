// Saves a picture of each window of the program (run by scripts/screenshots.sh).
#include <cstdio>
#include <cstdlib>

#include "base/globals.h"
#include "base/program_folder.h"
#include "base/text.h"
#include "convert/batch.h"
#include "convert/publish.h"
#include "infowin/info_windows.h"
#include "mainwin/main_ids.h"
#include "tests/support/support.h"
#include "toolkit/toolkit.h"
#include "tools/driver/clips.h"
#include "tools/driver/driver.h"

using namespace driver;
using test::Background;

namespace {

std::wstring gFolder;

void Save(HWND window, const wchar_t* name) {
    if (!window) {
        fwprintf(stderr, L"shots: no window for %ls\n", name);
        return;
    }
    BringToFront(window);
    Settle(window);
    Sleep(300); // let the virtual desktop finish drawing the frame
    SaveWindowBitmap(window, gFolder + L"\\" + name + L".bmp");
}

// The start window and the main window of the real program.
bool SaveProgramWindows() {
    Program program;
    Save(program.WaitForWindow("Tarvelle Video Converter. "), L"start-window");
    HWND main = program.WaitForMainWindow();
    Save(main, L"main-window");
    return main != nullptr;
}

// Restored from a settings file: an input folder, the custom mode and its parameters.
bool SaveStoredSettingsWindow() {
    ProgramOptions stored;
    stored.files = {{L"KESTO.ini", "<IN_DIR>D:\\Videos\\Holiday 2023</IN_DIR><MODE>2</MODE>"
                                   "<CUSTOM>-vf scale=iw/2:-2 -c:a aac</CUSTOM>"}};
    Program restored(stored);
    HWND main = restored.WaitForMainWindow();
    Save(main, L"main-window-stored-settings");
    return main != nullptr;
}

// A window that the main window opens, shown in this process in front of a stand-in owner.
void SaveOwnedWindow(void (*show)(), const char* caption, const wchar_t* name) {
    hMainDlg = CreateWin(nullptr, "owner", 0, 0, 200, 100, WS_POPUP | WS_CAPTION, 0, Units::Pixels);
    Background photographer([&] {
        HWND window = nullptr;
        WaitUntil([&] {
            window = FindTopWindow(GetCurrentProcessId(), caption);
            return window && IsWindowVisible(window);
        });
        Save(window, name);
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    show();
    photographer.Join();
    DestroyWindow(hMainDlg);
}

// The progress window half-way through a run, then the message that ends it: a real
// conversion of a 20-second clip, and a run of the fake converter that fails.
void SavePublishWindows(bool real, const char* endCaption, const wchar_t* endName) {
    const std::wstring plugIn = ProgramFolder() + L"\\PLUG-IN";
    CreateDirectoryW(plugIn.c_str(), nullptr);
    const std::wstring converter =
        real ? BuildProgramFolder() + L"\\PLUG-IN\\ffmpeg_III.exe" : FakeConverterPath();
    CopyFileW(converter.c_str(), (plugIn + L"\\ffmpeg_III.exe").c_str(), FALSE);
    SetEnvironmentVariableW(L"FAKECONV_EXIT", L"1");
    SetEnvironmentVariableW(L"FAKECONV_STDERR", FixturePath(L"win41_copy_webm.txt").c_str());
    const std::wstring folder = NewTempFolder(L"kesto-shots");
    const std::wstring clip = folder + L"\\holiday.mp4";
    if (real)
        MakeClip(clip, 20, L"640x360");
    else
        WriteBytes(clip, "a video");
    sInputFile = WideToUtf8(clip);
    sOutputFile = WideToUtf8(folder + L"\\holiday small.mp4");
    nMode = 1;
    hMainDlg = CreateWin(nullptr, "owner", 0, 0, 200, 100, WS_POPUP | WS_CAPTION, 0, Units::Pixels);
    AddChild(hMainDlg, "COMBOBOX", ID_COMPRESSION, "", 0, 0, 99, 190, CBS_DROPDOWNLIST, 0);
    SendDlgItemMessageA(hMainDlg, ID_COMPRESSION, CB_ADDSTRING, 0, LPARAM("Default"));
    SelectListItem(hMainDlg, ID_COMPRESSION, 0);
    AddChild(hMainDlg, "EDIT", ID_CUSTOM_PARAMS, "", 0, 30, 99, 20, 0, 0);
    Background photographer([&] {
        HWND progress = nullptr;
        WaitUntil([&] {
            progress = FindTopWindow(GetCurrentProcessId(), "Convert Video");
            return progress && IsWindowVisible(progress);
        });
        if (real) {
            // Once the converter has told how far it has come.
            WaitUntil([&] { return atoi(TextOf(GetDlgItem(progress, ID_PROGRESS_PERCENT)).c_str()) >= 20; },
                      60000);
            Save(progress, L"progress-window");
        }
        HWND box = nullptr;
        WaitUntil(
            [&] { return (box = FindTopWindow(GetCurrentProcessId(), endCaption, "#32770")) != nullptr; },
            120000);
        Save(box, endName);
        if (box) AnswerMessageBox(box, IDOK);
    });
    PublishVideos({{sInputFile, sOutputFile}}, {"Default", ""});
    photographer.Join();
    DestroyWindow(hMainDlg);
    RemoveTree(folder);
    DeleteFileW((plugIn + L"\\ffmpeg_III.exe").c_str());
    DeleteFileW((ProgramFolder() + L"\\kesto.log").c_str());
}

// Several videos in one go on the fake converter: the progress window during the second of
// three, then the closing message with a video that failed and one that was skipped.
void SaveBatchWindows() {
    const std::wstring plugIn = ProgramFolder() + L"\\PLUG-IN";
    CreateDirectoryW(plugIn.c_str(), nullptr);
    CopyFileW(FakeConverterPath().c_str(), (plugIn + L"\\ffmpeg_III.exe").c_str(), FALSE);
    SetEnvironmentVariableW(L"FAKECONV_EXIT", nullptr);
    SetEnvironmentVariableW(L"FAKECONV_OUTPUT", L"1");
    SetEnvironmentVariableW(L"FAKECONV_DELAY_MS", L"4000");
    SetEnvironmentVariableW(L"FAKECONV_FAIL_ON", L"damaged");
    SetEnvironmentVariableW(L"FAKECONV_STDERR", FixturePath(L"win41_reencode_720p.txt").c_str());
    const std::wstring folder = NewTempFolder(L"kesto-shots");
    std::vector<std::string> inputs;
    for (const wchar_t* name : {L"beach.avi", L"birthday party.mov", L"damaged.avi", L"garden.mp4"}) {
        WriteBytes(folder + L"\\" + name, "a video");
        inputs.push_back(WideToUtf8(folder + L"\\" + name));
    }
    const auto exists = [](const std::string& path) { return FileExists(FromCodePage(path)); };
    const auto same = [](const std::string& a, const std::string& b) { return a == b; };
    hMainDlg = CreateWin(nullptr, "owner", 0, 0, 200, 100, WS_POPUP | WS_CAPTION, 0, Units::Pixels);
    AddChild(hMainDlg, "COMBOBOX", ID_COMPRESSION, "", 0, 0, 99, 190, CBS_DROPDOWNLIST, 0);
    AddChild(hMainDlg, "EDIT", ID_CUSTOM_PARAMS, "", 0, 30, 99, 20, 0, 0);
    nMode = 0;
    Background photographer([&] {
        HWND progress = nullptr;
        WaitUntil([&] {
            progress = FindTopWindow(GetCurrentProcessId(), "Convert Video");
            return progress && TextOf(GetDlgItem(progress, ID_PROGRESS_VIDEO)).rfind("2 of", 0) == 0 &&
                   !TextOf(GetDlgItem(progress, ID_PROGRESS_PERCENT)).empty();
        });
        Sleep(1500);
        Save(progress, L"batch-progress-window");
        HWND box = nullptr;
        WaitUntil(
            [&] { return (box = FindTopWindow(GetCurrentProcessId(), "Attention", "#32770")) != nullptr; },
            60000);
        Save(box, L"batch-closing-message");
        if (box) AnswerMessageBox(box, IDOK);
    });
    PublishVideos(PlanOutputs(inputs, WideToUtf8(folder), ".mp4", exists, same), {"Default", ""});
    photographer.Join();
    DestroyWindow(hMainDlg);
    RemoveTree(folder);
    DeleteFileW((plugIn + L"\\ffmpeg_III.exe").c_str());
    DeleteFileW((ProgramFolder() + L"\\kesto.log").c_str());
}

} // namespace

int main() {
    const wchar_t* folder = _wgetenv(L"KESTO_SHOTS");
    gFolder = folder ? folder : L".";
    bool shown = SaveProgramWindows();
    shown &= SaveStoredSettingsWindow();
    SaveOwnedWindow(ShowHelpWindow, "Help", L"help-window");
    SaveOwnedWindow(ShowAboutWindow, "About", L"about-window");
    SavePublishWindows(true, "Information", L"finished-message");
    SavePublishWindows(false, "Attention", L"failed-message");
    SaveBatchWindows();
    return shown ? 0 : 1;
}
