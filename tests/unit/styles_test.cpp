#include <gtest/gtest.h>

#include <string>

#include "toolkit/styles.h"

using namespace ws;

TEST(ChildStyle, DefaultsPerKind) {
    const auto label = ComposeChildStyle(ControlKind::Label, 0, 0);
    EXPECT_EQ(std::string(label.className), "STATIC");
    EXPECT_EQ(label.style, kChild | kVisible | kSsLeft);
    EXPECT_EQ(ComposeChildStyle(ControlKind::PushButton, 0, 0).style, kChild | kVisible | kTabStop);
    EXPECT_EQ(ComposeChildStyle(ControlKind::OptionButton, 0, 0).style,
              kChild | kVisible | kTabStop | kBsAutoRadioButton);
    const auto combo = ComposeChildStyle(ControlKind::DropDownList, 0, 0);
    EXPECT_EQ(std::string(combo.className), "COMBOBOX");
    EXPECT_EQ(combo.style, kChild | kVisible | kCbsDropDown | kCbsSort | kTabStop);
}

TEST(ChildStyle, ExplicitStyleReplacesDefaultButKeepsTypeBits) {
    // A notify label has no tab stop; a flat button has none either.
    EXPECT_EQ(ComposeChildStyle(ControlKind::Label, kSsNotify, 0).style,
              kChild | kVisible | kSsLeft | kSsNotify);
    EXPECT_EQ(ComposeChildStyle(ControlKind::PushButton, kBsFlat, 0).style & kTabStop, 0u);
    EXPECT_EQ(ComposeChildStyle(ControlKind::OptionButton, kTabStop, 0).style & 0xF, kBsAutoRadioButton);
    EXPECT_EQ(ComposeChildStyle(ControlKind::Line, kSsSunken, 0).style & 0x1F, kSsEtchedFrame);
    EXPECT_EQ(ComposeChildStyle(ControlKind::StretchedPicture, kSsSunken, 0).style & 0x1F, kSsBitmap);
    // An explicit combo style is kept exactly: no sorting sneaks in.
    const auto combo = ComposeChildStyle(ControlKind::DropDownList, kCbsDropDownList | kVScroll, 0);
    EXPECT_EQ(combo.style, kChild | kVisible | kCbsDropDownList | kVScroll);
}

TEST(ChildStyle, BoxBorderBecomesClientEdge) {
    const auto box = ComposeChildStyle(ControlKind::TextBox, 0, kExStaticEdge);
    EXPECT_EQ(box.style & kBorder, 0u);
    EXPECT_EQ(box.exStyle, kExStaticEdge | kExClientEdge);
    const auto label = ComposeChildStyle(ControlKind::Label, kBorder, 0);
    EXPECT_EQ(label.style & kBorder, kBorder); // other kinds keep a plain border
    EXPECT_EQ(label.exStyle, 0u);
}

TEST(WindowStyle, DefaultAndForcedBits) {
    EXPECT_EQ(ComposeWindowStyle(0),
              kPopup | kCaption | kDsModalFrame | kDsSetFont | kDsNoFailCreate | kDs3dLook);
    const uint32_t style = ComposeWindowStyle(kCaption | kSysMenu | kVisible | kDsSysModal);
    EXPECT_EQ(style & (kVisible | kDsSysModal), 0u);
    EXPECT_EQ(style, kCaption | kSysMenu | kDsSetFont | kDsNoFailCreate | kDs3dLook);
}

TEST(Centre, CentresAndNeverGoesNegative) {
    const Point p = CentreInWorkArea(0, 0, 1600, 970, 1006, 379);
    EXPECT_EQ(p.x, 297);
    EXPECT_EQ(p.y, 295);
    const Point big = CentreInWorkArea(0, 0, 800, 600, 1006, 700);
    EXPECT_EQ(big.x, 0);
    EXPECT_EQ(big.y, 0);
    const Point offset = CentreInWorkArea(100, 40, 900, 640, 200, 100);
    EXPECT_EQ(offset.x, 400);
    EXPECT_EQ(offset.y, 290);
}
