// The real main window in this process, used from a second thread as a user would.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "base/globals.h"
#include "mainwin/main_ids.h"
#include "mainwin/main_window.h"
#include "tests/wine/converter_beside.h"
#include "tests/wine/in_process.h"

using namespace test;

namespace {

bool Checked(int id) {
    return SendDlgItemMessageW(hMainDlg, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
bool BoxEnabled() {
    return IsWindowEnabled(GetDlgItem(hMainDlg, ID_CUSTOM_PARAMS));
}
// A window of this process other than the main window is up.
bool OtherWindowUp() {
    for (HWND window : TopWindowsOf(GetCurrentProcessId()))
        if (window != hMainDlg && IsWindowVisible(window)) return true;
    return false;
}
void Close(HWND window) {
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

// Shows the main window with the program state as the settings left it; `user` acts meanwhile.
void WithMainWindow(int mode, const std::function<void(HWND)>& user,
                    const std::string& customParams = "-an") {
    nMode = mode;
    sCustomParams = customParams;
    hMainDlg = nullptr;
    WhileRunning([] { EXPECT_EQ(ShowMainDialog(), 0); },
                 [&] {
                     ASSERT_TRUE(WaitUntil([] { return hMainDlg && IsWindowVisible(hMainDlg); }));
                     HWND window = hMainDlg;
                     Settle(window);
                     user(window);
                     if (IsWindow(window)) Close(window);
                 });
}

// Drops files on a window as the shell does.
void Drop(HWND window, const std::wstring& path) {
    const size_t bytes = sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GHND, bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    memcpy(drop + 1, path.c_str(), path.size() * sizeof(wchar_t));
    GlobalUnlock(block);
    PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
}

} // namespace

TEST(MainWindow, TheCustomParametersAreKeptWholeAndFollowTheModeOptions) {
    // Parameters far longer than a text box holds by default (a settings file may hold them).
    std::string longParams;
    while (longParams.size() < 40000)
        longParams += "-metadata comment=" + std::to_string(longParams.size()) + " ";
    // A hand-edited mode acts as custom.
    WithMainWindow(
        3, [](HWND) { EXPECT_TRUE(Checked(ID_MODE_CUSTOM) && BoxEnabled()); }, longParams);
    EXPECT_EQ(sCustomParams, longParams) << "kept whole for the next save";
    WithMainWindow(0, [](HWND window) {
        EXPECT_FALSE(BoxEnabled());
        Click(window, ID_RESET_PARAMS); // fills even the disabled box
        Click(window, ID_MODE_CUSTOM);
        EXPECT_TRUE(WaitUntil([] { return nMode == 2 && BoxEnabled(); }, 3000));
        Close(window); // a system command: the box is copied for the settings
    });
    EXPECT_EQ(sCustomParams, "-threads 2 -crf 10 -q:v 15");
}

TEST(MainWindow, ADroppedVideoRunsAndDuringTheRunNothingChangesItAndLeavingIsAskedFor) {
    ASSERT_TRUE(PlaceConverter());
    SetEnvironmentVariableW(L"FAKECONV_DELAY_MS", L"60000");
    SetEnvironmentVariableW(L"FAKECONV_OUTPUT", L"1");
    const std::wstring folder = NewTempFolder(L"kesto-run"), clip = folder + L"\\été a&b.avi",
                       output = folder + L"\\out.mp4";
    WriteBytes(clip, "video");
    WriteBytes(folder + L"\\other.avi", "video");
    bool goesOnAfterNo = false;
    int defaultButton = 0;
    WithMainWindow(1, [&](HWND window) {
        Drop(window, clip);
        ASSERT_TRUE(WaitUntil([&] { return sInputFiles == std::vector<std::string>{Utf8(clip)}; }, 3000));
        EXPECT_EQ(TextOf(GetDlgItem(window, ID_INPUT_PATH)), Utf8(clip));
        EXPECT_TRUE(GetWindowLongW(GetDlgItem(window, ID_INPUT_PATH), GWL_STYLE) & SS_NOPREFIX)
            << "& shows as &";
        EXPECT_EQ(sInputDir, Utf8(folder));
        Click(window, ID_PUBLISH);
        HWND dialog = WaitForFileDialog(GetCurrentProcessId(), "Convert Video");
        ASSERT_NE(dialog, nullptr);
        ChooseInDialog(dialog, output);
        ASSERT_TRUE(WaitUntil([&] { return FileExists(BeingWritten(output)) && ConverterProcessRuns(); }));
        // Load, Publish, another mode and a drop are refused while it runs.
        for (int id : {ID_LOAD, ID_PUBLISH, ID_MODE_FAST})
            Click(window, id);
        Drop(window, folder + L"\\other.avi");
        Settle(window);
        const DWORD us = GetCurrentProcessId();
        EXPECT_FALSE(WaitForFileDialog(us, "Load Video", 500) || WaitForFileDialog(us, "Convert Video", 0));
        EXPECT_TRUE(Checked(ID_MODE_USUAL) && !Checked(ID_MODE_FAST) && nMode == 1);
        EXPECT_EQ(sInputFiles, std::vector<std::string>{Utf8(clip)});
        for (int answer : {IDNO, IDYES}) {
            answer == IDNO ? Click(window, ID_EXIT) : Close(window); // the close box asks the same
            Box question;
            ASSERT_TRUE(WaitForBox(GetCurrentProcessId(), "Convert Video", &question));
            EXPECT_EQ(question.text, "A conversion is running. Stop it and exit?");
            if (answer == IDNO) defaultButton = DefaultButtonOf(question.window);
            Answer(question.window, answer);
            Sleep(300);
            if (answer == IDNO) goesOnAfterNo = IsWindow(window) && ConverterProcessRuns();
        }
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(window); })) << "Yes leaves once the run has stopped";
    });
    EXPECT_EQ(defaultButton, IDNO);
    EXPECT_TRUE(goesOnAfterNo);
    EXPECT_FALSE(ConverterProcessRuns());
    EXPECT_FALSE(FileExists(output) || FileExists(BeingWritten(output)))
        << "what the stopped run wrote is removed";
    RemoveConverterAndLog();
    RemoveTree(folder);
}

