// The painted buttons of the main window, read from the screen.
#include <gtest/gtest.h>

#include <algorithm>

#include "mainwin/button_face.h"
#include "tests/driver/driver.h"

using namespace driver;

namespace {

const struct {
    int id;
    COLORREF hue, label;
} kButtons[] = {
    {1005, RGB(0, 0, 255), RGB(255, 255, 255)}, {1012, RGB(0, 255, 0), RGB(255, 255, 255)},
    {1021, RGB(255, 0, 0), RGB(255, 255, 255)}, {1010, RGB(128, 128, 128), RGB(0, 0, 0)},
    {1022, RGB(128, 128, 128), RGB(0, 0, 0)},
};

COLORREF ExpectedRow(COLORREF hue, int height, int row) {
    const auto colour = FaceBandColour(hue, RowBands(height)[row]);
    return colour ? RGB(colour->red, colour->green, colour->blue) : CLR_INVALID;
}

int CountColour(const std::vector<std::vector<COLORREF>>& pixels, COLORREF colour) {
    int count = 0;
    for (const auto& row : pixels)
        count += std::count(row.begin(), row.end(), colour);
    return count;
}

class MainButtonsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = program.WaitForMainWindow();
        ASSERT_NE(window, nullptr);
        BringToFront(window);
        MoveMouse(window, 500, 100); // away from the buttons
    }
    Program program;
    HWND window = nullptr;
};

} // namespace

TEST_F(MainButtonsTest, FacesAndLabelsWhenReleased) {
    for (const auto& button : kButtons) {
        SCOPED_TRACE(button.id);
        HWND control = Item(window, button.id);
        const SIZE size = ClientSizeOf(control);
        ASSERT_TRUE(WaitForPixel(control, 1, 0, ExpectedRow(button.hue, size.cy, 0)));
        const auto face = Capture(control, {0, 0, size.cx, size.cy});
        for (int row = 0; row < size.cy; ++row) {
            EXPECT_EQ(face[row][1], ExpectedRow(button.hue, size.cy, row)) << "row " << row;
            EXPECT_EQ(face[row][size.cx - 2], ExpectedRow(button.hue, size.cy, row)) << "row " << row;
        }
        EXPECT_GT(CountColour(face, button.label), 10) << "the label in its colour";
        EXPECT_EQ(CountColour(face, RGB(0, 0, 255)), 0) << "no blue \"Process\" while released";
    }
}

TEST_F(MainButtonsTest, PressedShowsProcessOverTheOldFace) {
    HWND exit = Item(window, 1021);
    const SIZE size = ClientSizeOf(exit);
    const COLORREF middleRow = ExpectedRow(RGB(255, 0, 0), size.cy, size.cy / 2);
    ASSERT_TRUE(WaitForPixel(exit, 1, size.cy / 2, middleRow));
    MoveMouse(exit, size.cx / 2, size.cy / 2);
    MouseDown();
    Settle(window);
    const auto pressed = Capture(exit, {0, 0, size.cx, size.cy});
    // Leave the button before letting go, so the press does not end the program.
    MoveMouse(window, 500, 100);
    MouseUp();
    EXPECT_GT(CountColour(pressed, RGB(0, 0, 255)), 10) << "\"Process\" in blue";
    EXPECT_EQ(pressed[size.cy / 2][size.cx / 2 - 30], middleRow) << "the face painted before stays";
    EXPECT_EQ(pressed[0][0], GetSysColor(COLOR_BTNSHADOW)) << "a sunken edge";
    EXPECT_EQ(pressed[size.cy - 1][size.cx - 1], GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_TRUE(program.Running());
    EXPECT_TRUE(WaitForPixel(exit, 1, 0, ExpectedRow(RGB(255, 0, 0), size.cy, 0))) << "released again";
}

TEST_F(MainButtonsTest, LinkCursorOverLoadAndAboutOnly) {
    const HCURSOR arrow = CurrentCursor();
    for (const auto& button : kButtons) {
        const SIZE size = ClientSizeOf(Item(window, button.id));
        MoveMouse(Item(window, button.id), size.cx / 2, size.cy / 2);
        const bool link = button.id == 1005 || button.id == 1010;
        EXPECT_TRUE(WaitUntil([&] { return (CurrentCursor() != arrow) == link; }, 2000)) << button.id;
    }
}
