#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/file_choice.h"

using namespace std::string_literals;

namespace {

// The (description, pattern) pairs of a NUL-separated filter list; empty if it is not closed
// by a further NUL.
std::vector<std::pair<std::string, std::string>> EntriesOf(const std::string& list) {
    std::vector<std::pair<std::string, std::string>> entries;
    if (list.size() < 2 || list.substr(list.size() - 2) != "\0\0"s) return entries;
    size_t at = 0;
    while (list[at] != '\0') {
        const size_t descriptionEnd = list.find('\0', at);
        const size_t patternEnd = list.find('\0', descriptionEnd + 1);
        entries.emplace_back(list.substr(at, descriptionEnd - at),
                             list.substr(descriptionEnd + 1, patternEnd - descriptionEnd - 1));
        at = patternEnd + 1;
    }
    return entries;
}

} // namespace

TEST(FilterLists, InputListMatchesByteForByte) {
    const std::string expected =
        "All video "
        "files\0*.avi;*.asf;*.mpg;*.mpeg;*.mov;*.qt;*.mkv;*.m2ts;*.mts;*.ts;*.m2t;*.tod;*.mp4;*.flv;"
        "*.f4v;*.m4v\0"
        "MOV video files (*.MOV)\0*.mov\0"
        "AVI video files (*.AVI)\0*.avi\0"
        "MP4 video files (*.MP4)\0*.mp4\0"
        "ASF video files (*.ASF)\0*.asf\0"
        "MPG video files (*.MPG, *.MPEG)\0*.mpg;*.mpeg\0"
        "QT video files (*.QT)\0*.qt\0"
        "M2TS video files (*.M2TS)\0*.m2ts\0"
        "MTS video files (*.MTS)\0*.mts\0"
        "TS video files (*.TS)\0*.ts\0"
        "M2T video files (*.M2T)\0*.m2t\0"
        "MKV video files (*.MKV)\0*.mkv\0"
        "TOD video files (*.TOD)\0*.tod\0"
        "FLV video files (*.FLV)\0*.flv\0"
        "F4V video files (*.F4V)\0*.f4v\0"
        "M4V video files (*.M4V)\0*.m4v\0"
        "QT video files (*.QT)\0*.qt\0"
        "\0"s;
    EXPECT_EQ(InputFilterList(), expected);
    const auto entries = EntriesOf(InputFilterList());
    ASSERT_EQ(entries.size(), 17u);
    EXPECT_EQ(entries[6], entries[16]); // the QT entry stands twice
    EXPECT_EQ(entries[6].first, "QT video files (*.QT)");
}

TEST(FilterLists, OutputListMatchesByteForByte) {
    const std::string expected = " FLV video files (*.FLV)\0*.flv\0"
                                 " AVI 2.0 video files (*.AVI)\0*.avi\0"
                                 " MOV video files (*.MOV)\0*.mov\0"
                                 " MP4 video files (*.MP4)\0*.mp4\0"
                                 " M4V video files (*.M4V)\0*.m4v\0"
                                 " OGG video files (*.OGG)\0*.ogg\0"
                                 " OGV video files (*.OGV)\0*.ogv\0"
                                 " WEBM video files (*.WEBM)\0*.webm\0"
                                 "\0"s;
    EXPECT_EQ(OutputFilterList(), expected);
    const auto entries = EntriesOf(OutputFilterList());
    ASSERT_EQ(entries.size(), 8u);
    for (const auto& [description, pattern] : entries) {
        EXPECT_EQ(description[0], ' ') << description;
        EXPECT_EQ(pattern.find(';'), std::string::npos) << pattern; // one extension each
    }
}

TEST(FilterLists, BarsBecomeNulsAndNulListsPassUnchanged) {
    EXPECT_EQ(FilterWithNuls("Clips|*.avi;*.mov|All|*.*||"), "Clips\0*.avi;*.mov\0All\0*.*\0\0"s);
    EXPECT_EQ(FilterWithNuls(InputFilterList()), InputFilterList());
    EXPECT_EQ(FilterWithNuls(OutputFilterList()), OutputFilterList());
    EXPECT_EQ(FilterWithNuls("A|*.a\0B|*.b\0\0"s), "A\0*.a\0B\0*.b\0\0"s);
    EXPECT_EQ(FilterWithNuls(""), "");
}

TEST(DialogFlags, InputDialogOpensOneExistingFileWithTheHook) {
    EXPECT_EQ(InputDialogFlags(), 0x981024u);
    EXPECT_EQ(InputDialogFlags() & dialog_flag::kAllowMultiSelect, 0u);
    EXPECT_EQ(InputDialogFlags() & dialog_flag::kNoChangeDir, 0u);
    EXPECT_NE(InputDialogFlags() & dialog_flag::kEnableHook, 0u);
    EXPECT_NE(InputDialogFlags() & dialog_flag::kFileMustExist, 0u);
}

