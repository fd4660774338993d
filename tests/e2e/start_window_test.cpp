// The start window as a user meets it: it comes before the main window, shows the title
// picture, the invitation and the maker's web address, and however it is closed the main
// window follows.
#include <gtest/gtest.h>

#include "tests/driver/dialog_units.h"
#include "tests/driver/driver.h"
#include "tests/driver/pictures.h"
#include "tests/driver/shell_handlers.h"

using namespace driver;

namespace {

constexpr const char* kCaption = "Tarvelle Video Converter. ";
constexpr const char* kWebAddress = "http://tarvelle.test";
constexpr int kAddress = 2000, kInvitation = 2001, kStart = 2005;
constexpr DWORD kTypeMask = 0x1F; // the control-type bits of STATIC and BUTTON styles

std::vector<HWND> ChildrenInOrder(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

int CountColour(HWND window, const RECT& area, COLORREF colour) {
    int count = 0;
    for (const auto& row : Capture(window, area))
        for (COLORREF pixel : row)
            count += pixel == colour;
    return count;
}

class StartWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        start = program.WaitForWindow(kCaption);
        ASSERT_NE(start, nullptr) << "start window did not appear";
        Settle(start);
    }

    bool MainWindowShown() const {
        for (HWND window : TopWindowsOf(program.Id()))
            if (IsWindowVisible(window) && TextOf(window).rfind("Tarvelle Video Converter.   ", 0) == 0)
                return true;
        return false;
    }

    // Closing the start window in any way lets the main window come up, and only then.
    void ExpectMainWindowFollows() {
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(start); })) << "the start window is still up";
        HWND main = program.WaitForMainWindow();
        ASSERT_NE(main, nullptr);
        PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
        DWORD exitCode = 1;
        ASSERT_TRUE(program.WaitForExit(10000, &exitCode));
        EXPECT_EQ(exitCode, 0u);
    }

    Program program;
    HWND start = nullptr;
};

} // namespace

TEST_F(StartWindowTest, CaptionSizeAndFrame) {
    EXPECT_EQ(TextOf(start), kCaption);
    EXPECT_EQ(ClassOf(start), "#32770");
    const RECT client = DialogUnitsToPixels(0, 0, 437, 120);
    const SIZE size = ClientSizeOf(start);
    EXPECT_EQ(size.cx, client.right);
    EXPECT_EQ(size.cy, client.bottom);
    RecordProperty("client_size", std::to_string(size.cx) + "x" + std::to_string(size.cy));
    const DWORD wanted = WS_CAPTION | WS_SYSMENU | DS_CENTER | DS_SETFONT | DS_3DLOOK | DS_NOFAILCREATE;
    EXPECT_EQ(StyleOf(start) & wanted, wanted);
    EXPECT_EQ(StyleOf(start) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME | DS_SYSMODAL), 0u);
    EXPECT_EQ(GetWindow(start, GW_OWNER), nullptr);
    RECT outer{}, work{};
    GetWindowRect(start, &outer);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR(outer.left - work.left, work.right - outer.right, 1);
    EXPECT_NEAR(outer.top - work.top, work.bottom - outer.bottom, 1);
    EXPECT_FALSE(MainWindowShown()) << "the main window waits for the start window";
}

TEST_F(StartWindowTest, ControlsInCreationOrder) {
    struct Expected {
        int id;
        const char* className;
        const char* text;
        RECT place;
        DWORD style; // besides WS_CHILD and WS_VISIBLE
    };
    RECT picture = DialogUnitsToPixels(5, 5, 0, 0);
    picture.right = picture.left + 640; // the bitmap's own size
    picture.bottom = picture.top + 154;
    const Expected expected[] = {
        {-1, "Static", "", picture, SS_BITMAP},
        {kInvitation, "Static", "See a more of free Apps at:", DialogUnitsToPixels(15, 102, 120, 12),
         SS_LEFT},
        {kAddress, "Static", kWebAddress, DialogUnitsToPixels(138, 102, 200, 12), SS_LEFT | SS_NOTIFY},
        {kStart, "Button", "Start", DialogUnitsToPixels(360, 102, 70, 14), BS_PUSHBUTTON | BS_FLAT},
    };
    const std::vector<HWND> children = ChildrenInOrder(start);
    ASSERT_EQ(children.size(), std::size(expected));
    for (size_t i = 0; i < children.size(); ++i) {
        const Expected& want = expected[i];
        SCOPED_TRACE(testing::Message() << "control #" << i + 1 << " id " << want.id);
        EXPECT_EQ(GetDlgCtrlID(children[i]), want.id);
        EXPECT_EQ(ClassOf(children[i]), want.className);
        EXPECT_EQ(TextOf(children[i]), want.text);
        EXPECT_TRUE(SameRect(RectInParent(children[i]), want.place));
        const DWORD style = StyleOf(children[i]);
        EXPECT_EQ(style & kTypeMask, want.style & kTypeMask);
        EXPECT_EQ(style & (want.style | SS_NOTIFY | WS_TABSTOP | WS_GROUP), want.style) << "no tab stops";
        EXPECT_EQ(ExStyleOf(children[i]) & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE), 0u);
    }
}

