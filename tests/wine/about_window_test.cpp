// The about window in this process, owned by a stand-in for the main window.
#include <gtest/gtest.h>

#include "infowin/info_windows.h"
#include "tests/driver/pictures.h"
#include "tests/wine/key_watch.h"
#include "tests/wine/shell_spy.h"
#include "tests/wine/window_checks.h"

using namespace checks;

namespace {

constexpr int kEmail = 2002, kWebAddress = 2004, kBuild = 101, kTitle = 2001;
constexpr COLORREF kBlue = RGB(20, 50, 195);

RECT PlaceOf(HWND window, int id) {
    return driver::RectInParent(GetDlgItem(window, id));
}

} // namespace

TEST(AboutWindow, FrameControlsColoursAndPicture) {
    StandInMainWindow owner;
    WhileShown(ShowAboutWindow, "About", [&](HWND window) {
        EXPECT_EQ(UnitsToPixels(window, 0, 0, 210, 180),
                  Describe({0, 0, driver::ClientSizeOf(window).cx, driver::ClientSizeOf(window).cy}));
        const DWORD wanted = WS_CAPTION | WS_SYSMENU | DS_CENTER | DS_SETFONT | DS_3DLOOK | DS_NOFAILCREATE;
        EXPECT_EQ(driver::StyleOf(window) & wanted, wanted);
        EXPECT_EQ(driver::StyleOf(window) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME | DS_SYSMODAL),
                  0u);
        EXPECT_EQ(GetWindow(window, GW_OWNER), hMainDlg);
        EXPECT_FALSE(IsWindowEnabled(hMainDlg));
        EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);

        constexpr DWORD kLink = SS_CENTER | SS_NOTIFY | SS_SUNKEN;
        const auto naturalSize = [&](int x, int y, int w, int h) { // a picture at its bitmap's size
            RECT r{x, y, 0, 0};
            MapDialogRect(window, &r);
            return Describe({r.left, r.top, r.left + w, r.top + h});
        };
        const struct {
            int id;
            const char* text;
            std::string place;
            DWORD style; // among the type bits, SS_NOTIFY, SS_SUNKEN and WS_TABSTOP
        } expected[] = {
            {kTitle,
             "KESTO Video Converter\r\nCopyright (c) 2026 Tarvelle Inc.\r\nFree software under the MIT "
             "licence.",
             UnitsToPixels(window, 35, 5, 140, 30), SS_CENTER},
            {-1, "", naturalSize(5, 40, 244, 212), SS_BITMAP},
            {-1, "", UnitsToPixels(window, 10, 35, 190, 2), SS_ETCHEDFRAME},
            {kBuild, "Build v1.01", UnitsToPixels(window, 150, 39, 50, 10), SS_LEFT},
            {kWebAddress, "http://tarvelle.test", UnitsToPixels(window, 141, 169, 70, 11), kLink},
            {kEmail, "email: Tarvelle Inc.", UnitsToPixels(window, 0, 169, 70, 11), kLink},
        };
        const std::vector<HWND> children = ChildrenInOrder(window);
        ASSERT_EQ(children.size(), std::size(expected));
        for (size_t i = 0; i < children.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "control #" << i + 1);
            EXPECT_EQ(GetDlgCtrlID(children[i]), expected[i].id);
            EXPECT_EQ(driver::ClassOf(children[i]), "Static");
            EXPECT_EQ(driver::TextOf(children[i]), expected[i].text);
            EXPECT_EQ(driver::StyleOf(children[i]) & (0x1F | SS_NOTIFY | SS_SUNKEN | WS_TABSTOP),
                      expected[i].style);
            EXPECT_EQ(Describe(driver::RectInParent(children[i])), expected[i].place);
        }
        // The picture's rows between the build label and the links are the bitmap's.
        const RECT picture = driver::RectInParent(children[1]);
        const auto bitmap = driver::ResourceBitmapPixels(L"PATENT");
        ASSERT_EQ(bitmap.size(), 212u);
        driver::BringToFront(window);
        const LONG firstRow = PlaceOf(window, kBuild).bottom, endRow = PlaceOf(window, kEmail).top;
        const auto shown = driver::Capture(window, {picture.left, firstRow, picture.right, endRow});
        EXPECT_TRUE(std::equal(shown.begin(), shown.end(), bitmap.begin() + (firstRow - picture.top)))
            << "PATENT shown unscaled";

        const SIZE client = driver::ClientSizeOf(window);
        EXPECT_TRUE(driver::WaitForPixel(window, client.cx - 5, client.cy / 2, kBlue)) << "window background";
        const RECT title = PlaceOf(window, kTitle);
        EXPECT_TRUE(driver::WaitForPixel(window, title.left + 1, title.bottom - 2, kBlue))
            << "title background";
        EXPECT_GT(CountColour(window, title, RGB(180, 170, 95)), 100) << "title text";
        EXPECT_GT(CountColour(window, PlaceOf(window, kBuild), RGB(0, 0, 0)), 20) << "build text";
        for (int id : {kEmail, kWebAddress}) {
            RECT link = PlaceOf(window, id);
            link.right = std::min<LONG>(link.right, client.cx);
            EXPECT_TRUE(
                driver::WaitForPixel(window, link.left + 3, (link.top + link.bottom) / 2, RGB(0, 0, 127)));
            EXPECT_GT(CountColour(window, link, RGB(220, 210, 120)), 20) << "link text " << id;
        }
    });
    EXPECT_TRUE(IsWindowEnabled(hMainDlg));
}

