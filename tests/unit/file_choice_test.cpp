#include <gtest/gtest.h>

#include <string>

#include "base/text.h"
#include "files/file_choice.h"

using namespace std::string_literals;

TEST(FileChoice, BuffersKeepWhatFitsAndTheChosenPathEndsAtTheFirstNul) {
    const std::string folder511 = "C:\\" + std::string(508, 'd');
    EXPECT_EQ(FitToBuffer(folder511 + "x", kStartFolderBufferSize), folder511);
    EXPECT_EQ(FitToBuffer("anything", 0), "");
    EXPECT_EQ(ChosenPathOf("C:\\Videos\\clip.avi\0\0\0\0"s), "C:\\Videos\\clip.avi");
    EXPECT_EQ(ChosenPathOf("no terminator"), "no terminator");
    EXPECT_EQ(FilterWithNuls("Clips|*.avi;*.mov|All|*.*||"), "Clips\0*.avi;*.mov\0All\0*.*\0\0"s);
}

TEST(FileChoice, RememberedFolderIsTheCurrentDirectoryWhereTheDialogLeftItThereElseThePathsFolder) {
    EXPECT_EQ(RememberedFolder("c:\\videos\\clip.avi", "C:\\Videos"), "C:\\Videos"); // its own spelling
    EXPECT_EQ(RememberedFolder("C:\\clip.avi", "C:\\"), "C:\\");
    // A full path typed while the dialog showed another folder.
    EXPECT_EQ(RememberedFolder("D:\\Elsewhere\\clip.avi", "C:\\Videos"), "D:\\Elsewhere");
    EXPECT_EQ(RememberedFolder("D:\\clip.avi", "C:\\Videos"), "D:\\");
    EXPECT_EQ(RememberedFolder("clip.avi", "C:\\Videos"), "C:\\Videos");
}

TEST(FileChoice, ASaveDialogsAnswerIsOnePathWhateverTheBufferHeldBefore) {
    // "x" typed over the proposed "tiny clip number 1 with a longer name": the rest of the proposal
    // stays behind the answer's NUL.
    const std::string answer = "D:\\out\\x.mp4\0 number 1 with a longer name\0\0"s;
    EXPECT_EQ(ChosenPathsOf(answer, false), std::vector<std::string>{"D:\\out\\x.mp4"});
}

TEST(FileChoice, DeviceNamesAreKnownWithAnyExtensionAndCase) {
    for (const char* name : {"nul", "D:\\out\\NUL.mp4", "con.webm", "Aux.tar.gz", "com1.flv", "LPT9",
                             "prn .avi", "D:\\a\\COM\xC2\xB9.mp4", "conin$"})
        EXPECT_TRUE(IsDeviceName(name)) << name;
    for (const char* name :
         {"null.mp4", "com0.mp4", "com10", "D:\\nul\\clip.mp4", "console.avi", "lpt.mp4", ""})
        EXPECT_FALSE(IsDeviceName(name)) << name;
}
