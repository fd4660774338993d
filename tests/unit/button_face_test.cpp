#include <gtest/gtest.h>

#include "mainwin/button_face.h"

namespace {
constexpr uint32_t kBlue = 0xFF0000, kGreen = 0x00FF00, kRed = 0x0000FF, kGrey = 0x808080;
}

TEST(FaceBands, TwentyFivePixelButton) {
    const std::vector<int> rows = RowBands(25);
    ASSERT_EQ(rows.size(), 25u);
    EXPECT_EQ(rows[0], 4);
    EXPECT_EQ(rows[1], 11);
    EXPECT_EQ(rows[2], 20);
    EXPECT_EQ(rows[24], 196);
    const auto bands = FaceBands(25);
    for (int i = 197; i < kFaceBands; ++i) EXPECT_GE(bands[i].top, bands[i].bottom) << "band " << i << " is empty";
}

TEST(FaceBands, HeightZeroPaintsNothing) {
    for (const FaceBand& band : FaceBands(0)) EXPECT_EQ(band.top, band.bottom);
    EXPECT_TRUE(RowBands(0).empty());
}

TEST(FaceBands, TwoHundredPixelsOneRowEach) {
    const std::vector<int> rows = RowBands(200);
    for (int row = 0; row < 200; ++row) EXPECT_EQ(rows[row], row);
}

TEST(FaceBands, TallerFacesHaveBandsOfOneOrTwoRows) {
    const auto bands = FaceBands(300);
    int rows = 0;
    for (const FaceBand& band : bands) {
        const int height = band.bottom - band.top;
        EXPECT_GE(height, 1);
        EXPECT_LE(height, 2);
        rows += height;
    }
    EXPECT_EQ(rows, 300);
    EXPECT_EQ(bands[0].top, 0);
    EXPECT_EQ(bands[199].bottom, 300);
}

TEST(FaceColours, FourHuesAndNothingElse) {
    EXPECT_EQ(FaceBandColour(kBlue, 0), (FaceColour{0, 199, 255}));
    EXPECT_EQ(FaceBandColour(kBlue, 199), (FaceColour{0, 0, 56}));
    EXPECT_EQ(FaceBandColour(kGreen, 0), (FaceColour{0, 255, 0}));
    EXPECT_EQ(FaceBandColour(kGreen, 199), (FaceColour{0, 56, 0}));
    EXPECT_EQ(FaceBandColour(kRed, 0), (FaceColour{255, 125, 125}));
    EXPECT_EQ(FaceBandColour(kGrey, 199), (FaceColour{56, 56, 56}));
    // Red turns pure red from band 125 on, its green and blue stopping at 0.
    EXPECT_EQ(FaceBandColour(kRed, 124), (FaceColour{131, 1, 1}));
    for (int band = 125; band < kFaceBands; ++band)
        EXPECT_EQ(FaceBandColour(kRed, band), (FaceColour{uint8_t(255 - band), 0, 0}));
    EXPECT_FALSE(FaceBandColour(0x000000, 10).has_value()) << "black, as for a pressed button";
    EXPECT_FALSE(FaceBandColour(0xFF0001, 10).has_value());
}
