// A program folder that cannot be written to (this test program runs from a read-only copy,
// see data_folder_test.sh): the settings and the log go to %APPDATA%\KESTO, and the user is told
// once.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "base/settings.h"
#include "convert/processing_log.h"
#include "tests/wine/converter_beside.h"

using namespace test;

TEST(DataFolder, AReadOnlyProgramFolderKeepsSettingsAndLogInTheUsersAppData) {
    wchar_t roaming[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, roaming)));
    const std::wstring own = std::wstring(roaming) + L"\\KESTO";
    DeleteFileW((own + L"\\KESTO.ini").c_str()); // what the program makes there, and no more
    DeleteFileW((own + L"\\kesto.log").c_str());
    RemoveDirectoryW(own.c_str());
    ASSERT_FALSE(WriteBytes(ProgramFolder() + L"\\probe", "x")) << "the program folder must be read-only";

    const std::wstring notice = ChooseDataFolder();
    EXPECT_NE(notice.find(own), std::wstring::npos) << Utf8(notice);
    EXPECT_EQ(DataFolder(), own);
    LoadSettings(); // the settings beside the program, until they are saved elsewhere
    EXPECT_EQ(nMode, 2);
    nMode = 1;
    SaveSettings();
    WriteProcessingLog("\"converter\" -i \"in.avi\" -y \"out.mp4\"");
    EXPECT_NE(ReadBytes(own + L"\\KESTO.ini").find("<MODE>1</MODE>"), std::string::npos);
    EXPECT_EQ(ReadBytes(own + L"\\kesto.log"), "\"converter\" -i \"in.avi\" -y \"out.mp4\"\r\n");

    // The next start reads them there, and says nothing more.
    EXPECT_EQ(ChooseDataFolder(), L"");
    LoadSettings();
    EXPECT_EQ(nMode, 1);
    EXPECT_EQ(sCustomParams, "-an");
    DeleteFileW((own + L"\\KESTO.ini").c_str());
    DeleteFileW((own + L"\\kesto.log").c_str());
    RemoveDirectoryW(own.c_str());

    // Where that folder cannot be made either (a file of its name stands in for a read-only
    // place), the user is told at the start that nothing will be saved.
    ASSERT_TRUE(WriteBytes(own, "in the way"));
    const std::wstring nowhere = ChooseDataFolder();
    DeleteFileW(own.c_str());
    EXPECT_NE(nowhere.find(L"cannot save its settings"), std::wstring::npos) << Utf8(nowhere);
}
