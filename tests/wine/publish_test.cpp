// The publish flow in this process: a stand-in main window with the compression list and the
// custom-parameters box, the fake converter beside the program, and a second thread that
// watches and answers as a user would.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <utility>

#include "convert/publish.h"
#include "mainwin/main_ids.h"
#include "tests/driver/driver.h"
#include "tests/wine/background.h"
#include "tests/wine/converter_beside.h"
#include "toolkit/toolkit.h"

using namespace driver;

namespace {

std::atomic<int> gNestedCalls{0};
bool gProgressShown = false;

LRESULT CALLBACK WatchProgressShowing(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<CWPSTRUCT*>(lParam);
    gProgressShown |=
        call->message == WM_SHOWWINDOW && call->wParam && GetDlgItem(call->hwnd, ID_PROGRESS_TEXT);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

HWND WaitForProgressWindow() {
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND window : TopWindowsOf(GetCurrentProcessId()))
            if (IsWindowVisible(window) && GetDlgItem(window, ID_PROGRESS_TEXT)) found = window;
        return found != nullptr;
    });
    return found;
}

// Waits for a message box of this process with this caption and text, answers it with
// `button`, and gives back its text (empty when none came).
std::string Answer(const std::string& caption, const std::string& textPart, int button = IDOK,
                   DWORD timeoutMs = 30000) {
    MessageBoxSeen box;
    if (!WaitUntil(
            [&] {
                return WaitForMessageBox(GetCurrentProcessId(), caption, &box, 50) &&
                       box.text.find(textPart) != std::string::npos;
            },
            timeoutMs))
        return "";
    AnswerMessageBox(box.window, button);
    return box.text;
}

// Runs PublishVideo on this thread while `user` acts on a second one. Whatever a failed
// expectation leaves open afterwards (a question, a message, a running converter) is ended,
// so that a broken run fails its test instead of hanging the suite.
void PublishWhile(const std::function<void()>& user) {
    std::atomic<bool> returned{false};
    Background acting([&] {
        user();
        for (; !returned; Sleep(200))
            for (HWND window : TopWindowsOf(GetCurrentProcessId())) {
                if (!IsWindowVisible(window) || ClassOf(window) != "#32770") continue;
                if (HWND yes = GetDlgItem(window, IDYES))
                    PostMessageW(yes, BM_CLICK, 0, 0);
                else if (HWND ok = GetDlgItem(window, IDOK); ok && GetDlgItem(window, 0xFFFF))
                    PostMessageW(ok, BM_CLICK, 0, 0);
                else if (GetDlgItem(window, ID_PROGRESS_TEXT))
                    PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
            }
    });
    PublishVideo();
    returned = true;
    acting.Join();
}

class PublishTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(PlaceConverter());
        DeleteFileW(LogBeside().c_str());
        SetEnvironmentVariableW(L"FAKECONV_RECORD", record.c_str());
        WriteBytes(input, "not really a video");
        sInputFile = WideToUtf8(input);
        sOutputFile = WideToUtf8(output);
        nMode = 1;
        // A stand-in main window with "21:Min size" selected and a custom-parameters box.
        hMainDlg = CreateWin(nullptr, "stand-in main window", 0, 0, 700, 200, 0, 0, Units::Pixels);
        AddChild(hMainDlg, "COMBOBOX", ID_COMPRESSION, "", 10, 10, 99, 190, CBS_DROPDOWNLIST | WS_VSCROLL, 0);
        for (const char* item :
             {"Default", "1:Max size", "2:",  "3:",  "4:",  "5:",  "6:",  "7:",  "8:",  "9:",  "10:",
              "11:",     "12:",        "13:", "14:", "15:", "16:", "17:", "18:", "19:", "20:", "21:Min size"})
            SendDlgItemMessageA(hMainDlg, ID_COMPRESSION, CB_ADDSTRING, 0, LPARAM(item));
        SelectListItem(hMainDlg, ID_COMPRESSION, 21);
        AddChild(hMainDlg, "EDIT", ID_CUSTOM_PARAMS, " -an  -vf scale=iw/2:-2 ", 10, 50, 600, 20,
                 ES_AUTOHSCROLL, 0);
        // Publishing from inside a run, as a second click on Publish would.
        ShowModeless(hMainDlg, [](HWND, UINT message, WPARAM, LPARAM) -> INT_PTR {
            if (message != WM_APP) return 0;
            PublishVideo();
            return ++gNestedCalls;
        });
    }
    void TearDown() override {
        DestroyWindow(std::exchange(hMainDlg, nullptr));
        RemoveConverterAndLog();
        RemoveTree(scratch);
    }

    std::wstring scratch = NewTempFolder(L"kesto-publish"), record = scratch + L"\\received.txt";
    std::wstring input = scratch + L"\\clip in.avi", output = scratch + L"\\clip out.mp4";
};

} // namespace

