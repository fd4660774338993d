// The start and about windows in this process: their links ask the shell exactly once per
// click and close nothing; Escape closes nothing either.
#include <gtest/gtest.h>

#include "app/globals.h"
#include "infowin/info_ids.h"
#include "infowin/info_windows.h"
#include "tests/wine/in_process.h"
#include "tests/wine/shell_spy.h"
#include "toolkit/toolkit.h"

using namespace test;

namespace {

void ClickLabel(HWND window, int id) {
    HWND label = GetDlgItem(window, id);
    PostMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    Settle(window);
}

// Escape, and a double-click notification from each link, leave the window up.
void NothingClosesIt(HWND window, std::initializer_list<int> links) {
    for (int id : links)
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, STN_DBLCLK), LPARAM(GetDlgItem(window, id)));
    PostMessageW(GetDlgItem(window, *links.begin()), WM_KEYDOWN, VK_ESCAPE, 0);
    Settle(window);
    EXPECT_TRUE(IsWindowVisible(window));
}

} // namespace

TEST(InfoWindows, StartWindowOpensTheAddressPerClickAndEndsWithStart) {
    ShellSpy spy;
    ASSERT_TRUE(spy.Installed());
    WhileRunning(ShowStartWindow, [&] {
        HWND window = OwnWindow("Tarvelle Video Converter. ");
        ASSERT_NE(window, nullptr);
        ClickLabel(window, ID_START_WEB_ADDRESS);
        ClickLabel(window, ID_START_WEB_ADDRESS);
        NothingClosesIt(window, {ID_START_WEB_ADDRESS, ID_START});
        Click(window, ID_START);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(window); }));
    });
    // No owner, the default verb, no parameters or folder, shown normally.
    EXPECT_EQ(spy.Calls(), std::vector<std::string>(2, "- - http://tarvelle.test - - 1"));
}

TEST(InfoWindows, AboutWindowOpensMailAndAddress) {
    ShellSpy spy;
    ASSERT_TRUE(spy.Installed());
    hMainDlg = CreateWin(nullptr, "owner", 0, 0, 300, 200, 0, 0, Units::Pixels);
    WhileRunning(ShowAboutWindow, [&] {
        HWND window = OwnWindow("About");
        ASSERT_NE(window, nullptr);
        ClickLabel(window, ID_ABOUT_EMAIL);
        ClickLabel(window, ID_ABOUT_WEB_ADDRESS);
        NothingClosesIt(window, {ID_ABOUT_EMAIL, ID_ABOUT_WEB_ADDRESS});
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    DestroyWindow(hMainDlg);
    EXPECT_EQ(spy.Calls(), (std::vector<std::string>{"- Open mailto:support@tarvelle.test - - 1",
                                                     "- - http://tarvelle.test - - 1"}));
}
