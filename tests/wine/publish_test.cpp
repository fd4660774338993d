// The publish flow in this process: a stand-in main window with the compression list and
// the custom-parameters box, the fake converter beside the program, and a second thread
// that watches and answers as a user would.
#include <gtest/gtest.h>

#include <atomic>
#include <set>

#include "app/globals.h"
#include "convert/publish.h"
#include "mainwin/main_ids.h"
#include "tests/driver/driver.h"
#include "tests/wine/background.h"
#include "tests/wine/converter_beside.h"
#include "toolkit/toolkit.h"

using namespace driver;

namespace {

constexpr const char* kItems[] = {
    "Default", "1:Max size", "2:",  "3:",  "4:",  "5:",  "6:",  "7:",  "8:",  "9:",  "10:",
    "11:",     "12:",        "13:", "14:", "15:", "16:", "17:", "18:", "19:", "20:", "21:Min size"};

std::atomic<int> gNestedCalls{0};

// Publishing from inside a run, as a second click on Publish would.
INT_PTR StandInCallback(HWND, UINT message, WPARAM, LPARAM) {
    if (message != WM_APP) return 0;
    PublishVideo();
    ++gNestedCalls;
    return 1;
}

bool gProgressShown = false;

LRESULT CALLBACK WatchProgressShowing(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (call->message == WM_SHOWWINDOW && call->wParam && GetDlgItem(call->hwnd, ID_PROGRESS_TEXT))
        gProgressShown = true;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

HWND StandInMainWindow(int compressionIndex, const std::string& customParams) {
    HWND window = CreateWin(nullptr, "stand-in main window", 0, 0, 700, 200, 0, 0, Units::Pixels);
    AddChild(window, "COMBOBOX", ID_COMPRESSION, "", 10, 10, 99, 190, CBS_DROPDOWNLIST | WS_VSCROLL, 0);
    for (const char* item : kItems)
        SendDlgItemMessageA(window, ID_COMPRESSION, CB_ADDSTRING, 0, LPARAM(item));
    SelectListItem(window, ID_COMPRESSION, compressionIndex);
    AddChild(window, "EDIT", ID_CUSTOM_PARAMS, customParams, 10, 50, 600, 20, ES_AUTOHSCROLL, 0);
    ShowModeless(window, StandInCallback);
    return window;
}

HWND ProgressWindow() {
    for (HWND window : TopWindowsOf(GetCurrentProcessId()))
        if (IsWindowVisible(window) && GetDlgItem(window, ID_PROGRESS_TEXT)) return window;
    return nullptr;
}

HWND WaitForProgressWindow() {
    HWND window = nullptr;
    WaitUntil([&] { return (window = ProgressWindow()) != nullptr; });
    return window;
}

// A message box of this process with this caption and text.
bool WaitForBox(const std::string& caption, const std::string& textPart, MessageBoxSeen* seen,
                DWORD timeoutMs = 30000) {
    return WaitUntil(
        [&] {
            return WaitForMessageBox(GetCurrentProcessId(), caption, seen, 50) &&
                   seen->text.find(textPart) != std::string::npos;
        },
        timeoutMs);
}

// Ends whatever a failed expectation left open (a question, a message, a running converter),
// so that a broken run fails its test instead of hanging the suite.
void FinishWhateverHappens(const std::atomic<bool>& returned) {
    while (!returned) {
        for (HWND window : TopWindowsOf(GetCurrentProcessId())) {
            if (!IsWindowVisible(window) || ClassOf(window) != "#32770") continue;
            if (HWND yes = GetDlgItem(window, IDYES))
                PostMessageW(yes, BM_CLICK, 0, 0);
            else if (HWND ok = GetDlgItem(window, IDOK); ok && GetDlgItem(window, 0xFFFF))
                PostMessageW(ok, BM_CLICK, 0, 0);
            else if (GetDlgItem(window, ID_PROGRESS_TEXT))
                PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        }
        Sleep(200);
    }
}

// Runs PublishVideo on this thread while `user` acts on a second one.
void PublishWhile(const std::function<void()>& user) {
    std::atomic<bool> returned{false};
    Background acting([&] {
        user();
        FinishWhateverHappens(returned);
    });
    PublishVideo();
    returned = true;
    acting.Join();
}

class PublishTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(PlaceFakeConverter());
        DeleteFileW(LogBeside().c_str());
        scratch = NewTempFolder(L"kesto-publish");
        record = scratch + L"\\received.txt";
        SetEnvironmentVariableW(L"FAKECONV_RECORD", record.c_str());
        input = scratch + L"\\clip in.avi";
        WriteBytes(input, "not really a video");
        sInputFile = WideToUtf8(input);
        sOutputFile = WideToUtf8(scratch + L"\\clip out.mp4");
        nMode = 1;
        bNotifyFinished = 0;
        hMainDlg = StandInMainWindow(21, " -an  -vf scale=iw/2:-2 ");
    }
    void TearDown() override {
        DestroyWindow(hMainDlg);
        hMainDlg = nullptr;
        ClearFakeConverterVariables();
        RemoveConverterAndLog();
        RemoveTree(scratch);
    }

