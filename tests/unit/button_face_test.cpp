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
    const std::vector<int> rows200 = RowBands(200);
    for (int row = 0; row < 200; ++row)
        EXPECT_EQ(rows200[row], row);
    // Taller faces have bands of one or two rows that cover the face.
    int covered = 0;
    for (const FaceBand& band : FaceBands(300)) {
        EXPECT_TRUE(band.bottom - band.top == 1 || band.bottom - band.top == 2) << band.top;
        covered += band.bottom - band.top;
    }
    EXPECT_EQ(covered, 300);
}

TEST(ButtonFace, FourHuesAndNothingElse) {
    constexpr uint32_t kBlue = 0xFF0000, kGreen = 0x00FF00, kRed = 0x0000FF, kGrey = 0x808080;
    EXPECT_EQ(FaceBandColour(kBlue, 0), (FaceColour{0, 199, 255}));
    EXPECT_EQ(FaceBandColour(kBlue, 199), (FaceColour{0, 0, 56}));
    EXPECT_EQ(FaceBandColour(kGreen, 0), (FaceColour{0, 255, 0}));
    EXPECT_EQ(FaceBandColour(kGrey, 199), (FaceColour{56, 56, 56}));
    EXPECT_EQ(FaceBandColour(kRed, 0), (FaceColour{255, 125, 125}));
    // Red turns pure red from band 125 on, its green and blue stopping at 0.
    EXPECT_EQ(FaceBandColour(kRed, 124), (FaceColour{131, 1, 1}));
    for (int band = 125; band < kFaceBands; ++band)
        EXPECT_EQ(FaceBandColour(kRed, band), (FaceColour{uint8_t(255 - band), 0, 0}));
    EXPECT_FALSE(FaceBandColour(0x000000, 10).has_value()) << "black, as for a pressed button";
    EXPECT_FALSE(FaceBandColour(0xFF0001, 10).has_value());
}
