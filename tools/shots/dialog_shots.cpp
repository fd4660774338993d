// Saves pictures of the two file dialogs (run by scripts/screenshots.sh). The dialogs are
// opened in this process through the program's own choosers, in a folder of sample files.
#include <cstdio>
#include <cstdlib>

#include "base/globals.h"
#include "files/file_choosers.h"
#include "mainwin/main_ids.h"
#include "tests/support/support.h"
#include "toolkit/toolkit.h"
#include "tools/driver/driver.h"
#include "tools/driver/file_dialog.h"

using namespace driver;
using test::Background;

namespace {

std::wstring gShotsFolder;

// Waits for the dialog in its details view, saves it and cancels it.
void SaveDialog(const char* title, const wchar_t* name) {
    HWND dialog = WaitForFileDialog(GetCurrentProcessId(), title);
    if (!dialog) {
        fwprintf(stderr, L"dialog_shots: no dialog for %ls\n", name);
        return;
    }
    WaitUntil([&] { return DetailsViewShown(dialog); }, 5000);
    BringToFront(dialog);
    Settle(dialog);
    Sleep(300); // let the virtual desktop finish drawing the frame
    SaveWindowBitmap(dialog, gShotsFolder + L"\\" + name + L".bmp");
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

} // namespace

int main() {
    const wchar_t* shots = _wgetenv(L"KESTO_SHOTS");
    gShotsFolder = shots ? shots : L".";
    const std::wstring samples = NewTempFolder(L"kesto-samples");
    for (const wchar_t* file :
         {L"holiday.mp4", L"holiday.flv", L"interview.avi", L"\u00e9t\u00e9 \u4e2d.mov", L"notes.txt"})
        WriteBytes(samples + L"\\" + file, std::string(2048, 'v'));
    CreateDirectoryW((samples + L"\\Older clips").c_str(), nullptr);

    HWND owner = CreateWin(nullptr, "dialog owner", 20, 20, 400, 60, WS_POPUP | WS_CAPTION, 0, Units::Pixels);
    AddChild(owner, "STATIC", ID_INPUT_PATH, "", 5, 5, 390, 20, SS_LEFT, 0);
    ShowModeless(owner, nullptr);
    hMainDlg = owner;
    const std::string folder = WideToUtf8(samples);
    {
        Background user([] { SaveDialog("Load Video", L"load-video-dialog"); });
        ChooseInputVideo(owner, folder);
    }
    {
        Background user([] { SaveDialog("Convert Video", L"convert-video-dialog"); });
        ChooseOutputVideo(owner, folder);
    }
    EndWin(owner, 0);
    RemoveTree(samples);
    return 0;
}
