// Mouse moves that hold under Wine. When the pointer is moved (SendInput warps the X pointer),
// the X server can still deliver a motion event from before the move to the window's thread,
// and Wine then puts the pointer back where it was; a click that follows lands there. These
// helpers repeat the move until the pointer stays at its target.
#pragma once

#include <windows.h>

namespace driver {

// Moves the real mouse to a client point of `window` and waits until it stays there.
bool MovePointer(HWND window, int x, int y);
// A steady move, then a press and release of the left button.
void ClickPointer(HWND window, int x, int y);
// A steady click in the middle of a control.
void ClickControl(HWND control);
// A steady click on a window's close box.
void ClickCloseBoxSteadily(HWND window);

} // namespace driver
