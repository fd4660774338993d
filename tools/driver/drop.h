// Dropping files on a window of another process, as the shell does: a DROPFILES block in the
// target process and WM_DROPFILES posted to the window.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace driver {

// Drops `paths` at a client point of `window`; false when the block could not be placed.
bool DropFiles(HWND window, const std::vector<std::wstring>& paths, POINT at = {10, 10});

} // namespace driver
