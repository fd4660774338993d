// A user's whole journey through the real program: load a clip, choose the mode and the
// compression, publish through the real dialogs, wait for the converter, leave.
#include <gtest/gtest.h>

#include "tests/driver/driver.h"
#include "tests/driver/drop.h"
#include "tests/driver/file_dialog.h"

using namespace driver;

namespace {

constexpr int kLoad = 1005, kPublish = 1012, kExit = 1021, kInputPath = 1006;
constexpr int kUsual = 1027, kFast = 1028, kCustom = 1029, kCompression = 1025;

// Runs the build's converter directly; returns what it wrote to standard error.
std::string RunConverter(const std::wstring& arguments) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    CreatePipe(&readEnd, &writeEnd, &inheritable, 0);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    std::wstring commandLine =
        L"\"" + BuildProgramFolder() + L"\\PLUG-IN\\ffmpeg_III.exe\" -hide_banner " + arguments;
    PROCESS_INFORMATION child{};
    const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                        nullptr, nullptr, &startup, &child);
    CloseHandle(writeEnd);
    std::string output;
    char buffer[4096];
    DWORD got = 0;
    while (started && ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got)
        output.append(buffer, got);
    CloseHandle(readEnd);
    if (started) {
        WaitForSingleObject(child.hProcess, 120000);
        CloseHandle(child.hProcess);
        CloseHandle(child.hThread);
    }
    return output;
}

void MakeClip(const std::wstring& path, int seconds) {
    const std::wstring length = std::to_wstring(seconds);
    RunConverter(L"-f lavfi -i testsrc=duration=" + length +
                 L":size=320x240:rate=25 -f lavfi -i sine=duration=" + length +
                 L" -c:v libx264 -c:a aac -shortest -y \"" + path + L"\"");
}

