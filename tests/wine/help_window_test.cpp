// The help window in this process, owned by a stand-in for the main window.
#include <gtest/gtest.h>

#include "infowin/info_windows.h"
#include "tests/wine/key_watch.h"
#include "tests/wine/window_checks.h"

using namespace checks;

namespace {

struct ExpectedLabel {
    int id;
    const char* text;
    RECT place; // client pixels
};

const ExpectedLabel kLabels[] = {
    {100, "  Instruction:", {0, 0, 710, 38}},
    {101,
     "Run the KESTO video converter as Administrator !\r\n1.Select input video file.\r\n2.Select a mode of "
     "transformation.\r\n3.Select output video formmat.\r\n4.Publish output video, and wait.",
     {10, 45, 410, 135}},
    {102, " Common recommendation:", {10, 125, 310, 149}},
    {103,
     "Run the KESTO video converter as Administrator !\r\nUse a big free size of HDD/SSD for output video "
     "\r\nThe "
     "better to use an external (non system) HDD/SSD for output video.\r\nFor Flash Software - use FLV "
     "format, "
     "for Html5 Software - use MP4 or WebM output video format.",
     {10, 157, 480, 237}},
};

constexpr COLORREF kGrey = RGB(167, 167, 167), kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255);

void CheckFrame(HWND window, HWND owner) {
    EXPECT_EQ(driver::TextOf(window), "Help");
    const SIZE client = driver::ClientSizeOf(window);
    EXPECT_EQ(client.cx, 500);
    EXPECT_EQ(client.cy, 230);
    const DWORD wanted = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_CENTER | DS_SETFONT |
                         DS_3DLOOK | DS_NOFAILCREATE;
    EXPECT_EQ(driver::StyleOf(window) & wanted, wanted);
    EXPECT_EQ(driver::StyleOf(window) & (WS_MAXIMIZEBOX | WS_THICKFRAME | DS_SYSMODAL), 0u);
    EXPECT_EQ(GetWindow(window, GW_OWNER), owner);
    EXPECT_FALSE(IsWindowEnabled(owner)) << "the main window waits while help is up";
    RECT outer{}, work{};
    GetWindowRect(window, &outer);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR(outer.left - work.left, work.right - outer.right, 1);
    EXPECT_NEAR(outer.top - work.top, work.bottom - outer.bottom, 1);
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);
}

void CheckLabels(HWND window) {
    const std::vector<HWND> children = ChildrenInOrder(window);
    ASSERT_EQ(children.size(), std::size(kLabels));
    for (size_t i = 0; i < children.size(); ++i) {
        const ExpectedLabel& want = kLabels[i];
        SCOPED_TRACE(testing::Message() << "label " << want.id);
        EXPECT_EQ(GetDlgCtrlID(children[i]), want.id);
        EXPECT_EQ(driver::ClassOf(children[i]), "Static");
        EXPECT_EQ(driver::TextOf(children[i]), want.text);
        const RECT place = driver::RectInParent(children[i]);
        EXPECT_TRUE(SameRect(place, want.place)) << Describe(place);
        EXPECT_EQ(driver::StyleOf(children[i]) & (0x1F | WS_TABSTOP | SS_NOTIFY), DWORD(SS_LEFT));
    }
    const LOGFONTW heading = FontOf(GetDlgItem(window, 100));
    EXPECT_STREQ(heading.lfFaceName, L"Times New Roman");
    EXPECT_EQ(heading.lfHeight, HeightOfPoints(20));
    EXPECT_EQ(heading.lfWeight, FW_BOLD);
    EXPECT_TRUE(heading.lfItalic);
    const LOGFONTW subheading = FontOf(GetDlgItem(window, 102));
    EXPECT_STREQ(subheading.lfFaceName, L"Times New Roman");
    EXPECT_EQ(subheading.lfHeight, HeightOfPoints(15));
    EXPECT_EQ(subheading.lfWeight, FW_BOLD);
    EXPECT_FALSE(subheading.lfItalic);
    for (int id : {101, 103})
        EXPECT_STREQ(FontOf(GetDlgItem(window, id)).lfFaceName, L"MS Sans Serif");
}

void CheckColours(HWND window) {
    driver::BringToFront(window);
    EXPECT_TRUE(driver::WaitForPixel(window, 450, 60, kGrey)) << "window background";
    EXPECT_TRUE(driver::WaitForPixel(window, 400, 128, kGrey))
        << "the instruction shows the window behind it";
    // The heading is a white band 38 pixels high across the whole window.
    EXPECT_TRUE(driver::WaitForPixel(window, 499, 0, kWhite));
    EXPECT_TRUE(driver::WaitForPixel(window, 300, 37, kWhite));
    EXPECT_TRUE(driver::WaitForPixel(window, 300, 40, kGrey));
    EXPECT_TRUE(driver::WaitForPixel(window, 305, 145, RGB(192, 192, 192))) << "subheading background";
    for (const ExpectedLabel& label : kLabels) {
        RECT visible = label.place;
        visible.right = std::min<LONG>(visible.right, 500);
        visible.bottom = std::min<LONG>(visible.bottom, 230);
        EXPECT_GT(CountColour(window, visible, kBlack), 50) << "black text of label " << label.id;
    }
}

} // namespace

TEST(HelpWindow, LayoutTextsFontsAndColoursTheSameEachTime) {
    StandInMainWindow owner;
    for (int opening = 1; opening <= 2; ++opening) {
        SCOPED_TRACE(testing::Message() << "opening " << opening);
        WhileShown(ShowHelpWindow, "Help", [&](HWND window) {
            CheckFrame(window, owner.Handle());
            CheckLabels(window);
            CheckColours(window);
        });
        EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
    }
}

TEST(HelpWindow, MinimisingKeepsTheOwnerDisabledAndTheCloseBoxEnablesIt) {
    StandInMainWindow owner;
    WhileShown(ShowHelpWindow, "Help", [&](HWND window) {
        PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        ASSERT_TRUE(driver::WaitUntil([&] { return IsIconic(window); }));
        EXPECT_TRUE(IsWindow(window));
        EXPECT_FALSE(IsWindowEnabled(owner.Handle()));
        PostMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
        ASSERT_TRUE(driver::WaitUntil([&] { return !IsIconic(window); }));
        EXPECT_FALSE(IsWindowEnabled(owner.Handle()));
        driver::BringToFront(window);
        driver::ClickCloseBox(window);
        EXPECT_TRUE(driver::WaitUntil([&] { return !IsWindow(window); }));
    });
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
}

TEST(HelpWindow, EscapeLeavesItOpenAndAltF4ClosesIt) {
    StandInMainWindow owner;
    KeyUpWatch escape(VK_ESCAPE);
    WhileShown(ShowHelpWindow, "Help", [&](HWND window) {
        driver::BringToFront(window);
        driver::PressKey(VK_ESCAPE);
        ASSERT_TRUE(driver::WaitUntil([&] { return escape.Count() > 0; }));
        driver::Settle(window);
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_FALSE(IsWindowEnabled(owner.Handle()));
        driver::PressChord({VK_MENU, VK_F4});
        EXPECT_TRUE(driver::WaitUntil([&] { return !IsWindow(window); }));
    });
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
}
