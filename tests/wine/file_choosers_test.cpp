// The input and output choosers on the real common file dialogs, driven from a second
// thread as a user would while this thread runs the dialog.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "app/globals.h"
#include "files/file_choosers.h"
#include "mainwin/main_ids.h"
#include "tests/driver/driver.h"
#include "tests/driver/file_dialog.h"
#include "tests/wine/background.h"
#include "toolkit/toolkit.h"

namespace {

const std::vector<std::string> kInputTypes = {
    "All video files",         "MOV video files (*.MOV)",   "AVI video files (*.AVI)",
    "MP4 video files (*.MP4)", "ASF video files (*.ASF)",   "MPG video files (*.MPG, *.MPEG)",
    "QT video files (*.QT)",   "M2TS video files (*.M2TS)", "MTS video files (*.MTS)",
    "TS video files (*.TS)",   "M2T video files (*.M2T)",   "MKV video files (*.MKV)",
    "TOD video files (*.TOD)", "FLV video files (*.FLV)",   "F4V video files (*.F4V)",
    "M4V video files (*.M4V)", "QT video files (*.QT)"};

const std::vector<std::string> kOutputTypes = {" FLV video files (*.FLV)", " AVI 2.0 video files (*.AVI)",
                                               " MOV video files (*.MOV)", " MP4 video files (*.MP4)",
                                               " M4V video files (*.M4V)", " OGG video files (*.OGG)",
                                               " OGV video files (*.OGV)", " WEBM video files (*.WEBM)"};

constexpr const char* kPreviousLabel = "C:\\Earlier\\label text.avi";
constexpr const char* kPreviousInputDir = "C:\\Earlier input";
constexpr const char* kPreviousOutputDir = "C:\\Earlier output";

std::string Utf8(const std::wstring& text) {
    return driver::WideToUtf8(text);
}

std::wstring CurrentDirectoryW() {
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    return folder;
}

int ItemCount(HWND dialog) {
    return static_cast<int>(SendMessageW(driver::FolderListView(dialog), LVM_GETITEMCOUNT, 0, 0));
}

// Handles this thread's messages until `done` is set: the user's last input, sent after the
// dialog has closed, goes to the owner window of this thread and waits for an answer.
void HandleMessagesUntil(HANDLE done) {
    while (MsgWaitForMultipleObjects(1, &done, FALSE, 30000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

// Runs `chooser` on this thread while `user` drives the dialog with this title from another
// thread. A dialog that the user leaves open is cancelled so that the test cannot hang.
std::string WhileUserDrives(const char* title, const std::function<std::string()>& chooser,
                            const std::function<void(HWND dialog)>& user) {
    HANDLE userDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    Background driving([&] {
        HWND dialog = driver::WaitForFileDialog(GetCurrentProcessId(), title);
        if (!dialog) {
            ADD_FAILURE() << "no dialog \"" << title << "\" appeared";
        } else {
            user(dialog);
            if (!driver::WaitForDialogToClose(dialog)) {
                ADD_FAILURE() << "the dialog stayed open";
                PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            }
        }
        SetEvent(userDone);
    });
    const std::string result = chooser();
    HandleMessagesUntil(userDone);
    CloseHandle(userDone);
    return result;
}

void TypeAndEnter(HWND dialog, const std::wstring& name) {
    driver::TypeFileName(dialog, name);
    driver::PressEnterInFileName(dialog);
}

// An owner window with the input-path label, standing in for the main window.
class FileChoosers : public ::testing::Test {
  protected:
    void SetUp() override {
        startDirectory_ = CurrentDirectoryW();
        folder_ = driver::NewTempFolder(L"choosers");
        ASSERT_FALSE(folder_.empty());
        owner_ = CreateWin(nullptr, "chooser owner", 40, 40, 700, 80, WS_POPUP | WS_CAPTION | WS_SYSMENU, 0,
                           Units::Pixels);
        AddChild(owner_, "STATIC", ID_INPUT_PATH, kPreviousLabel, 5, 30, 690, 22, SS_SUNKEN | SS_PATHELLIPSIS,
                 WS_EX_CLIENTEDGE);
        ShowModeless(owner_, nullptr);
        hMainDlg = owner_;
        sInputDir = kPreviousInputDir;
        sOutputDir = kPreviousOutputDir;
    }

    void TearDown() override {
        SetCurrentDirectoryW(startDirectory_.c_str()); // the folder must not be in use when removed
        EndWin(owner_, 0);
        hMainDlg = nullptr;
        sInputDir.clear();
        sOutputDir.clear();
        driver::RemoveTree(folder_);
    }

    std::wstring In(const std::wstring& name) const { return folder_ + L"\\" + name; }
    std::string Label() const { return driver::TextOf(GetDlgItem(owner_, ID_INPUT_PATH)); }

    std::string ChooseInput(const std::string& startDir, const std::function<void(HWND)>& user) {
        return WhileUserDrives(
            "Load Video", [&] { return ChooseInputVideo(owner_, startDir); }, user);
    }
    std::string ChooseOutput(const std::string& startDir, const std::function<void(HWND)>& user) {
        return WhileUserDrives(
            "Convert Video", [&] { return ChooseOutputVideo(owner_, startDir); }, user);
    }

    std::wstring startDirectory_;
    std::wstring folder_;
    HWND owner_ = nullptr;
};

} // namespace

TEST_F(FileChoosers, InputDialogShowsItsTypesInDetailsViewAndCancelChangesNothing) {
    driver::WriteBytes(In(L"clip.avi"), "video");
    const std::string result = ChooseInput(Utf8(folder_), [](HWND dialog) {
        EXPECT_EQ(driver::FileTypes(dialog), kInputTypes);
        EXPECT_EQ(driver::SelectedFileType(dialog), 0);
        EXPECT_TRUE(driver::WaitUntil([&] { return driver::DetailsViewShown(dialog); }, 5000));
        // One file at a time: a multiple selection would hand back a folder.
        EXPECT_TRUE(driver::StyleOf(driver::FolderListView(dialog)) & LVS_SINGLESEL);
        driver::ClickCancelButton(dialog);
    });
    EXPECT_EQ(result, "");
    EXPECT_EQ(Label(), kPreviousLabel);
    EXPECT_EQ(sInputDir, kPreviousInputDir);
    EXPECT_EQ(sOutputDir, kPreviousOutputDir);
}

TEST_F(FileChoosers, OutputDialogShowsItsTypesInDetailsViewAndCancelChangesNothing) {
    driver::WriteBytes(In(L"clip.flv"), "video");
    const std::string result = ChooseOutput(Utf8(folder_), [](HWND dialog) {
        EXPECT_EQ(driver::FileTypes(dialog), kOutputTypes);
        EXPECT_EQ(driver::SelectedFileType(dialog), 0);
        EXPECT_TRUE(driver::WaitUntil([&] { return driver::DetailsViewShown(dialog); }, 5000));
        EXPECT_TRUE(driver::StyleOf(driver::FolderListView(dialog)) & LVS_SINGLESEL);
        driver::BringToFront(dialog);
        driver::PressKey(VK_ESCAPE);
    });
    EXPECT_EQ(result, "");
    EXPECT_EQ(Label(), kPreviousLabel);
    EXPECT_EQ(sInputDir, kPreviousInputDir);
    EXPECT_EQ(sOutputDir, kPreviousOutputDir);
}

TEST_F(FileChoosers, AcceptedInputIsShownAndItsFolderRemembered) {
    CreateDirectoryW(In(L"inner").c_str(), nullptr);
    driver::WriteBytes(In(L"inner\\clip.avi"), "video");
    driver::WriteBytes(In(L"inner\\other.mov"), "video");
    const std::string result = ChooseInput(Utf8(folder_), [](HWND dialog) {
        ASSERT_TRUE(driver::WaitUntil([&] { return ItemCount(dialog) == 1; }, 5000)); // the folder "inner"
        TypeAndEnter(dialog, L"inner");
        ASSERT_TRUE(driver::WaitUntil([&] { return ItemCount(dialog) == 2; }, 5000));
        // The new folder has a new view, and it is in the details view too.
        EXPECT_TRUE(driver::WaitUntil([&] { return driver::DetailsViewShown(dialog); }, 5000));
        TypeAndEnter(dialog, L"clip.avi");
    });
    const std::string expected = Utf8(In(L"inner\\clip.avi"));
    EXPECT_EQ(result, expected);
    EXPECT_EQ(Label(), expected);
    EXPECT_EQ(sInputDir, Utf8(In(L"inner")));
    EXPECT_EQ(sOutputDir, kPreviousOutputDir);
}

TEST_F(FileChoosers, FullPathTypedInAnotherFolderRemembersTheFilesFolder) {
    CreateDirectoryW(In(L"shown").c_str(), nullptr);
    CreateDirectoryW(In(L"elsewhere").c_str(), nullptr);
    driver::WriteBytes(In(L"elsewhere\\clip.avi"), "video");
    const std::string input = ChooseInput(
        Utf8(In(L"shown")), [&](HWND dialog) { TypeAndEnter(dialog, In(L"elsewhere\\clip.avi")); });
    EXPECT_EQ(input, Utf8(In(L"elsewhere\\clip.avi")));
    EXPECT_EQ(sInputDir, Utf8(In(L"elsewhere")));
    const std::string output =
        ChooseOutput(Utf8(In(L"shown")), [&](HWND dialog) { TypeAndEnter(dialog, In(L"elsewhere\\new")); });
    EXPECT_EQ(output, Utf8(In(L"elsewhere\\new.flv")));
    EXPECT_EQ(sOutputDir, Utf8(In(L"elsewhere")));
}

TEST_F(FileChoosers, FolderAtADriveRootIsRememberedWithItsBackslash) {
    const std::wstring rootFile = L"C:\\kesto-chooser-root.mp4";
    ASSERT_TRUE(driver::WriteBytes(rootFile, "video"));
    const std::string result = ChooseInput("C:\\", [](HWND dialog) {
        driver::TypeFileName(dialog, L"kesto-chooser-root.mp4");
        driver::ClickAcceptButton(dialog);
    });
    DeleteFileW(rootFile.c_str());
    EXPECT_EQ(result, "C:\\kesto-chooser-root.mp4");
    EXPECT_EQ(sInputDir, "C:\\");
}

TEST_F(FileChoosers, EmptyRememberedFolderOpensInTheCurrentDirectory) {
    driver::WriteBytes(In(L"only-here.mp4"), "video");
    SetCurrentDirectoryW(folder_.c_str());
    const std::string input = ChooseInput("", [](HWND dialog) { TypeAndEnter(dialog, L"only-here.mp4"); });
    EXPECT_EQ(input, Utf8(In(L"only-here.mp4")));
    const std::string output = ChooseOutput("", [](HWND dialog) { TypeAndEnter(dialog, L"fresh"); });
    EXPECT_EQ(output, Utf8(In(L"fresh.flv")));
    EXPECT_EQ(sOutputDir, Utf8(folder_));
}

TEST_F(FileChoosers, TypedOutputNameGetsTheSelectedTypesExtensionOnlyWhenItHasNone) {
    struct Case {
        int type;
        const wchar_t* typed;
        const wchar_t* expected;
    } cases[] = {{0, L"clip", L"clip.flv"},
                 {0, L"clip.mp4", L"clip.mp4"},
                 {7, L"clip", L"clip.webm"},
                 {3, L"clip.avi", L"clip.avi"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.typed) + " with type " + std::to_string(c.type));
        sOutputDir = kPreviousOutputDir;
        const std::string result = ChooseOutput(Utf8(folder_), [&](HWND dialog) {
            if (c.type != 0) driver::PickFileType(dialog, c.type);
            EXPECT_EQ(driver::SelectedFileType(dialog), c.type);
            TypeAndEnter(dialog, c.typed);
        });
        EXPECT_EQ(result, Utf8(In(c.expected)));
        EXPECT_EQ(sOutputDir, Utf8(folder_));
        EXPECT_FALSE(driver::FileExists(In(c.expected))); // choosing creates nothing
    }
}

TEST_F(FileChoosers, ExistingOutputIsChosenOnlyAfterTheUserAgreesToReplaceIt) {
    driver::WriteBytes(In(L"old.avi"), "keep");
    bool stayedAfterNo = false;
    const std::string result = ChooseOutput(Utf8(folder_), [&](HWND dialog) {
        TypeAndEnter(dialog, L"old.avi");
        HWND question = driver::WaitForBoxOf(dialog);
        ASSERT_TRUE(question);
        EXPECT_TRUE(GetDlgItem(question, IDYES) && GetDlgItem(question, IDNO));
        driver::AnswerBox(question, IDNO);
        stayedAfterNo = IsWindowVisible(dialog) && !driver::WaitForBoxOf(dialog, 500);
        driver::ClickAcceptButton(dialog);
        question = driver::WaitForBoxOf(dialog);
        ASSERT_TRUE(question);
        driver::AnswerBox(question, IDYES);
    });
    EXPECT_TRUE(stayedAfterNo);
    EXPECT_EQ(result, Utf8(In(L"old.avi")));
    EXPECT_EQ(driver::ReadBytes(In(L"old.avi")), "keep");
}

TEST_F(FileChoosers, OutputInAFolderThatDoesNotExistIsRefused) {
    bool refused = false;
    const std::string result = ChooseOutput(Utf8(folder_), [&](HWND dialog) {
        TypeAndEnter(dialog, L"missing\\clip.flv");
        HWND complaint = driver::WaitForBoxOf(dialog);
        refused = complaint && IsWindowVisible(dialog);
        if (complaint) driver::AnswerBox(complaint, IDOK);
        driver::ClickCancelButton(dialog);
    });
    EXPECT_TRUE(refused);
    EXPECT_EQ(result, "");
    EXPECT_EQ(sOutputDir, kPreviousOutputDir);
}

TEST_F(FileChoosers, NonAsciiNamesComeBackIntact) {
    const std::wstring inner = In(L"dossier \u00e9t\u00e9 \u4e2d");
    CreateDirectoryW(inner.c_str(), nullptr);
    const std::wstring name = L"\u00e9t\u00e9 \u4e2d.avi";
    driver::WriteBytes(inner + L"\\" + name, "video");
    const std::string input = ChooseInput(Utf8(inner), [&](HWND dialog) { TypeAndEnter(dialog, name); });
    EXPECT_EQ(input, Utf8(inner + L"\\" + name));
    EXPECT_EQ(Label(), input);
    EXPECT_EQ(sInputDir, Utf8(inner));
    const std::string output =
        ChooseOutput(Utf8(inner), [](HWND dialog) { TypeAndEnter(dialog, L"sortie \u4e2d"); });
    EXPECT_EQ(output, Utf8(inner + L"\\sortie \u4e2d.flv"));
    EXPECT_EQ(sOutputDir, Utf8(inner));
}

TEST_F(FileChoosers, DetailsViewReturnsAtTheNextNotification) {
    driver::WriteBytes(In(L"clip.avi"), "video");
    ChooseInput(Utf8(folder_), [](HWND dialog) {
        ASSERT_TRUE(driver::WaitUntil([&] { return driver::DetailsViewShown(dialog); }, 5000));
        // The list view, as picked from the dialog's view choices.
        SendMessageW(driver::FolderView(dialog), WM_COMMAND, 0x702B, 0);
        driver::Settle(dialog);
        EXPECT_EQ(driver::FolderViewType(dialog), static_cast<DWORD>(LVS_LIST));
        driver::PickFileType(dialog, 2);
        EXPECT_TRUE(driver::WaitUntil([&] { return driver::DetailsViewShown(dialog); }, 5000));
        driver::ClickCancelButton(dialog);
    });
}
