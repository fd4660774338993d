// The program's run: link cursor, start window, own folder as current directory, main window.
#include <windows.h>

#include "app/globals.h"
#include "app/program_folder.h"
#include "app/settings.h"
#include "app/text.h"
#include "files/video_paths.h"
#include "infowin/info_windows.h"
#include "mainwin/main_window.h"

namespace {

// Files named on the command line ("Open with", "Send to", files dropped on the program's icon)
// are loaded as Load would load them; anything else there is ignored.
void LoadVideosNamed(const char* arguments) {
    std::vector<std::wstring> paths;
    for (const std::string& argument : SplitArguments(arguments ? arguments : ""))
        paths.push_back(FromCodePage(argument));
    sInputFiles = VideosAmong(paths, false);
    if (sInputFiles.empty()) return;
    sInputFile = sInputFiles.front();
    sInputDir = FolderOfFile(sInputFile);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
    hLinkCursor = LoadCursorA(instance, "autor");
    ShowStartWindow();
    SetCurrentDirectoryW(FolderWithBackslashOf(ModulePath()).c_str());
    LoadSettings();
    LoadVideosNamed(arguments);
    ShowMainDialog();
    SaveSettings();
    return 0;
}
