// The input and output choosers on the real common file dialogs, driven from a second
// thread as a user would while this thread runs the dialog.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "app/globals.h"
#include "files/file_choice.h"
#include "files/file_choosers.h"
#include "mainwin/main_ids.h"
#include "tests/driver/driver.h"
#include "tests/driver/file_dialog.h"
#include "tests/wine/background.h"
#include "toolkit/toolkit.h"

using namespace driver;

namespace {

constexpr const char* kPreviousLabel = "C:\\Earlier\\label text.avi";
constexpr const char* kPreviousInputDir = "C:\\Earlier input";
constexpr const char* kPreviousOutputDir = "C:\\Earlier output";

// The descriptions of a filter list (its bytes are checked by the unit tests), in order.
std::vector<std::string> Descriptions(const std::string& list) {
    std::vector<std::string> descriptions;
    for (size_t at = 0; list[at] != '\0'; at = list.find('\0', list.find('\0', at) + 1) + 1)
        descriptions.push_back(list.substr(at, list.find('\0', at) - at));
    return descriptions;
}

void TypeAndEnter(HWND dialog, const std::wstring& name) {
    TypeFileName(dialog, name);
    PressEnterInFileName(dialog);
}

bool DetailsView(HWND dialog) {
    return WaitUntil([&] { return DetailsViewShown(dialog); }, 5000);
}

// An owner window with the input-path label, standing in for the main window.
class FileChoosers : public ::testing::Test {
  protected:
    void SetUp() override {
        GetCurrentDirectoryW(MAX_PATH, startDirectory);
        owner = CreateWin(nullptr, "chooser owner", 40, 40, 700, 80, WS_POPUP | WS_CAPTION | WS_SYSMENU, 0,
                          Units::Pixels);
        AddChild(owner, "STATIC", ID_INPUT_PATH, kPreviousLabel, 5, 30, 690, 22, SS_SUNKEN | SS_PATHELLIPSIS,
                 0);
        ShowModeless(owner, nullptr);
        hMainDlg = owner;
        sInputDir = kPreviousInputDir;
        sOutputDir = kPreviousOutputDir;
    }
    void TearDown() override {
        SetCurrentDirectoryW(startDirectory); // the folder must not be in use when removed
        EndWin(owner, 0);
        hMainDlg = nullptr;
        RemoveTree(folder);
    }

    std::wstring In(const std::wstring& name) const { return folder + L"\\" + name; }
    std::string InUtf8(const std::wstring& name = L"") const {
        return WideToUtf8(name.empty() ? folder : In(name));
    }
    std::string Label() const { return TextOf(GetDlgItem(owner, ID_INPUT_PATH)); }

    // Runs a chooser on this thread while `user` drives its dialog from another thread. A
    // dialog that the user leaves open is cancelled so that the test cannot hang.
    std::string Choose(bool output, const std::string& startDir, const std::function<void(HWND)>& user) {
        const char* title = output ? "Convert Video" : "Load Video";
        HANDLE userDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        Background driving([&] {
            HWND dialog = WaitForFileDialog(GetCurrentProcessId(), title);
            if (!dialog) ADD_FAILURE() << "no dialog \"" << title << "\" appeared";
            if (dialog) user(dialog);
            if (dialog && !WaitForDialogToClose(dialog)) {
                ADD_FAILURE() << "the dialog stayed open";
                PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            }
            SetEvent(userDone);
        });
        const std::string result =
            output ? ChooseOutputVideo(owner, startDir) : ChooseInputVideo(owner, startDir);
        // The user's last input, sent after the dialog has closed, may go to this thread's owner window.
        while (MsgWaitForMultipleObjects(1, &userDone, FALSE, 30000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&message);
        }
        CloseHandle(userDone);
        return result;
    }

    wchar_t startDirectory[MAX_PATH] = {};
    std::wstring folder = NewTempFolder(L"choosers");
    HWND owner = nullptr;
};

} // namespace

TEST_F(FileChoosers, EachDialogShowsItsTypesOneFileAtATimeInDetailsViewAndCancelChangesNothing) {
    WriteBytes(In(L"clip.avi"), "video");
    for (bool output : {false, true}) {
        SCOPED_TRACE(output ? "output" : "input");
        const std::string result = Choose(output, InUtf8(), [&](HWND dialog) {
            EXPECT_EQ(FileTypes(dialog), Descriptions(output ? OutputFilterList() : InputFilterList()));
            EXPECT_EQ(SelectedFileType(dialog), 0);
            EXPECT_TRUE(DetailsView(dialog));
            // One file at a time: a multiple selection would hand back a folder.
            EXPECT_TRUE(StyleOf(FolderListView(dialog)) & LVS_SINGLESEL);
            if (output) {
                BringToFront(dialog);
                PressKey(VK_ESCAPE);
            } else {
                ClickCancelButton(dialog);
            }
        });
        EXPECT_EQ(result, "");
        EXPECT_EQ(Label(), kPreviousLabel);
        EXPECT_EQ(sInputDir, kPreviousInputDir);
        EXPECT_EQ(sOutputDir, kPreviousOutputDir);
    }
}

