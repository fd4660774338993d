// The about window in this process, owned by a stand-in for the main window.
#include <gtest/gtest.h>

#include "app/globals.h"
#include "infowin/info_windows.h"
#include "tests/driver/pictures.h"
#include "tests/driver/shell_handlers.h"
#include "tests/wine/key_watch.h"
#include "tests/wine/shell_spy.h"
#include "tests/wine/window_checks.h"

using namespace checks;

namespace {

constexpr int kNatural = -1; // a picture's size is its bitmap's

struct ExpectedControl {
    int id;
    const char* text;
    int x, y, w, h; // dialog units
    DWORD style;    // besides WS_CHILD and WS_VISIBLE
};

constexpr DWORD kLink = SS_CENTER | SS_NOTIFY | SS_SUNKEN;
constexpr int kEmail = 2002, kWebAddress = 2004, kBuild = 101, kTitle = 2001;

const ExpectedControl kControls[] = {
    {kTitle,
     "KESTO Video Converter\r\nCopyright (c) 2026 Tarvelle Inc.\r\nFree software under the MIT licence.", 35,
     5, 140, 30, SS_CENTER},
    {-1, "", 5, 40, kNatural, kNatural, SS_BITMAP},
    {-1, "", 10, 35, 190, 2, SS_ETCHEDFRAME},
    {kBuild, "Build v1.01", 150, 39, 50, 10, SS_LEFT},
    {kWebAddress, "http://tarvelle.test", 141, 169, 70, 11, kLink},
    {kEmail, "email: Tarvelle Inc.", 0, 169, 70, 11, kLink},
};

constexpr COLORREF kBlue = RGB(20, 50, 195), kLinkText = RGB(220, 210, 120), kLinkBack = RGB(0, 0, 127);

RECT PlaceOf(HWND window, int id) {
    return driver::RectInParent(GetDlgItem(window, id));
}

class AboutWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { hLinkCursor = LoadCursorA(GetModuleHandleW(nullptr), "autor"); }
    StandInMainWindow owner;
};

} // namespace

TEST_F(AboutWindowTest, FrameControlsAndTexts) {
    WhileShown(ShowAboutWindow, "About", [&](HWND window) {
        const RECT client = UnitsToPixels(window, 0, 0, 210, 180);
        EXPECT_EQ(driver::ClientSizeOf(window).cx, client.right);
        EXPECT_EQ(driver::ClientSizeOf(window).cy, client.bottom);
        const DWORD wanted = WS_CAPTION | WS_SYSMENU | DS_CENTER | DS_SETFONT | DS_3DLOOK | DS_NOFAILCREATE;
        EXPECT_EQ(driver::StyleOf(window) & wanted, wanted);
        EXPECT_EQ(driver::StyleOf(window) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME | DS_SYSMODAL),
                  0u);
        EXPECT_EQ(GetWindow(window, GW_OWNER), owner.Handle());
        EXPECT_FALSE(IsWindowEnabled(owner.Handle()));
        EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
        EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);

        const std::vector<HWND> children = ChildrenInOrder(window);
        ASSERT_EQ(children.size(), std::size(kControls));
        for (size_t i = 0; i < children.size(); ++i) {
            const ExpectedControl& want = kControls[i];
            SCOPED_TRACE(testing::Message() << "control #" << i + 1);
            EXPECT_EQ(GetDlgCtrlID(children[i]), want.id);
            EXPECT_EQ(driver::ClassOf(children[i]), "Static");
            EXPECT_EQ(driver::TextOf(children[i]), want.text);
            EXPECT_EQ(driver::StyleOf(children[i]) & (0x1F | SS_NOTIFY | SS_SUNKEN | WS_TABSTOP), want.style);
            RECT expected = UnitsToPixels(window, want.x, want.y, want.w, want.h);
            if (want.w == kNatural) {
                expected.right = expected.left + 244;
                expected.bottom = expected.top + 212;
            }
            const RECT place = driver::RectInParent(children[i]);
            EXPECT_TRUE(SameRect(place, expected)) << Describe(place) << " instead of " << Describe(expected);
            if (*want.text) {
                EXPECT_STREQ(FontOf(children[i]).lfFaceName, L"MS Sans Serif");
            }
        }
    });
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
}

TEST_F(AboutWindowTest, ColoursAndPictureOnScreen) {
    WhileShown(ShowAboutWindow, "About", [&](HWND window) {
        driver::BringToFront(window);
        const SIZE client = driver::ClientSizeOf(window);
        EXPECT_TRUE(driver::WaitForPixel(window, client.cx - 5, client.cy / 2, kBlue)) << "window background";
        const RECT title = PlaceOf(window, kTitle);
        EXPECT_TRUE(driver::WaitForPixel(window, title.left + 1, title.bottom - 2, kBlue))
            << "title background";
        EXPECT_GT(CountColour(window, title, RGB(180, 170, 95)), 100) << "title text";
        EXPECT_GT(CountColour(window, PlaceOf(window, kBuild), RGB(0, 0, 0)), 20) << "build text";
        for (int id : {kEmail, kWebAddress}) {
            SCOPED_TRACE(testing::Message() << "link " << id);
            RECT link = PlaceOf(window, id);
            link.right = std::min<LONG>(link.right, client.cx);
            EXPECT_TRUE(driver::WaitForPixel(window, link.left + 3, (link.top + link.bottom) / 2, kLinkBack));
            EXPECT_GT(CountColour(window, link, kLinkText), 20);
        }
        // The picture at its own size: its rows between the build label and the links match the bitmap.
        const RECT picture = driver::RectInParent(ChildrenInOrder(window)[1]);
        const auto bitmap = driver::ResourceBitmapPixels(L"PATENT");
        ASSERT_EQ(bitmap.size(), 212u);
        const LONG firstRow = PlaceOf(window, kBuild).bottom, endRow = PlaceOf(window, kEmail).top;
        const auto shown = driver::Capture(window, {picture.left, firstRow, picture.right, endRow});
        EXPECT_TRUE(std::equal(shown.begin(), shown.end(), bitmap.begin() + (firstRow - picture.top)))
            << "PATENT shown unscaled";
    });
}

