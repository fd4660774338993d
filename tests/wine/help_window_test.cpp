// The help window in this process, owned by a stand-in for the main window.
#include <gtest/gtest.h>

#include "infowin/info_windows.h"
#include "tests/wine/key_watch.h"
#include "tests/wine/window_checks.h"

using namespace checks;

namespace {

const struct {
    int id;
    const char* text;
    RECT place; // client pixels
} kLabels[] = {
    {100, "  Instruction:", {0, 0, 710, 38}},
    {101,
     "Run the KESTO video converter as Administrator !\r\n1.Select input video file.\r\n2.Select a mode of "
     "transformation.\r\n3.Select output video formmat.\r\n4.Publish output video, and wait.",
     {10, 45, 410, 135}},
    {102, " Common recommendation:", {10, 125, 310, 149}},
    {103,
     "Run the KESTO video converter as Administrator !\r\nUse a big free size of HDD/SSD for output video "
     "\r\nThe better to use an external (non system) HDD/SSD for output video.\r\nFor Flash Software - use "
     "FLV "
     "format, for Html5 Software - use MP4 or WebM output video format.",
     {10, 157, 480, 237}},
};

constexpr COLORREF kGrey = RGB(167, 167, 167), kWhite = RGB(255, 255, 255);

} // namespace

TEST(HelpWindow, FrameLabelsFontsAndColoursTheSameEachTime) {
    StandInMainWindow owner;
    for (int opening = 1; opening <= 2; ++opening) {
        SCOPED_TRACE(testing::Message() << "opening " << opening);
        WhileShown(ShowHelpWindow, "Help", [&](HWND window) {
            EXPECT_EQ(driver::ClientSizeOf(window).cx, 500);
            EXPECT_EQ(driver::ClientSizeOf(window).cy, 230);
            const DWORD wanted = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_CENTER | DS_SETFONT;
            EXPECT_EQ(driver::StyleOf(window) & wanted, wanted);
            EXPECT_EQ(driver::StyleOf(window) & (WS_MAXIMIZEBOX | WS_THICKFRAME | DS_SYSMODAL), 0u);
            EXPECT_EQ(GetWindow(window, GW_OWNER), hMainDlg);
            EXPECT_FALSE(IsWindowEnabled(hMainDlg)) << "the main window waits while help is up";
            EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);

            const std::vector<HWND> children = ChildrenInOrder(window);
            ASSERT_EQ(children.size(), std::size(kLabels));
            for (size_t i = 0; i < children.size(); ++i) {
                SCOPED_TRACE(kLabels[i].id);
                EXPECT_EQ(GetDlgCtrlID(children[i]), kLabels[i].id);
                EXPECT_EQ(driver::ClassOf(children[i]), "Static");
                EXPECT_EQ(driver::TextOf(children[i]), kLabels[i].text);
                EXPECT_EQ(Describe(driver::RectInParent(children[i])), Describe(kLabels[i].place));
                EXPECT_EQ(driver::StyleOf(children[i]) & (0x1F | WS_TABSTOP | SS_NOTIFY), DWORD(SS_LEFT));
            }
            EXPECT_EQ(FontOf(children[0]), Font("Times New Roman", 20, FW_BOLD, true));
            EXPECT_EQ(FontOf(children[2]), Font("Times New Roman", 15, FW_BOLD, false));
            EXPECT_EQ(FontOf(children[1]).rfind("MS Sans Serif ", 0), 0u);

            driver::BringToFront(window);
            EXPECT_TRUE(driver::WaitForPixel(window, 450, 60, kGrey)) << "window background";
            EXPECT_TRUE(driver::WaitForPixel(window, 400, 128, kGrey))
                << "the instruction shows the window behind";
            // The heading is a white band 38 pixels high across the whole window.
            EXPECT_TRUE(driver::WaitForPixel(window, 499, 0, kWhite));
            EXPECT_TRUE(driver::WaitForPixel(window, 300, 37, kWhite));
            EXPECT_TRUE(driver::WaitForPixel(window, 300, 40, kGrey));
            EXPECT_TRUE(driver::WaitForPixel(window, 305, 145, RGB(192, 192, 192)))
                << "subheading background";
            for (const auto& label : kLabels) {
                const RECT visible{label.place.left, label.place.top, std::min<LONG>(label.place.right, 500),
                                   std::min<LONG>(label.place.bottom, 230)};
                EXPECT_GT(CountColour(window, visible, RGB(0, 0, 0)), 50)
                    << "black text of label " << label.id;
            }
        });
        EXPECT_TRUE(IsWindowEnabled(hMainDlg));
    }
}

TEST(HelpWindow, EscapeAndMinimisingLeaveTheOwnerDisabledTheCloseBoxEnablesIt) {
    StandInMainWindow owner;
    KeyUpWatch escape(VK_ESCAPE);
    WhileShown(ShowHelpWindow, "Help", [&](HWND window) {
        driver::BringToFront(window);
        driver::PressKey(VK_ESCAPE);
        ASSERT_TRUE(driver::WaitUntil([&] { return escape.Count() > 0; }));
        driver::Settle(window);
        EXPECT_TRUE(IsWindowVisible(window)) << "Escape leaves it open";
        PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        ASSERT_TRUE(driver::WaitUntil([&] { return IsIconic(window); }));
        EXPECT_FALSE(IsWindowEnabled(hMainDlg));
        PostMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
        ASSERT_TRUE(driver::WaitUntil([&] { return !IsIconic(window); }));
        EXPECT_FALSE(IsWindowEnabled(hMainDlg));
        driver::BringToFront(window);
        driver::ClickCloseBox(window);
        EXPECT_TRUE(driver::WaitUntil([&] { return !IsWindow(window); }));
    });
    EXPECT_TRUE(IsWindowEnabled(hMainDlg));
}
