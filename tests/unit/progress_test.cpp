#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "convert/progress.h"

namespace {

std::string Fixture(const std::string& name) {
    const auto path = std::filesystem::path(__FILE__).parent_path().parent_path() / "fixtures" / name;
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file) << "missing fixture " << path;
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

ConverterProgress FedWhole(std::string_view output) {
    ConverterProgress progress;
    FeedConverterOutput(progress, output);
    FinishConverterOutput(progress);
    return progress;
}

// Feeds pieces of 1 to 40 bytes, always cut the same way.
ConverterProgress FedInRandomPieces(std::string_view output) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<size_t> pieceSize(1, 40);
    ConverterProgress progress;
    while (!output.empty()) {
        const size_t size = std::min(pieceSize(random), output.size());
        FeedConverterOutput(progress, output.substr(0, size));
        output.remove_prefix(size);
    }
    FinishConverterOutput(progress);
    return progress;
}

void ExpectSameResults(const ConverterProgress& a, const ConverterProgress& b) {
    EXPECT_EQ(a.durationSeconds, b.durationSeconds);
    EXPECT_EQ(a.positionSeconds, b.positionSeconds);
    EXPECT_EQ(a.speed, b.speed);
    EXPECT_EQ(LastErrorLines(a), LastErrorLines(b));
}

void ExpectValue(std::optional<double> actual, std::optional<double> expected) {
    ASSERT_EQ(actual.has_value(), expected.has_value());
    if (expected) {
        EXPECT_DOUBLE_EQ(*actual, *expected);
    }
}

bool AnyLineContains(const std::vector<std::string>& lines, std::string_view text) {
    for (const std::string& line : lines)
        if (line.find(text) != line.npos) return true;
    return false;
}

ConverterProgress Fed(std::string_view output) {
    ConverterProgress progress;
    FeedConverterOutput(progress, output);
    return progress;
}

const char* const kInputHeader = "Input #0, avi, from 'D:\\clip.avi':\n"
                                 "  Duration: 00:01:40.00, start: 0.000000, bitrate: 800 kb/s\n";

} // namespace

