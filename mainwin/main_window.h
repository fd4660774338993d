#pragma once

#include <windows.h>

// Builds the main window, runs it until it is closed and returns its end result (0).
INT_PTR ShowMainDialog();
