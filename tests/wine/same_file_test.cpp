// Telling whether an output path names the input file.
#include <gtest/gtest.h>

#include "convert/same_file.h"
#include "tests/driver/driver.h"

using namespace driver;

TEST(SameFile, CatchesEveryFormOfTheSamePath) {
    const std::wstring folder = NewTempFolder(L"kesto-same"), input = folder + L"\\été clip.avi";
    WriteBytes(input, "video");
    CreateHardLinkW((folder + L"\\linked.avi").c_str(), input.c_str(), nullptr);
    wchar_t previous[MAX_PATH], shortName[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(folder.c_str());
    const std::string path = WideToUtf8(input), leaf = WideToUtf8(folder.substr(folder.rfind(L'\\') + 1));
    GetShortPathNameW(input.c_str(), shortName, MAX_PATH);
    for (const std::string& same :
         {path, WideToUtf8(folder + L"\\ÉTÉ CLIP.AVI"), " " + path + " ", std::string("été clip.avi"),
          "..\\" + leaf + "\\.\\été clip.avi", WideToUtf8(folder + L"\\linked.avi"),
          shortName[0] ? WideToUtf8(shortName) : path})
        EXPECT_TRUE(NamesSameFile(path, same)) << same;
    for (const std::string& other : {WideToUtf8(folder + L"\\été clip.mp4"),
                                     WideToUtf8(folder + L"\\other\\été clip.avi"), std::string()})
        EXPECT_FALSE(NamesSameFile(path, other)) << other;
    SetCurrentDirectoryW(previous);
    RemoveTree(folder);
}
