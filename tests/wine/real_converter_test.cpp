// The conversion worker with the real converter: a generated clip converted in each mode.
#include <gtest/gtest.h>

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
