#include <gtest/gtest.h>

#include "mainwin/button_face.h"

TEST(ButtonFace, BandsForEachHeight) {
    const std::vector<int> rows25 = RowBands(25);
    ASSERT_EQ(rows25.size(), 25u);
    EXPECT_EQ((std::vector<int>{rows25[0], rows25[1], rows25[2], rows25[24]}),
              (std::vector<int>{4, 11, 20, 196}));
    EXPECT_TRUE(RowBands(0).empty());
    for (const FaceBand& band : FaceBands(0))
        EXPECT_EQ(band.top, band.bottom);
    // Taller faces have bands of one or two rows that cover the face.
    int covered = 0;
    for (const FaceBand& band : FaceBands(300)) {
        EXPECT_TRUE(band.bottom - band.top == 1 || band.bottom - band.top == 2) << band.top;
        covered += band.bottom - band.top;
    }
    EXPECT_EQ(covered, 300);
}

TEST(ButtonFace, RedStopsAtPureRedAndOtherHuesPaintNothing) {
    constexpr uint32_t kRed = 0x0000FF;
    EXPECT_EQ(FaceBandColour(kRed, 124), (FaceColour{131, 1, 1}));
    EXPECT_EQ(FaceBandColour(kRed, 199), (FaceColour{56, 0, 0}));
    EXPECT_FALSE(FaceBandColour(0x000000, 10).has_value()) << "black, as for a pressed button";
    EXPECT_FALSE(FaceBandColour(0xFF0001, 10).has_value());
}
