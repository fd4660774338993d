#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "convert/progress.h"
#include "tests/unit/fixture.h"

namespace {

ConverterProgress Fed(std::string_view output, bool finished = false) {
    ConverterProgress progress;
    FeedConverterOutput(progress, output);
    if (finished) FinishConverterOutput(progress);
    return progress;
}

// "duration position speed", "-" for what is unknown.
std::string Learnt(const ConverterProgress& p) {
    const auto text = [](std::optional<double> v) {
        return v ? testing::PrintToString(*v) : std::string("-");
    };
    return text(p.durationSeconds) + " " + text(p.positionSeconds) + " " + text(p.speed);
}

const char* const kInputHeader = "Input #0, avi, from 'D:\\clip.avi':\n"
                                 "  Duration: 00:01:40.00, start: 0.000000, bitrate: 800 kb/s\n";

// The same output in pieces of 1 to 40 bytes, always cut the same way.
ConverterProgress FedInPieces(std::string_view output) {
    std::mt19937 random(20240611);
    ConverterProgress pieces;
    for (std::string_view rest = output; !rest.empty();) {
        const size_t size =
            std::min<size_t>(std::uniform_int_distribution<size_t>(1, 40)(random), rest.size());
        FeedConverterOutput(pieces, rest.substr(0, size));
        rest.remove_prefix(size);
    }
    FinishConverterOutput(pieces);
    return pieces;
}

} // namespace

TEST(ConverterProgress, ReadsRecordedRunsWholeOrInAnyPieces) {
    for (auto [fixture, learnt, label] : {
             std::tuple{"win41_reencode_720p.txt", "5 5.01 2.3", "100%  00:00:00 left"},
             {"win41_copy_mkv.txt", "5 4.99 2740", "99%  00:00:00 left"},
             {"win41_audio_only.txt", "5 5.01 25.1", "100%  00:00:00 left"},
             {"win41_stopped_q.txt", "120 5.36 2.35", "4%  00:00:49 left"},
             {"win51_reencode_720p.txt", "5 5.01 2.27", "100%  00:00:00 left"}, // sizes in kB or KiB alike
             // Lines tagged with their level list no input: the length comes from the look.
             {"win51_tagged_reencode.txt", "- 5.01 10.3", ""},
         }) {
        const std::string output = Fixture(fixture);
        EXPECT_EQ(Learnt(Fed(output, true)), learnt) << fixture;
        EXPECT_EQ(ProgressLabel(Fed(output, true)), label) << fixture;
        EXPECT_EQ(Learnt(FedInPieces(output)), learnt) << fixture;
    }
}

// What a failure message shows of recorded failures: the lines that say what went wrong, never
// the banner, the stream headers, the statistics or the progress.
TEST(ConverterProgress, FailuresShowTheConvertersErrorLines) {
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"win41_full_disk.txt",
         {"av_interleaved_write_frame(): Bad file descriptor",
          "Error writing trailer of Z:\\mnt\\small\\out.mp4: Bad file descriptor", "Conversion failed!"}},
        {"win51_full_disk.txt",
         {"av_interleaved_write_frame(): Invalid argument",
          "Error writing trailer of Z:\\mnt\\small\\out.mp4: Invalid argument",
          "Error closing file Z:\\mnt\\small\\out.mp4: Invalid argument", "Conversion failed!"}},
        {"win41_missing_input.txt", {"Z:\\tmp\\kesto-clips\\missing.avi: No such file or directory"}},
        {"win51_copy_flv.txt",
         {"[flv] Video codec hevc not compatible with flv",
          "Could not write header for output file #0 (incorrect codec parameters ?): Function not "
          "implemented",
          "Error initializing output stream 0:1 --"}},
        // Tagged with their level: the error lines, whatever their words, and not the warnings.
        {"win51_tagged_odd_size.txt",
         {"[libx264] width not divisible by 2 (321x241)",
          "Error initializing output stream 0:0 -- Error while opening encoder for output stream #0:0 - "
          "maybe incorrect parameters such as bit_rate, rate, width or height"}},
        // More than fit: the first line, which names the cause, and the last ones.
        {"win41_bad_crf.txt",
         {"[libx264] [Eval @ 03eee68c] Undefined constant or missing '(' in 'abc'",
          "[libx264] Unable to parse option value \"abc\"",
          "[libx264] Error setting option crf to value abc.",
          "Error initializing output stream 0:0 -- Error while opening encoder for output stream #0:0 - "
          "maybe incorrect parameters such as bit_rate, rate, width or height",
          "Conversion failed!"}},
    };
    for (const auto& [fixture, lines] : cases) {
        const std::string output = Fixture(fixture);
        EXPECT_EQ(ErrorLines(Fed(output, true)), lines) << fixture;
        EXPECT_EQ(ErrorLines(FedInPieces(output)), lines) << fixture;
        EXPECT_EQ(Fed(output, true).outputWriteFailed,
                  std::string(fixture).find("full_disk") != std::string::npos)
            << fixture;
    }
}

