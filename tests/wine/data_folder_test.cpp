// A program folder that cannot be written to (this test program runs from a read-only copy,
// see data_folder_test.sh): the settings and the log go to %APPDATA%\KESTO, and the user is told
// once.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "app/settings.h"
#include "convert/processing_log.h"
#include "tests/wine/converter_beside.h"

using namespace test;

TEST(DataFolder, AReadOnlyProgramFolderKeepsSettingsAndLogInTheUsersAppData) {
    wchar_t roaming[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, roaming)));
    const std::wstring own = std::wstring(roaming) + L"\\KESTO";
    RemoveTree(own);
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
    RemoveTree(own);
}
