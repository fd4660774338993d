#include <gtest/gtest.h>

#include <set>

#include "base/text.h"
#include "convert/batch.h"
#include "files/file_choice.h"

using namespace std::string_literals;
using Paths = std::vector<std::string>;

TEST(Batch, EachVideoGetsAFreeNameAndNoneBecomesItself) {
    const std::set<std::string> existing = {"D:\\Out\\a.mp4", "D:\\Out\\a (2).mp4", "D:\\Clips\\c.mp4"};
    const auto exists = [&](const std::string& path) { return existing.count(path) > 0; };
    const auto same = [](const std::string& a, const std::string& b) { return a == b; };
    const Paths inputs = {"D:\\Clips\\a.avi", "E:\\b.mov", "D:\\Clips\\b.mkv", "D:\\Clips\\.hidden",
                          "D:\\Clips\\a.b.c"};
    std::vector<std::string> outputs;
    for (const PlannedVideo& video : PlanOutputs(inputs, "D:\\Out", ".mp4", exists, same))
        outputs.push_back(video.output);
    // Existing names and names the batch took already get the next free number.
    EXPECT_EQ(outputs, (Paths{"D:\\Out\\a (3).mp4", "D:\\Out\\b.mp4", "D:\\Out\\b (2).mp4",
                              "D:\\Out\\.hidden.mp4", "D:\\Out\\a.b.mp4"}));
    // Into the videos' own folder, as their own type: the one that would be itself is skipped, the
    // name another video of the batch has is not taken, and a drive root takes no second backslash.
    const Paths own = {"D:\\Clips\\c.mp4", "D:\\Clips\\d.avi"};
    const auto plan = PlanOutputs(own, "D:\\Clips", ".mp4", exists, same);
    EXPECT_EQ(plan[0].output, "");
    EXPECT_EQ(plan[1].output, "D:\\Clips\\d.mp4");
    EXPECT_EQ(PlanOutputs({"C:\\x.avi"}, "C:\\", ".mkv", exists, same)[0].output, "C:\\x.mkv");
}

TEST(Batch, TheDialogsMultipleAnswerAndTheCommandLineGiveEveryPath) {
    EXPECT_EQ(ChosenPathsOf("D:\\Clips\0a.mp4\0b c.mov\0\0\0"s),
              (Paths{"D:\\Clips\\a.mp4", "D:\\Clips\\b c.mov"}));
    EXPECT_EQ(ChosenPathsOf("D:\\\0a.mp4\0E:\\x\\b.mov\0\0"s), (Paths{"D:\\a.mp4", "E:\\x\\b.mov"}));
    EXPECT_EQ(ChosenPathsOf("D:\\Clips\\one.mp4\0\0\0"s), (Paths{"D:\\Clips\\one.mp4"}));
    EXPECT_EQ(ChosenPathsOf("\0\0"s), Paths{});
    EXPECT_EQ(
        SplitArguments(
            R"(  "D:\My Clips\a.mp4" D:\b.mov	"C:\end\\" "say \"hi\"" "" x""y "a ""quoted"" b")"),
        (Paths{"D:\\My Clips\\a.mp4", "D:\\b.mov", "C:\\end\\", "say \"hi\"", "", "xy", "a \"quoted\" b"}));
    EXPECT_EQ(SplitArguments(R"(a\\\"b c\\d)"), (Paths{"a\\\"b", "c\\\\d"}));
}

TEST(Batch, ProgressCountsTheVideosLengthsAndItsTimeLeftHoldsSteadyAcrossVideos) {
    BatchProgress batch{{100.0, std::nullopt, std::nullopt}, 0, 50};
    EXPECT_NEAR(BatchFractionDone(batch), 50.0 / 300, 1e-9) << "unknown lengths count as the average";
    EXPECT_EQ(BatchProgressLabel(batch, 25), "16%  00:02:05 left");
    // The first video ends and the second turns out short: the time left follows the pace so far.
    batch = {{100.0, 20.0, std::nullopt}, 1, 0};
    const double fraction = BatchFractionDone(batch);
    EXPECT_NEAR(fraction, 100.0 / 180, 1e-9);
    EXPECT_NEAR(*BatchSecondsLeft(batch, 50), 80.0 / 2, 1e-9);
    batch.position = 10;
    EXPECT_GT(BatchFractionDone(batch), fraction);
    EXPECT_EQ(BatchFractionDone({{100.0}, 1, 0}), 1.0);
    EXPECT_FALSE(BatchSecondsLeft({{100.0}, 0, 0}, 5)) << "nothing done yet: no guess";
}

TEST(Batch, TheClosingMessageSaysWhatEachOutputTypeCouldNotHoldAndStaysAFewLinesTall) {
    std::vector<VideoResult> results = {
        {"D:\\a.mov", true, "", ""},
        {"D:\\b.mov", true, "", "Left out: audio track 2 (fra): FLV cannot hold it."}};
    EXPECT_EQ(BatchClosingMessage(results, false).text,
              "2 videos converted.\r\n\r\nLeft out:\r\nb.mov: audio track 2 (fra): FLV cannot hold it.");
    results.clear();
    for (int i = 0; i < 100; ++i)
        results.push_back({"D:\\clip" + std::to_string(i) + ".mp4", i < 3, i == 3 ? "stopped" : ""});
    for (int i = 0; i < 20; ++i) // twenty different failures, each with a long line of the converter's
        results.push_back(
            {"D:\\bad" + std::to_string(i) + ".avi", false, std::to_string(i) + std::string(900, 'x')});
    const std::string text = BatchClosingMessage(results, true).text;
    EXPECT_LE(std::count(text.begin(), text.end(), '\n'), 16) << text;
    EXPECT_LT(text.size(), 3000u);
    EXPECT_NE(text.find("Conversion cancelled. 3 of 120 videos converted: clip0.mp4, clip1.mp4, clip2.mp4."),
              std::string::npos);
    EXPECT_NE(text.find("\r\nclip4.mp4, clip5.mp4, clip6.mp4 and 93 more: not started"), std::string::npos)
        << text;
    EXPECT_NE(text.find("14 more for other reasons"), std::string::npos) << text;
}
