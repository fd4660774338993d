// WinMain's start-up: the start window first, then the program's folder becomes the current
// directory, the settings are read and the main window runs; the settings are saved at the end.
#include <gtest/gtest.h>

#include "app/globals.h"
#include "app/program_folder.h"
#include "app/text.h"
#include "tests/driver/driver.h"
#include "tests/wine/background.h"
#include "tests/wine/window_checks.h"

namespace {
std::wstring CurrentDirectory() {
    wchar_t current[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, current);
    return current;
}
} // namespace

TEST(WinMain, StartWindowFirstThenProgramFolderCurrentAndReturnsZero) {
    const std::wstring settings = ProgramFolder() + L"\\KESTO.ini";
    DeleteFileW(settings.c_str());
    SetCurrentDirectoryW(L"C:\\");
    hMainDlg = nullptr;
    std::wstring currentWithStartWindow, currentWhileRunning;
    bool mainWindowWithStartWindow = true;
    Background user([&] {
        HWND start = checks::WaitForOwnWindow("Tarvelle Video Converter. ");
        ASSERT_NE(start, nullptr);
        currentWithStartWindow = CurrentDirectory();
        mainWindowWithStartWindow = hMainDlg != nullptr;
        PostMessageW(start, WM_SYSCOMMAND, SC_CLOSE, 0);
        ASSERT_TRUE(driver::WaitUntil([] { return hMainDlg && IsWindowVisible(hMainDlg); }));
        currentWhileRunning = CurrentDirectory();
        PostMessageW(hMainDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    char arguments[] = "--ignored";
    EXPECT_EQ(WinMain(GetModuleHandleW(nullptr), nullptr, arguments, SW_SHOWNORMAL), 0);
    user.Join();
    EXPECT_EQ(currentWithStartWindow, L"C:\\") << "the start window comes before the folder change";
    EXPECT_FALSE(mainWindowWithStartWindow);
    EXPECT_EQ(currentWhileRunning, ProgramFolder());
    // Read after that step, the settings' default folders are the program's; saved at the end.
    EXPECT_EQ(sInputDir, ToCodePage(ProgramFolder()));
    EXPECT_TRUE(driver::FileExists(settings));
    DeleteFileW(settings.c_str());
}
