// The conversion worker with the real converter: a generated clip converted in each mode.
#include <gtest/gtest.h>

#include "app/globals.h"
#include "app/program_folder.h"
#include "convert/converter_run.h"
#include "tests/driver/driver.h"
#include "tests/wine/converter_beside.h"

using namespace driver;

namespace {

// Runs the converter directly and returns what it wrote to standard error.
std::string RunConverterDirectly(const std::wstring& arguments) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    CreatePipe(&readEnd, &writeEnd, &inheritable, 0);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    std::wstring commandLine = L"\"" + ConverterBeside() + L"\" " + arguments;
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
        WaitForSingleObject(child.hProcess, 60000);
        CloseHandle(child.hProcess);
        CloseHandle(child.hThread);
    }
    return output;
}

// What the converter itself makes of a media file: its container, streams and duration.
std::string Probe(const std::wstring& file) {
    return RunConverterDirectly(L"-hide_banner -i \"" + file + L"\"");
}

class RealConverterTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        PlaceRealConverter();
        media = NewTempFolder(L"kesto-media");
        clip = media + L"\\clip 3s.mp4";
        RunConverterDirectly(L"-hide_banner -f lavfi -i testsrc=duration=3:size=320x240:rate=25 -f lavfi -i "
                             L"sine=duration=3 -c:v libx264 -c:a aac -shortest -y \"" +
                             clip + L"\"");
    }
    static void TearDownTestSuite() {
        DeleteFileW(ConverterBeside().c_str());
        DeleteFileW(LogBeside().c_str());
        RemoveTree(media);
    }
    void SetUp() override {
        ASSERT_TRUE(FileExists(clip)) << "the test clip could not be made";
        DeleteFileW(LogBeside().c_str());
    }

    static std::wstring media, clip;
};

std::wstring RealConverterTest::media, RealConverterTest::clip;

} // namespace

TEST_F(RealConverterTest, EachModeConvertsAndIsLogged) {
    struct Case {
        int mode;
        const char* custom;
        const wchar_t* output;
        const char* container;
        const char* video;
    } cases[] = {
        {1, "", L"usual.mp4", "Input #0, mov,mp4", "Video: h264"},
        {0, "", L"fast copy.mkv", "Input #0, matroska", "Video: h264"},
        {2, "-c:v mpeg4 -q:v 5", L"custom.avi", "Input #0, avi", "Video: mpeg4"},
    };
    std::string expectedLog;
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.output));
        ConverterRun run;
        run.programFolder = ToCodePage(ProgramFolder());
        run.request.mode = c.mode;
        run.request.crf = "15";
        run.request.customParams = c.custom;
        run.request.inputFile = WideToUtf8(clip);
        run.request.outputFile = WideToUtf8(media + L"\\" + c.output);
        bConverting = 1;
        ASSERT_TRUE(StartConversionWorker(run));
        ASSERT_TRUE(WaitUntil([] { return bConverting == 0; }, 120000));
        ReleaseConverterRun(run);
        EXPECT_EQ(run.outcome, RunOutcome::Succeeded) << run.exitCode;
        expectedLog += run.commandLine + "\r\n";

        const std::string probe = Probe(media + L"\\" + c.output);
        EXPECT_NE(probe.find(c.container), std::string::npos) << probe;
        EXPECT_NE(probe.find(c.video), std::string::npos) << probe;
        EXPECT_NE(probe.find("Duration: 00:00:03.0"), std::string::npos) << probe;
        if (c.mode != 2) {
            EXPECT_NE(probe.find("Audio: aac"), std::string::npos) << probe;
        }
    }
    const std::string log = ReadBytes(LogBeside());
    EXPECT_EQ(log, expectedLog);
    EXPECT_NE(log.find(" -threads 0 -crf 15 -y "), std::string::npos);
    EXPECT_NE(log.find(" -threads 0 -vcodec copy -acodec copy -y "), std::string::npos);
    EXPECT_NE(log.find(" -c:v mpeg4 -q:v 5  -y "), std::string::npos);
}

TEST_F(RealConverterTest, UnreadableInputFailsWithTheConvertersWords) {
    ConverterRun run;
    run.programFolder = ToCodePage(ProgramFolder());
    run.request.mode = 1;
    run.request.crf = "15";
    run.request.inputFile = WideToUtf8(media + L"\\no such clip.avi");
    run.request.outputFile = WideToUtf8(media + L"\\never.mp4");
    bConverting = 1;
    ASSERT_TRUE(StartConversionWorker(run));
    ASSERT_TRUE(WaitUntil([] { return bConverting == 0; }, 60000));
    ReleaseConverterRun(run);
    EXPECT_EQ(run.outcome, RunOutcome::Failed);
    EXPECT_EQ(run.exitCode, 1u);
    ASSERT_FALSE(run.lastErrorLines.empty());
    EXPECT_NE(run.lastErrorLines.back().find("No such file or directory"), std::string::npos);
}