TEST_F(PublishTest, ProgressWindowRunsUntilTheCompletionMessage) {
    SetEnvironmentVariableW(L"FAKECONV_DELAY_MS", L"2500");
    SetEnvironmentVariableW(L"FAKECONV_STDERR", FixturePath(L"win41_reencode_720p.txt").c_str());
    std::set<HANDLE> frames;
    std::set<COLORREF> squareColours;
    std::string time, completion;
    PublishWhile([&] {
        HWND window = WaitForProgressWindow();
        ASSERT_TRUE(window);
        EXPECT_EQ(TextOf(window), "Convert Video");
        RECT client{0, 0, 250, 52};
        MapDialogRect(window, &client);
        EXPECT_EQ(ClientSizeOf(window).cx, client.right);
        EXPECT_EQ(ClientSizeOf(window).cy, client.bottom);
        EXPECT_EQ(TextOf(GetDlgItem(window, ID_PROGRESS_TEXT)), "Please wait...");
        LOGFONTA font{};
        GetObjectA(HFONT(SendDlgItemMessageW(window, ID_PROGRESS_TEXT, WM_GETFONT, 0, 0)), sizeof font,
                   &font);
        EXPECT_STREQ(font.lfFaceName, "Times New Roman");
        DWORD_PTR ignored = 0;
        EXPECT_TRUE(SendMessageTimeoutW(hMainDlg, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &ignored))
            << "the main window stays alive";
        // Squares waiting their turn show the cascade's first green, not the colour they were made with.
        for (int k = 1; k < 5; ++k) {
            EXPECT_TRUE(WaitForPixel(GetDlgItem(window, ID_PROGRESS_SQUARE1 + k), 4, 4, RGB(20, 20, 195), 1000));
        }
        const SIZE frameSize = ClientSizeOf(GetDlgItem(window, ID_PROGRESS_IMAGE));
        // Until the window closes, or a message comes while it is still up.
        for (; IsWindow(window) && !WaitForMessageBox(GetCurrentProcessId(), "Information", nullptr, 0);
             Sleep(20)) {
            const auto frame =
                HBITMAP(SendDlgItemMessageW(window, ID_PROGRESS_IMAGE, STM_GETIMAGE, IMAGE_BITMAP, 0));
            BITMAP bitmap{};
            if (frames.insert(frame).second && GetObjectW(frame, sizeof bitmap, &bitmap)) {
                EXPECT_TRUE(bitmap.bmWidth == frameSize.cx && bitmap.bmHeight == frameSize.cy) << "stretched";
            }
            squareColours.insert(PixelAt(GetDlgItem(window, ID_PROGRESS_SQUARE1), 4, 4));
            time = std::max(time, TextOf(GetDlgItem(window, ID_PROGRESS_TIME)));
        }
        EXPECT_FALSE(IsWindow(window)) << "the window closes before the message";
        completion = Answer("Information", "");
    });
    EXPECT_GE(frames.size(), 4u) << "the frames advance";
    EXPECT_GE(squareColours.size(), 3u) << "the first square's green rises";
    EXPECT_EQ(time.rfind("Processing time: 00:00:0", 0), 0u) << time;
    EXPECT_NE(time, "Processing time: 00:00:00") << "the time label counts";
    EXPECT_EQ(completion, "Output conversion process finished");
    EXPECT_EQ(sCrf, "31");
    EXPECT_EQ(sCustomParams, " -an  -vf scale=iw/2:-2 ");
    EXPECT_NE(ReadBytes(record).find(" -threads 0 -crf 31 -y "), std::string::npos) << ReadBytes(record);
}

