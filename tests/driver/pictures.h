// The pixels of the program's bitmap resources (the test programs carry the same resources),
// to compare with what a picture control shows on the screen.
#pragma once

#include <windows.h>

#include <vector>

namespace driver {

// Rows of a bitmap resource as loaded for a picture control (LR_LOADMAP3DCOLORS), as RGB() values.
std::vector<std::vector<COLORREF>> ResourceBitmapPixels(const wchar_t* name);

} // namespace driver