    std::wstring scratch, record, input;
};

} // namespace

TEST_F(PublishTest, ProgressWindowRunsUntilTheCompletionMessage) {
    SetEnvironmentVariableW(L"FAKECONV_DELAY_MS", L"2500");
    SetEnvironmentVariableW(L"FAKECONV_STDERR", FixturePath(L"win41_reencode_720p.txt").c_str());
    struct Seen {
        std::string caption, pleaseWait, fontFace, time;
        SIZE client{};
        RECT expectedClient{0, 0, 250, 52};
        std::set<HANDLE> frames;
        std::set<COLORREF> squareColours;
        bool ownerAnswered = false;
        bool waitingSquaresAtStart = true;
        bool completion = false;
        bool progressGoneFirst = false;
    } seen;
    PublishWhile([&] {
        HWND window = WaitForProgressWindow();
        if (!window) return;
        seen.caption = TextOf(window);
        seen.client = ClientSizeOf(window);
        MapDialogRect(window, &seen.expectedClient);
        seen.pleaseWait = TextOf(GetDlgItem(window, ID_PROGRESS_TEXT));
        LOGFONTA font{};
        GetObjectA(HFONT(SendDlgItemMessageW(window, ID_PROGRESS_TEXT, WM_GETFONT, 0, 0)), sizeof font,
                   &font);
        seen.fontFace = font.lfFaceName;
        DWORD_PTR ignored = 0;
        seen.ownerAnswered = SendMessageTimeoutW(hMainDlg, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &ignored);
        // Squares waiting their turn show the cascade's first green, not the colour they were made with.
        for (int k = 1; k < 5; ++k)
            seen.waitingSquaresAtStart &=
                WaitForPixel(GetDlgItem(window, ID_PROGRESS_SQUARE1 + k), 4, 4, RGB(20, 20, 195), 1000);
        while (IsWindow(window)) {
            seen.frames.insert(
                HANDLE(SendDlgItemMessageW(window, ID_PROGRESS_IMAGE, STM_GETIMAGE, IMAGE_BITMAP, 0)));
            seen.squareColours.insert(PixelAt(GetDlgItem(window, ID_PROGRESS_SQUARE1), 4, 4));
            const std::string time = TextOf(GetDlgItem(window, ID_PROGRESS_TIME));
            if (!time.empty()) seen.time = time;
            Sleep(20);
        }
        MessageBoxSeen box;
        seen.completion = WaitForBox("Information", "Output conversion process finished", &box);
        seen.progressGoneFirst = ProgressWindow() == nullptr;
        if (seen.completion) AnswerMessageBox(box.window, IDOK);
    });

    EXPECT_EQ(seen.caption, "Convert Video");
    EXPECT_EQ(seen.client.cx, seen.expectedClient.right);
    EXPECT_EQ(seen.client.cy, seen.expectedClient.bottom);
    EXPECT_EQ(seen.pleaseWait, "Please wait...");
    EXPECT_EQ(seen.fontFace, "Times New Roman");
    EXPECT_TRUE(seen.ownerAnswered) << "the main window stays alive";
    EXPECT_GE(seen.frames.size(), 4u) << "the frames advance";
    EXPECT_GE(seen.squareColours.size(), 3u) << "the first square's green rises";
    EXPECT_TRUE(seen.waitingSquaresAtStart);
    EXPECT_EQ(seen.time.rfind("Processing time: 00:00:0", 0), 0u) << seen.time;
    EXPECT_TRUE(seen.completion);
    EXPECT_TRUE(seen.progressGoneFirst);
    EXPECT_EQ(nCompression, 21);
    EXPECT_EQ(sCrf, "31");
    EXPECT_EQ(sCustomParams, " -an  -vf scale=iw/2:-2 ");
    EXPECT_EQ(bNotifyFinished, 0);
    EXPECT_NE(ReadBytes(record).find(" -threads 0 -crf 31 -y "), std::string::npos) << ReadBytes(record);
}

