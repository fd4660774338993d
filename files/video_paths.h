// Videos given by path rather than chosen in the dialog: dropped on the main window, or named on
// the command line ("Open with", "Send to", files dropped on the program's icon).
#pragma once

#include <string>
#include <vector>

// The paths that can be converted, in the process code page: existing files, and (with
// `openFolders`) the videos directly inside a folder, by the extensions of the input filter list,
// in name order, hidden and system files left out. A name the code page cannot spell is left out: the
// converter would get "?".
std::vector<std::string> VideosAmong(const std::vector<std::wstring>& paths, bool openFolders);
