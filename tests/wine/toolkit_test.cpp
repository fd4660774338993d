// The window toolkit's modal loop and message pacing on real windows, in this process. What the
// toolkit builds is checked on the program's windows themselves.
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "tests/driver/driver.h"
#include "tests/wine/background.h"
#include "toolkit/toolkit.h"

namespace {

std::vector<int> gCommands;
std::atomic<int> gEnterIdle{0};

HWND SmallWindow(HWND owner = nullptr) {
    return CreateWin(owner, "toolkit test", kCentre, kCentre, 200, 100, WS_POPUP | WS_CAPTION | WS_SYSMENU, 0,
                     Units::Pixels);
}

} // namespace

TEST(Toolkit, ModalRunDisablesTheOwnerFeedsItIdleMessagesAndTurnsKeysIntoCommands) {
    gEnterIdle = 0;
    gCommands.clear();
    HWND owner = SmallWindow();
    ShowModeless(owner, [](HWND, UINT message, WPARAM, LPARAM) -> INT_PTR {
        gEnterIdle += message == WM_ENTERIDLE;
        return 0;
    });
    HWND child = SmallWindow(owner);
    bool ownerEnabledDuringRun = true, openAfterKeys = false;
    Background user([&] {
        WaitVisible(child);
        driver::WaitUntil([] { return gEnterIdle > 0; }, 5000); // the loop has gone idle once
        ownerEnabledDuringRun = IsWindowEnabled(owner);
        driver::BringToFront(child);
        driver::PressKey(VK_ESCAPE);
        driver::PressKey(VK_RETURN);
        driver::WaitUntil([] { return gCommands.size() >= 2; }, 5000);
        openAfterKeys = IsWindowVisible(child);
        PostMessageW(child, WM_USER + 7, 0, 0);
    });
    const INT_PTR result = RunModal(child, [](HWND window, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_COMMAND) gCommands.push_back(LOWORD(wParam));
        if (message == WM_USER + 7) EndWin(window, 42);
        return 0;
    });
    user.Join();
    EXPECT_EQ(result, 42);
    EXPECT_FALSE(ownerEnabledDuringRun);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_GT(gEnterIdle, 0);
    EXPECT_EQ(gCommands, (std::vector<int>{IDCANCEL, IDOK}));
    EXPECT_TRUE(openAfterKeys) << "Escape and Enter close nothing by themselves";
    DestroyWindow(owner);
}

TEST(Toolkit, ProcessPendingEventsHandlesOneMessageAPass) {
    static int seen;
    seen = 0;
    HWND window = SmallWindow();
    ShowModeless(window, [](HWND, UINT message, WPARAM, LPARAM) -> INT_PTR {
        seen += message == WM_USER + 1;
        return 0;
    });
    MSG drain;
    while (PeekMessageW(&drain, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&drain);
    PostMessageW(window, WM_USER + 1, 0, 0);
    PostMessageW(window, WM_USER + 1, 0, 0);
    ProcessPendingEvents(1);
    EXPECT_EQ(seen, 1);
    ProcessPendingEvents(1);
    EXPECT_EQ(seen, 2);
    DestroyWindow(window);
}
