// A user's whole journey through the real program: load a clip, choose the mode and the
// compression, publish through the real dialogs, wait for the converter, leave.
#include <gtest/gtest.h>

#include <algorithm>

#include "convert/publish.h"
#include "tests/driver/clips.h"
#include "tests/driver/driver.h"
#include "tests/driver/drop.h"
#include "tests/driver/file_dialog.h"

using namespace driver;

namespace {

constexpr int kLoad = 1005, kPublish = 1012, kExit = 1021, kInputPath = 1006;
constexpr int kUsual = 1027, kFast = 1028, kCustom = 1029, kCompression = 1025, kCustomBox = 1030;

bool Checked(HWND window, int id) {
    return SendMessageW(Item(window, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

class JourneyTest : public ::testing::Test {
  protected:
    void Start(ProgramOptions::Converter converter,
               std::vector<std::pair<std::wstring, std::wstring>> env = {}) {
        ProgramOptions options;
        options.converter = converter;
        options.environment = std::move(env);
        program = std::make_unique<Program>(options);
        window = program->WaitForMainWindow();
        ASSERT_NE(window, nullptr);
        BringToFront(window);
    }
    void TearDown() override {
        program.reset();
        RemoveTree(media);
    }
    // Picks a file in the program's open or save dialog by typing its full path.
    bool Choose(const std::string& title, const std::wstring& path) {
        HWND dialog = WaitForFileDialog(program->Id(), title);
        if (!dialog) return false;
        TypeFileName(dialog, path);
        PressEnterInFileName(dialog);
        return WaitForDialogToClose(dialog);
    }
    bool Finished(DWORD timeoutMs = 120000) {
        MessageBoxSeen box;
        if (!WaitForMessageBox(program->Id(), "Information", &box, timeoutMs)) return false;
        AnswerMessageBox(box.window, IDOK);
        return box.text == "Output conversion process finished";
    }
    bool NoDialogFor(DWORD milliseconds) {
        return !WaitUntil(
            [&] {
                for (HWND top : TopWindowsOf(program->Id()))
                    if (top != window && IsWindowVisible(top)) return true;
                return false;
            },
            milliseconds);
    }
    // Loads a stand-in video and publishes it to the fake converter, which takes `delayMs`;
    // gives back the progress window.
    HWND StartAFakeRun(int delayMs) {
        const std::wstring clip = media + L"\\in.avi";
        WriteBytes(clip, "a video");
        Start(ProgramOptions::Converter::Fake, {{L"FAKECONV_DELAY_MS", std::to_wstring(delayMs)}});
        if (!window) return nullptr;
        Click(Item(window, kLoad));
        if (!Choose("Load Video", clip)) return nullptr;
        Click(Item(window, kPublish));
        if (!Choose("Convert Video", media + L"\\out.mp4")) return nullptr;
        return program->WaitForWindow("Convert Video");
    }
    std::string Settings() const { return ReadBytes(program->PathOf(L"KESTO.ini")); }

    std::wstring media = NewTempFolder(L"kesto journey");
    std::unique_ptr<Program> program;
    HWND window = nullptr;
};

} // namespace

TEST_F(JourneyTest, LoadUsualMinSizePublishWatchThePercentageRiseAndExit) {
    const std::wstring clip = media + L"\\holiday clip.mp4", output = media + L"\\holiday small.mp4";
    ASSERT_TRUE(MakeClip(clip, 20, L"640x360"));
    Start(ProgramOptions::Converter::Real);

    Click(Item(window, kLoad));
    ASSERT_TRUE(Choose("Load Video", clip));
    EXPECT_EQ(TextOf(Item(window, kInputPath)), WideToUtf8(clip));
    Click(Item(window, kUsual));
    EXPECT_TRUE(Checked(window, kUsual));
    Click(Item(window, kCompression));
    PressKey(VK_END);
    PressKey(VK_RETURN);
    EXPECT_EQ(TextOf(Item(window, kCompression)), "21:Min size");
    Click(Item(window, kPublish));
    ASSERT_TRUE(Choose("Convert Video", output));
    std::vector<int> percentages; // as the progress window's label shows them
    for (HWND progress = program->WaitForWindow("Convert Video");
         IsWindow(progress) && !WaitForMessageBox(program->Id(), "Information", nullptr, 0); Sleep(50)) {
        const std::string label = TextOf(Item(progress, ID_PROGRESS_PERCENT));
        if (!label.empty() && (percentages.empty() || percentages.back() != atoi(label.c_str())))
            percentages.push_back(atoi(label.c_str()));
    }
    EXPECT_TRUE(Finished());
    EXPECT_GE(percentages.size(), 2u) << "the percentage rises during the run";
    EXPECT_TRUE(std::is_sorted(percentages.begin(), percentages.end()));

    BringToFront(window);
    Click(Item(window, kExit));
    DWORD exitCode = 1;
    ASSERT_TRUE(program->WaitForExit(10000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    const std::string probe = Probe(output);
    EXPECT_NE(probe.find("Video: h264"), std::string::npos) << probe;
    EXPECT_NE(probe.find("Duration: 00:00:20.0"), std::string::npos) << probe;
    const std::string log = ReadBytes(program->PathOf(L"kesto.log"));
    EXPECT_NE(log.find(" -threads 0 -crf 31 -y \"" + WideToUtf8(output) + "\"\r\n"), std::string::npos)
        << log;
    EXPECT_NE(Settings().find("<IN_DIR>" + WideToUtf8(media) + "</IN_DIR>"), std::string::npos)
        << "Exit saves";
    EXPECT_NE(Settings().find("<MODE>1</MODE>"), std::string::npos);
}

TEST_F(JourneyTest, DroppedFileLoadsLikeLoad) {
    const std::wstring clip = media + L"\\dropped été.mp4", output = media + L"\\dropped.mkv";
    ASSERT_TRUE(MakeClip(clip, 2));
    WriteBytes(media + L"\\second.avi", "another");
    Start(ProgramOptions::Converter::Real);

    const std::string before = TextOf(Item(window, kInputPath));
    ASSERT_TRUE(DropFiles(window, {media}));
    Settle(window);
    EXPECT_EQ(TextOf(Item(window, kInputPath)), before) << "a folder is refused";
    ASSERT_TRUE(DropFiles(window, {clip, media + L"\\second.avi"}));
    ASSERT_TRUE(WaitUntil([&] { return TextOf(Item(window, kInputPath)) == WideToUtf8(clip); }, 5000))
        << "the first file counts";
    Click(Item(window, kFast));
    Click(Item(window, kPublish));
    ASSERT_TRUE(Choose("Convert Video", output));
    EXPECT_TRUE(Finished());
    EXPECT_NE(Probe(output).find("Input #0, matroska"), std::string::npos);
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(program->WaitForExit(10000, nullptr));
    EXPECT_NE(Settings().find("<IN_DIR>" + WideToUtf8(media) + "</IN_DIR>"), std::string::npos)
        << "the remembered folder is the dropped file's";
}

TEST_F(JourneyTest, PublishWithoutInputOpensNothing) {
    const std::wstring clip = media + L"\\in.avi";
    WriteBytes(clip, "a video");
    Start(ProgramOptions::Converter::Fake);
    Click(Item(window, kPublish));
    EXPECT_TRUE(NoDialogFor(1500)) << "only a beep";

    Click(Item(window, kLoad));
    ASSERT_TRUE(Choose("Load Video", clip));
    Click(Item(window, kLoad));
    HWND second = WaitForFileDialog(program->Id(), "Load Video");
    ASSERT_NE(second, nullptr);
    ClickCancelButton(second);
    ASSERT_TRUE(WaitForDialogToClose(second));
    EXPECT_EQ(TextOf(Item(window, kInputPath)), WideToUtf8(clip)) << "the label keeps the earlier file";
    Click(Item(window, kPublish));
    EXPECT_TRUE(NoDialogFor(1500)) << "the cancelled choice left no input: only a beep";
}

TEST_F(JourneyTest, DuringARunTheWindowRefusesChangesAndClosing) {
    HWND progress = StartAFakeRun(8000);
    ASSERT_NE(progress, nullptr);

    BringToFront(window);
    Click(Item(window, kExit));
    ClickCloseBox(window);
    EXPECT_TRUE(program->Running()) << "Exit and the close box wait for the run";
    Click(Item(window, kUsual));
    EXPECT_TRUE(WaitUntil([&] { return Checked(window, kFast) && !Checked(window, kUsual); }, 2000))
        << "the mode stays";
    Click(Item(window, kLoad));
    Click(Item(window, kPublish));
    EXPECT_FALSE(WaitForFileDialog(program->Id(), "Load Video", 1000)) << "no Load during a run";
    EXPECT_FALSE(WaitForFileDialog(program->Id(), "Convert Video", 500)) << "no Publish during a run";

    EXPECT_TRUE(Finished(60000));
    BringToFront(window);
    ClickCloseBox(window);
    DWORD exitCode = 1;
    ASSERT_TRUE(program->WaitForExit(10000, &exitCode)) << "the close box works again";
    EXPECT_EQ(exitCode, 0u);
}

TEST_F(JourneyTest, ARunEndingWhileTheStopQuestionIsUpStillKeepsTheWindowAndTellsTheEnd) {
    HWND progress = StartAFakeRun(3000);
    ASSERT_NE(progress, nullptr);
    PostMessageW(progress, WM_COMMAND, IDCANCEL, 0); // Escape
    MessageBoxSeen question;
    ASSERT_TRUE(WaitForMessageBox(program->Id(), "Convert Video", &question));
    EXPECT_EQ(question.text, "Stop the conversion?");
    Sleep(5000); // the converter ends while the question waits

    PostMessageW(window, WM_COMMAND, kExit, 0);
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    Sleep(1000);
    EXPECT_TRUE(IsWindow(window)) << "Exit and close wait until the run has been told";
    AnswerMessageBox(question.window, IDNO);
    EXPECT_TRUE(Finished(10000));
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(program->WaitForExit(10000, nullptr));
}

TEST_F(JourneyTest, ResetButtonFillsEvenTheDisabledBox) {
    Start(ProgramOptions::Converter::None);
    const std::string reset = "-threads 2 -crf 10 -qscale 15  -sameq";
    Click(Item(window, 1032));
    EXPECT_EQ(TextOf(Item(window, kCustomBox)), reset);
    EXPECT_FALSE(IsWindowEnabled(Item(window, kCustomBox)));
    Click(Item(window, kCustom));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(Item(window, kCustomBox)) != FALSE; }, 2000));
    // The close is a system command: the box is copied into the settings it saves.
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(program->WaitForExit(10000, nullptr));
    EXPECT_NE(Settings().find("<CUSTOM>" + reset + "</CUSTOM>"), std::string::npos);
}