TEST_F(FileChoosers, DetailsViewOnEveryNotificationAndTheAcceptedInputShownAndRemembered) {
    CreateDirectoryW(In(L"inner").c_str(), nullptr);
    WriteBytes(In(L"inner\\clip.avi"), "video");
    WriteBytes(In(L"inner\\other.mov"), "video");
    const std::string result = Choose(false, InUtf8(), [](HWND dialog) {
        const auto items = [&] { return SendMessageW(FolderListView(dialog), LVM_GETITEMCOUNT, 0, 0); };
        ASSERT_TRUE(WaitUntil([&] { return items() == 1; }, 5000)); // the folder "inner"
        TypeAndEnter(dialog, L"inner");
        ASSERT_TRUE(WaitUntil([&] { return items() == 2; }, 5000)); // the new folder's own view
        EXPECT_TRUE(DetailsView(dialog));
        // The list view, as picked from the dialog's view choices, then another file type.
        SendMessageW(FolderView(dialog), WM_COMMAND, 0x702B, 0);
        Settle(dialog);
        EXPECT_EQ(FolderViewType(dialog), DWORD(LVS_LIST));
        PickFileType(dialog, 2);
        EXPECT_TRUE(DetailsView(dialog));
        TypeAndEnter(dialog, L"clip.avi");
    });
    EXPECT_EQ(result, InUtf8(L"inner\\clip.avi"));
    EXPECT_EQ(Label(), result);
    EXPECT_EQ(sInputDir, InUtf8(L"inner"));
    EXPECT_EQ(sOutputDir, kPreviousOutputDir);
}

TEST_F(FileChoosers, FullPathToADriveRootIsRememberedWithItsBackslashOnly) {
    const std::wstring rootFile = L"C:\\kesto-chooser-root.mp4";
    ASSERT_TRUE(WriteBytes(rootFile, "video"));
    const std::string result = Choose(false, InUtf8(), [&](HWND dialog) { TypeAndEnter(dialog, rootFile); });
    DeleteFileW(rootFile.c_str());
    EXPECT_EQ(result, WideToUtf8(rootFile));
    EXPECT_EQ(sInputDir, "C:\\");
}

TEST_F(FileChoosers, EmptyRememberedFolderOpensInTheCurrentDirectoryTypedNamesGetTheTypesExtension) {
    WriteBytes(In(L"only-here.mp4"), "video");
    SetCurrentDirectoryW(folder.c_str());
    EXPECT_EQ(Choose(false, "", [](HWND dialog) { TypeAndEnter(dialog, L"only-here.mp4"); }),
              InUtf8(L"only-here.mp4"));
    // A name typed without extension gets the selected type's; one with its own keeps it.
    EXPECT_EQ(Choose(true, "", [](HWND dialog) { TypeAndEnter(dialog, L"fresh"); }), InUtf8(L"fresh.flv"));
    EXPECT_EQ(sOutputDir, InUtf8());
    EXPECT_FALSE(FileExists(In(L"fresh.flv"))) << "choosing creates nothing";
    EXPECT_EQ(Choose(true, InUtf8(), [](HWND dialog) { TypeAndEnter(dialog, L"clip.mp4"); }),
              InUtf8(L"clip.mp4"));
    const std::string webm = Choose(true, InUtf8(), [](HWND dialog) {
        PickFileType(dialog, 7);
        TypeAndEnter(dialog, L"clip");
    });
    EXPECT_EQ(webm, InUtf8(L"clip.webm"));
}

TEST_F(FileChoosers, ExistingOutputIsChosenOnlyAfterTheUserAgreesToReplaceIt) {
    WriteBytes(In(L"old.avi"), "keep");
    bool stayedAfterNo = false;
    const std::string result = Choose(true, InUtf8(), [&](HWND dialog) {
        TypeAndEnter(dialog, L"old.avi");
        HWND question = WaitForBoxOf(dialog);
        ASSERT_TRUE(question && GetDlgItem(question, IDYES) && GetDlgItem(question, IDNO));
        AnswerBox(question, IDNO);
        stayedAfterNo = IsWindowVisible(dialog) && !WaitForBoxOf(dialog, 500);
        ClickAcceptButton(dialog);
        question = WaitForBoxOf(dialog);
        ASSERT_TRUE(question);
        AnswerBox(question, IDYES);
    });
    EXPECT_TRUE(stayedAfterNo);
    EXPECT_EQ(result, InUtf8(L"old.avi"));
    EXPECT_EQ(ReadBytes(In(L"old.avi")), "keep");
}

TEST_F(FileChoosers, NonAsciiNamesComeBackIntact) {
    const std::wstring inner = In(L"dossier \u00e9t\u00e9 \u4e2d"), name = L"\u00e9t\u00e9 \u4e2d.avi";
    CreateDirectoryW(inner.c_str(), nullptr);
    WriteBytes(inner + L"\\" + name, "video");
    const std::string input =
        Choose(false, WideToUtf8(inner), [&](HWND dialog) { TypeAndEnter(dialog, name); });
    EXPECT_EQ(input, WideToUtf8(inner + L"\\" + name));
    EXPECT_EQ(Label(), input);
    EXPECT_EQ(sInputDir, WideToUtf8(inner));
    const std::string output =
        Choose(true, WideToUtf8(inner), [](HWND dialog) { TypeAndEnter(dialog, L"sortie \u4e2d"); });
    EXPECT_EQ(output, WideToUtf8(inner + L"\\sortie \u4e2d.flv"));
    EXPECT_EQ(sOutputDir, WideToUtf8(inner));
}
