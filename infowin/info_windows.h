// The start window (before the main window), and the help and about windows that the
// main window opens. Each call returns when its window has closed.
#pragma once

#include <windows.h>

void ShowStartWindow();
INT_PTR StartWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Owned by hMainDlg, which stays disabled while the window is up.
void ShowHelpWindow();
INT_PTR HelpWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Owned by hMainDlg, which stays disabled while the window is up.
void ShowAboutWindow();
INT_PTR AboutWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
