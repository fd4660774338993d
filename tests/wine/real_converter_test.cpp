// The conversion worker with the real converter: a generated clip converted in each mode.
#include <gtest/gtest.h>

#include "tests/driver/clips.h"
#include "tests/wine/converter_beside.h"

using namespace driver;

TEST(RealConverter, EachModeConvertsAndIsLogged) {
    ASSERT_TRUE(PlaceConverter(true));
    DeleteFileW(LogBeside().c_str());
    const std::wstring media = NewTempFolder(L"kesto-media"), clip = media + L"\\clip 3s.mp4";
    ASSERT_TRUE(MakeClip(clip, 3));
    const struct {
        int mode;
        const char* custom;
        const wchar_t* output;
        const char *container, *video, *audio, *logged;
    } cases[] = {
        {1, "", L"usual.mp4", "Input #0, mov,mp4", "Video: h264", "Audio: aac", " -threads 0 -crf 15 -y "},
        {0, "", L"fast copy.mkv", "Input #0, matroska", "Video: h264", "Audio: aac",
         " -threads 0 -vcodec copy -acodec copy -y "},
        {2, "-c:v mpeg4 -q:v 5", L"custom.avi", "Input #0, avi", "Video: mpeg4",
         "Audio:", " -c:v mpeg4 -q:v 5  -y "},
    };
    std::string expectedLog;
    for (const auto& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.output));
        ConverterRun run;
        run.request = {c.mode, "15", c.custom, WideToUtf8(clip), WideToUtf8(media + L"\\" + c.output)};
        ASSERT_TRUE(StartRun(run));
        ASSERT_TRUE(EndOfRun(run, 120000));
        EXPECT_EQ(run.outcome, RunOutcome::Succeeded) << run.exitCode;
        EXPECT_NE(run.commandLine.find(c.logged), std::string::npos) << run.commandLine;
        expectedLog += run.commandLine + "\r\n";
        const std::string probe = Probe(media + L"\\" + c.output);
        for (const char* part : {c.container, c.video, c.audio, "Duration: 00:00:03.0"})
            EXPECT_NE(probe.find(part), std::string::npos) << part << " in " << probe;
    }
    EXPECT_EQ(ReadBytes(LogBeside()), expectedLog) << "one line per run, CR LF ended, oldest first";
    RemoveConverterAndLog();
    RemoveTree(media);
}
