// Helpers of the in-process tests: a window's modal run on the test's thread while a second
// thread acts as the user, and the program's own windows found by caption.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "tests/support/support.h"

// A visible top-level window of this process with exactly this caption, or null.
inline HWND OwnWindow(const std::string& caption, DWORD timeoutMs = test::kTimeout) {
    return test::WaitForWindow(GetCurrentProcessId(), caption, timeoutMs);
}

// Calls `run` (which runs a window modally) on this thread while `user` works on a second one.
// Messages the user's thread sends after `run` has returned are still handled.
inline void WhileRunning(const std::function<void()>& run, const std::function<void()>& user) {
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    test::Background acting([&] {
        user();
        SetEvent(done);
    });
    run();
    while (MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    CloseHandle(done);
}

// Clicks a control as the mouse would: the press and release reach it through the message loop.
inline void Click(HWND window, int id) {
    PostMessageW(GetDlgItem(window, id), BM_CLICK, 0, 0);
}

// Gives the window's thread time to handle what was posted to it: a message sent is handled at
// the thread's next look at its queue, so the second one usually waits until what the first look
// took has been handled. Usually: what must have happened is waited for with WaitUntil.
inline void Settle(HWND window) {
    DWORD_PTR ignored = 0;
    for (int i = 0; i < 2; ++i)
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
}

// The button of a message box that Enter presses.
inline int DefaultButtonOf(HWND box) {
    for (int id : {IDYES, IDNO, IDOK, IDCANCEL})
        if ((GetWindowLongW(GetDlgItem(box, id), GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON) return id;
    return 0;
}

// The control of the window's thread that has the keyboard focus.
inline HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

inline void FocusOn(HWND window, int id) {
    PostMessageW(window, WM_NEXTDLGCTL, WPARAM(GetDlgItem(window, id)), TRUE);
    test::WaitUntil([&] { return GetDlgCtrlID(FocusOf(window)) == id; }, 3000);
}

// A key pressed and let go where the focus is; Tab and the arrows wait until the focus has moved.
inline void Press(HWND window, WPARAM key) {
    HWND focus = FocusOf(window);
    PostMessageW(focus, WM_KEYDOWN, key, 0);
    PostMessageW(focus, WM_KEYUP, key, 0xC0000000);
    if (key == VK_TAB || key == VK_DOWN) test::WaitUntil([&] { return FocusOf(window) != focus; }, 3000);
    Settle(window);
}
