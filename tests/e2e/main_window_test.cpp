// The main window as a user meets it: layout, texts and colours. How it closes and what it
// shows from the settings file are in settings_test.cpp.
#include <gtest/gtest.h>

#include "tests/driver/driver.h"

using namespace driver;

namespace {

struct ExpectedControl {
    int id;
    const char* className;
    const char* text;
    RECT place;  // left, top, right, bottom in client pixels (a bottom of 0 is not checked)
    DWORD style; // besides WS_CHILD and WS_VISIBLE
    DWORD exStyle;
};

constexpr DWORD kOwnerDrawn = BS_OWNERDRAW, kOption = BS_AUTORADIOBUTTON | WS_TABSTOP;

// clang-format off
const ExpectedControl kControls[] = {
    {1004, "Static", "KESTO Video Converter", {6, 16, 1006, 81}, SS_CENTER, 0},
    {1003, "Static", "KESTO Video Converter", {5, 15, 1005, 80}, SS_CENTER, 0},
    {1018, "Static", "KESTO", {206, 15, 406, 80}, SS_LEFT, 0},
    {1005, "Button", "Load any Movie", {5, 150, 125, 175}, kOwnerDrawn, WS_EX_STATICEDGE},
    {1012, "Button", "Publish", {127, 150, 247, 175}, kOwnerDrawn, WS_EX_STATICEDGE},
    {1015, "Static", "Build v1.01", {935, 100, 1035, 120}, SS_LEFT, 0},
    {1008, "Static", "Input video path:", {5, 185, 155, 203}, SS_LEFT, 0},
    // A sunken static adds a static edge of its own; without a settings file it shows the program folder.
    {1006, "Static", nullptr, {5, 205, 995, 227}, SS_SUNKEN | SS_PATHELLIPSIS, WS_EX_CLIENTEDGE | WS_EX_STATICEDGE},
    {1022, "Button", "Help", {691, 310, 790, 335}, kOwnerDrawn, WS_EX_STATICEDGE},
    {1010, "Button", "About", {793, 310, 892, 335}, kOwnerDrawn, WS_EX_STATICEDGE},
    {1021, "Button", "Exit", {895, 310, 994, 335}, kOwnerDrawn, WS_EX_STATICEDGE},
    {-1, "Static", "", {1, 120, 999, 124}, SS_ETCHEDFRAME, WS_EX_CLIENTEDGE},
    {1016, "Static", "Short Instruction:", {320, 130, 620, 158}, SS_CENTER, 0},
    {1027, "Button", "Usual converting video process", {625, 232, 995, 252}, kOption, WS_EX_STATICEDGE},
    {1028, "Button", "Fast process, changing a video container only - not for all formats", {625, 253, 995, 273}, kOption, WS_EX_STATICEDGE},
    {1029, "Button", "Custom parameters, video process", {625, 274, 995, 294}, kOption, WS_EX_STATICEDGE},
    // An edit control turns its border into an edge of its own drawing.
    {1030, "Edit", "", {5, 274, 620, 294}, ES_AUTOHSCROLL | WS_DISABLED, WS_EX_STATICEDGE},
    {1031, "Static", "Custom ffmpeg parameters:", {10, 257, 310, 275}, SS_LEFT, 0},
    {1032, "Button", "U", {5, 298, 23, 315}, BS_PUSHBUTTON | BS_FLAT, 0},
    {1017, "Static", "1.Load a video of differen format.\r\n2.Select a mode of transformation\r\n3.Select output format of "
                     "video and press the button \"Publish\". \r\n4.Wait a finish of a process.", {630, 140, 1000, 190}, SS_LEFT, 0},
    {1024, "Static", "Compression", {520, 233, 619, 248}, SS_CENTER, 0},
    // A combo box hands its scroll bar to its list and draws its own edge.
    {1025, "ComboBox", "Default", {520, 251, 619, 0}, CBS_DROPDOWNLIST, 0},
};
// clang-format on

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = program.WaitForMainWindow();
        ASSERT_NE(window, nullptr) << "main window did not appear";
    }
    Program program;
    HWND window = nullptr;
};

} // namespace

TEST_F(MainWindowTest, CaptionSizeAndFrame) {
    EXPECT_EQ(TextOf(window), "Tarvelle Video Converter.   http://tarvelle.test");
    EXPECT_EQ(ClientSizeOf(window).cx, 1000);
    EXPECT_EQ(ClientSizeOf(window).cy, 350);
    const DWORD wanted = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_SETFONT | DS_3DLOOK |
                         DS_NOFAILCREATE | DS_CENTER;
    EXPECT_EQ(StyleOf(window) & wanted, wanted);
    EXPECT_EQ(StyleOf(window) & (WS_MAXIMIZEBOX | WS_THICKFRAME | DS_SYSMODAL), 0u);
    EXPECT_EQ(ClassOf(window), "#32770");
    EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);
    // Centred in the work area of the screen.
    RECT outer{}, work{};
    GetWindowRect(window, &outer);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR(outer.left - work.left, work.right - outer.right, 1);
    EXPECT_NEAR(outer.top - work.top, work.bottom - outer.bottom, 1);
}

