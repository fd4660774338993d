// The start window as a user meets it: it comes before the main window, shows the title
// picture, the invitation and the maker's web address, and however it is closed the main
// window follows. Fonts, cursors and the shell request are checked in-process (tests/wine).
#include <gtest/gtest.h>

#include "tests/driver/dialog_units.h"
#include "tests/driver/driver.h"
#include "tests/driver/pictures.h"

using namespace driver;

namespace {

constexpr const char* kCaption = "Tarvelle Video Converter. ";
constexpr int kAddress = 2000, kInvitation = 2001, kStart = 2005;

int CountColour(HWND window, const RECT& area, COLORREF colour) {
    int count = 0;
    for (const auto& row : Capture(window, area))
        for (COLORREF pixel : row)
            count += pixel == colour;
    return count;
}

bool MainWindowShown(const Program& program) {
    for (HWND window : TopWindowsOf(program.Id()))
        if (IsWindowVisible(window) && TextOf(window).rfind("Tarvelle Video Converter.   ", 0) == 0)
            return true;
    return false;
}

class StartWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        start = program.WaitForWindow(kCaption);
        ASSERT_NE(start, nullptr) << "start window did not appear";
        Settle(start);
    }
    Program program;
    HWND start = nullptr;
};

} // namespace

TEST_F(StartWindowTest, FrameAndControls) {
    EXPECT_EQ(ClassOf(start), "#32770");
    const RECT client = DialogUnitsToPixels(0, 0, 437, 120);
    EXPECT_EQ(ClientSizeOf(start).cx, client.right);
    EXPECT_EQ(ClientSizeOf(start).cy, client.bottom);
    const DWORD wanted = WS_CAPTION | WS_SYSMENU | DS_CENTER | DS_SETFONT | DS_3DLOOK | DS_NOFAILCREATE;
    EXPECT_EQ(StyleOf(start) & wanted, wanted);
    EXPECT_EQ(StyleOf(start) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME | DS_SYSMODAL), 0u);
    EXPECT_FALSE(MainWindowShown(program)) << "the main window waits for the start window";

    RECT picture = DialogUnitsToPixels(5, 5, 0, 0);
    picture.right = picture.left + 640; // the bitmap's own size
    picture.bottom = picture.top + 154;
    const struct {
        int id;
        const char* className;
        const char* text;
        RECT place;
        DWORD style; // among the type bits, SS_NOTIFY, WS_TABSTOP and WS_GROUP
    } expected[] = {
        {-1, "Static", "", picture, SS_BITMAP},
        {kInvitation, "Static", "See a more of free Apps at:", DialogUnitsToPixels(15, 102, 120, 12),
         SS_LEFT},
        {kAddress, "Static", "http://tarvelle.test", DialogUnitsToPixels(138, 102, 200, 12), SS_NOTIFY},
        {kStart, "Button", "Start", DialogUnitsToPixels(360, 102, 70, 14), BS_PUSHBUTTON},
    };
    HWND child = GetWindow(start, GW_CHILD);
    for (const auto& want : expected) {
        SCOPED_TRACE(want.text);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(GetDlgCtrlID(child), want.id);
        EXPECT_EQ(ClassOf(child), want.className);
        EXPECT_EQ(TextOf(child), want.text);
        const RECT place = RectInParent(child);
        EXPECT_TRUE(EqualRect(&place, &want.place));
        EXPECT_EQ(StyleOf(child) & (0x1F | SS_NOTIFY | WS_TABSTOP | WS_GROUP), want.style);
        EXPECT_EQ(ExStyleOf(child) & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE), 0u);
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr);
    EXPECT_TRUE(StyleOf(Item(start, kStart)) & BS_FLAT);
}

TEST_F(StartWindowTest, WhiteWindowBlueAddressAndTitlePicture) {
    BringToFront(start);
    const SIZE client = ClientSizeOf(start);
    EXPECT_TRUE(WaitForPixel(start, client.cx - 3, client.cy / 2, RGB(255, 255, 255)));
    // The labels paint no background of their own: white shows around their text below the
    // picture, which their top may overlap.
    const RECT picture = RectInParent(GetWindow(start, GW_CHILD));
    RECT invitation = RectInParent(Item(start, kInvitation)), address = RectInParent(Item(start, kAddress));
    EXPECT_GT(CountColour(start, invitation, RGB(0, 0, 0)), 100) << "black invitation";
    EXPECT_GT(CountColour(start, address, RGB(0, 0, 255)), 100) << "blue address";
    for (RECT label : {invitation, address}) {
        label.top = std::max(label.top, picture.bottom);
        EXPECT_GT(CountColour(start, label, RGB(255, 255, 255)),
                  (label.right - label.left) * (label.bottom - label.top) / 2);
    }
    // The picture at its own size: its rows above the labels are the bitmap's.
    const auto bitmap = ResourceBitmapPixels(L"TITLE");
    ASSERT_EQ(bitmap.size(), 154u);
    const auto shown =
        Capture(start, {picture.left, picture.top, picture.right, std::min(invitation.top, picture.bottom)});
    EXPECT_TRUE(std::equal(shown.begin(), shown.end(), bitmap.begin())) << "TITLE shown unscaled";
}

TEST_F(StartWindowTest, EscapeDoesNothing) {
    BringToFront(start);
    const SIZE client = ClientSizeOf(start);
    ASSERT_TRUE(MoveMouse(start, client.cx - 3, client.cy / 2));
    Settle(start);
    const HCURSOR arrow = CurrentCursor();
    PressKey(VK_ESCAPE);
    // Input is handled in order: once the cursor over the address has changed, so has Escape.
    const RECT address = RectInParent(Item(start, kAddress));
    MoveMouse(start, (address.left + address.right) / 2, (address.top + address.bottom) / 2);
    ASSERT_TRUE(WaitUntil([&] { return CurrentCursor() != arrow; }, 3000));
    Settle(start);
    EXPECT_TRUE(IsWindowVisible(start));
    EXPECT_FALSE(MainWindowShown(program));
}

TEST(StartWindow, StartCloseBoxAndAltF4EachLeadToTheMainWindow) {
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way == 0 ? "Start" : way == 1 ? "close box" : "Alt+F4");
        Program program;
        HWND start = program.WaitForWindow(kCaption);
        ASSERT_NE(start, nullptr);
        BringToFront(start);
        if (way == 0) Click(Item(start, kStart));
        if (way == 1) ClickCloseBox(start);
        if (way == 2) PressChord({VK_MENU, VK_F4});
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(start); })) << "the start window is still up";
        HWND main = program.WaitForMainWindow();
        ASSERT_NE(main, nullptr);
        PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
        DWORD exitCode = 1;
        ASSERT_TRUE(program.WaitForExit(10000, &exitCode));
        EXPECT_EQ(exitCode, 0u);
    }
}