TEST(DialogFlags, OutputDialogAsksBeforeReplacingAndTakesNewNames) {
    EXPECT_EQ(OutputDialogFlags(), 0x980826u);
    EXPECT_NE(OutputDialogFlags() & dialog_flag::kOverwritePrompt, 0u);
    EXPECT_EQ(OutputDialogFlags() & dialog_flag::kFileMustExist, 0u);
    EXPECT_NE(OutputDialogFlags() & dialog_flag::kPathMustExist, 0u);
    EXPECT_EQ(OutputDialogFlags() & dialog_flag::kAllowMultiSelect, 0u);
    EXPECT_EQ(OutputDialogFlags() & dialog_flag::kNoChangeDir, 0u);
    EXPECT_NE(OutputDialogFlags() & dialog_flag::kEnableHook, 0u);
    const std::uint32_t shared = dialog_flag::kHideReadOnly | dialog_flag::kExplorer |
                                 dialog_flag::kEnableHook | dialog_flag::kNoDereferenceLinks |
                                 dialog_flag::kEnableSizing;
    EXPECT_EQ(InputDialogFlags() & shared, shared);
    EXPECT_EQ(OutputDialogFlags() & shared, shared);
}

TEST(DialogBuffers, TextsAreCutToLeaveRoomForTheirNul) {
    const std::string folder511 = "C:\\" + std::string(508, 'd');
    EXPECT_EQ(FitToBuffer(folder511, kStartFolderBufferSize), folder511);
    EXPECT_EQ(FitToBuffer(folder511 + "x", kStartFolderBufferSize), folder511);
    EXPECT_EQ(FitToBuffer(folder511 + std::string(600, 'x'), kStartFolderBufferSize), folder511);
    EXPECT_EQ(FitToBuffer("", kStartFolderBufferSize), "");
    EXPECT_EQ(FitToBuffer("Load Video", kTitleBufferSize), "Load Video");
    EXPECT_EQ(FitToBuffer("mpeg4video", kDefaultExtensionBufferSize), "mpeg4vide");
    EXPECT_EQ(FitToBuffer(std::string(40000, 'n'), kFileNameBufferSize).size(), 30582u);
    EXPECT_EQ(FitToBuffer("anything", 0), "");
}

TEST(DialogBuffers, ChosenPathEndsAtTheFirstNul) {
    EXPECT_EQ(ChosenPathOf("C:\\Videos\\clip.avi\0\0\0\0"s), "C:\\Videos\\clip.avi");
    EXPECT_EQ(ChosenPathOf("C:\\Videos\0a.avi\0b.avi\0\0"s), "C:\\Videos");
    EXPECT_EQ(ChosenPathOf("D:\\\xC3\xA9t\xC3\xA9 \xE4\xB8\xAD.avi\0"s),
              "D:\\\xC3\xA9t\xC3\xA9 \xE4\xB8\xAD.avi");
    EXPECT_EQ(ChosenPathOf(std::string(16, '\0')), "");
    EXPECT_EQ(ChosenPathOf("no terminator"), "no terminator");
}

TEST(RememberedFolder, FolderPartKeepsTheBackslashOfADriveRootOnly) {
    EXPECT_EQ(FolderPartOf("C:\\Videos\\clip.avi"), "C:\\Videos");
    EXPECT_EQ(FolderPartOf("C:\\clip.avi"), "C:\\");
    EXPECT_EQ(FolderPartOf("\\\\server\\share\\clip.avi"), "\\\\server\\share");
    EXPECT_EQ(FolderPartOf("D:\\\xC3\xA9t\xC3\xA9\\\xE4\xB8\xAD.avi"), "D:\\\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(FolderPartOf("clip.avi"), "");
}

TEST(RememberedFolder, CurrentDirectoryWhereTheDialogLeftItThereElseThePathsFolder) {
    // The usual case: the current directory is the chosen file's folder, in its own spelling.
    EXPECT_EQ(RememberedFolder("C:\\Videos\\clip.avi", "C:\\Videos"), "C:\\Videos");
    EXPECT_EQ(RememberedFolder("c:\\videos\\clip.avi", "C:\\Videos"), "C:\\Videos");
    EXPECT_EQ(RememberedFolder("C:\\clip.avi", "C:\\"), "C:\\");
    // A full path typed while the dialog showed another folder.
    EXPECT_EQ(RememberedFolder("D:\\Elsewhere\\clip.avi", "C:\\Videos"), "D:\\Elsewhere");
    EXPECT_EQ(RememberedFolder("D:\\clip.avi", "C:\\Videos"), "D:\\");
    EXPECT_EQ(RememberedFolder("clip.avi", "C:\\Videos"), "C:\\Videos");
}
