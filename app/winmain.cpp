// The program's run: link cursor, start window, own folder as current directory, main window.
#include <windows.h>

#include "app/globals.h"
#include "app/program_folder.h"
#include "app/settings.h"
#include "app/text.h"
#include "infowin/info_windows.h"
#include "mainwin/main_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    hLinkCursor = LoadCursorA(instance, "autor");
    ShowStartWindow();
    SetCurrentDirectoryW(FolderWithBackslashOf(ModulePath()).c_str());
    LoadSettings();
    ShowMainDialog();
    SaveSettings();
    return 0;
}
