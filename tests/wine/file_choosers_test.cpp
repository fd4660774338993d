// The input and output choosers on the real common file dialogs, in this process, answered
// from a second thread as a user would.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "base/globals.h"
#include "files/file_choosers.h"
#include "tests/wine/in_process.h"
#include "toolkit/toolkit.h"

using namespace test;

namespace {

constexpr int kFileTypes = 0x470;

HWND ListView(HWND dialog) {
    HWND view = FindWindowExW(dialog, nullptr, L"SHELLDLL_DefView", nullptr);
    return view ? FindWindowExW(view, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
}

// The question a dialog asks in a message box of its own.
HWND BoxOf(HWND dialog) {
    HWND box = nullptr;
    WaitUntil([&] {
        for (HWND window : TopWindowsOf(GetCurrentProcessId()))
            if (IsWindowVisible(window) && GetWindow(window, GW_OWNER) == dialog) box = window;
        return box != nullptr;
    });
    return box;
}

// Picks a file type as the user does in the dropped type list: the selection and its notifications.
void PickType(HWND dialog, int index) {
    HWND types = GetDlgItem(dialog, kFileTypes);
    SendMessageW(types, CB_SETCURSEL, index, 0);
    for (WORD notification : {CBN_SELCHANGE, CBN_SELENDOK})
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kFileTypes, notification), LPARAM(types));
}

// An owner window standing in for the main window.
class FileChoosers : public ::testing::Test {
  protected:
    void SetUp() override {
        GetCurrentDirectoryW(MAX_PATH, startDirectory);
        hMainDlg = CreateWin(nullptr, "owner", 40, 40, 700, 80, 0, 0, Units::Pixels);
        ShowModeless(hMainDlg, nullptr);
        sInputDir = "C:\\Earlier input";
        sOutputDir = "C:\\Earlier output";
    }
    void TearDown() override {
        SetCurrentDirectoryW(startDirectory); // the folder must not be in use when removed
        DestroyWindow(std::exchange(hMainDlg, nullptr));
        RemoveTree(folder);
    }
    std::wstring In(const std::wstring& name) const { return folder + L"\\" + name; }

    // Runs a chooser on this thread while `user` answers its dialog from another thread.
    std::string Choose(bool output, const std::string& startDir, const std::function<void(HWND)>& user) {
        return Choose(output ? "Convert Video" : "Load Video", user, [&] {
            return output ? ChooseOutputVideo(hMainDlg, startDir) : ChooseInputVideo(hMainDlg, startDir);
        });
    }
    std::string Choose(const char* title, const std::function<void(HWND)>& user,
                       const std::function<std::string()>& chooser) {
        std::string result;
        WhileRunning([&] { result = chooser(); },
                     [&] {
                         HWND dialog = WaitForFileDialog(GetCurrentProcessId(), title);
                         ASSERT_NE(dialog, nullptr);
                         user(dialog);
                         if (!WaitUntil([&] { return !IsWindow(dialog); }, 10000)) {
                             ADD_FAILURE() << "the dialog stayed open";
                             PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                         }
                     });
        return result;
    }

    wchar_t startDirectory[MAX_PATH] = {};
    std::wstring folder = NewTempFolder(L"choosers");
};

} // namespace

TEST_F(FileChoosers, TheChosenInputComesBackAndItsFolderIsRemembered) {
    CreateDirectoryW(In(L"dossier été 中").c_str(), nullptr);
    WriteBytes(In(L"dossier été 中\\été 中.avi"), "video");
    const std::string result = Choose(false, Utf8(folder), [](HWND dialog) {
        ChooseInDialog(dialog, L"dossier été 中"); // a folder: the dialog goes there
        ASSERT_TRUE(WaitUntil([&] { return SendMessageW(ListView(dialog), LVM_GETITEMCOUNT, 0, 0) == 1; }));
        ChooseInDialog(dialog, L"été 中.avi");
    });
    EXPECT_EQ(result, Utf8(In(L"dossier été 中\\été 中.avi")));
    EXPECT_EQ(sInputDir, Utf8(In(L"dossier été 中")));
    EXPECT_EQ(sOutputDir, "C:\\Earlier output");
}

