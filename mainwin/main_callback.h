#pragma once

#include <windows.h>

// The main window's callback: paints its buttons and carries out its commands.
INT_PTR MainDialogCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Tab reaches the options once, at the checked one, as in every group of options.
void KeepTabStopOnCheckedOption(HWND window);
