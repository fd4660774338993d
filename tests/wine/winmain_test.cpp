// WinMain's start-up: the videos named on the command line loaded from the caller's folder, the
// program's folder then the current directory, and the settings saved at the end.
#include <gtest/gtest.h>

#include "base/globals.h"
#include "base/program_folder.h"
#include "base/text.h"
#include "mainwin/main_ids.h"
#include "tests/wine/in_process.h"

using namespace test;

TEST(WinMain, NamedVideosAreTheCallersAndTheSettingsAreSaved) {
    const std::wstring settings = ProgramFolder() + L"\\KESTO.ini";
    DeleteFileW(settings.c_str());
    // Started from another folder, as "Open with", "Send to" or a command prompt start it: the names
    // given are meant from there. The program's folder holds a video of the same name.
    const std::wstring caller = NewTempFolder(L"kesto-caller"), decoy = ProgramFolder() + L"\\rel.avi";
    CreateDirectoryW((caller + L"\\sub").c_str(), nullptr);
    for (const std::wstring& video : {caller + L"\\rel.avi", caller + L"\\sub\\b.mp4",
                                      caller + L"\\sub\\a.avi", caller + L"\\sub\\thumbs.avi", decoy})
        WriteBytes(video, "video");
    SetFileAttributesW((caller + L"\\sub\\thumbs.avi").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetCurrentDirectoryW(caller.c_str());
    hMainDlg = nullptr;
    std::string currentWhileRunning, label;
    std::string arguments = "--ignored rel.avi .\\sub C:\\no-such-file.avi";
    WhileRunning(
        [&] { EXPECT_EQ(WinMain(GetModuleHandleW(nullptr), nullptr, arguments.data(), SW_SHOWNORMAL), 0); },
        [&] {
            HWND start = OwnWindow("Tarvelle Video Converter. ");
            ASSERT_NE(start, nullptr);
            PostMessageW(start, WM_SYSCOMMAND, SC_CLOSE, 0);
            ASSERT_TRUE(WaitUntil([] { return hMainDlg && IsWindowVisible(hMainDlg); }));
            currentWhileRunning = CurrentDirectory();
            label = TextOf(GetDlgItem(hMainDlg, ID_INPUT_PATH));
            PostMessageW(hMainDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
        });
    EXPECT_EQ(currentWhileRunning, Utf8(ProgramFolder()));
    // A folder gives the videos inside it, as a drop does, without hidden files.
    const std::vector<std::string> loaded = {Utf8(caller + L"\\rel.avi"), Utf8(caller + L"\\sub\\a.avi"),
                                             Utf8(caller + L"\\sub\\b.mp4")};
    EXPECT_EQ(sInputFiles, loaded);
    EXPECT_EQ(label.rfind("3 videos: " + loaded[0], 0), 0u) << label;
    EXPECT_EQ(sInputDir, Utf8(caller)) << "the first video's folder";
    DeleteFileW(decoy.c_str());
    RemoveTree(caller);
    EXPECT_TRUE(FileExists(settings));
    DeleteFileW(settings.c_str());
}