TEST(MainWindow, TheKeyboardReachesEveryCommandAndOnlyAClickChangesTheMode) {
    WithMainWindow(0, [](HWND window) {
        // What Windows sends when an unchecked option merely gains the focus.
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(ID_MODE_USUAL, BN_CLICKED),
                     LPARAM(GetDlgItem(window, ID_MODE_USUAL)));
        EXPECT_TRUE(nMode == 0 && Checked(ID_MODE_FAST));
        std::vector<int> order{GetDlgCtrlID(FocusOf(window))};
        for (int i = 0; i < 10; ++i) {
            Press(window, VK_TAB);
            order.push_back(GetDlgCtrlID(FocusOf(window)));
        }
        // Reading order; of the options only the checked one, and the disabled box not at all.
        EXPECT_EQ(order, (std::vector<int>{ID_LOAD, ID_PUBLISH, ID_COMPRESSION, ID_MODE_FAST, ID_RESET_PARAMS,
                                           ID_FROM, ID_TO, ID_HELP, ID_ABOUT, ID_EXIT, ID_LOAD}));
        // The arrow keys move within the options.
        FocusOn(window, ID_MODE_FAST);
        Press(window, VK_DOWN);
        EXPECT_EQ(GetDlgCtrlID(FocusOf(window)), ID_MODE_CUSTOM);
        // Away from the buttons Enter and Escape do nothing.
        FocusOn(window, ID_COMPRESSION);
        Press(window, VK_RETURN);
        Press(window, VK_ESCAPE);
        Sleep(300);
        EXPECT_FALSE(OtherWindowUp());
        // Enter and Space press the painted button that has the focus.
        for (auto [button, key, caption] :
             {std::tuple{ID_HELP, VK_RETURN, "Help"}, {ID_ABOUT, VK_SPACE, "About"}}) {
            FocusOn(window, button);
            Press(window, key);
            HWND shown = OwnWindow(caption, 5000);
            ASSERT_NE(shown, nullptr) << caption;
            Close(shown);
            EXPECT_TRUE(WaitUntil([&] { return !IsWindow(shown) && IsWindowEnabled(window); })) << caption;
        }
    });
}

TEST(MainWindow, APartIsForOneVideoOutsideTheCustomModeAndABadTimeIsSaidBeforeTheSaveDialog) {
    const std::wstring folder = NewTempFolder(L"kesto-part"), clip = folder + L"\\clip.avi";
    WriteBytes(clip, "video");
    WriteBytes(folder + L"\\other.avi", "video");
    const auto enabled = [] { return IsWindowEnabled(GetDlgItem(hMainDlg, ID_FROM)) != FALSE; };
    WithMainWindow(1, [&](HWND window) {
        Drop(window, clip);
        ASSERT_TRUE(WaitUntil([&] { return sInputFiles.size() == 1; }, 3000));
        Settle(window); // the load is done
        EXPECT_TRUE(enabled() && IsWindowEnabled(GetDlgItem(window, ID_TO)));
        SetWindowTextW(GetDlgItem(window, ID_FROM), L"1:2");
        Click(window, ID_PUBLISH);
        Box box;
        ASSERT_TRUE(WaitForBox(GetCurrentProcessId(), "Attention", &box));
        EXPECT_EQ(box.text.rfind("From \"1:2\" is not a time.", 0), 0u) << box.text;
        Answer(box.window, IDOK);
        EXPECT_FALSE(WaitForFileDialog(GetCurrentProcessId(), "Convert Video", 500));
        Click(window, ID_MODE_CUSTOM);
        EXPECT_TRUE(WaitUntil([&] { return !enabled(); }, 3000)) << "the custom parameters say it themselves";
        Click(window, ID_MODE_USUAL);
        EXPECT_TRUE(WaitUntil(enabled, 3000));
        Drop(window, clip);
        EXPECT_TRUE(WaitUntil([&] { return TextOf(GetDlgItem(window, ID_FROM)).empty(); }, 3000))
            << "a part belongs to the video it was chosen for";
        Drop(window, folder);
        EXPECT_TRUE(WaitUntil([&] { return sInputFiles.size() == 2 && !enabled(); }, 3000));
    });
    RemoveTree(folder);
}
