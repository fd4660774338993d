#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "convert/command_line.h"

TEST(CommandLine, MatchesWorkedExamplesByteForByte) {
    const std::string converter = "\"E:\\Tools\\Conv\\PLUG-IN\\ffmpeg_III.exe\" -i \"D:\\clip.avi\"";
    const struct {
        int mode;
        const char *crf, *custom, *expected; // after the converter and the input
    } cases[] = {
        // Without a look at the input: the converter's own choice of streams, the metadata kept.
        {1, "15", "ignored",
         " -map_metadata 0 -threads 0 -crf 15 -pix_fmt yuv420p -movflags use_metadata_tags -y "
         "\"D:\\clip.mp4\""},
        {0, "15", "ignored",
         " -map_metadata 0 -threads 0 -vcodec copy -acodec copy -movflags use_metadata_tags -y "
         "\"D:\\clip.mp4\""},
        {2, "15", "-b:v 1M", " -b:v 1M  -y \"D:\\clip.mp4\""},
        {2, "15", "", "   -y \"D:\\clip.mp4\""},
        // Every mode other than 0 and 1 is custom.
        {3, "15", "-an", " -an  -y \"D:\\clip.mp4\""},
        // Custom parameters keep their outer blanks, inner runs of blanks and quotes.
        {2, "15", "  -vf \"scale=320:240\"   -an ", "   -vf \"scale=320:240\"   -an   -y \"D:\\clip.mp4\""},
    };
    for (const auto& c : cases)
        // The fast mode has the input's missing time stamps made up, which is an option of the input.
        EXPECT_EQ(BuildConverterCommandLine("E:\\Tools\\Conv",
                                            {c.mode, c.crf, c.custom, "D:\\clip.avi", "D:\\clip.mp4"}),
                  c.mode == 0
                      ? std::string(converter).insert(converter.find(" -i "), " -fflags +genpts") + c.expected
                      : converter + c.expected)
            << "mode " << c.mode << " custom [" << c.custom << "]";
}

TEST(CommandLine, DriveRootAndBlanksAroundNonAsciiPaths) {
    const ConversionRequest request{0, "15", "", "  D:\\Vid\xC3\xA9os\\my clip.avi ", "\tD:\\a  b.mkv "};
    EXPECT_EQ(BuildConverterCommandLine("E:", request),
              "\"E:\\PLUG-IN\\ffmpeg_III.exe\" -fflags +genpts -i \"D:\\Vid\xC3\xA9os\\my clip.avi\""
              " -threads 0 -vcodec copy -acodec copy -y \"\tD:\\a  b.mkv\""); // tabs are not blanks
}

TEST(CommandLine, CrfFollowsTheCompressionItem) {
    const struct {
        const char* item;
        const char* crf;
    } cases[] = {{"Default", "15"}, {"", "15"},    {"1:Max size", "11"}, {"20:", "30"}, {"21:Min size", "31"},
                 {" 7:", "17"},     {"abc", "15"}, {"-3:", "15"},        {"0:", "15"}};
    for (const auto& c : cases)
        EXPECT_EQ(CrfFromCompression(CompressionFromItemText(c.item)), c.crf) << c.item;
    // Absurdly long numbers are clamped without overflow.
    const int huge = CompressionFromItemText(std::string(5000, '9') + ":");
    EXPECT_GT(huge, 21);
    EXPECT_EQ(CrfFromCompression(huge), std::to_string(huge + 10));
    EXPECT_EQ(CrfFromCompression(INT_MAX), "2147483657");
}