TEST_F(PublishTest, MissingConverterIsNamedAndTheWindowShowsForOnePass) {
    RemoveConverterAndLog();
    SelectListItem(hMainDlg, ID_COMPRESSION, 0);
    bool sawWindow = false, attention = false;
    std::string text;
    // The progress window may live for one pass only: catch its showing as it happens.
    gProgressShown = false;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, WatchProgressShowing, nullptr, GetCurrentThreadId());
    PublishWhile([&] {
        MessageBoxSeen box;
        attention = WaitForBox("Attention", "", &box);
        text = box.text;
        if (attention) AnswerMessageBox(box.window, IDOK);
    });
    UnhookWindowsHookEx(hook);
    sawWindow = gProgressShown;
    EXPECT_TRUE(sawWindow);
    EXPECT_TRUE(attention);
    EXPECT_NE(text.find(WideToUtf8(ConverterBeside())), std::string::npos) << text;
    EXPECT_EQ(sCrf, "15");
    EXPECT_EQ(ReadBytes(LogBeside()).rfind("\"" + WideToUtf8(ConverterBeside()) + "\" -i ", 0), 0u)
        << "the line is logged all the same";
}

TEST_F(PublishTest, FailingConverterIsReportedWithItsLastWords) {
    SetEnvironmentVariableW(L"FAKECONV_EXIT", L"1");
    SetEnvironmentVariableW(L"FAKECONV_STDERR", FixturePath(L"win41_bad_crf.txt").c_str());
    std::string text;
    bool completion = false;
    PublishWhile([&] {
        MessageBoxSeen box;
        if (WaitForBox("Attention", "", &box)) {
            text = box.text;
            AnswerMessageBox(box.window, IDOK);
        }
        completion = WaitForMessageBox(GetCurrentProcessId(), "Information", nullptr, 500);
    });
    EXPECT_NE(text.find("exit code 1."), std::string::npos) << text;
    EXPECT_NE(text.find("Conversion failed!"), std::string::npos) << text;
    EXPECT_FALSE(completion) << "no completion message after a failure";
}

TEST_F(PublishTest, EscapeAsksAndStopsTheConverterAndDeletesItsOutput) {
    SetEnvironmentVariableW(L"FAKECONV_DELAY_MS", L"60000");
    SetEnvironmentVariableW(L"FAKECONV_OUTPUT", L"1");
    const std::wstring output = scratch + L"\\clip out.mp4";
    bool keptGoingAfterNo = false, cancelled = false;
    PublishWhile([&] {
        HWND window = WaitForProgressWindow();
        if (!window || !WaitUntil([&] { return FileExists(output); })) return;
        MessageBoxSeen question;
        BringToFront(window);
        PressKey(VK_ESCAPE);
        if (!WaitForBox("Convert Video", "Stop the conversion?", &question)) return;
        AnswerMessageBox(question.window, IDNO);
        Sleep(500);
        keptGoingAfterNo = bConverting == 1 && ConverterProcessRuns() && IsWindow(window);
        BringToFront(window);
        PressKey(VK_ESCAPE);
        if (!WaitForBox("Convert Video", "Stop the conversion?", &question)) return;
        AnswerMessageBox(question.window, IDYES);
        MessageBoxSeen end;
        cancelled = WaitForBox("Information", "Conversion cancelled", &end);
        if (cancelled) AnswerMessageBox(end.window, IDOK);
    });
    EXPECT_TRUE(keptGoingAfterNo);
    EXPECT_TRUE(cancelled);
    EXPECT_FALSE(FileExists(output)) << "the incomplete output is deleted";
    EXPECT_TRUE(WaitUntil([] { return !ConverterProcessRuns(); }, 5000));
}

