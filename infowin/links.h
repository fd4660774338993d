// What the start and about windows share: link labels with the hand cursor, opened by the shell.
#pragma once

#include <windows.h>

#include <initializer_list>

#include "infowin/info_texts.h"

// Asks the shell to open the request's file with its verb (the default verb when empty).
// The result is not examined: without a browser or mail program nothing happens.
void AskShell(const ShellRequest& request);

// Answers WM_SETCURSOR: the link cursor over one of these controls (1), elsewhere the
// default handling (0).
INT_PTR ShowLinkCursorOver(HWND window, WPARAM pointed, std::initializer_list<int> ids);

// The close command, however it arrives (close box, system menu, Alt+F4).
bool IsCloseCommand(WPARAM sysCommand);
