// Telling whether an output path names the input file.
#include <gtest/gtest.h>

#include "convert/same_file.h"
#include "tests/driver/driver.h"

using namespace driver;

TEST(SameFile, CatchesEveryFormOfTheSamePath) {
    const std::wstring folder = NewTempFolder(L"kesto-same");
    const std::wstring input = folder + L"\\été clip.avi";
    WriteBytes(input, "video");
    CreateHardLinkW((folder + L"\\linked.avi").c_str(), input.c_str(), nullptr);
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(folder.c_str());
    const std::string path = WideToUtf8(input);
    const std::wstring leaf = folder.substr(folder.rfind(L'\\') + 1);
    EXPECT_TRUE(NamesSameFile(path, path));
    EXPECT_TRUE(NamesSameFile(path, WideToUtf8(folder + L"\\ÉTÉ CLIP.AVI")));
    EXPECT_TRUE(NamesSameFile(path, " " + path + " "));
    EXPECT_TRUE(NamesSameFile(path, "été clip.avi"));
    EXPECT_TRUE(NamesSameFile(path, "..\\" + WideToUtf8(leaf) + "\\.\\été clip.avi"));
    EXPECT_TRUE(NamesSameFile(path, WideToUtf8(folder + L"\\linked.avi")));
    wchar_t shortName[MAX_PATH] = {};
    if (GetShortPathNameW(input.c_str(), shortName, MAX_PATH) && std::wstring(shortName) != input) {
        EXPECT_TRUE(NamesSameFile(path, WideToUtf8(shortName)));
    }
    EXPECT_FALSE(NamesSameFile(path, WideToUtf8(folder + L"\\été clip.mp4")));
    EXPECT_FALSE(NamesSameFile(path, WideToUtf8(folder + L"\\other\\été clip.avi")));
    EXPECT_FALSE(NamesSameFile(path, ""));
    SetCurrentDirectoryW(previous);
    RemoveTree(folder);
}