TEST_F(PublishTest, OutputNamingTheInputIsRefusedBeforeAnythingRuns) {
    const std::wstring link = scratch + L"\\linked.avi";
    CreateHardLinkW(link.c_str(), input.c_str(), nullptr);
    wchar_t relative[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, relative);
    SetCurrentDirectoryW(scratch.c_str());
    const std::string forms[] = {WideToUtf8(scratch + L"\\CLIP IN.AVI"),
                                 "..\\" + WideToUtf8(scratch.substr(scratch.rfind(L'\\') + 1)) +
                                     "\\clip in.avi",
                                 " " + WideToUtf8(input) + " ", WideToUtf8(link)};
    for (const std::string& form : forms) {
        SCOPED_TRACE(form);
        sOutputFile = form;
        bool refused = false;
        PublishWhile([&] {
            MessageBoxSeen box;
            refused = WaitForBox("Attention", "input video itself", &box, 10000);
            if (refused) AnswerMessageBox(box.window, IDOK);
        });
        EXPECT_TRUE(refused);
    }
    SetCurrentDirectoryW(relative);
    EXPECT_EQ(ReadBytes(input), "not really a video");
    EXPECT_FALSE(FileExists(LogBeside())) << "nothing is logged";
    EXPECT_FALSE(FileExists(record)) << "nothing is run";
}

TEST_F(PublishTest, SecondPublishDuringARunIsRefused) {
    SetEnvironmentVariableW(L"FAKECONV_DELAY_MS", L"2000");
    gNestedCalls = 0;
    bool nestedReturnedDuringRun = false;
    PublishWhile([&] {
        if (!WaitForProgressWindow()) return;
        PostMessageW(hMainDlg, WM_APP, 0, 0);
        nestedReturnedDuringRun = WaitUntil([] { return gNestedCalls == 1; }, 1500) && bConverting == 1;
        MessageBoxSeen box;
        if (WaitForBox("Information", "Output conversion process finished", &box))
            AnswerMessageBox(box.window, IDOK);
    });
    EXPECT_TRUE(nestedReturnedDuringRun);
    EXPECT_EQ(ReadBytes(LogBeside()).find("\r\n") + 2, ReadBytes(LogBeside()).size()) << "one run only";
}

TEST_F(PublishTest, RealConverterShowsRisingPercentage) {
    ASSERT_TRUE(PlaceRealConverter());
    const std::wstring clip = scratch + L"\\twenty.mp4";
    {
        // Make a 20-second clip with the converter itself.
        std::wstring commandLine =
            L"\"" + ConverterBeside() +
            L"\" -hide_banner -loglevel error -f lavfi -i testsrc=duration=20:size=640x360:rate=25 "
            L"-f lavfi -i sine=duration=20 -c:v libx264 -preset ultrafast -c:a aac -shortest -y \"" +
            clip + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION child{};
        ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                                   nullptr, nullptr, &startup, &child));
        WaitForSingleObject(child.hProcess, 120000);
        CloseHandle(child.hProcess);
        CloseHandle(child.hThread);
    }
    sInputFile = WideToUtf8(clip);
    sOutputFile = WideToUtf8(scratch + L"\\twenty out.mp4");
    SelectListItem(hMainDlg, ID_COMPRESSION, 0);
    std::vector<int> percentages;
    bool completion = false;
    PublishWhile([&] {
        HWND window = WaitForProgressWindow();
        while (window && IsWindow(window)) {
            const std::string label = TextOf(GetDlgItem(window, ID_PROGRESS_PERCENT));
            if (!label.empty()) {
                const int percent = atoi(label.c_str());
                if (percentages.empty() || percentages.back() != percent) percentages.push_back(percent);
            }
            Sleep(50);
        }
        MessageBoxSeen box;
        completion = WaitForBox("Information", "Output conversion process finished", &box, 120000);
        if (completion) AnswerMessageBox(box.window, IDOK);
    });
    EXPECT_TRUE(completion);
    ASSERT_GE(percentages.size(), 2u) << "the percentage label rises during the run";
    for (size_t i = 1; i < percentages.size(); ++i)
        EXPECT_GT(percentages[i], percentages[i - 1]);
}