TEST(ConverterProgress, UnknownNegativeAndExcessivePositions) {
    ConverterProgress progress = Fed(kInputHeader);
    FeedConverterOutput(progress,
                        "frame=    0 fps=0.0 q=0.0 size=       0kB time=N/A bitrate=N/A speed=N/A\r");
    EXPECT_EQ(Learnt(progress), "100 - -");
    EXPECT_EQ(ProgressLabel(progress), "");
    EXPECT_EQ(progress.pictures, 0.0) << "nothing written yet";
    FeedConverterOutput(progress,
                        "frame=    1 fps=0.0 q=0.0 size=0kB time=-00:00:00.02 bitrate=N/A speed=N/A\r");
    EXPECT_EQ(ProgressLabel(progress), "0%");
    EXPECT_EQ(progress.pictures, 1.0) << "a picture written at the time of zero";
    FeedConverterOutput(progress,
                        "frame=  250 fps=25 q=28.0 size=  9kB time=00:00:10.00 bitrate=8k speed=2x\r");
    // A later "N/A" does not throw away what is known.
    FeedConverterOutput(progress, "frame=  260 fps=25 q=28.0 size=  9kB time=N/A bitrate=N/A speed=N/A\r");
    EXPECT_EQ(ProgressLabel(progress), "10%  00:00:45 left");
    FeedConverterOutput(progress, "frame=9999 fps=25 q=28.0 size=9kB time=00:02:00.00 bitrate=8k speed=2x\r");
    EXPECT_EQ(ProgressLabel(progress), "100%  00:00:00 left") << "capped at the duration";
}

TEST(ConverterProgress, OnlyAUsableDurationOfTheFirstInputGivesAShare) {
    for (const char* header :
         {"Input #0, lavfi, from 'testsrc':\n  Duration: N/A, start: 0.000000, bitrate: N/A\n"
          "Input #1, wav, from 'b.wav':\n  Duration: 00:05:00.00, bitrate: 1411 kb/s\n",
          "Input #0, image2, from 'a.png':\n  Duration: 00:00:00.00, start: 0.000000\n",
          "Output #0, mp4, to 'out.mp4':\n  Duration: 00:05:00.00, start: 0.000000\n"}) {
        ConverterProgress progress = Fed(header);
        FeedConverterOutput(progress,
                            "frame=  250 fps=25 q=28.0 size=9kB time=00:00:10.00 bitrate=8k speed=2x\r");
        EXPECT_FALSE(FractionDone(progress)) << header;
        EXPECT_EQ(ProgressLabel(progress, 30.0), "");
    }
    EXPECT_EQ(Fed("Input #0, avi, from 'a.avi':\n  Metadata:\n    title           : Duration: 00:09:00.00\n"
                  "  Duration: 00:00:10.00, start: 0.000000, bitrate: 800 kb/s\n"
                  "Input #1, wav, from 'b.wav':\n  Duration: 00:05:00.00, bitrate: 1411 kb/s\n")
                  .durationSeconds,
              10.0);
}

TEST(ConverterProgress, TimeLeftComesFromSpeedOrElapsedTime) {
    ConverterProgress progress = Fed(kInputHeader); // 100 s
    FeedConverterOutput(progress, "frame=1 fps=1 q=1 size=1kB time=00:00:42.50 bitrate=1k speed=0.5x\r");
    EXPECT_EQ(ProgressLabel(progress, 1.0), "42%  00:01:55 left"); // 57.5 media seconds at half speed
    progress.speed = 0.0;
    EXPECT_EQ(ProgressLabel(progress), "42%");
    progress.positionSeconds = 25.0;
    EXPECT_EQ(ProgressLabel(progress, 10.0), "25%  00:00:30 left"); // a quarter took 10 s
    progress.positionSeconds = 0.0;
    EXPECT_FALSE(SecondsLeft(progress, 10.0)); // nothing done yet: no guess
}

TEST(ConverterProgress, KeepsTheLastFewLinesInBoundedMemory) {
    ConverterProgress errors =
        Fed("Error 1\nError 2\nError 2\nError 3\nError 4\nError 5\nError 6\nError 7\n");
    EXPECT_EQ(ErrorLines(errors),
              (std::vector<std::string>{"Error 1", "Error 4", "Error 5", "Error 6", "Error 7"}));
    ConverterProgress progress = Fed("first\r\n\r\n   \nsecond\n3\n4\n5\n6\nlast without line end");
    EXPECT_EQ(ErrorLines(progress), (std::vector<std::string>{"second", "3", "4", "5", "6"}));
    FinishConverterOutput(progress);
    EXPECT_EQ(ErrorLines(progress), (std::vector<std::string>{"3", "4", "5", "6", "last without line end"}));
    // A long line is cut without splitting a UTF-8 character ("é" is two bytes), also in pieces.
    std::string accents;
    for (int i = 0; i < 400; ++i)
        accents += "\xC3\xA9";
    FeedConverterOutput(progress, "x" + accents);
    FeedConverterOutput(progress, "tail\n");
    EXPECT_EQ(progress.lastOtherLines.back(), "x" + accents.substr(0, kLongestConverterLine - 2));
    // Ten megabytes of messages and updates, then ten without a single line end.
    FeedConverterOutput(progress, kInputHeader);
    std::string chunk;
    while (chunk.size() < 64 * 1024)
        chunk += "[h264 @ 0x1234] error while decoding MB 12 34\n"
                 "frame=  250 fps=25 q=28.0 size=9kB time=00:00:50.00 bitrate=8k speed=2x\r";
    for (size_t written = 0; written < 10 * 1024 * 1024; written += chunk.size())
        FeedConverterOutput(progress, chunk);
    EXPECT_EQ(ProgressLabel(progress), "50%  00:00:25 left");
    for (int i = 0; i < 10; ++i)
        FeedConverterOutput(progress, std::string(1024 * 1024, 'z'));
    EXPECT_EQ(progress.pendingLine.size(), kLongestConverterLine);
    FeedConverterOutput(progress, "\n");
    EXPECT_EQ(progress.lastOtherLines.back(), std::string(kLongestConverterLine, 'z'));
    EXPECT_EQ(progress.lastOtherLines.size(), kKeptConverterLines);
}
