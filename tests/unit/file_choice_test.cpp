#include <gtest/gtest.h>

#include <string>

#include "base/text.h"
#include "files/file_choice.h"

using namespace std::string_literals;

TEST(FileChoice, BuffersKeepWhatFitsAndTheChosenPathEndsAtTheFirstNul) {
    const std::string folder511 = "C:\\" + std::string(508, 'd');
    EXPECT_EQ(FitToBuffer(folder511 + "x", kStartFolderBufferSize), folder511);
    EXPECT_EQ(ChosenPathOf("C:\\Videos\\clip.avi\0\0\0\0"s), "C:\\Videos\\clip.avi");
    EXPECT_EQ(FilterWithNuls("Clips|*.avi;*.mov|All|*.*||"), "Clips\0*.avi;*.mov\0All\0*.*\0\0"s);
    // "x" typed over a longer proposed name: the rest of the proposal stays behind the answer's NUL.
    EXPECT_EQ(ChosenPathsOf("D:\\out\\x.mp4\0 number 1 with a longer name\0\0"s, false),
              std::vector<std::string>{"D:\\out\\x.mp4"});
}

TEST(FileChoice, RememberedFolderIsTheCurrentDirectoryWhereTheDialogLeftItThereElseThePathsFolder) {
    EXPECT_EQ(RememberedFolder("c:\\videos\\clip.avi", "C:\\Videos"), "C:\\Videos");       // its own spelling
    EXPECT_EQ(RememberedFolder("D:\\Elsewhere\\clip.avi", "C:\\Videos"), "D:\\Elsewhere"); // typed
    EXPECT_EQ(RememberedFolder("D:\\clip.avi", "C:\\Videos"), "D:\\");
}

TEST(FileChoice, DeviceNamesAreKnownWithAnyExtensionAndCase) {
    for (const char* name :
         {"D:\\out\\NUL.mp4", "Aux.tar.gz", "com1.flv", "prn .avi", "D:\\a\\COM\xC2\xB9.mp4"})
        EXPECT_TRUE(IsDeviceName(name)) << name;
    for (const char* name : {"null.mp4", "com0.mp4", "D:\\nul\\clip.mp4", ""})
        EXPECT_FALSE(IsDeviceName(name)) << name;
}
