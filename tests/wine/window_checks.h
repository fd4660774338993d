// Helpers of the in-process tests of the start, help and about windows.
#pragma once

#include <windows.h>

#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <utility>
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

// Runs `show` (a window's modal run) on this thread while `user` works with the window on a
// second thread; a window that `user` leaves open is closed afterwards.
inline void WhileShown(void (*show)(), const std::string& caption, const std::function<void(HWND)>& user) {
    if (!hLinkCursor) hLinkCursor = LoadCursorA(GetModuleHandleW(nullptr), "autor"); // as WinMain does
    HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    Background background([&] {
        HWND window = WaitForOwnWindow(caption);
        if (window) {
            driver::Settle(window);
            user(window);
        } else {
            ADD_FAILURE() << "no visible window \"" << caption << "\"";
        }
        if (window && IsWindow(window)) PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        SetEvent(finished);
    });
    show();
    // The second thread may still send messages to this thread's windows.
    while (MsgWaitForMultipleObjects(1, &finished, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    CloseHandle(finished);
}

// Stands in for the main window as the owner of the help and about windows.
struct StandInMainWindow {
    StandInMainWindow() {
        hMainDlg = CreateWin(nullptr, "stand-in", 0, 0, 300, 200, WS_POPUP | WS_CAPTION, 0, Units::Pixels);
        ShowModeless(hMainDlg, nullptr);
    }
    ~StandInMainWindow() { DestroyWindow(std::exchange(hMainDlg, nullptr)); }
};

inline std::vector<HWND> ChildrenInOrder(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// "face height weight italic" of a control's font; heights as a point size on this screen gives them.
inline std::string FontOf(HWND control) {
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return std::string(font.lfFaceName) + " " + std::to_string(font.lfHeight) + " " +
           std::to_string(font.lfWeight) + (font.lfItalic ? " italic" : "");
}
inline std::string Font(const char* face, int points, int weight, bool italic) {
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    return std::string(face) + " " + std::to_string(height) + " " + std::to_string(weight) +
           (italic ? " italic" : "");
}

inline std::string Describe(const RECT& r) {
    char text[80];
    snprintf(text, sizeof text, "(%ld,%ld)-(%ld,%ld)", r.left, r.top, r.right, r.bottom);
    return text;
}

// Dialog units of a window to a client rectangle in pixels.
inline std::string UnitsToPixels(HWND window, int x, int y, int w, int h) {
    RECT place{x, y, w, h};
    MapDialogRect(window, &place);
    return Describe({place.left, place.top, place.left + place.right, place.top + place.bottom});
}

// How many screen pixels of a client rectangle show the colour.
inline int CountColour(HWND window, const RECT& area, COLORREF colour) {
    int count = 0;
    for (const auto& row : driver::Capture(window, area))
        for (COLORREF pixel : row)
            count += pixel == colour;
    return count;
}

// Moves the real mouse to the centre of a client rectangle and waits until the system shows
// the link cursor there, or the arrow.
inline bool CursorBecomes(HWND window, const RECT& r, bool link) {
    driver::MoveMouse(window, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    HCURSOR wanted = link ? hLinkCursor : LoadCursor(nullptr, IDC_ARROW);
    return driver::WaitUntil([&] { return driver::CurrentCursor() == wanted; }, 3000);
}

} // namespace checks
