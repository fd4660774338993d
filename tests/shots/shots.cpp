// Saves a picture of each window of the program (run by scripts/screenshots.sh).
#include <cstdio>
#include <cstdlib>

#include "app/globals.h"
#include "infowin/info_windows.h"
#include "tests/driver/driver.h"
#include "tests/wine/background.h"
#include "toolkit/toolkit.h"

using namespace driver;

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

} // namespace

int main() {
    const wchar_t* folder = _wgetenv(L"KESTO_SHOTS");
    gFolder = folder ? folder : L".";
    bool shown = SaveProgramWindows();
    shown &= SaveStoredSettingsWindow();
    SaveOwnedWindow(ShowHelpWindow, "Help", L"help-window");
    SaveOwnedWindow(ShowAboutWindow, "About", L"about-window");
    return shown ? 0 : 1;
}
