// The tests' own folder helpers: RemoveTree removes a folder that NewTempFolder made, however
// deep, and nothing else; any other path is refused and nothing is deleted. The old helper,
// given a tree deeper than MAX_PATH under Wine, emptied the current folder instead.
#include <gtest/gtest.h>

#include "tests/support/support.h"

using namespace test;

namespace {

// Checked and made without the helper, in the \\?\ form that reaches any depth.
bool Exists(const std::wstring& path) {
    return GetFileAttributesW((L"\\\\?\\" + path).c_str()) != INVALID_FILE_ATTRIBUTES;
}
bool MakeFile(const std::wstring& path) {
    HANDLE file = CreateFileW((L"\\\\?\\" + path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    CloseHandle(file);
    return file != INVALID_HANDLE_VALUE;
}

// A folder with a file and a subfolder, made the current folder (which the old helper emptied).
struct Canary {
    Canary() {
        GetCurrentDirectoryW(MAX_PATH, start);
        made = CreateDirectoryW((folder + L"\\inner").c_str(), nullptr) &&
               SetCurrentDirectoryW(folder.c_str()) && MakeFile(folder + L"\\inner\\keep.txt");
    }
    ~Canary() {
        SetCurrentDirectoryW(start);
        EXPECT_TRUE(RemoveTree(folder));
    }
    const std::wstring folder = NewTempFolder(L"kesto-canary");
    wchar_t start[MAX_PATH] = {};
    bool made = false;
};

} // namespace

TEST(RemoveTree, ATreeDeeperThanMaxPathGoesWholeAndTheCurrentFolderBesideItStays) {
    Canary canary;
    ASSERT_TRUE(canary.made);
    const std::wstring tree = NewTempFolder(L"kesto-deep");
    // Folders of 40 characters inside each other, a file in each, far beyond MAX_PATH.
    std::wstring deep = tree;
    for (wchar_t letter = L'a'; deep.size() < 400; ++letter) {
        deep += L"\\" + std::wstring(40, letter);
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr)) << Utf8(deep);
        ASSERT_TRUE(MakeFile(deep + L"\\file.txt"));
    }
    EXPECT_TRUE(RemoveTree(tree));
    EXPECT_FALSE(Exists(tree));
    EXPECT_TRUE(Exists(canary.folder + L"\\inner\\keep.txt"));
    EXPECT_TRUE(RemoveTree(tree)) << "a folder already gone is no refusal";
}

TEST(RemoveTree, AnyPathNewTempFolderDidNotMakeHereIsRefusedAndNothingIsDeleted) {
    Canary canary;
    ASSERT_TRUE(canary.made);
    const std::wstring& folder = canary.folder;
    const std::wstring temp = folder.substr(0, folder.rfind(L'\\'));
    for (const std::wstring& other :
         {std::wstring(), std::wstring(L"."), std::wstring(L"inner"), temp, folder + L"\\..", folder + L"\\.",
          folder + L"\\inner", L"\\\\?\\" + folder, folder + L"-1"}) {
        EXPECT_FALSE(RemoveTree(other)) << Utf8(other);
        EXPECT_TRUE(Exists(folder + L"\\inner\\keep.txt")) << Utf8(other);
    }
    EXPECT_TRUE(Exists(temp));
}
