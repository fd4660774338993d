// The start window in this process: fonts, icon, the link cursor and what its links ask the
// shell. Its layout, colours and the ways it closes are tested on the real program (tests/e2e).
#include <gtest/gtest.h>

#include "app/globals.h"
#include "infowin/info_windows.h"
#include "tests/driver/shell_handlers.h"
#include "tests/wine/key_watch.h"
#include "tests/wine/shell_spy.h"
#include "tests/wine/window_checks.h"

using namespace checks;

namespace {

constexpr const char* kCaption = "Tarvelle Video Converter. ";
constexpr int kWebAddress = 2000, kInvitation = 2001, kStart = 2005;

class StartWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { hLinkCursor = LoadCursorA(GetModuleHandleW(nullptr), "autor"); }
};

} // namespace

TEST_F(StartWindowTest, TitleFontIconAndLinkCursor) {
    WhileShown(ShowStartWindow, kCaption, [](HWND window) {
        for (int id : {kWebAddress, kInvitation, kStart}) {
            SCOPED_TRACE(testing::Message() << "control " << id);
            const LOGFONTW font = FontOf(GetDlgItem(window, id));
            EXPECT_STREQ(font.lfFaceName, L"Times New Roman");
            EXPECT_EQ(font.lfHeight, HeightOfPoints(12));
            EXPECT_EQ(font.lfWeight, FW_BOLD);
            EXPECT_TRUE(font.lfItalic);
            EXPECT_FALSE(font.lfUnderline);
            EXPECT_FALSE(font.lfStrikeOut);
        }
        // Wine answers the icon query only inside the process, so it is checked here.
        EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
        EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);

        driver::BringToFront(window);
        const SIZE client = driver::ClientSizeOf(window);
        const POINT picture = CentreOf(driver::RectInParent(GetWindow(window, GW_CHILD)));
        EXPECT_TRUE(CursorBecomes(window, CentreOf(driver::RectInParent(GetDlgItem(window, kWebAddress))),
                                  hLinkCursor))
            << "web address";
        EXPECT_TRUE(
            CursorBecomes(window, CentreOf(driver::RectInParent(GetDlgItem(window, kInvitation))), Arrow()))
            << "invitation line";
        EXPECT_TRUE(
            CursorBecomes(window, CentreOf(driver::RectInParent(GetDlgItem(window, kStart))), hLinkCursor))
            << "Start button";
        EXPECT_TRUE(CursorBecomes(window, picture, Arrow())) << "picture";
        EXPECT_TRUE(CursorBecomes(window, CentreOf(driver::RectInParent(GetDlgItem(window, kWebAddress))),
                                  hLinkCursor));
        EXPECT_TRUE(CursorBecomes(window, {client.cx - 3, client.cy / 2}, Arrow())) << "background";
    });
}

TEST_F(StartWindowTest, AddressAsksTheShellOnEachClickOnly) {
    ShellSpy spy;
    ASSERT_TRUE(spy.Installed());
    driver::ShellHandlers handlers;
    WhileShown(ShowStartWindow, kCaption, [&](HWND window) {
        HWND address = GetDlgItem(window, kWebAddress);
        const SIZE size = driver::ClientSizeOf(address);
        driver::BringToFront(window);
        // Two single clicks, apart from each other so that they do not make a double-click.
        driver::ClickAt(address, size.cx / 4, size.cy / 2);
        ASSERT_TRUE(driver::WaitUntil([&] { return spy.Calls().size() == 1; }));
        driver::ClickAt(address, size.cx * 3 / 4, size.cy / 2);
        ASSERT_TRUE(driver::WaitUntil([&] { return spy.Calls().size() == 2; }));
        // Double-click notifications do nothing by themselves, on the address as on Start.
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(kWebAddress, STN_DBLCLK),
                     reinterpret_cast<LPARAM>(address));
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(kStart, BN_DOUBLECLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, kStart)));
        EXPECT_EQ(spy.Calls().size(), 2u);
        EXPECT_TRUE(IsWindowVisible(window)) << "the window stays open";
    });
    for (const ShellCall& call : spy.Calls()) {
        EXPECT_EQ(call.owner, nullptr);
        EXPECT_FALSE(call.verb.has_value()) << "the default verb";
        EXPECT_EQ(call.file, "http://tarvelle.test");
        EXPECT_FALSE(call.parameters.has_value());
        EXPECT_FALSE(call.directory.has_value());
        EXPECT_EQ(call.show, SW_SHOWNORMAL);
    }
    // The shell passed both requests on to the registered http handler.
    ASSERT_TRUE(handlers.WaitForRequests(2));
    for (const driver::ShellRequestSeen& request : handlers.Requests()) {
        EXPECT_EQ(request.target, "http://tarvelle.test");
        EXPECT_EQ(request.show, SW_SHOWNORMAL);
    }
}

TEST_F(StartWindowTest, EscapeDoesNothingAndStartCloses) {
    KeyUpWatch escape(VK_ESCAPE);
    WhileShown(ShowStartWindow, kCaption, [&](HWND window) {
        driver::BringToFront(window);
        driver::PressKey(VK_ESCAPE);
        ASSERT_TRUE(driver::WaitUntil([&] { return escape.Count() > 0; }));
        driver::Settle(window);
        EXPECT_TRUE(IsWindowVisible(window));
        driver::Click(GetDlgItem(window, kStart));
        EXPECT_TRUE(driver::WaitUntil([&] { return !IsWindow(window); }));
    });
}
