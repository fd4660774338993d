#pragma once

#include <windows.h>

// Fills the client area of the window that owns `dc` with the gradient of `hue` (blue, green,
// red or grey); any other colour leaves it as it is. Keeps no GDI object.
void PaintButtonFace(HDC dc, COLORREF hue);
