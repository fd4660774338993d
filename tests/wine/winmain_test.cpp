// WinMain's start-up: the link cursor from the resources, the start window first, then the
// program's folder as the current directory, the settings read and the main window run; the
// settings saved at the end.
#include <gtest/gtest.h>

#include "app/globals.h"
#include "app/program_folder.h"
#include "app/text.h"
#include "mainwin/main_ids.h"
#include "tests/wine/in_process.h"

using namespace test;

namespace {
std::wstring CurrentDirectory() {
    wchar_t current[MAX_PATH];
    return std::wstring(current, GetCurrentDirectoryW(MAX_PATH, current));
}
} // namespace

TEST(WinMain, StartWindowFirstThenTheProgramFolderAndTheSettingsSaved) {
    const std::wstring settings = ProgramFolder() + L"\\KESTO.ini";
    DeleteFileW(settings.c_str());
    SetCurrentDirectoryW(L"C:\\");
    hMainDlg = nullptr;
    std::wstring currentWithStartWindow, currentWhileRunning;
    std::string label;
    bool mainWindowWithStartWindow = true;
    ICONINFO cursor{};
    // "Open with": a video named on the command line is loaded; other words are ignored.
    const std::wstring clip = ProgramFolder() + L"\\opened with.avi";
    WriteBytes(clip, "video");
    std::string arguments = "--ignored \"" + Utf8(clip) + "\" C:\\no-such-file.avi";
    WhileRunning(
        [&] { EXPECT_EQ(WinMain(GetModuleHandleW(nullptr), nullptr, arguments.data(), SW_SHOWNORMAL), 0); },
        [&] {
            HWND start = OwnWindow("Tarvelle Video Converter. ");
            ASSERT_NE(start, nullptr);
            currentWithStartWindow = CurrentDirectory();
            mainWindowWithStartWindow = hMainDlg != nullptr;
            GetIconInfo(hLinkCursor, &cursor);
            PostMessageW(start, WM_SYSCOMMAND, SC_CLOSE, 0);
            ASSERT_TRUE(WaitUntil([] { return hMainDlg && IsWindowVisible(hMainDlg); }));
            currentWhileRunning = CurrentDirectory();
            label = TextOf(GetDlgItem(hMainDlg, ID_INPUT_PATH));
            PostMessageW(hMainDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
        });
    // The pointing hand of the resources, not a stand-in the system would give.
    EXPECT_TRUE(cursor.hbmMask && !cursor.fIcon && cursor.xHotspot == 13 && cursor.yHotspot == 9);
    if (cursor.hbmMask) DeleteObject(cursor.hbmMask);
    if (cursor.hbmColor) DeleteObject(cursor.hbmColor);
    EXPECT_EQ(currentWithStartWindow, L"C:\\") << "the start window comes before the folder change";
    EXPECT_FALSE(mainWindowWithStartWindow);
    EXPECT_EQ(currentWhileRunning, ProgramFolder());
    EXPECT_EQ(sInputFiles, std::vector<std::string>{Utf8(clip)});
    EXPECT_EQ(label, Utf8(clip));
    EXPECT_EQ(sInputDir, ToCodePage(ProgramFolder())) << "the opened video's folder";
    DeleteFileW(clip.c_str());
    EXPECT_TRUE(FileExists(settings));
    DeleteFileW(settings.c_str());
}
