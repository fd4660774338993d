#include <gtest/gtest.h>

#include "base/text.h"

TEST(Text, FoldersOfTheProgramAndOfAFile) {
    EXPECT_EQ(ProgramFolderOf(L"E:\\KESTO.exe"), L"E:");
    EXPECT_EQ(ProgramFolderOf(L"\\\\server\\share\\\\KESTO.exe"), L"\\\\server\\share");
    EXPECT_EQ(FolderWithBackslashOf(L"C:\\a b\\été\\KESTO.exe"), L"C:\\a b\\été\\");
    EXPECT_EQ(ArgumentsAfterProgramName("\"C:\\a b\\KESTO.exe\"  -x y"), "-x y");
    EXPECT_EQ(ArgumentsAfterProgramName("\"unterminated"), "");
    EXPECT_EQ(FolderOfFile("C:\\Clips\\holiday.avi"), "C:\\Clips");
    EXPECT_EQ(FolderOfFile("C:\\holiday.avi"), "C:\\");
    EXPECT_EQ(FolderOfFile("holiday.avi"), "");
}

TEST(Text, CommandLinePathsAreFullPathsFromTheCallersFolder) {
    for (auto [argument, full] : {
             std::pair{"sub/../sub/./a b.avi", "C:\\cl\\sub\\a b.avi"},
             {"..\\..\\..\\up.avi", "C:\\up.avi"}, // never above the drive
             {"\\top.avi", "C:\\top.avi"},         // the drive's root
             {"c:here.avi", "C:\\cl\\here.avi"},   // the drive's current folder
             {"D:there.avi", "D:\\there.avi"},
             {"\\\\srv\\share\\..\\..\\z.avi", "\\\\srv\\share\\z.avi"},
             {".", "C:\\cl"},
         })
        EXPECT_EQ(FullPathFrom("C:\\cl", argument), full) << argument;
    EXPECT_EQ(FullPathFrom("C:\\", "a.avi"), "C:\\a.avi");
    EXPECT_EQ(FullPathFrom("\\\\srv\\share\\d", "\\r.avi"), "\\\\srv\\share\\r.avi");
}

TEST(Text, PathsPastTheOldLimitTakeTheFormThatHasNone) {
    std::wstring tail;
    for (int i = 0; i < 7; ++i)
        tail += L"folder-of-forty-characters-in-its-name-\\";
    tail += L"clip.mp4";
    EXPECT_EQ(LongPathForm(L"C:\\Videos\\clip.mp4"), L"C:\\Videos\\clip.mp4");
    // That form is taken as it is: the dots and slashes the system would resolve are resolved first.
    EXPECT_EQ(LongPathForm(L"C:/x/./y/../../../" + tail), L"\\\\?\\C:\\" + tail);
    EXPECT_EQ(LongPathForm(L"\\\\server\\share\\..\\" + tail), L"\\\\?\\UNC\\server\\share\\" + tail);
    EXPECT_EQ(LongPathForm(L"\\\\?\\C:\\" + tail), L"\\\\?\\C:\\" + tail);
    EXPECT_EQ(LongPathForm(tail), tail) << "a relative path is left to the system";
}
