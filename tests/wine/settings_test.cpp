// LoadSettings and SaveSettings in this process, where the settings file lies beside the test
// program: the failures a user cannot easily stage (a lock, a crash or a full disk half-way).
#include <gtest/gtest.h>

#include "base/globals.h"
#include "base/program_folder.h"
#include "base/settings.h"
#include "base/whole_file.h"
#include "tests/support/support.h"
#include "tests/wine/import_patch.h"

using namespace test;

namespace {

const std::string kOld = "<IN_DIR>C:\\Old in</IN_DIR>\r\n<MODE>1</MODE>\r\n<CUSTOM>-an</CUSTOM>\r\n";

// A disk that fills up as the settings text is written.
BOOL WINAPI FullDiskWriteFile(HANDLE, LPCVOID, DWORD, LPDWORD written, LPOVERLAPPED) {
    *written = 0;
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

class SettingsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        TearDown();
        SetCurrentDirectoryW(ProgramFolder().c_str());
        ASSERT_TRUE(WriteBytes(path, kOld));
    }
    void TearDown() override {
        for (const std::wstring& file : {path, replacement, path + L".bak"}) {
            SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (!DeleteFileW(file.c_str())) RemoveDirectoryW(file.c_str());
        }
    }

    const std::wstring path = ProgramFolder() + L"\\KESTO.ini";
    const std::wstring replacement = path + L".tmp";
};

} // namespace

TEST_F(SettingsFile, AFullDiskOrACrashWhileSavingKeepsTheOldFile) {
    sInputDir = "C:\\New";
    {
        ImportPatch fullDisk(&gWriteFileSlot, reinterpret_cast<void*>(&FullDiskWriteFile));
        SaveSettings();
    }
    EXPECT_EQ(ReadBytes(path), kOld);
    EXPECT_FALSE(FileExists(replacement)) << "a replacement was left behind";
    // The first step of a save, then the process "dies": the old file is whole and still read,
    // and the next save writes over the leftover.
    ASSERT_TRUE(WriteReplacement(path, "<IN_DIR>C:\\New</IN_DIR>"));
    LoadSettings();
    EXPECT_EQ(sInputDir, "C:\\Old in");
    sInputDir = "C:\\Next";
    SaveSettings();
    EXPECT_NE(ReadBytes(path).find("<IN_DIR>C:\\Next</IN_DIR>\r\n"), std::string::npos);
    EXPECT_FALSE(FileExists(replacement));
}

TEST_F(SettingsFile, ALockedFileReadsAsEmptyAndIsNotOverwritten) {
    // An exclusive handle, as another program that holds the file open would have.
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    nMode = 7;
    LoadSettings();
    EXPECT_EQ(sInputDir, ToCodePage(ProgramFolder()));
    EXPECT_EQ(nMode, 0);
    CloseHandle(held);
    SaveSettings();
    EXPECT_EQ(ReadBytes(path), kOld) << "settings that could not be read are kept";
}

TEST_F(SettingsFile, NotepadsUnicodeIsReadAndTextWithoutSettingsIsKeptBeforeItIsReplaced) {
    // "Unicode" as Notepad saves it: UTF-16, little-endian, with a byte-order mark.
    std::string unicode = "\xFF\xFE";
    for (wchar_t c :
         std::wstring(L"<IN_DIR>C:\\Vidéos 中文</IN_DIR>\r\n<MODE>2</MODE>\r\n<CUSTOM>-an</CUSTOM>\r\n"))
        unicode += {char(c & 0xFF), char(c >> 8)};
    ASSERT_TRUE(WriteBytes(path, unicode));
    LoadSettings();
    EXPECT_EQ(sInputDir + "|" + std::to_string(nMode) + "|" + sCustomParams, Utf8(L"C:\\Vidéos 中文|2|-an"));
    SaveSettings();
    EXPECT_FALSE(FileExists(path + L".bak")) << "settings that were read need no copy";
    ASSERT_TRUE(WriteBytes(path, "notes of mine"));
    LoadSettings();
    SaveSettings();
    EXPECT_EQ(ReadBytes(path + L".bak"), "notes of mine");
    EXPECT_NE(ReadBytes(path).find("<MODE>0</MODE>"), std::string::npos);
}
