// Several videos in one progress window, on the fake converter beside this test program.
#include <gtest/gtest.h>

#include "base/same_file.h"
#include "convert/publish.h"
#include "mainwin/main_ids.h"
#include "tests/wine/converter_beside.h"
#include "tests/wine/in_process.h"
#include "toolkit/toolkit.h"

using namespace test;

namespace {

class Batch : public FakeConverterTest {
  protected:
    void SetUp() override {
        FakeConverterTest::SetUp();
        SetEnvironmentVariableW(L"FAKECONV_OUTPUT", L"1");
        MakeStandInMainWindow();
        for (const wchar_t* name : {L"a.avi", L"b.avi", L"c.avi", L"d.mp4"}) {
            WriteBytes(In(name), "video");
            inputs.push_back(Utf8(In(name)));
        }
    }
    // Converts the videos into .mp4 files beside them while `user` watches; gives back what
    // the progress window named and the closing message.
    Box Convert(std::vector<std::string>& named, const std::function<void(HWND)>& user = {}) {
        const auto exists = [](const std::string& path) { return FileExists(FromCodePage(path)); };
        const auto plan = PlanOutputs(inputs, Utf8(folder), ".mp4", exists, NamesSameFile);
        Box closing;
        const auto publish = [&] { PublishVideos(plan, {"21:Min size", ""}); };
        WhileRunning(publish, [&] {
            HWND window = OwnWindow("Convert Video");
            ASSERT_NE(window, nullptr);
            for (; IsWindow(window) && !WaitForBox(GetCurrentProcessId(), "Attention", &closing, 0);
                 Sleep(20)) {
                const std::string text = TextOf(GetDlgItem(window, ID_PROGRESS_VIDEO));
                if (!text.empty() && (named.empty() || named.back() != text)) named.push_back(text);
                if (user) user(window);
            }
            ASSERT_TRUE(WaitForBox(GetCurrentProcessId(), "Attention", &closing));
            Answer(closing.window, IDOK);
        });
        return closing;
    }

    std::vector<std::string> inputs;
};

} // namespace

TEST_F(Batch, AVideoThatFailsDoesNotStopTheOthersAndTheMessageSaysWhy) {
    SetEnvironmentVariableW(L"FAKECONV_DELAY_MS", L"1000");
    SetEnvironmentVariableW(L"FAKECONV_FAIL_ON", L"b.avi");
    std::vector<std::string> named;
    const Box closing = Convert(named);
    ASSERT_FALSE(named.empty());
    EXPECT_EQ(named.front() + "|" + named.back(), "1 of 3: a.avi|3 of 3: c.avi") << "b fails at once";
    EXPECT_EQ(closing.text, "2 of 4 videos converted.\r\n\r\nNot converted:\r\n"
                            "b.avi: in.avi: Invalid data found when processing input\r\n"
                            "d.mp4: the output would be the video itself");
    EXPECT_TRUE(FileExists(In(L"a.mp4")) && FileExists(In(L"c.mp4")));
    EXPECT_FALSE(FileExists(In(L"b.mp4"))) << "what the failed video left is removed";
    EXPECT_EQ(ReadBytes(In(L"d.mp4")), "video");
    const std::string log = ReadBytes(LogBeside());
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3) << "a line for each converter start";
}

TEST_F(Batch, AStopEndsTheVideoUnderWayAndStartsNoOther) {
    SetEnvironmentVariableW(L"FAKECONV_DELAY_MS", L"1500");
    std::vector<std::string> named;
    bool stopped = false;
    const Box closing = Convert(named, [&](HWND window) {
        if (stopped || named.size() < 2 || !FileExists(BeingWritten(In(L"b.mp4")))) return;
        stopped = true;
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0); // Escape
        Box question;
        ASSERT_TRUE(WaitForBox(GetCurrentProcessId(), "Convert Video", &question));
        Answer(question.window, IDYES);
    });
    EXPECT_EQ(closing.text,
              "Conversion cancelled. 1 of 4 videos converted: a.avi.\r\n\r\nNot converted:\r\n"
              "b.avi: stopped\r\nc.avi: not started\r\nd.mp4: the output would be the video itself");
    EXPECT_TRUE(FileExists(In(L"a.mp4")));
    for (const wchar_t* name : {L"b.mp4", L"c.mp4"})
        EXPECT_FALSE(FileExists(In(name)) || FileExists(BeingWritten(In(name)))) << Utf8(name);
}