TEST_F(PublishTest, MissingConverterIsNamedAndTheWindowShowsForOnePass) {
    DeleteFileW(ConverterBeside().c_str());
    SelectListItem(hMainDlg, ID_COMPRESSION, 0);
    // The progress window may live for one pass only: catch its showing as it happens.
    gProgressShown = false;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, WatchProgressShowing, nullptr, GetCurrentThreadId());
    std::string text;
    PublishWhile([&] { text = Answer("Attention", ""); });
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(gProgressShown);
    EXPECT_NE(text.find(WideToUtf8(ConverterBeside())), std::string::npos) << text;
    EXPECT_EQ(sCrf, "15");
    EXPECT_EQ(ReadBytes(LogBeside()).rfind("\"" + WideToUtf8(ConverterBeside()) + "\" -i ", 0), 0u)
        << "the line is logged all the same";
}

TEST_F(PublishTest, FailingConverterIsReportedWithItsLastWords) {
    SetEnvironmentVariableW(L"FAKECONV_EXIT", L"1");
    SetEnvironmentVariableW(L"FAKECONV_STDERR", FixturePath(L"win41_bad_crf.txt").c_str());
    std::string text;
    bool completion = true;
    PublishWhile([&] {
        text = Answer("Attention", "");
        completion = WaitForMessageBox(GetCurrentProcessId(), "Information", nullptr, 500);
    });
    EXPECT_NE(text.find("exit code 1."), std::string::npos) << text;
    EXPECT_NE(text.find("Conversion failed!"), std::string::npos) << text;
    EXPECT_FALSE(completion) << "no completion message after a failure";
}

TEST_F(PublishTest, EscapeAsksAndStopsTheConverterAndDeletesItsOutput) {
    SetEnvironmentVariableW(L"FAKECONV_DELAY_MS", L"60000");
    SetEnvironmentVariableW(L"FAKECONV_OUTPUT", L"1");
    bool keptGoingAfterNo = false;
    std::string end;
    PublishWhile([&] {
        HWND window = WaitForProgressWindow();
        if (!window || !WaitUntil([&] { return FileExists(output); })) return;
        BringToFront(window);
        PressKey(VK_ESCAPE);
        if (Answer("Convert Video", "Stop the conversion?", IDNO).empty()) return;
        Sleep(500);
        keptGoingAfterNo = bConverting == 1 && ConverterProcessRuns() && IsWindow(window);
        BringToFront(window);
        PressKey(VK_ESCAPE);
        if (Answer("Convert Video", "Stop the conversion?", IDYES).empty()) return;
        end = Answer("Information", "");
    });
    EXPECT_TRUE(keptGoingAfterNo);
    EXPECT_EQ(end, "Conversion cancelled");
    EXPECT_FALSE(FileExists(output)) << "the incomplete output is deleted";
    EXPECT_TRUE(WaitUntil([] { return !ConverterProcessRuns(); }, 5000));
}

TEST_F(PublishTest, OutputNamingTheInputIsRefusedBeforeAnythingRuns) {
    const std::wstring link = scratch + L"\\linked.avi";
    CreateHardLinkW(link.c_str(), input.c_str(), nullptr);
    for (const std::wstring& same : {scratch + L"\\CLIP IN.AVI", link}) {
        sOutputFile = WideToUtf8(same);
        std::string text;
        PublishWhile([&] { text = Answer("Attention", "input video itself", IDOK, 10000); });
        EXPECT_FALSE(text.empty()) << sOutputFile;
    }
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
        Answer("Information", "Output conversion process finished");
    });
    EXPECT_TRUE(nestedReturnedDuringRun);
    EXPECT_EQ(ReadBytes(LogBeside()).find("\r\n") + 2, ReadBytes(LogBeside()).size()) << "one run only";
}