TEST(AboutWindow, LinkCursorAndShellRequestsOnTheTwoLinksOnlyAndEscapeLeavesItOpen) {
    StandInMainWindow owner;
    ShellSpy spy;
    ASSERT_TRUE(spy.Installed());
    KeyUpWatch escape(VK_ESCAPE);
    WhileShown(ShowAboutWindow, "About", [&](HWND window) {
        driver::BringToFront(window);
        const SIZE client = driver::ClientSizeOf(window);
        EXPECT_TRUE(CursorBecomes(window, PlaceOf(window, kEmail), true)) << "e-mail";
        EXPECT_TRUE(CursorBecomes(window, PlaceOf(window, kTitle), false)) << "title";
        EXPECT_TRUE(CursorBecomes(window, PlaceOf(window, kWebAddress), true)) << "web address";
        EXPECT_TRUE(CursorBecomes(window, driver::RectInParent(ChildrenInOrder(window)[1]), false))
            << "picture";
        EXPECT_TRUE(CursorBecomes(window, PlaceOf(window, kBuild), false)) << "build label";
        EXPECT_TRUE(
            CursorBecomes(window, {client.cx - 3, client.cy / 2, client.cx - 3, client.cy / 2}, false));

        driver::Click(GetDlgItem(window, kEmail));
        ASSERT_TRUE(driver::WaitUntil([&] { return spy.Calls().size() == 1; }));
        driver::Click(GetDlgItem(window, kWebAddress));
        ASSERT_TRUE(driver::WaitUntil([&] { return spy.Calls().size() == 2; }));
        for (int id : {kEmail, kWebAddress}) // double-click notifications do nothing by themselves
            SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, STN_DBLCLK), LPARAM(GetDlgItem(window, id)));
        driver::BringToFront(window);
        driver::PressKey(VK_ESCAPE);
        ASSERT_TRUE(driver::WaitUntil([&] { return escape.Count() > 0; }));
        driver::Settle(window);
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_FALSE(IsWindowEnabled(hMainDlg));
        driver::ClickCloseBox(window);
        EXPECT_TRUE(driver::WaitUntil([&] { return !IsWindow(window); }));
    });
    EXPECT_TRUE(IsWindowEnabled(hMainDlg));
    EXPECT_EQ(spy.Calls(), (std::vector<std::string>{"- Open mailto:support@tarvelle.test - - 1",
                                                     "- - http://tarvelle.test - - 1"}));
}
