#include <gtest/gtest.h>

#include <string>

#include "files/file_choice.h"

using namespace std::string_literals;

TEST(FileChoice, FilterListsByteForByte) {
    EXPECT_EQ(
        InputFilterList(),
        "All video "
        "files\0*.avi;*.asf;*.mpg;*.mpeg;*.mov;*.qt;*.mkv;*.m2ts;*.mts;*.ts;*.m2t;*.tod;*.mp4;*.flv;"
        "*.f4v;*.m4v\0MOV video files (*.MOV)\0*.mov\0AVI video files (*.AVI)\0*.avi\0"
        "MP4 video files (*.MP4)\0*.mp4\0ASF video files (*.ASF)\0*.asf\0"
        "MPG video files (*.MPG, *.MPEG)\0*.mpg;*.mpeg\0QT video files (*.QT)\0*.qt\0"
        "M2TS video files (*.M2TS)\0*.m2ts\0MTS video files (*.MTS)\0*.mts\0TS video files (*.TS)\0*.ts\0"
        "M2T video files (*.M2T)\0*.m2t\0MKV video files (*.MKV)\0*.mkv\0TOD video files (*.TOD)\0*.tod\0"
        "FLV video files (*.FLV)\0*.flv\0F4V video files (*.F4V)\0*.f4v\0M4V video files (*.M4V)\0*.m4v\0"
        "QT video files (*.QT)\0*.qt\0\0"s);
    EXPECT_EQ(
        OutputFilterList(),
        " FLV video files (*.FLV)\0*.flv\0 AVI 2.0 video files (*.AVI)\0*.avi\0 MOV video files "
        "(*.MOV)\0*.mov\0"
        " MP4 video files (*.MP4)\0*.mp4\0 M4V video files (*.M4V)\0*.m4v\0 OGG video files (*.OGG)\0*.ogg\0"
        " OGV video files (*.OGV)\0*.ogv\0 WEBM video files (*.WEBM)\0*.webm\0\0"s);
    EXPECT_EQ(FilterWithNuls("Clips|*.avi;*.mov|All|*.*||"), "Clips\0*.avi;*.mov\0All\0*.*\0\0"s);
    EXPECT_EQ(FilterWithNuls(InputFilterList()), InputFilterList());
}

TEST(FileChoice, FlagWords) {
    using namespace dialog_flag;
    EXPECT_EQ(InputDialogFlags(), 0x981024u);
    EXPECT_EQ(OutputDialogFlags(), 0x980826u);
    for (std::uint32_t flags : {InputDialogFlags(), OutputDialogFlags()}) {
        EXPECT_EQ(flags & kAllowMultiSelect, 0u) << "a multiple selection hands back a folder";
        EXPECT_NE(flags & kEnableHook, 0u);
    }
    EXPECT_NE(OutputDialogFlags() & kOverwritePrompt, 0u) << "asks before replacing a file";
    EXPECT_EQ(OutputDialogFlags() & kFileMustExist, 0u) << "a save dialog takes new names";
}

TEST(FileChoice, BuffersAndTheChosenPath) {
    const std::string folder511 = "C:\\" + std::string(508, 'd');
    EXPECT_EQ(FitToBuffer(folder511, kStartFolderBufferSize), folder511);
    EXPECT_EQ(FitToBuffer(folder511 + "x", kStartFolderBufferSize), folder511);
    EXPECT_EQ(FitToBuffer("mpeg4video", kDefaultExtensionBufferSize), "mpeg4vide");
    EXPECT_EQ(FitToBuffer("anything", 0), "");
    EXPECT_EQ(ChosenPathOf("C:\\Videos\\clip.avi\0\0\0\0"s), "C:\\Videos\\clip.avi");
    EXPECT_EQ(ChosenPathOf("no terminator"), "no terminator");
}

TEST(FileChoice, RememberedFolderIsTheCurrentDirectoryWhereTheDialogLeftItThereElseThePathsFolder) {
    EXPECT_EQ(RememberedFolder("c:\\videos\\clip.avi", "C:\\Videos"), "C:\\Videos"); // its own spelling
    EXPECT_EQ(RememberedFolder("C:\\clip.avi", "C:\\"), "C:\\");
    // A full path typed while the dialog showed another folder.
    EXPECT_EQ(RememberedFolder("D:\\Elsewhere\\clip.avi", "C:\\Videos"), "D:\\Elsewhere");
    EXPECT_EQ(RememberedFolder("D:\\clip.avi", "C:\\Videos"), "D:\\");
    EXPECT_EQ(RememberedFolder("clip.avi", "C:\\Videos"), "C:\\Videos");
}
