// WinMain's start-up: the program's folder becomes the current directory.
#include <gtest/gtest.h>

#include "app/globals.h"
#include "app/program_folder.h"
#include "app/text.h"
#include "tests/driver/driver.h"
#include "tests/wine/background.h"

TEST(WinMain, MakesTheProgramFolderCurrentAndReturnsZero) {
    const std::wstring settings = ProgramFolder() + L"\\KESTO.ini";
    DeleteFileW(settings.c_str());
    SetCurrentDirectoryW(L"C:\\");
    hMainDlg = nullptr;
    std::wstring currentWhileRunning;
    Background user([&] {
        ASSERT_TRUE(driver::WaitUntil([] { return hMainDlg && IsWindowVisible(hMainDlg); }));
        wchar_t current[MAX_PATH];
        GetCurrentDirectoryW(MAX_PATH, current);
        currentWhileRunning = current;
        PostMessageW(hMainDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    char arguments[] = "--ignored";
    EXPECT_EQ(WinMain(GetModuleHandleW(nullptr), nullptr, arguments, SW_SHOWNORMAL), 0);
    user.Join();
    EXPECT_EQ(currentWhileRunning, ProgramFolder());
    // The settings were loaded after that step, so their default folders are the program's, and
    // saved when the window had closed.
    EXPECT_EQ(sInputDir, ToCodePage(ProgramFolder()));
    EXPECT_TRUE(driver::FileExists(settings));
    DeleteFileW(settings.c_str());
    EXPECT_NE(hLinkCursor, nullptr) << "the link cursor comes from the program's resources";
}
