// The publish flow in this process: a stand-in main window with the compression list and the
// custom-parameters box, the fake converter beside the program, and a second thread that
// watches and answers as a user would.
#include <gtest/gtest.h>

#include <atomic>

#include "convert/output_place.h"
#include "convert/publish.h"
#include "mainwin/main_ids.h"
#include "tests/wine/converter_beside.h"
#include "tests/wine/in_process.h"
#include "toolkit/toolkit.h"

using namespace test;

namespace {

// Answers the message box with this caption whose text holds `part`; gives back its text and,
// when asked, the id of its default button.
std::string Answer(const std::string& caption, const std::string& part, int button = IDOK,
                   int* defaultButton = nullptr) {
    Box box;
    if (!WaitUntil([&] {
            return WaitForBox(GetCurrentProcessId(), caption, &box, 50) &&
                   box.text.find(part) != std::string::npos;
        }))
        return "";
    if (defaultButton) *defaultButton = DefaultButtonOf(box.window);
    test::Answer(box.window, button);
    return box.text;
}

// Whether another program could now write or delete the file.
bool OthersMayChange(const std::wstring& path) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return file != INVALID_HANDLE_VALUE;
}

// Whether a temporary output lies in the folder.
bool Leftovers(const std::wstring& folder) {
    return !NamesMatching(folder + L"\\*.kesto-part-*").empty();
}

// Publishes the one video on this thread while `user` acts on a second one; whatever a failed
// expectation leaves open (a question, a message, a running converter) is ended afterwards.
void PublishWhile(const std::function<void()>& user) {
    std::atomic<bool> returned{false};
    Background acting([&] {
        user();
        for (; !returned; Sleep(200))
            for (HWND window : TopWindowsOf(GetCurrentProcessId())) {
                if (!IsWindowVisible(window) || window == hMainDlg) continue;
                for (int id : {IDYES, IDOK})
                    if (HWND button = GetDlgItem(window, id)) PostMessageW(button, BM_CLICK, 0, 0);
                PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
            }
    });
    PublishVideos({{sInputFile, sOutputFile}}, {"21:Min size", ""});
    returned = true;
}

class Publish : public FakeConverterTest {
  protected:
    void SetUp() override {
        FakeConverterTest::SetUp();
        SetEnvironmentVariableW(L"FAKECONV_OUTPUT", L"1");
        WriteBytes(input, "not really a video");
        sInputFile = Utf8(input);
        sOutputFile = Utf8(output);
        nMode = 1;
        MakeStandInMainWindow();
    }

    std::wstring input = In(L"clip in.avi"), output = In(L"clip out.mp4");
};

} // namespace

TEST_F(Publish, TheInputIsProtectedDuringTheRun) {
    SetEnvironmentVariableW(L"FAKECONV_DELAY_MS", L"2500");
    bool inputLockedDuringRun = false;
    std::string completion;
    PublishWhile([&] {
        if (!OwnWindow("Convert Video")) return;
        inputLockedDuringRun = !OthersMayChange(input) && !DeleteFileW(input.c_str());
        completion = Answer("Information", "");
    });
    EXPECT_TRUE(inputLockedDuringRun) << "the input can be neither written nor deleted during the run";
    EXPECT_TRUE(OthersMayChange(input)) << "and is free again after it";
    EXPECT_EQ(completion, "Output conversion process finished");
}

TEST_F(Publish, AMissingConverterIsNamed) {
    DeleteFileW(ConverterBeside().c_str());
    std::string text;
    PublishWhile([&] { text = Answer("Attention", ""); });
    EXPECT_NE(text.find(Utf8(ConverterBeside())), std::string::npos) << text;
}

TEST_F(Publish, StoppingIsAskedForAndLeavesNothingOfTheRun) {
    SetEnvironmentVariableW(L"FAKECONV_DELAY_MS", L"60000");
    for (bool replaces : {false, true}) {
        SCOPED_TRACE(replaces ? "replacing an earlier file the user agreed to replace" : "a new file");
        if (replaces) WriteBytes(output, "an earlier video");
        bool goesOnAfterNo = false;
        int defaultButton = 0;
        std::string end;
        PublishWhile([&] {
            HWND window = OwnWindow("Convert Video");
            if (!window || !WaitUntil([&] { return ConverterProcessRuns() && Leftovers(folder); })) return;
            // The close box, Escape and the Stop button all ask the same question.
            if (replaces)
                PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
            else
                PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
            if (Answer("Convert Video", "Stop the conversion?", IDNO, &defaultButton).empty()) return;
            Sleep(500);
            goesOnAfterNo = bConverting == 1 && ConverterProcessRuns() && IsWindow(window);
            Click(window, ID_PROGRESS_STOP);
            if (Answer("Convert Video", "Stop the conversion?", IDYES).empty()) return;
            end = Answer("Information", ""); // long before the converter's minute is over
        });
        EXPECT_EQ(defaultButton, IDNO) << "Enter must not throw the work away";
        EXPECT_TRUE(goesOnAfterNo);
        EXPECT_EQ(end, "Conversion cancelled");
        EXPECT_EQ(ReadBytes(output), replaces ? "an earlier video" : "");
        EXPECT_EQ(FileExists(output), replaces);
        EXPECT_FALSE(Leftovers(folder));
        EXPECT_FALSE(ConverterProcessRuns());
    }
}

