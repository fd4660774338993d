#pragma once

#include <windows.h>

// The main window's callback: paints its buttons and carries out its commands.
INT_PTR MainDialogCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
