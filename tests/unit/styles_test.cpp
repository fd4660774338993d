#include <gtest/gtest.h>

#include "toolkit/styles.h"

// The styles themselves are read from the program's real windows (tests/e2e, tests/wine).
TEST(Centre, CentresInTheWorkAreaAndNeverGoesNegative) {
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
