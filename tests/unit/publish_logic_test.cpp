#include <gtest/gtest.h>

#include <map>

#include "convert/publish_logic.h"

TEST(PublishLogic, CascadeRisesSquareBySquareAndStartsAgainAfter236Passes) {
    GreenCascade levels = kCascadeStart;
    std::map<int, GreenCascade> seen;
    for (int pass = 1; pass <= 236; ++pass) {
        AdvanceCascade(levels);
        seen[pass] = levels;
    }
    EXPECT_EQ(seen[1], (GreenCascade{25, 20, 20, 20, 20}));
    EXPECT_EQ(seen[46], (GreenCascade{250, 20, 20, 20, 20}));
    EXPECT_EQ(seen[47], (GreenCascade{255, 20, 20, 20, 20}));
    EXPECT_EQ(seen[48], (GreenCascade{255, 25, 20, 20, 20}));
    EXPECT_EQ(seen[235], (GreenCascade{255, 255, 255, 255, 255}));
    EXPECT_EQ(seen[236], kCascadeStart);
    EXPECT_EQ(NextFrame(0), 1);
    EXPECT_EQ(NextFrame(4), 1);
}

TEST(PublishLogic, ProcessingTimeHasWholeFieldsNeverSixty) {
    EXPECT_EQ(ProcessingTimeText(59.999), "Processing time: 00:00:59");
    EXPECT_EQ(ProcessingTimeText(60.0), "Processing time: 00:01:00");
    EXPECT_EQ(ProcessingTimeText(360000), "Processing time: 100:00:00");
    EXPECT_EQ(ProcessingTimeText(-0.5), "Processing time: 00:00:00");
}
