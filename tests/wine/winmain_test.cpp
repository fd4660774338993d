// WinMain's start-up: the program's folder becomes the current directory.
#include <gtest/gtest.h>

#include "app/globals.h"
#include "app/program_folder.h"
#include "app/text.h"
#include "tests/driver/driver.h"
#include "tests/wine/background.h"

TEST(WinMain, MakesTheProgramFolderCurrentAndReturnsZero) {
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
    EXPECT_NE(hLinkCursor, nullptr) << "the link cursor comes from the program's resources";
}
