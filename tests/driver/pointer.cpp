#include "tests/driver/pointer.h"

#include "tests/driver/driver.h"

namespace driver {

namespace {

bool PointerAt(POINT target) {
    POINT now{};
    GetCursorPos(&now);
    return now.x == target.x && now.y == target.y;
}

} // namespace

bool MovePointer(HWND window, int x, int y) {
    POINT target{x, y};
    ClientToScreen(window, &target);
    for (int attempt = 0; attempt < 10; ++attempt) {
        MoveMouse(window, x, y); // lets the window's thread take the move and any stale one after it
        Settle(window);
        if (PointerAt(target)) {
            Sleep(20);
            Settle(window);
            if (PointerAt(target)) return true;
        }
    }
    return false;
}

void ClickPointer(HWND window, int x, int y) {
    MovePointer(window, x, y);
    MouseDown();
    MouseUp();
}

void ClickControl(HWND control) {
    const SIZE size = ClientSizeOf(control);
    ClickPointer(control, size.cx / 2, size.cy / 2);
}

void ClickCloseBoxSteadily(HWND window) {
    RECT outer{};
    GetWindowRect(window, &outer);
    for (int y = outer.top + 2; y < outer.top + 40; ++y)
        for (int x = outer.right - 2; x > outer.right - 120; --x) {
            DWORD_PTR hit = 0;
            SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 5000, &hit);
            if (hit != HTCLOSE) continue;
            POINT client{x - 3, y + 3};
            ScreenToClient(window, &client);
            ClickPointer(window, client.x, client.y);
            return;
        }
}

} // namespace driver
