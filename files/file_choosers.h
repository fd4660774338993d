// The input and output file choosers and the common file dialog they share. They run
// modally on the user-interface thread, owned by the main window.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The "Load Video" open dialog, starting in startDir (the current directory when empty), where
// several files may be chosen at once. An accepted choice moves sInputDir to the folder it came
// from and shows the path (or the videos) in the main window's input-path label. Returns every
// path, or none when nothing was accepted.
std::vector<std::string> ChooseInputVideos(HWND owner, const std::string& startDir);
// The same, giving the first path chosen, or "".
std::string ChooseInputVideo(HWND owner, const std::string& startDir);

// The "Convert Video" save dialog, starting in startDir. An accepted choice moves
// sOutputDir. Returns the path (its extension selects the output format) or "".
std::string ChooseOutputVideo(HWND owner, const std::string& startDir);

// The same dialog for several videos, proposing the first one's name: the folder and the type
// chosen apply to them all, so nothing is asked about the file of that name.
std::string ChooseBatchOutput(HWND owner, const std::string& startDir, const std::string& firstVideo);

// Runs the open dialog (saveMode 0) or the save dialog (any other value). filter may be
// NUL- or "|"-separated. On return fileName holds the chosen path and flags the dialog's
// flag word. Returns nonzero when the user accepted a choice.
int RunFileDialog(HWND owner, const std::string& title, std::string& fileName, const std::string& startDir,
                  std::string filter, const std::string& defaultExt, DWORD& flags, int saveMode,
                  std::vector<std::string>* allPaths = nullptr);

// Keeps the dialog's folder view in the details view on every notification.
UINT_PTR CALLBACK FileDialogHook(HWND hookDialog, UINT message, WPARAM wParam, LPARAM lParam);
