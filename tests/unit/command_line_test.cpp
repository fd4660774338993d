#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "convert/command_line.h"

TEST(CommandLine, TheCustomModePassesItsParametersExactlyAsTyped) {
    const std::string converter = "\"E:\\Tools\\Conv\\PLUG-IN\\ffmpeg_III.exe\" -i \"D:\\clip.avi\"";
    const struct {
        int mode;
        const char *custom, *expected; // after the converter and the input
    } cases[] = {
        {2, "-b:v 1M", " -b:v 1M  -y \"D:\\clip.mp4\""},
        {2, "", "   -y \"D:\\clip.mp4\""},
        // Every mode other than 0 and 1 is custom.
        {3, "-an", " -an  -y \"D:\\clip.mp4\""},
        // Custom parameters keep their outer blanks, inner runs of blanks and quotes.
        {2, "  -vf \"scale=320:240\"   -an ", "   -vf \"scale=320:240\"   -an   -y \"D:\\clip.mp4\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BuildConverterCommandLine("E:\\Tools\\Conv",
                                            {ModeOf(c.mode), "15", c.custom, "D:\\clip.avi", "D:\\clip.mp4"}),
                  converter + c.expected)
            << "mode " << c.mode << " custom [" << c.custom << "]";
}

TEST(CommandLine, TheUsualAndFastModesKeepTheirShapeAtADriveRootAndAroundBlanks) {
    for (int mode : {0, 1}) {
        const ConversionRequest request{ModeOf(mode), "15", "", "  D:\\Vid\xC3\xA9os\\my clip.avi ",
                                        "\tD:\\a  b.mkv "};
        const std::string line = BuildConverterCommandLine("E:", request);
        EXPECT_EQ(line.rfind("\"E:\\PLUG-IN\\ffmpeg_III.exe\" -", 0), 0u) << line;
        EXPECT_NE(line.find(" -i \"D:\\Vid\xC3\xA9os\\my clip.avi\" "), std::string::npos) << line;
        EXPECT_NE(line.find(mode ? " -threads 0 -crf 15 -pix_fmt yuv420p"
                                 : " -threads 0 -vcodec copy -acodec copy"),
                  std::string::npos)
            << line;
        EXPECT_EQ(line.substr(line.size() - 18), " -y \"\tD:\\a  b.mkv\"") << "tabs are not blanks";
    }
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