TEST_F(StartWindowTest, WhiteWindowBlueAddressAndTitlePicture) {
    BringToFront(start);
    const SIZE client = ClientSizeOf(start);
    EXPECT_TRUE(WaitForPixel(start, client.cx - 3, client.cy / 2, RGB(255, 255, 255)));
    EXPECT_TRUE(WaitForPixel(start, client.cx / 2, client.cy - 2, RGB(255, 255, 255)));
    // The labels paint no background of their own: white shows around their text (below the
    // picture, which their top may overlap).
    const RECT picture = RectInParent(ChildrenInOrder(start)[0]);
    RECT invitation = RectInParent(Item(start, kInvitation));
    RECT address = RectInParent(Item(start, kAddress));
    EXPECT_GT(CountColour(start, invitation, RGB(0, 0, 0)), 100) << "black invitation";
    EXPECT_GT(CountColour(start, address, RGB(0, 0, 255)), 100) << "blue address";
    for (RECT* label : {&invitation, &address}) {
        RECT below = *label;
        below.top = std::max(below.top, picture.bottom);
        const int area = (below.right - below.left) * (below.bottom - below.top);
        EXPECT_GT(CountColour(start, below, RGB(255, 255, 255)), area / 2);
    }
    // The picture at its own size: its rows above the labels are the bitmap's.
    const auto bitmap = ResourceBitmapPixels(L"TITLE");
    ASSERT_EQ(bitmap.size(), 154u);
    const LONG endRow = std::min(invitation.top, picture.bottom);
    const auto shown = Capture(start, {picture.left, picture.top, picture.right, endRow});
    EXPECT_TRUE(std::equal(shown.begin(), shown.end(), bitmap.begin())) << "TITLE shown unscaled";
}

TEST_F(StartWindowTest, HandCursorOverAddressAndStartOnly) {
    BringToFront(start);
    const SIZE client = ClientSizeOf(start);
    auto centre = [&](int id) {
        const RECT r = RectInParent(Item(start, id));
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    };
    auto cursorAt = [&](POINT at, const std::function<bool(HCURSOR)>& wanted) {
        MoveMouse(start, at.x, at.y);
        return WaitUntil([&] { return wanted(CurrentCursor()); }, 3000);
    };
    ASSERT_TRUE(MoveMouse(start, client.cx - 3, client.cy / 2));
    Settle(start);
    const HCURSOR arrow = CurrentCursor(); // over the empty background
    HCURSOR hand = nullptr;
    EXPECT_TRUE(cursorAt(centre(kAddress), [&](HCURSOR c) { return c != arrow && (hand = c) != nullptr; }))
        << "web address";
    EXPECT_TRUE(cursorAt(centre(kInvitation), [&](HCURSOR c) { return c == arrow; })) << "invitation";
    EXPECT_TRUE(cursorAt(centre(kStart), [&](HCURSOR c) { return c == hand; })) << "Start button";
    const RECT picture = RectInParent(ChildrenInOrder(start)[0]);
    EXPECT_TRUE(cursorAt({(picture.left + picture.right) / 2, picture.top + 40}, [&](HCURSOR c) {
        return c == arrow;
    })) << "picture";
}

TEST_F(StartWindowTest, AddressAsksTheShellOnEachClick) {
    ShellHandlers handlers; // the http handler records instead of opening a browser
    HWND address = Item(start, kAddress);
    const SIZE size = ClientSizeOf(address);
    BringToFront(start);
    ClickAt(address, size.cx / 4, size.cy / 2);
    ASSERT_TRUE(handlers.WaitForRequests(1));
    BringToFront(start);
    ClickAt(address, size.cx * 3 / 4, size.cy / 2); // apart from the first: no double-click
    ASSERT_TRUE(handlers.WaitForRequests(2));
    for (const ShellRequestSeen& request : handlers.Requests()) {
        EXPECT_EQ(request.target, kWebAddress);
        EXPECT_EQ(request.show, SW_SHOWNORMAL);
    }
    EXPECT_TRUE(IsWindowVisible(start)) << "the start window stays";
    EXPECT_FALSE(MainWindowShown());
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
    EXPECT_FALSE(MainWindowShown());
}

TEST_F(StartWindowTest, StartButtonLeadsToTheMainWindow) {
    BringToFront(start);
    Click(Item(start, kStart));
    ExpectMainWindowFollows();
}

TEST_F(StartWindowTest, CloseBoxLeadsToTheMainWindow) {
    BringToFront(start);
    ClickCloseBox(start);
    ExpectMainWindowFollows();
}

TEST_F(StartWindowTest, AltF4LeadsToTheMainWindow) {
    BringToFront(start);
    PressChord({VK_MENU, VK_F4});
    ExpectMainWindowFollows();
}
