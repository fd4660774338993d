#include <gtest/gtest.h>

#include <string>

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