bool Checked(HWND window, int id) {
    return SendMessageW(Item(window, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Picks a file in the program's open or save dialog by typing its full path.
bool ChooseInDialog(DWORD processId, const std::string& title, const std::wstring& path) {
    HWND dialog = WaitForFileDialog(processId, title);
    if (!dialog) return false;
    TypeFileName(dialog, path);
    PressEnterInFileName(dialog);
    return WaitForDialogToClose(dialog);
}

bool AnswerInformation(DWORD processId, const std::string& text, DWORD timeoutMs) {
    MessageBoxSeen box;
    if (!WaitForMessageBox(processId, "Information", &box, timeoutMs)) return false;
    const bool right = box.text == text;
    AnswerMessageBox(box.window, IDOK);
    return right;
}

void PickLastCompression(HWND window) {
    HWND combo = Item(window, kCompression);
    Click(combo);
    PressKey(VK_END);
    PressKey(VK_RETURN);
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
    bool NoDialogFor(DWORD milliseconds) {
        return !WaitUntil(
            [&] {
                for (HWND top : TopWindowsOf(program->Id()))
                    if (top != window && IsWindowVisible(top)) return true;
                return false;
            },
            milliseconds);
    }

    std::wstring media = NewTempFolder(L"kesto journey");
    std::unique_ptr<Program> program;
    HWND window = nullptr;
};

} // namespace

TEST_F(JourneyTest, LoadUsualMinSizePublishAndExit) {
    const std::wstring clip = media + L"\\holiday clip.mp4", output = media + L"\\holiday small.mp4";
    MakeClip(clip, 3);
    ASSERT_TRUE(FileExists(clip));
    Start(ProgramOptions::Converter::Real);

    Click(Item(window, kLoad));
    ASSERT_TRUE(ChooseInDialog(program->Id(), "Load Video", clip));
    EXPECT_EQ(TextOf(Item(window, kInputPath)), WideToUtf8(clip));
    Click(Item(window, kUsual));
    EXPECT_TRUE(Checked(window, kUsual));
    PickLastCompression(window);
    EXPECT_EQ(TextOf(Item(window, kCompression)), "21:Min size");

    Click(Item(window, kPublish));
    ASSERT_TRUE(ChooseInDialog(program->Id(), "Convert Video", output));
    EXPECT_TRUE(AnswerInformation(program->Id(), "Output conversion process finished", 120000));

    BringToFront(window);
    Click(Item(window, kExit));
    DWORD exitCode = 1;
    ASSERT_TRUE(program->WaitForExit(10000, &exitCode));
    EXPECT_EQ(exitCode, 0u);

    const std::string probe = RunConverter(L"-i \"" + output + L"\"");
    EXPECT_NE(probe.find("Video: h264"), std::string::npos) << probe;
    EXPECT_NE(probe.find("Duration: 00:00:03.0"), std::string::npos) << probe;
    const std::string log = ReadBytes(program->PathOf(L"kesto.log"));
    EXPECT_NE(log.find(" -threads 0 -crf 31 -y \"" + WideToUtf8(output) + "\"\r\n"), std::string::npos)
        << log;
    const std::string settings = ReadBytes(program->PathOf(L"KESTO.ini"));
    EXPECT_NE(settings.find("<MODE>1</MODE>"), std::string::npos) << settings;
    EXPECT_NE(settings.find("<IN_DIR>" + WideToUtf8(media) + "</IN_DIR>"), std::string::npos) << settings;
}

TEST_F(JourneyTest, DroppedFileLoadsLikeLoad) {
    const std::wstring clip = media + L"\\dropped été.mp4", output = media + L"\\dropped.mkv";
    MakeClip(clip, 2);
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
    ASSERT_TRUE(ChooseInDialog(program->Id(), "Convert Video", output));
    EXPECT_TRUE(AnswerInformation(program->Id(), "Output conversion process finished", 120000));
    const std::string probe = RunConverter(L"-i \"" + output + L"\"");
    EXPECT_NE(probe.find("Input #0, matroska"), std::string::npos) << probe;
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(program->WaitForExit(10000, nullptr));
    const std::string settings = ReadBytes(program->PathOf(L"KESTO.ini"));
    EXPECT_NE(settings.find("<IN_DIR>" + WideToUtf8(media) + "</IN_DIR>"), std::string::npos)
        << "the remembered folder is the dropped file's";
}

TEST_F(JourneyTest, PublishWithoutInputOpensNothing) {
    const std::wstring clip = media + L"\\in.avi";
    WriteBytes(clip, "a video");
    Start(ProgramOptions::Converter::Fake);
    Click(Item(window, kPublish));
    EXPECT_TRUE(NoDialogFor(1500)) << "only a beep";

    Click(Item(window, kLoad));
    ASSERT_TRUE(ChooseInDialog(program->Id(), "Load Video", clip));
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
    const std::wstring clip = media + L"\\in.avi";
    WriteBytes(clip, "a video");
    Start(ProgramOptions::Converter::Fake, {{L"FAKECONV_DELAY_MS", L"8000"}});
    Click(Item(window, kLoad));
    ASSERT_TRUE(ChooseInDialog(program->Id(), "Load Video", clip));
    Click(Item(window, kPublish));
    ASSERT_TRUE(ChooseInDialog(program->Id(), "Convert Video", media + L"\\out.mp4"));
    HWND progress = program->WaitForWindow("Convert Video");
    ASSERT_NE(progress, nullptr);

    BringToFront(window);
    Click(Item(window, kExit));
    ClickCloseBox(window);
    EXPECT_TRUE(program->Running()) << "Exit and the close box wait for the run";
    EXPECT_TRUE(IsWindowVisible(window));
    Click(Item(window, kUsual));
    EXPECT_TRUE(WaitUntil([&] { return Checked(window, kFast) && !Checked(window, kUsual); }, 2000))
        << "the mode stays";
    Click(Item(window, kLoad));
    Click(Item(window, kPublish));
    EXPECT_FALSE(WaitForFileDialog(program->Id(), "Load Video", 1000)) << "no Load during a run";
    EXPECT_FALSE(WaitForFileDialog(program->Id(), "Convert Video", 500)) << "no Publish during a run";

    EXPECT_TRUE(AnswerInformation(program->Id(), "Output conversion process finished", 60000));
    BringToFront(window);
    ClickCloseBox(window);
    DWORD exitCode = 1;
    ASSERT_TRUE(program->WaitForExit(10000, &exitCode)) << "the close box works again";
    EXPECT_EQ(exitCode, 0u);
}

TEST_F(JourneyTest, ResetButtonFillsTheDisabledBox) {
    Start(ProgramOptions::Converter::None);
    EXPECT_FALSE(IsWindowEnabled(Item(window, 1030)));
    Click(Item(window, 1032));
    EXPECT_EQ(TextOf(Item(window, 1030)), "-threads 2 -crf 10 -qscale 15  -sameq");
    Click(Item(window, kCustom));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(Item(window, 1030)) != FALSE; }, 2000));
    Click(Item(window, kUsual));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(Item(window, 1030)); }, 2000));
    EXPECT_EQ(TextOf(Item(window, 1030)), "-threads 2 -crf 10 -qscale 15  -sameq") << "the text stays";
    // The close is a system command: the box is copied into the settings it saves.
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(program->WaitForExit(10000, nullptr));
    EXPECT_NE(ReadBytes(program->PathOf(L"KESTO.ini"))
                  .find("<CUSTOM>-threads 2 -crf 10 -qscale 15  -sameq</CUSTOM>"),
              std::string::npos);
}