TEST_F(FileChoosers, CancelChangesNothingAndTypedOutputNamesGetTheSelectedTypesExtension) {
    const auto cancel = [](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); };
    EXPECT_EQ(Choose(false, Utf8(folder), cancel) + Choose(true, Utf8(folder), cancel), "");
    EXPECT_EQ(sInputDir + "|" + sOutputDir, "C:\\Earlier input|C:\\Earlier output");
    SetCurrentDirectoryW(folder.c_str()); // no folder remembered: the dialog opens the current one
    EXPECT_EQ(Choose(true, "", [](HWND dialog) { ChooseInDialog(dialog, L"fresh"); }),
              Utf8(In(L"fresh.flv")));
    EXPECT_EQ(sOutputDir, Utf8(folder));
    EXPECT_FALSE(FileExists(In(L"fresh.flv"))) << "choosing creates nothing";
    // For several videos the dialog proposes the first one's name; a shorter one typed over it
    // gives the folder and the type picked all the same.
    const std::string batch = Choose(
        "Convert Video",
        [](HWND dialog) {
            PickType(dialog, 3);
            ChooseInDialog(dialog, L"x");
        },
        [&] {
            return ChooseBatchOutput(hMainDlg, Utf8(folder), "D:\\tiny clip number 1 with a longer name.avi");
        });
    EXPECT_EQ(batch, Utf8(In(L"x.mp4")));
}

TEST_F(FileChoosers, TheInputAndDevicesAreRefusedAsOutputAndAFileIsReplacedOnlyIfTheUserAgrees) {
    WriteBytes(In(L"Clip.AVI"), "the video");
    WriteBytes(In(L"old.avi"), "keep");
    CreateHardLinkW(In(L"linked.avi").c_str(), In(L"Clip.AVI").c_str(), nullptr);
    sInputFile = Utf8(In(L"Clip.AVI"));
    bool stayedAfterNo = false;
    const std::string result = Choose(true, Utf8(folder), [&](HWND dialog) {
        // Another spelling of the input's name, a hard link to it, names of devices, then an
        // existing file, which is replaced only after a Yes.
        for (auto [name, answer, said] :
             {std::tuple{L"clip.avi", IDOK, "the input video itself"},
              {L"linked.avi", IDOK, "the input video itself"},
              {L"nul.mp4", IDOK, "nul.mp4\" is a name that Windows keeps for a device"},
              {L"Com1", IDOK, "Com1.flv\" is a name"},
              {L"old.avi", IDNO, "old.avi already exists."},
              {L"old.avi", IDYES, "old.avi already exists."}}) {
            ChooseInDialog(dialog, name);
            HWND box = BoxOf(dialog);
            ASSERT_NE(box, nullptr) << said;
            const std::string text = TextOf(GetDlgItem(box, 0xFFFF));
            EXPECT_NE(text.find(said), std::string::npos) << text;
            Answer(box, answer);
            if (answer == IDYES) break;
            ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(dialog); }));
            stayedAfterNo = IsWindow(dialog); // after the last No
        }
    });
    EXPECT_TRUE(stayedAfterNo);
    EXPECT_EQ(result, Utf8(In(L"old.avi")));
    EXPECT_EQ(ReadBytes(In(L"Clip.AVI")) + "|" + ReadBytes(In(L"old.avi")), "the video|keep");
}

TEST_F(FileChoosers, HundredsOfLongNamesChosenTogetherAllComeBack) {
    const std::wstring longName(120, L'v');
    for (int i = 0; i < 300; ++i)
        WriteBytes(In(longName + std::to_wstring(1000 + i) + L".avi"), "video");
    std::vector<std::string> chosen;
    Choose(
        "Load Video",
        [](HWND dialog) {
            ASSERT_TRUE(
                WaitUntil([&] { return SendMessageW(ListView(dialog), LVM_GETITEMCOUNT, 0, 0) == 300; }));
            // Every file selected at once, as with Ctrl+A: far more than the dialog's buffer holds.
            LVITEMW all{};
            all.stateMask = all.state = LVIS_SELECTED;
            SendMessageW(ListView(dialog), LVM_SETITEMSTATE, WPARAM(-1), LPARAM(&all));
            Settle(dialog);
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        },
        [&] {
            chosen = ChooseInputVideos(hMainDlg, Utf8(folder));
            return std::string();
        });
    ASSERT_EQ(chosen.size(), 300u);
    EXPECT_EQ(chosen.back(), Utf8(In(longName + L"1299.avi")));
}
