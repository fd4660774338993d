// The run-time window toolkit: every window of the program is a dialog built from an
// empty in-memory template, its controls added one by one. Texts are byte strings in
// the process code page. User-interface thread only.
#pragma once

#include <windows.h>

#include <climits>
#include <initializer_list>
#include <string>

#include "toolkit/styles.h"

enum class Units { Dialog, Pixels };

// x or y given as kCentre centres the window in the work area of the screen.
constexpr int kCentre = INT_MIN;

// Colour values besides plain RGB: leave the system's colours, or draw transparently.
constexpr COLORREF kSystemColour = 0xFFFFFFFF;
constexpr COLORREF kTransparent = 0xFFFFFFFE;

// A window callback returns nonzero when it has handled the message; that result goes
// back to the system and the default dialog processing is skipped.
using WindowCallback = INT_PTR (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Creates a hidden window. In pixel units w and h are the client size; in dialog units they
// are units of the window font ("MS Sans Serif" 8 pt). Style 0 is a captioned modal frame.
HWND CreateWin(HWND owner, const std::string& caption, int x, int y, int w, int h, DWORD style, DWORD exStyle,
               Units units);

// Adds a control of a kind (default style when style is 0, see ComposeChildStyle).
HWND AddControl(HWND window, ControlKind kind, int id, const std::string& text, int x, int y, int w, int h,
                DWORD style = 0, DWORD exStyle = 0);

// Adds a child of any class with exactly the given style (plus WS_CHILD and WS_VISIBLE).
HWND AddChild(HWND window, const char* className, int id, const std::string& text, int x, int y, int w, int h,
              DWORD style, DWORD exStyle);

// Colours of a control, taking effect when it next asks its parent for colours.
void SetColours(HWND window, int id, COLORREF text, COLORREF background);
// Colours of the window itself: the background fills its client area.
void SetWindowColours(HWND window, COLORREF text, COLORREF background);

HFONT NewFont(const char* face, int points, bool bold, bool italic, bool underline = false,
              bool strikeOut = false, BYTE charset = DEFAULT_CHARSET);
void AssignFont(HWND window, int id, HFONT font);
void ReleaseFont(HFONT font);

void SetWindowIcon(HWND window, const wchar_t* iconName);
// Loads a bitmap resource into a picture control (at the control's client size when
// stretched) and releases the bitmap it replaces.
void SetImage(HWND window, int id, const wchar_t* bitmapName, bool stretched);
void SetControlImage(HWND control, const wchar_t* bitmapName, bool stretched);

std::string GetTextOf(HWND window);
void SetTextOf(HWND window, const std::string& text);
std::string GetItemText(HWND window, int id);
void SetItemText(HWND window, int id, const std::string& text);
void EnableItem(HWND window, int id, bool enabled);
void SetItemCheck(HWND window, int id, bool checked);
void SelectListItem(HWND window, int id, int index);
std::string GetSelectedListText(HWND window, int id);
// Repaints a control at once; for a transparent control the window beneath it too.
void RedrawItem(HWND window, int id);

// Lets the keyboard reach a clickable label (SS_NOTIFY): Tab stops at it and draws a focus
// rectangle, and Enter or Space click it as the mouse would.
void MakeLinkReachable(HWND window, int id);

// Orders the window's controls for Tab, the first one first; the others keep their places.
void SetTabOrder(HWND window, std::initializer_list<int> ids);

// Runs the window modally (its owner disabled meanwhile) until it is ended or destroyed.
INT_PTR RunModal(HWND window, WindowCallback callback);
void ShowModeless(HWND window, WindowCallback callback);
void EndWin(HWND window, INT_PTR result);

// Handles at most one waiting message of the thread; sleeps `milliseconds` when none waits,
// or, given a handle, waits at most that long for it to be signalled.
void ProcessPendingEvents(DWORD milliseconds, HANDLE endWaitOn = nullptr);
