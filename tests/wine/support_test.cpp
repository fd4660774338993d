// The tests' own folder helpers: RemoveTree removes a folder that NewTempFolder made, however
// deep, and nothing else; any other path is refused and nothing is deleted. The old helper,
// given a tree deeper than MAX_PATH under Wine, emptied the current folder instead.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "tests/support/support.h"

using namespace test;

namespace {

// Checks that do not go through the helper, in the \\?\ form that reaches any depth.
std::wstring Long(const std::wstring& path) {
    return L"\\\\?\\" + path;
}
bool Exists(const std::wstring& path) {
    return GetFileAttributesW(Long(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}
bool MakeFile(const std::wstring& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    HANDLE file = CreateFileW(Long(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, "kept", 4, &written, nullptr) && written == 4;
    CloseHandle(file);
    return ok;
}

// A folder of this test with files and a subfolder, made the current folder, which the old
// helper emptied; it is put back and the folder removed at the end.
class Canary {
  public:
    Canary() {
        GetCurrentDirectoryW(MAX_PATH, start_);
        if (folder.empty() || !CreateDirectoryW((folder + L"\\inner").c_str(), nullptr) ||
            !SetCurrentDirectoryW(folder.c_str()))
            return;
        made_ = true;
        for (const wchar_t* name : kFiles)
            made_ = MakeFile(folder + L"\\" + name) && made_;
    }
    ~Canary() {
        SetCurrentDirectoryW(start_);
        EXPECT_TRUE(RemoveTree(folder));
    }
    bool Made() const { return made_; }
    // Every file still there, as it was.
    bool Untouched() const {
        for (const wchar_t* name : kFiles)
            if (ReadBytes(Long(folder + L"\\" + name)) != "kept") return false;
        return true;
    }

    const std::wstring folder = NewTempFolder(L"kesto-canary");

  private:
    static constexpr const wchar_t* kFiles[] = {L"keep.txt", L"inner\\keep.txt"};
    wchar_t start_[MAX_PATH] = {};
    bool made_ = false;
};

} // namespace

TEST(RemoveTree, ATreeDeeperThanMaxPathGoesWholeAndTheCurrentFolderBesideItStays) {
    Canary canary;
    ASSERT_TRUE(canary.Made());
    const std::wstring tree = NewTempFolder(L"kesto-deep");
    ASSERT_FALSE(tree.empty());
    // Folders of 40 characters inside each other, a file in each, until the path is far beyond
    // MAX_PATH; read-only files and a read-only folder on the way.
    std::wstring deep = tree;
    for (wchar_t letter = L'a'; deep.size() < 400; ++letter) {
        deep += L"\\" + std::wstring(40, letter);
        ASSERT_TRUE(CreateDirectoryW(Long(deep).c_str(), nullptr)) << Utf8(deep);
        ASSERT_TRUE(MakeFile(deep + L"\\file.txt"));
    }
    ASSERT_TRUE(MakeFile(deep + L"\\read-only.txt", FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(MakeFile(tree + L"\\read-only.txt", FILE_ATTRIBUTE_READONLY));
    const std::wstring readOnlyFolder = tree + L"\\" + std::wstring(40, L'a');
    ASSERT_TRUE(SetFileAttributesW(Long(readOnlyFolder).c_str(), FILE_ATTRIBUTE_READONLY));

    EXPECT_TRUE(RemoveTree(tree));
    EXPECT_FALSE(Exists(tree));
    EXPECT_FALSE(Exists(deep + L"\\file.txt"));
    EXPECT_TRUE(canary.Untouched());
    EXPECT_TRUE(RemoveTree(tree)) << "a folder already gone is no refusal";
}

TEST(RemoveTree, AnyPathNewTempFolderDidNotMakeHereIsRefusedAndNothingIsDeleted) {
    Canary canary;
    ASSERT_TRUE(canary.Made());
    const std::wstring& folder = canary.folder;
    const size_t leaf = folder.rfind(L'\\');
    const std::wstring temp = folder.substr(0, leaf), name = folder.substr(leaf + 1);
    const std::wstring others[] = {
        L"",                         // empty: the current folder to some functions
        L".",                        // the current folder, which is the canary
        name,                        // the canary, relative to the temp folder
        L"inner",                    // relative to the current folder
        temp,                        // the canary's parent, the temp folder
        temp + L"\\",                // the same with its closing backslash
        folder + L"\\..",            // the temp folder again
        folder + L"\\..\\" + name,   // the canary itself, through ..
        folder + L"\\.",             // the canary through .
        folder + L"\\inner",         // inside a folder of ours, not made by NewTempFolder
        L"\\\\?\\" + folder,         // another form of the canary's path
        temp + L"\\" + name + L"-1", // a name NewTempFolder did not give
    };
    for (const std::wstring& other : others) {
        SCOPED_TRACE(Utf8(other));
        bool removed = true;
        EXPECT_NONFATAL_FAILURE(removed = RemoveTree(other), "RemoveTree refused");
        EXPECT_FALSE(removed);
    }
    EXPECT_TRUE(canary.Untouched());
    EXPECT_TRUE(Exists(temp));
}
