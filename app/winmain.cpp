// The program's run: link cursor, start window, own folder as current directory, main window.
#include <windows.h>

#include "base/globals.h"
#include "base/program_folder.h"
#include "base/settings.h"
#include "base/text.h"
#include "convert/looks.h"
#include "convert/output_place.h"
#include "files/video_paths.h"
#include "infowin/info_windows.h"
#include "mainwin/main_window.h"

namespace {

// Paths named on the command line ("Open with", "Send to", files or folders dropped on the
// program's icon) are meant from the folder the program was started in: they are made full
// before the program moves to its own folder.
std::vector<std::wstring> PathsNamed(const char* arguments) {
    const std::string caller = CurrentDirectory();
    std::vector<std::wstring> paths;
    for (const std::string& argument : SplitArguments(arguments ? arguments : ""))
        paths.push_back(FromCodePage(FullPathFrom(caller, argument)));
    return paths;
}

// They load as a drop would load them: files, and the videos inside folders; anything else is
// ignored. The main window is not made yet: it shows what these globals hold when it is.
void LoadVideosNamed(const std::vector<std::wstring>& paths) {
    sInputFiles = VideosAmong(paths, true);
    if (sInputFiles.empty()) return;
    LookAhead(sInputFiles);
    sInputFile = sInputFiles.front();
    sInputDir = FolderOfFile(sInputFile);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
    // Tells the installer and the uninstaller that a copy runs (they ask for it to be closed); the
    // system lets it go when the process ends, however it ends.
    CreateMutexW(nullptr, FALSE, L"KESTO Video Converter running");
    const std::vector<std::wstring> named = PathsNamed(arguments);
    hLinkCursor = LoadCursorA(instance, "autor");
    ShowStartWindow();
    SetCurrentDirectoryW(FolderWithBackslashOf(ModulePath()).c_str());
    const std::wstring notice = ChooseDataFolder();
    LoadSettings();
    if (!notice.empty())
        MessageBoxW(nullptr, notice.c_str(), L"Information", MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
    LoadVideosNamed(named);
    // A run that ended with the program (killed, or the machine turned off) may have left a
    // temporary output in the last output folder; one opened with the program is the user's.
    RemoveLeftoverOutputs(sOutputDir, sInputFiles);
    ShowMainDialog();
    StopLooking();
    SaveSettings();
    return 0;
}
