// The Win32 side of display scale: what scale a window is shown at, and fonts, frames and
// bitmaps made for it. The per-monitor calls are looked up at run time: Windows 7 and 8 have
// them not, and then the system's one scale serves.
#pragma once

#include <windows.h>

#include "toolkit/scale.h"

// The dots per inch of the window's monitor (the system's where there is no such thing).
UINT DpiOfWindow(HWND window);
// The dots per inch the system's fonts and screen context are made for.
UINT SystemDpi();

// The outer rectangle of a window of this client size, frame and caption at `dpi`.
RECT OuterRectForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi);
int SystemMetricForDpi(int index, UINT dpi);

// The dialog manager leaves a new scale to the window's own handling (Windows 10 1703 and later).
void LeaveDpiChangesToWindow(HWND dialog);

// A TrueType face with the metrics of "MS Sans Serif" 8 pt, which scales smoothly and reaches
// characters beyond the legacy code page: the window font away from 96 dots per inch.
HFONT NewScalableWindowFont(UINT dpi);
// "MS Sans Serif" 8 pt at `dpi`, as a dialog template asks for it.
HFONT NewWindowFont(UINT dpi);
// A copy of `font`, made for the system's scale, at `scale` over 96 dots per inch.
HFONT FontAtScale(HFONT font, Scale scale);
// What dialog units are reckoned from.
LetterMeasure MeasureOf(HFONT font);

// A bitmap brought to another size with a smoothing filter (never by doubling pixels); the
// bitmap given is released when a new one is made.
HBITMAP ScaledSmoothly(HBITMAP natural, int width, int height);
SIZE BitmapSize(HBITMAP bitmap);