TEST(ConverterProgress, ReadsRecordedRuns) {
    struct Case {
        const char* fixture;
        std::optional<double> duration;
        std::optional<double> position;
        std::optional<double> speed;
        const char* label;
        const char* lastLineHas;
    };
    const Case cases[] = {
        {"win41_reencode.txt", 5.0, 5.01, 9.22, "100%  00:00:00 left", "Qavg"},
        {"win41_reencode_720p.txt", 5.0, 5.01, 2.3, "100%  00:00:00 left", "Qavg"},
        {"win41_copy_mkv.txt", 5.0, 4.99, 2740, "99%  00:00:00 left", "muxing overhead"},
        {"win41_audio_only.txt", 5.0, 5.01, 25.1, "100%  00:00:00 left", "Qavg"},
        {"win41_stopped_q.txt", 120.0, 5.36, 2.35, "4%  00:00:49 left", "Qavg"},
        {"win41_missing_input.txt", {}, {}, {}, "", "missing.avi: No such file or directory"},
        {"win41_bad_crf.txt", 5.0, {}, {}, "", "Conversion failed!"},
        {"win41_unknown_option.txt", {}, {}, {}, "", "Error splitting the argument list: Option not found"},
        {"deb51_reencode_720p.txt", 5.0, 5.01, 1.56, "100%  00:00:00 left", "Qavg"},
        {"deb51_audio_only.txt", 5.0, 5.01, 62, "100%  00:00:00 left", "Qavg"},
        {"deb51_missing_input.txt", {}, {}, {}, "", "missing.avi: No such file or directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fixture);
        const std::string output = Fixture(c.fixture);
        const ConverterProgress whole = FedWhole(output);
        ExpectValue(whole.durationSeconds, c.duration);
        ExpectValue(whole.positionSeconds, c.position);
        ExpectValue(whole.speed, c.speed);
        EXPECT_EQ(ProgressLabel(whole), c.label);

        const std::vector<std::string> lines = LastErrorLines(whole);
        ASSERT_FALSE(lines.empty());
        EXPECT_LE(lines.size(), kKeptConverterLines);
        EXPECT_NE(lines.back().find(c.lastLineHas), std::string::npos) << lines.back();
        EXPECT_FALSE(AnyLineContains(lines, "frame=")) << "progress lines are not error lines";

        ExpectSameResults(whole, FedInRandomPieces(output));
    }
}

TEST(ConverterProgress, FailedEncoderSetupKeepsTheConverterWords) {
    const std::vector<std::string> lines = LastErrorLines(FedWhole(Fixture("win41_bad_crf.txt")));
    EXPECT_TRUE(AnyLineContains(lines, "Error setting option crf to value abc."));
    EXPECT_TRUE(AnyLineContains(lines, "Error initializing output stream 0:0"));
    for (const std::string& line : lines)
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
}

TEST(ConverterProgress, FollowsEveryUpdateOfARecordedRun) {
    const std::string output = Fixture("deb51_reencode_720p.txt");
    ConverterProgress progress;
    std::vector<std::string> labels;
    size_t start = 0;
    for (size_t end = output.find('\r'); end != output.npos; end = output.find('\r', start)) {
        FeedConverterOutput(progress, std::string_view(output).substr(start, end + 1 - start));
        labels.push_back(ProgressLabel(progress));
        start = end + 1;
    }
    // 0.04 s at 1.08x leaves 4.96 / 1.08 = 4.6 s; and so on for each update.
    const std::vector<std::string> expected = {
        "0%  00:00:05 left",  "21%  00:00:02 left", "37%  00:00:02 left",
        "49%  00:00:02 left", "73%  00:00:01 left", "97%  00:00:00 left",
    };
    EXPECT_EQ(labels, expected);
}

TEST(ConverterProgress, ProgressLineSplitAcrossReadsCountsOnlyWhenEnded) {
    ConverterProgress progress = Fed(kInputHeader);
    FeedConverterOutput(progress, "frame=  123 fps= 25 q=28.0 size=     256kB time=00:00:0");
    EXPECT_FALSE(progress.positionSeconds);
    FeedConverterOutput(progress, "4.52 bitrate= 463.2kbits/s speed=1.9x    \r");
    EXPECT_DOUBLE_EQ(progress.positionSeconds.value_or(-1), 4.52);
    EXPECT_DOUBLE_EQ(progress.speed.value_or(-1), 1.9);
    FeedConverterOutput(progress, "frame=  150 fps= 25 q=28.0 size=     300kB time=00:00:06.00 bitrate= 1k");
    FeedConverterOutput(progress, "bits/s speed=2x    \r\n");
    EXPECT_DOUBLE_EQ(progress.positionSeconds.value_or(-1), 6.0);
    EXPECT_DOUBLE_EQ(progress.speed.value_or(-1), 2.0);
}

TEST(ConverterProgress, ReadsEveryProgressLineForm) {
    struct Case {
        const char* line;
        double position;
        double speed;
    };
    const Case cases[] = {
        {"frame=  123 fps= 25 q=28.0 size=     256kB time=00:00:04.52 bitrate= 463.2kbits/s speed=1.9x\r",
         4.52, 1.9},
        {"frame=  123 fps= 25 q=28.0 size=     256KiB time=00:00:04.52 bitrate= 463.2kbits/s speed=1.9x\r",
         4.52, 1.9},
        {"frame=12345 fps=250 q=28.0 Lsize=  256000kB time=00:08:13.80 bitrate= 463.2kbits/s speed=10x\n",
         493.8, 10},
        {"size=     256kB time=00:00:04.52 bitrate= 463.2kbits/s speed=1.9x    \r", 4.52, 1.9},
        {"size=     256KiB time=01:02:03.50 bitrate= 463.2kbits/s speed=  62x    \r", 3723.5, 62},
        {"frame=   10 fps=0.0 q=0.0 size=       0kB time=00:00:00.40 bitrate=N/A speed=3.97e+03x\r", 0.4,
         3970},
        {"frame=1 fps=0.0 q=0.0 size=0kB time=123:00:00.00 bitrate=N/A dup=1 drop=0 speed=0.5x\r", 442800,
         0.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const ConverterProgress progress = Fed(c.line);
        EXPECT_DOUBLE_EQ(progress.positionSeconds.value_or(-1), c.position);
        EXPECT_DOUBLE_EQ(progress.speed.value_or(-1), c.speed);
        EXPECT_TRUE(progress.lastOtherLines.empty());
    }
}

TEST(ConverterProgress, UnknownAndNegativeTimes) {
    ConverterProgress progress = Fed(kInputHeader);
    FeedConverterOutput(progress,
                        "frame=    0 fps=0.0 q=0.0 size=       0kB time=N/A bitrate=N/A speed=N/A\r");
    EXPECT_FALSE(progress.positionSeconds);
    EXPECT_FALSE(progress.speed);
    EXPECT_EQ(ProgressLabel(progress), "");

    FeedConverterOutput(progress,
                        "frame=    1 fps=0.0 q=0.0 size=0kB time=-00:00:00.02 bitrate=N/A speed=N/A\r");
    EXPECT_EQ(progress.positionSeconds, 0.0);
    EXPECT_EQ(ProgressLabel(progress), "0%");

    FeedConverterOutput(progress,
                        "frame=  250 fps=25 q=28.0 size=  9kB time=00:00:10.00 bitrate=8k speed=2x\r");
    // A later "N/A" does not throw away what is known.
    FeedConverterOutput(progress, "frame=  260 fps=25 q=28.0 size=  9kB time=N/A bitrate=N/A speed=N/A\r");
    EXPECT_DOUBLE_EQ(progress.positionSeconds.value_or(-1), 10.0);
    EXPECT_EQ(ProgressLabel(progress), "10%  00:00:45 left");
}

TEST(ConverterProgress, PositionPastTheDurationIsCappedAtAll) {
    ConverterProgress progress = Fed(kInputHeader);
    FeedConverterOutput(progress, "frame=9999 fps=25 q=28.0 size=9kB time=00:02:00.00 bitrate=8k speed=2x\r");
    EXPECT_EQ(FractionDone(progress), 1.0);
    EXPECT_EQ(ProgressLabel(progress), "100%  00:00:00 left");
}

TEST(ConverterProgress, NoShareDoneWithoutAUsableDuration) {
    const char* const headers[] = {
        "Input #0, lavfi, from 'testsrc':\n  Duration: N/A, start: 0.000000, bitrate: N/A\n",
        "Input #0, image2, from 'a.png':\n  Duration: 00:00:00.00, start: 0.000000, bitrate: N/A\n",
        "Input #0, avi, from 'a.avi':\n  Duration: garbage, start: 0.000000\n",
        "",
    };
    for (const char* header : headers) {
        SCOPED_TRACE(header);
        ConverterProgress progress = Fed(header);
        FeedConverterOutput(progress,
                            "frame=  250 fps=25 q=28.0 size=9kB time=00:00:10.00 bitrate=8k speed=2x\r");
        EXPECT_DOUBLE_EQ(progress.positionSeconds.value_or(-1), 10.0);
        EXPECT_FALSE(FractionDone(progress));
        EXPECT_FALSE(SecondsLeft(progress, 30.0));
        EXPECT_EQ(ProgressLabel(progress, 30.0), "");
    }
}

TEST(ConverterProgress, OnlyTheFirstInputGivesTheDuration) {
    const ConverterProgress several = Fed("Input #0, avi, from 'a.avi':\n"
                                          "  Metadata:\n"
                                          "    title           : Duration: 00:09:00.00\n"
                                          "  Duration: 00:00:10.00, start: 0.000000, bitrate: 800 kb/s\n"
                                          "Input #1, wav, from 'b.wav':\n"
                                          "  Duration: 00:05:00.00, bitrate: 1411 kb/s\n");
    EXPECT_EQ(several.durationSeconds, 10.0);

    const ConverterProgress firstUnknown = Fed("Input #0, lavfi, from 'testsrc':\n"
                                               "  Duration: N/A, start: 0.000000, bitrate: N/A\n"
                                               "Input #1, wav, from 'b.wav':\n"
                                               "  Duration: 00:05:00.00, bitrate: 1411 kb/s\n");
    EXPECT_FALSE(firstUnknown.durationSeconds);

    const ConverterProgress outputOnly = Fed("Output #0, mp4, to 'out.mp4':\n"
                                             "  Duration: 00:05:00.00, start: 0.000000\n");
    EXPECT_FALSE(outputOnly.durationSeconds);
}

TEST(ConverterProgress, TimeLeftComesFromSpeedOrElapsedTime) {
    ConverterProgress progress = Fed(kInputHeader); // 100 s
    FeedConverterOutput(progress, "frame=1 fps=1 q=1 size=1kB time=00:00:42.50 bitrate=1k speed=0.5x\r");
    EXPECT_DOUBLE_EQ(SecondsLeft(progress).value_or(-1), 115.0); // 57.5 media seconds at half speed
    EXPECT_EQ(ProgressLabel(progress), "42%  00:01:55 left");
    EXPECT_EQ(ProgressLabel(progress, 1.0), "42%  00:01:55 left"); // the speed wins

    progress.speed = 0.0;
    EXPECT_EQ(ProgressLabel(progress), "42%");
    progress.positionSeconds = 25.0;
    EXPECT_DOUBLE_EQ(SecondsLeft(progress, 10.0).value_or(-1), 30.0); // a quarter took 10 s
    EXPECT_EQ(ProgressLabel(progress, 10.0), "25%  00:00:30 left");
    progress.positionSeconds = 0.0;
    EXPECT_FALSE(SecondsLeft(progress, 10.0)); // nothing done yet: no guess

    progress.positionSeconds = 1.45; // 1.45 / 100 * 100 must not show as 1% nor 28.999 as 28
    EXPECT_EQ(ProgressLabel(progress), "1%");
    progress.durationSeconds = 5.0;
    EXPECT_EQ(ProgressLabel(progress), "29%");
}

TEST(ConverterProgress, ClockTextShowsHoursMinutesSeconds) {
    EXPECT_EQ(ClockText(0), "00:00:00");
    EXPECT_EQ(ClockText(70), "00:01:10");
    EXPECT_EQ(ClockText(3599.6), "01:00:00");
    EXPECT_EQ(ClockText(100 * 3600 + 61), "100:01:01");
    EXPECT_EQ(ClockText(-5), "00:00:00");
    EXPECT_EQ(ClockText(NAN), "00:00:00");
    EXPECT_LE(ClockText(INFINITY).size(), 16u);
}

TEST(ConverterProgress, AbsurdNumbersAreIgnored) {
    const std::string digits(400, '9');
    ConverterProgress progress = Fed(kInputHeader);
    FeedConverterOutput(progress,
                        "frame=1 size=1kB time=" + digits + ":00:00.00 bitrate=1k speed=" + digits + "x\r");
    EXPECT_FALSE(progress.positionSeconds);
    EXPECT_FALSE(progress.speed);
    FeedConverterOutput(progress, "frame=1 size=1kB time=00:00:50.00 bitrate=1k speed=1e-300x\r");
    EXPECT_EQ(ProgressLabel(progress).substr(0, 5), "50%  "); // a huge but finite time left
    FeedConverterOutput(progress, "frame=1 size=1kB time=00:00:50.00 bitrate=1k speed=0e999x\r");
    EXPECT_DOUBLE_EQ(progress.speed.value_or(-1), 1e-300); // not a number: ignored
}

TEST(ConverterProgress, KeepsOnlyTheLastFewShortLines) {
    ConverterProgress progress;
    FeedConverterOutput(progress, "first\r\n\r\n   \nsecond\n");
    EXPECT_EQ(LastErrorLines(progress), (std::vector<std::string>{"first", "second"}));
    FeedConverterOutput(progress, "3\n4\n5\n6\nlast without line end");
    EXPECT_EQ(LastErrorLines(progress), (std::vector<std::string>{"second", "3", "4", "5", "6"}));
    FinishConverterOutput(progress);
    EXPECT_EQ(LastErrorLines(progress),
              (std::vector<std::string>{"3", "4", "5", "6", "last without line end"}));

    // A long line is cut without splitting a UTF-8 character ("é" is two bytes).
    std::string accents;
    for (int i = 0; i < 400; ++i)
        accents += "\xC3\xA9";
    FeedConverterOutput(progress, "x" + accents + "\n");
    EXPECT_EQ(progress.lastOtherLines.back(), "x" + accents.substr(0, kLongestConverterLine - 2));
    // The same line arriving in pieces: nothing after the cut slips in.
    FeedConverterOutput(progress, "x" + accents);
    FeedConverterOutput(progress, "tail\n");
    EXPECT_EQ(progress.lastOtherLines.back(), "x" + accents.substr(0, kLongestConverterLine - 2));
}

TEST(ConverterProgress, MegabytesOfOutputNeedLittleMemory) {
    ConverterProgress progress = Fed(kInputHeader);
    const std::string junk =
        "[h264 @ 0x1234] error while decoding MB 12 34, bytestream -5 " + std::string(40, 'j') + "\n";
    const std::string update = "frame=  250 fps=25 q=28.0 size=9kB time=00:00:50.00 bitrate=8k speed=2x\r";
    std::string chunk;
    while (chunk.size() < 64 * 1024)
        chunk += junk + update;
    for (size_t written = 0; written < 10 * 1024 * 1024; written += chunk.size()) {
        FeedConverterOutput(progress, chunk);
        ASSERT_LE(progress.pendingLine.size(), kLongestConverterLine);
        ASSERT_LE(progress.lastOtherLines.size(), kKeptConverterLines);
    }
    EXPECT_EQ(ProgressLabel(progress), "50%  00:00:25 left");

    // Ten megabytes without a single line end.
    const std::string noLineEnd(1024 * 1024, 'z');
    for (int i = 0; i < 10; ++i)
        FeedConverterOutput(progress, noLineEnd);
    EXPECT_EQ(progress.pendingLine.size(), kLongestConverterLine);
    FeedConverterOutput(progress, "\n");
    EXPECT_EQ(progress.lastOtherLines.back(), std::string(kLongestConverterLine, 'z'));
    for (const std::string& line : progress.lastOtherLines)
        EXPECT_LE(line.size(), kLongestConverterLine);
}
