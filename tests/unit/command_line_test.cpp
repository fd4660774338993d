#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "convert/command_line.h"

namespace {

const char* const kFolder = "E:\\Tools\\Conv";
const std::string kConverter = "\"E:\\Tools\\Conv\\PLUG-IN\\ffmpeg_III.exe\"";

ConversionRequest Request(int mode, std::string crf, std::string custom) {
    return {mode, std::move(crf), std::move(custom), "D:\\clip.avi", "D:\\clip.mp4"};
}

} // namespace

TEST(ConverterLocation, SitsInPlugInFolderBesideTheProgram) {
    EXPECT_EQ(ConverterLocation("E:\\Tools\\Conv"), "E:\\Tools\\Conv\\PLUG-IN\\ffmpeg_III.exe");
    EXPECT_EQ(ConverterLocation("E:"), "E:\\PLUG-IN\\ffmpeg_III.exe");
    EXPECT_EQ(ConverterLocation("C:\\Programme\\\xC3\xA9t\xC3\xA9"),
              "C:\\Programme\\\xC3\xA9t\xC3\xA9\\PLUG-IN\\ffmpeg_III.exe");
}

TEST(BuildConverterCommandLine, MatchesWorkedExamplesByteForByte) {
    struct Case {
        ConversionRequest request;
        std::string expectedAfterConverter;
    };
    const Case cases[] = {
        {Request(1, "15", "ignored"), " -i \"D:\\clip.avi\" -threads 0 -crf 15 -y \"D:\\clip.mp4\""},
        {Request(1, "31", ""), " -i \"D:\\clip.avi\" -threads 0 -crf 31 -y \"D:\\clip.mp4\""},
        {Request(0, "15", "ignored"),
         " -i \"D:\\clip.avi\" -threads 0 -vcodec copy -acodec copy -y \"D:\\clip.mp4\""},
        {Request(2, "15", "-b:v 1M"), " -i \"D:\\clip.avi\" -b:v 1M  -y \"D:\\clip.mp4\""},
        {Request(2, "15", ""), " -i \"D:\\clip.avi\"   -y \"D:\\clip.mp4\""},
        // Every mode other than 0 and 1 is custom.
        {Request(3, "15", "-an"), " -i \"D:\\clip.avi\" -an  -y \"D:\\clip.mp4\""},
        {Request(-1, "15", "-an"), " -i \"D:\\clip.avi\" -an  -y \"D:\\clip.mp4\""},
        // Custom parameters keep their outer blanks, inner runs of blanks and quotes.
        {Request(2, "15", "  -vf \"scale=320:240\"   -an "),
         " -i \"D:\\clip.avi\"   -vf \"scale=320:240\"   -an   -y \"D:\\clip.mp4\""},
        {Request(2, "15", "\t-an\t"), " -i \"D:\\clip.avi\" \t-an\t  -y \"D:\\clip.mp4\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.request.mode) + " custom [" + c.request.customParams + "]");
        EXPECT_EQ(BuildConverterCommandLine(kFolder, c.request), kConverter + c.expectedAfterConverter);
    }
}

TEST(BuildConverterCommandLine, TrimsOnlyBlanksAroundInputAndOutput) {
    ConversionRequest request = Request(1, "15", "");
    request.inputFile = "  D:\\my clip.avi ";
    request.outputFile = " D:\\my  clip.mp4   ";
    EXPECT_EQ(BuildConverterCommandLine(kFolder, request),
              kConverter + " -i \"D:\\my clip.avi\" -threads 0 -crf 15 -y \"D:\\my  clip.mp4\"");

    request.inputFile = "\tD:\\a.avi\t"; // tabs are not blanks
    request.outputFile = "";
    EXPECT_EQ(BuildConverterCommandLine(kFolder, request),
              kConverter + " -i \"\tD:\\a.avi\t\" -threads 0 -crf 15 -y \"\"");
}

TEST(BuildConverterCommandLine, DriveRootAndNonAsciiPathsPassThrough) {
    ConversionRequest request = Request(0, "15", "");
    request.inputFile = "D:\\Vid\xC3\xA9os\\\xE6\x98\xA0\xE7\x94\xBB.avi";
    request.outputFile = "D:\\Vid\xC3\xA9os\\\xE6\x98\xA0\xE7\x94\xBB.mkv";
    EXPECT_EQ(BuildConverterCommandLine("E:", request),
              "\"E:\\PLUG-IN\\ffmpeg_III.exe\" -i \"D:\\Vid\xC3\xA9os\\\xE6\x98\xA0\xE7\x94\xBB.avi\""
              " -threads 0 -vcodec copy -acodec copy -y \"D:\\Vid\xC3\xA9os\\\xE6\x98\xA0\xE7\x94\xBB.mkv\"");
}

TEST(Crf, FollowsCompressionListItems) {
    struct Case {
        const char* itemText;
        int compression;
        const char* crf;
    };
    const Case cases[] = {
        {"Default", 0, "15"}, {"", 0, "15"},       {"1:Max size", 1, "11"},
        {"2:", 2, "12"},      {"20:", 20, "30"},   {"21:Min size", 21, "31"},
        {" 7:", 7, "17"},     {"   12", 12, "22"}, {"abc", 0, "15"},
        {"\t7:", 0, "15"},    {"-3:", 0, "15"},    {"007:", 7, "17"},
        {"0:", 0, "15"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("item [") + c.itemText + "]");
        EXPECT_EQ(CompressionFromItemText(c.itemText), c.compression);
        EXPECT_EQ(CrfFromCompression(CompressionFromItemText(c.itemText)), c.crf);
    }
}

TEST(Crf, AbsurdNumbersAreClampedWithoutOverflow) {
    const int huge = CompressionFromItemText(std::string(5000, '9') + ":");
    EXPECT_GT(huge, 21);
    EXPECT_EQ(CompressionFromItemText("99999999999999999999999"), huge);
    EXPECT_EQ(CrfFromCompression(huge), std::to_string(huge + 10));
    EXPECT_EQ(CrfFromCompression(INT_MAX), "2147483657");
}
