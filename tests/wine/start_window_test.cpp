// The start window in this process, for what the real program's tests (tests/e2e) cannot read
// from another process: fonts, icon, which cursor shows, and what exactly the shell is asked.
#include <gtest/gtest.h>

#include "infowin/info_windows.h"
#include "tests/wine/shell_spy.h"
#include "tests/wine/window_checks.h"

using namespace checks;

namespace {
constexpr int kWebAddress = 2000, kInvitation = 2001, kStart = 2005;
}

TEST(StartWindow, FontsIconAndLinkCursorOverAddressAndStartOnly) {
    WhileShown(ShowStartWindow, "Tarvelle Video Converter. ", [](HWND window) {
        for (int id : {kWebAddress, kInvitation, kStart})
            EXPECT_EQ(FontOf(GetDlgItem(window, id)), Font("Times New Roman", 12, FW_BOLD, true)) << id;
        // Wine answers the icon query only inside the process.
        EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
        EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);

        driver::BringToFront(window);
        const SIZE client = driver::ClientSizeOf(window);
        const auto place = [&](int id) { return driver::RectInParent(GetDlgItem(window, id)); };
        EXPECT_TRUE(CursorBecomes(window, place(kWebAddress), true)) << "web address";
        EXPECT_TRUE(CursorBecomes(window, place(kInvitation), false)) << "invitation line";
        EXPECT_TRUE(CursorBecomes(window, place(kStart), true)) << "Start button";
        EXPECT_TRUE(CursorBecomes(window, driver::RectInParent(GetWindow(window, GW_CHILD)), false))
            << "picture";
        EXPECT_TRUE(
            CursorBecomes(window, {client.cx - 4, client.cy / 2, client.cx - 2, client.cy / 2}, false))
            << "background";
    });
}

TEST(StartWindow, EachClickOnTheAddressAsksTheShellToOpenIt) {
    ShellSpy spy;
    ASSERT_TRUE(spy.Installed());
    WhileShown(ShowStartWindow, "Tarvelle Video Converter. ", [&](HWND window) {
        HWND address = GetDlgItem(window, kWebAddress);
        const SIZE size = driver::ClientSizeOf(address);
        driver::BringToFront(window);
        // Two single clicks, apart from each other so that they do not make a double-click.
        driver::ClickAt(address, size.cx / 4, size.cy / 2);
        ASSERT_TRUE(driver::WaitUntil([&] { return spy.Calls().size() == 1; }));
        driver::ClickAt(address, size.cx * 3 / 4, size.cy / 2);
        ASSERT_TRUE(driver::WaitUntil([&] { return spy.Calls().size() == 2; }));
        // Double-click notifications do nothing by themselves, on the address as on Start.
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(kWebAddress, STN_DBLCLK), LPARAM(address));
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(kStart, BN_DOUBLECLICKED),
                     LPARAM(GetDlgItem(window, kStart)));
        EXPECT_TRUE(IsWindowVisible(window));
    });
    // No owner, the default verb, no parameters or folder, shown normally.
    const std::string call = "- - http://tarvelle.test - - 1";
    EXPECT_EQ(spy.Calls(), (std::vector<std::string>{call, call}));
}