TEST_F(Publish, AFileIsReplacedOnlyByAConversionThatSucceededAndAFailureSaysWhy) {
    WriteBytes(output, "an earlier video");
    // What the run of a program that was killed left behind; a program that still runs (the
    // desktop's) keeps its own. No process has the id 4294967280.
    DWORD running = 0;
    GetWindowThreadProcessId(GetDesktopWindow(), &running);
    const std::wstring leftover = In(L"old.kesto-part-4294967280.mp4"),
                       inUse = In(L"new.kesto-part-") + std::to_wstring(running) + L".mp4";
    WriteBytes(leftover, "half a video");
    WriteBytes(inUse, "half a video");
    SetEnvironmentVariableW(L"FAKECONV_EXIT", L"1"); // the conversion fails after writing a little
    SetEnvironmentVariableW(L"FAKECONV_STDERR", FixturePath(L"win41_bad_crf.txt").c_str());
    std::string text;
    bool completion = true;
    PublishWhile([&] {
        text = Answer("Attention", "exit code 1");
        completion = WaitForBox(GetCurrentProcessId(), "Information", nullptr, 500);
    });
    EXPECT_NE(text.find("exit code 1.\r\n\r\n[libx264] [Eval @ 03eee68c] Undefined constant"),
              std::string::npos)
        << text;
    EXPECT_FALSE(completion) << "no completion message after a failure";
    EXPECT_EQ(ReadBytes(output), "an earlier video") << "the user's file is as it was";
    EXPECT_FALSE(FileExists(leftover)) << "what an ended program left in the folder is removed";
    EXPECT_TRUE(FileExists(inUse)) << "a running program's file is left alone";
    DeleteFileW(inUse.c_str());
    EXPECT_FALSE(Leftovers(folder)) << "nor is the broken output left";
    const std::string log = ReadBytes(LogBeside());
    EXPECT_NE(log.find(".kesto-part-"), std::string::npos) << "the converter wrote beside it: " << log;
    SetEnvironmentVariableW(L"FAKECONV_EXIT", nullptr);
    PublishWhile([&] { Answer("Information", "finished"); });
    EXPECT_EQ(ReadBytes(output).rfind("fakeconv output piece", 0), 0u) << "replaced once converted";
    EXPECT_FALSE(Leftovers(folder));
    // A leftover the user chose to convert is the user's video.
    WriteBytes(leftover, "a video");
    PrepareOutput(Utf8(output), {Utf8(leftover)});
    EXPECT_TRUE(FileExists(leftover));
    DeleteFileW(leftover.c_str());
}

TEST_F(Publish, AConversionTheChosenFileCannotTakeIsKeptBesideIt) {
    WriteBytes(output, "an earlier video");
    // A player holds the old file open: it may be read, not replaced.
    HANDLE player =
        CreateFileW(output.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(player, INVALID_HANDLE_VALUE);
    std::string text;
    PublishWhile([&] { text = Answer("Attention", "could not replace"); });
    CloseHandle(player);
    const std::wstring beside = In(L"clip out (2).mp4");
    EXPECT_NE(text.find("The new video is saved as\r\n" + Utf8(beside)), std::string::npos) << text;
    EXPECT_EQ(ReadBytes(output), "an earlier video");
    EXPECT_EQ(ReadBytes(beside).rfind("fakeconv output piece", 0), 0u) << "the finished conversion is kept";
    EXPECT_FALSE(Leftovers(folder));
}

TEST_F(Publish, AFailureNamesTheUsersFileNotTheOneBeingWritten) {
    SetEnvironmentVariableW(L"FAKECONV_DENIED", L"1");
    std::string text;
    PublishWhile([&] { text = Answer("Attention", "Permission denied"); });
    EXPECT_NE(text.find(Utf8(output) + ": Permission denied"), std::string::npos) << text;
    EXPECT_EQ(text.find("kesto-part"), std::string::npos) << text;
    // A converter that ends well but wrote nothing has converted nothing.
    SetEnvironmentVariableW(L"FAKECONV_DENIED", nullptr);
    SetEnvironmentVariableW(L"FAKECONV_OUTPUT", nullptr);
    PublishWhile([&] { text = Answer("Attention", "wrote no file"); });
    EXPECT_NE(text.find("could not be saved as\r\n" + Utf8(output)), std::string::npos) << text;
}

TEST_F(Publish, AStopWhileTheVideoIsStillLookedAtIsAnsweredAtOnceAndStartsNoConverter) {
    SetEnvironmentVariableW(L"FAKECONV_LOOK_MS", L"8000"); // a slow network share
    std::string end;
    bool lookStillRuns = false;
    PublishWhile([&] {
        HWND window = OwnWindow("Convert Video");
        if (!window) return;
        Click(window, ID_PROGRESS_STOP);
        if (Answer("Convert Video", "Stop the conversion?", IDYES).empty()) return;
        end = Answer("Information", "");
        lookStillRuns = ConverterProcessRuns();
    });
    EXPECT_EQ(end, "Conversion cancelled");
    EXPECT_TRUE(lookStillRuns) << "answered without waiting for the look";
    EXPECT_EQ(ReadBytes(LogBeside()), "") << "no converter is started after a stop";
    EXPECT_FALSE(Leftovers(folder));
}