TEST_F(AboutWindowTest, LinkTextsShowWholeOnOneLine) {
    WhileShown(ShowAboutWindow, "About", [&](HWND window) {
        const SIZE windowClient = driver::ClientSizeOf(window);
        for (int id : {kEmail, kWebAddress}) {
            SCOPED_TRACE(testing::Message() << "link " << id);
            HWND link = GetDlgItem(window, id);
            const std::string text = driver::TextOf(link);
            HDC dc = GetDC(link);
            HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(link, WM_GETFONT, 0, 0)));
            SIZE extent{};
            GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
            SelectObject(dc, old);
            ReleaseDC(link, dc);
            // The label centres its text; the web address label runs past the window's edge.
            RECT client{};
            GetClientRect(link, &client);
            MapWindowPoints(link, window, reinterpret_cast<POINT*>(&client), 2);
            const LONG textRight = client.left + (client.right - client.left + extent.cx) / 2;
            EXPECT_LE(extent.cx, client.right - client.left) << "no wrapping";
            EXPECT_LE(textRight, std::min<LONG>(client.right, windowClient.cx)) << "not clipped";
        }
    });
}

TEST_F(AboutWindowTest, LinkCursorOverTheTwoLinksOnly) {
    WhileShown(ShowAboutWindow, "About", [&](HWND window) {
        driver::BringToFront(window);
        const SIZE client = driver::ClientSizeOf(window);
        const RECT picture = driver::RectInParent(ChildrenInOrder(window)[1]);
        EXPECT_TRUE(CursorBecomes(window, CentreOf(PlaceOf(window, kEmail)), hLinkCursor)) << "e-mail";
        EXPECT_TRUE(CursorBecomes(window, CentreOf(PlaceOf(window, kTitle)), Arrow())) << "title";
        EXPECT_TRUE(CursorBecomes(window, CentreOf(PlaceOf(window, kWebAddress)), hLinkCursor))
            << "web address";
        EXPECT_TRUE(CursorBecomes(window, CentreOf(picture), Arrow())) << "picture";
        EXPECT_TRUE(CursorBecomes(window, CentreOf(PlaceOf(window, kEmail)), hLinkCursor));
        EXPECT_TRUE(CursorBecomes(window, CentreOf(PlaceOf(window, kBuild)), Arrow())) << "build label";
        EXPECT_TRUE(CursorBecomes(window, CentreOf(PlaceOf(window, kWebAddress)), hLinkCursor));
        EXPECT_TRUE(CursorBecomes(window, {client.cx - 3, client.cy / 2}, Arrow())) << "background";
    });
}

TEST_F(AboutWindowTest, LinksAskTheShellAndEscapeLeavesItOpen) {
    ShellSpy spy;
    ASSERT_TRUE(spy.Installed());
    driver::ShellHandlers handlers;
    KeyUpWatch escape(VK_ESCAPE);
    WhileShown(ShowAboutWindow, "About", [&](HWND window) {
        driver::BringToFront(window);
        driver::Click(GetDlgItem(window, kEmail));
        ASSERT_TRUE(driver::WaitUntil([&] { return spy.Calls().size() == 1; }));
        driver::Click(GetDlgItem(window, kWebAddress));
        ASSERT_TRUE(driver::WaitUntil([&] { return spy.Calls().size() == 2; }));
        for (int id : {kEmail, kWebAddress})
            SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, STN_DBLCLK),
                         reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
        EXPECT_EQ(spy.Calls().size(), 2u) << "double-click notifications do nothing by themselves";
        driver::BringToFront(window);
        driver::PressKey(VK_ESCAPE);
        ASSERT_TRUE(driver::WaitUntil([&] { return escape.Count() > 0; }));
        driver::Settle(window);
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_FALSE(IsWindowEnabled(owner.Handle()));
        driver::BringToFront(window);
        driver::ClickCloseBox(window);
        EXPECT_TRUE(driver::WaitUntil([&] { return !IsWindow(window); }));
    });
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));

    const std::vector<ShellCall> calls = spy.Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].verb, std::optional<std::string>("Open"));
    EXPECT_EQ(calls[0].file, "mailto:support@tarvelle.test");
    EXPECT_FALSE(calls[1].verb.has_value()) << "the default verb";
    EXPECT_EQ(calls[1].file, "http://tarvelle.test");
    for (const ShellCall& call : calls) {
        EXPECT_EQ(call.owner, nullptr);
        EXPECT_FALSE(call.parameters.has_value());
        EXPECT_FALSE(call.directory.has_value());
        EXPECT_EQ(call.show, SW_SHOWNORMAL);
    }
    // The shell passed them on to the registered mailto and http handlers (in either order).
    ASSERT_TRUE(handlers.WaitForRequests(2));
    std::vector<std::string> targets;
    for (const driver::ShellRequestSeen& request : handlers.Requests()) {
        targets.push_back(request.target);
        EXPECT_EQ(request.show, SW_SHOWNORMAL);
    }
    std::sort(targets.begin(), targets.end());
    EXPECT_EQ(targets, (std::vector<std::string>{"http://tarvelle.test", "mailto:support@tarvelle.test"}));
}
