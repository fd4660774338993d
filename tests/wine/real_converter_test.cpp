// The conversion worker with the real converter: what each mode makes of a clip, and what the
// program keeps from happening to the input.
#include <gtest/gtest.h>

#include "tests/support/paths.h"
#include "tests/wine/converter_beside.h"

using namespace test;

TEST(RealConverter, EachModeMakesAVideoOfTheClipsLength) {
    ASSERT_TRUE(PlaceConverter(true));
    const std::wstring media = NewTempFolder(L"kesto-media"), clip = media + L"\\clip 3s.mp4";
    ASSERT_TRUE(MakeClip(clip, 3));
    // The usual mode goes through the whole program in the release test.
    for (auto [mode, custom, output, video] :
         {std::tuple{0, "", L"fast copy.mkv", "Video: h264"},
          std::tuple{2, "-c:v mpeg4 -q:v 5", L"custom.avi", "Video: mpeg4"}}) {
        SCOPED_TRACE(Utf8(output));
        ConverterRun run;
        run.request = {mode, "15", custom, Utf8(clip), Utf8(media + L"\\" + output)};
        ASSERT_TRUE(StartRun(run));
        ASSERT_TRUE(EndOfRun(run, 120000));
        EXPECT_EQ(run.outcome, RunOutcome::Succeeded) << run.exitCode;
        const std::string probe = Probe(media + L"\\" + output);
        for (const char* part : {video, "Audio:", "Duration: 00:00:03.0"})
            EXPECT_NE(probe.find(part), std::string::npos) << part << " in " << probe;
    }
    RemoveConverterAndLog();
    RemoveTree(media);
}

TEST(RealConverter, APhonesTenBitVideoBecomesOneThatEveryPlayerTakes) {
    ASSERT_TRUE(PlaceConverter(true));
    const std::wstring media = NewTempFolder(L"kesto-media");
    ConverterRun run;
    run.request = {1, "15", "", Utf8(KESTO_TEN_BIT_CLIP), Utf8(media + L"\\plays.mp4")};
    ASSERT_TRUE(StartRun(run));
    ASSERT_TRUE(EndOfRun(run, 120000));
    EXPECT_EQ(run.outcome, RunOutcome::Succeeded);
    const std::string probe = Probe(media + L"\\plays.mp4");
    EXPECT_NE(probe.find("Video: h264 (High) (avc1 / 0x31637661), yuv420p,"), std::string::npos) << probe;
    RemoveConverterAndLog();
    RemoveTree(media);
}

TEST(RealConverter, ParametersThatWriteOverTheInputFailAndLeaveItWhole) {
    ASSERT_TRUE(PlaceConverter(true));
    const std::wstring media = NewTempFolder(L"kesto-media"), victim = media + L"\\victim.avi";
    ASSERT_TRUE(MakeClip(victim, 2));
    const std::string before = ReadBytes(victim);
    ConverterRun run;
    // The input again, in another spelling, as a second output.
    run.request = {2, "15", "-c copy \"" + Utf8(media + L"\\VICTIM.AVI") + "\"", Utf8(victim),
                   Utf8(media + L"\\out.mkv")};
    ASSERT_TRUE(StartRun(run));
    ASSERT_TRUE(EndOfRun(run, 120000));
    EXPECT_EQ(run.outcome, RunOutcome::Failed);
    EXPECT_EQ(ReadBytes(victim), before);
    ASSERT_FALSE(run.errorLines.empty());
    EXPECT_NE(run.errorLines.back().find("Permission denied"), std::string::npos) << run.errorLines.back();
    RemoveConverterAndLog();
    RemoveTree(media);
}
