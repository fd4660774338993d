#include <gtest/gtest.h>

#include "convert/publish_logic.h"

TEST(PublishLogic, ProcessingTimeNeverShowsSixtySeconds) {
    EXPECT_EQ(ProcessingTimeText(59.999), "Processing time: 00:00:59");
    EXPECT_EQ(ProcessingTimeText(360000), "Processing time: 100:00:00");
}
