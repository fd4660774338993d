#include <gtest/gtest.h>

#include "toolkit/styles.h"

// The styles themselves are read from the program's real windows (tests/e2e, tests/wine).
TEST(Centre, CentresInTheWorkAreaAndNeverGoesNegative) {
    EXPECT_EQ(CentreInWorkArea(100, 40, 900, 640, 200, 100).x, 400);
    EXPECT_EQ(CentreInWorkArea(100, 40, 900, 640, 200, 100).y, 290);
    EXPECT_EQ(CentreInWorkArea(0, 0, 800, 600, 1006, 700).x, 0);
    EXPECT_EQ(CentreInWorkArea(0, 0, 800, 600, 1006, 700).y, 0);
}
