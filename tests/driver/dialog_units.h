// Dialog units of the program's window font ("MS Sans Serif" 8 pt) in pixels, measured on a
// hidden dialog of the test process built with that font, so that tests of another process's
// windows know where a control given in dialog units must lie.
#pragma once

#include <windows.h>

namespace driver {

// x, y, w, h in dialog units to left, top, right, bottom in pixels.
RECT DialogUnitsToPixels(int x, int y, int w, int h);

} // namespace driver
