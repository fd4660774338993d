#pragma once

#include <windows.h>

// The main window's callback: paints its buttons and carries out its commands.
INT_PTR MainDialogCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// From and To cut one video in the usual or the fast mode: not several, not custom parameters.
void EnablePartFields(HWND window);

// Tab reaches the options once, at the checked one, as in every group of options.
void KeepTabStopOnCheckedOption(HWND window);