TEST_F(MainWindowTest, EveryControlInCreationOrder) {
    HWND control = GetWindow(window, GW_CHILD);
    for (const ExpectedControl& want : kControls) {
        SCOPED_TRACE("id " + std::to_string(want.id));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(GetDlgCtrlID(control), want.id);
        EXPECT_EQ(ClassOf(control), want.className);
        EXPECT_EQ(TextOf(control), want.text ? want.text : WideToUtf8(program.Folder()));
        const RECT place = RectInParent(control);
        EXPECT_EQ(place.left, want.place.left);
        EXPECT_EQ(place.top, want.place.top);
        EXPECT_EQ(place.right, want.place.right);
        EXPECT_EQ(want.place.bottom ? place.bottom : 0, want.place.bottom);
        const DWORD style = StyleOf(control);
        EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | want.style), WS_CHILD | WS_VISIBLE | want.style);
        const bool typed = std::string(want.className) == "Static" || std::string(want.className) == "Button";
        EXPECT_EQ(typed ? style & 0x1F : 0, want.style & (typed ? 0x1F : 0)) << "control type";
        // Only the three options are tab stops, and nothing starts a group.
        EXPECT_EQ(style & (WS_TABSTOP | WS_GROUP), want.style & WS_TABSTOP);
        const DWORD edges = WS_EX_STATICEDGE | WS_EX_CLIENTEDGE;
        EXPECT_EQ(ExStyleOf(control) & (want.exStyle ? want.exStyle : edges), want.exStyle);
        control = GetWindow(control, GW_HWNDNEXT);
    }
    EXPECT_EQ(control, nullptr) << "no further controls";
}

TEST_F(MainWindowTest, CompressionListStartsAtDefaultUnsorted) {
    HWND combo = Item(window, 1025);
    const std::vector<std::string> expected = {
        "Default", "1:Max size", "2:",  "3:",  "4:",  "5:",  "6:",  "7:",  "8:",  "9:",  "10:",
        "11:",     "12:",        "13:", "14:", "15:", "16:", "17:", "18:", "19:", "20:", "21:Min size"};
    EXPECT_EQ(ComboItems(combo), expected);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(StyleOf(combo) & CBS_SORT, 0u);
    // Created 190 high with its list; the system trims the list to whole items (and Wine
    // also leaves out the selection field), so the dropped list ends somewhat above that.
    RECT dropped{}, closed{};
    SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    GetWindowRect(combo, &closed);
    EXPECT_LE(dropped.bottom - closed.top, 190);
    EXPECT_GT(dropped.bottom - closed.top, 150);
}

TEST_F(MainWindowTest, ColoursOnScreen) {
    BringToFront(window);
    EXPECT_TRUE(WaitForPixel(window, 500, 100, RGB(85, 85, 85))) << "window background";
    EXPECT_TRUE(WaitForPixel(window, 300, 215, RGB(255, 255, 255))) << "path label";
    EXPECT_TRUE(WaitForPixel(window, 300, 284, RGB(245, 222, 179))) << "custom parameters box";
    EXPECT_TRUE(WaitForPixel(window, 990, 240, RGB(85, 85, 153))) << "mode option";
    // The title: blue glyphs with their black shadow one pixel right and down.
    const auto title = Capture(window, {0, 15, 1000, 81});
    int blue = 0, shadowed = 0;
    for (size_t y = 0; y + 1 < title.size(); ++y)
        for (size_t x = 0; x + 1 < title[y].size(); ++x)
            if (title[y][x] == RGB(30, 144, 255)) {
                ++blue;
                shadowed += title[y + 1][x + 1] == RGB(0, 0, 0) || title[y + 1][x + 1] == RGB(30, 144, 255);
            }
    EXPECT_GT(blue, 2000);
    EXPECT_GT(shadowed, blue * 3 / 4); // smoothed glyph edges aside
    int pureBlue = 0;
    for (const auto& row : Capture(window, {206, 15, 406, 81}))
        pureBlue += std::count(row.begin(), row.end(), RGB(0, 0, 255));
    EXPECT_GT(pureBlue, 1000) << "the short name KESTO in pure blue";
}
