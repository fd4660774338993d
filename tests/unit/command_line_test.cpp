#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "convert/command_line.h"

TEST(CommandLine, TheCustomModePassesItsParametersExactlyAsTyped) {
    // Every mode other than 0 and 1 is custom; outer blanks, inner runs of blanks and quotes are kept.
    for (int mode : {2, 3})
        EXPECT_EQ(
            BuildConverterCommandLine("E:\\Conv", {ModeOf(mode), "15", "  -vf \"scale=320:240\"   -an ",
                                                   "D:\\clip.avi", "D:\\clip.mp4"}),
            "\"E:\\Conv\\PLUG-IN\\ffmpeg_III.exe\" -i \"D:\\clip.avi\"   -vf \"scale=320:240\"   -an   -y "
            "\"D:\\clip.mp4\"");
}

TEST(CommandLine, TheUsualAndFastModesKeepTheirShapeAroundBlanks) {
    for (int mode : {0, 1}) {
        const ConversionRequest request{ModeOf(mode), "15", "", "  D:\\Vid\xC3\xA9os\\my clip.avi ",
                                        "\tD:\\a  b.mkv "};
        const std::string line = BuildConverterCommandLine("E:", request);
        EXPECT_EQ(line.rfind("\"E:\\PLUG-IN\\ffmpeg_III.exe\" -", 0), 0u) << line;
        EXPECT_NE(line.find(" -i \"D:\\Vid\xC3\xA9os\\my clip.avi\" "), std::string::npos) << line;
        EXPECT_NE(line.find(mode ? " -crf 15 " : " -vcodec copy -acodec copy"), std::string::npos) << line;
        EXPECT_EQ(line.substr(line.size() - 18), " -y \"\tD:\\a  b.mkv\"") << "tabs are not blanks";
    }
}

TEST(CommandLine, CrfFollowsTheCompressionItem) {
    for (auto [item, crf] : {std::pair{"Default", "15"}, {"21:Min size", "31"}, {"-3:", "15"}})
        EXPECT_EQ(CrfFromCompression(CompressionFromItemText(item)), crf) << item;
    // Absurdly long numbers are clamped without overflow.
    EXPECT_GT(CompressionFromItemText(std::string(5000, '9') + ":"), 21);
    EXPECT_EQ(CrfFromCompression(INT_MAX), "2147483657");
}
