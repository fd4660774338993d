// Saves a picture of each window of the program (run by scripts/screenshots.sh).
#include <cstdio>
#include <cstdlib>

#include "tests/driver/driver.h"

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

} // namespace

int main() {
    const wchar_t* folder = _wgetenv(L"KESTO_SHOTS");
    gFolder = folder ? folder : L".";
    Program program;
    HWND main = program.WaitForMainWindow();
    Save(main, L"main-window");

    // Restored from a settings file: an input folder, the custom mode and its parameters.
    ProgramOptions stored;
    stored.files = {{L"KESTO.ini", "<IN_DIR>D:\\Videos\\Holiday 2023</IN_DIR><MODE>2</MODE>"
                                   "<CUSTOM>-vf scale=iw/2:-2 -c:a aac</CUSTOM>"}};
    Program restored(stored);
    HWND restoredMain = restored.WaitForMainWindow();
    Save(restoredMain, L"main-window-stored-settings");
    return main && restoredMain ? 0 : 1;
}
