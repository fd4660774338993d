// Helpers of the in-process tests of the start, help and about windows.
#pragma once

#include <windows.h>

#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/globals.h"
#include "tests/driver/driver.h"
#include "tests/wine/background.h"
#include "toolkit/toolkit.h"

namespace checks {

// A visible top-level window of this process with exactly this caption.
inline HWND WaitForOwnWindow(const std::string& caption) {
    HWND found = nullptr;
    driver::WaitUntil([&] {
        found = driver::FindTopWindow(GetCurrentProcessId(), caption);
        return found && IsWindowVisible(found);
    });
    return found;
}

// Handles this thread's messages until the event is set: a second thread may still be
// sending messages to this thread's windows.
inline void PumpUntil(HANDLE event) {
    while (MsgWaitForMultipleObjects(1, &event, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

// Runs `show` (a window's modal run) on this thread while `user` works with the window on a
// second thread; a window that `user` leaves open is closed afterwards.
inline void WhileShown(void (*show)(), const std::string& caption, const std::function<void(HWND)>& user) {
    HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    Background background([&] {
        HWND window = WaitForOwnWindow(caption);
        if (!window || !IsWindowVisible(window)) {
            ADD_FAILURE() << "no visible window \"" << caption << "\"";
        } else {
            driver::Settle(window);
            user(window);
        }
        if (window && IsWindow(window)) PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        SetEvent(finished);
    });
    show();
    PumpUntil(finished);
    CloseHandle(finished);
}

// Stands in for the main window as the owner of the help and about windows.
class StandInMainWindow {
  public:
    StandInMainWindow() {
        hMainDlg = CreateWin(nullptr, "stand-in main window", 0, 0, 300, 200,
                             WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, Units::Pixels);
        ShowModeless(hMainDlg, nullptr);
    }
    ~StandInMainWindow() {
        DestroyWindow(hMainDlg);
        hMainDlg = nullptr;
    }
    StandInMainWindow(const StandInMainWindow&) = delete;
    StandInMainWindow& operator=(const StandInMainWindow&) = delete;
    HWND Handle() const { return hMainDlg; }
};

inline std::vector<HWND> ChildrenInOrder(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

inline LOGFONTW FontOf(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

// A font's cell height in pixels for a point size on this screen.
inline LONG HeightOfPoints(int points) {
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    return height;
}

// Dialog units of a window to a client rectangle in pixels.
inline RECT UnitsToPixels(HWND window, int x, int y, int w, int h) {
    RECT place{x, y, w, h};
    MapDialogRect(window, &place);
    return {place.left, place.top, place.left + place.right, place.top + place.bottom};
}

inline bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline std::string Describe(const RECT& r) {
    char text[80];
    snprintf(text, sizeof text, "(%ld,%ld)-(%ld,%ld)", r.left, r.top, r.right, r.bottom);
    return text;
}

// How many screen pixels of a client rectangle show the colour.
inline int CountColour(HWND window, const RECT& area, COLORREF colour) {
    int count = 0;
    for (const auto& row : driver::Capture(window, area))
        for (COLORREF pixel : row)
            count += pixel == colour;
    return count;
}

inline POINT CentreOf(const RECT& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Moves the real mouse to a client point and waits until the system shows `wanted` there.
inline bool CursorBecomes(HWND window, POINT at, HCURSOR wanted) {
    driver::MoveMouse(window, at.x, at.y);
    return driver::WaitUntil([&] { return driver::CurrentCursor() == wanted; }, 3000);
}

inline HCURSOR Arrow() {
    return LoadCursor(nullptr, IDC_ARROW);
}

} // namespace checks
