// The conversion worker with the fake converter beside this test program (its folder is
// the program folder here: the converter and the log are found beside the running exe).
#include <gtest/gtest.h>

#include "app/globals.h"
#include "app/program_folder.h"
#include "convert/converter_run.h"
#include "tests/driver/driver.h"
#include "tests/wine/converter_beside.h"

using namespace driver;

namespace {

// Runs the worker as the publish flow does and waits (bounded) for it to clear the flag.
bool RunToEnd(ConverterRun& run, DWORD timeoutMs = 30000) {
    bConverting = 1;
    if (!StartConversionWorker(run)) {
        bConverting = 0;
        return false;
    }
    const bool ended = WaitUntil([] { return bConverting == 0; }, timeoutMs);
    if (ended) ReleaseConverterRun(run);
    return ended;
}

ConversionRequest Request(const std::string& input, const std::string& output, int mode = 0,
                          const std::string& custom = "") {
    ConversionRequest request;
    request.mode = mode;
    request.crf = "15";
    request.customParams = custom;
    request.inputFile = input;
    request.outputFile = output;
    return request;
}

class ConverterRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(PlaceFakeConverter());
        DeleteFileW(LogBeside().c_str());
        scratch = NewTempFolder(L"kesto-run");
        record = scratch + L"\\received.txt";
        SetEnvironmentVariableW(L"FAKECONV_RECORD", record.c_str());
    }
    void TearDown() override {
        ClearFakeConverterVariables();
        RemoveConverterAndLog();
        RemoveTree(scratch);
    }
    std::string Scratch(const std::wstring& name) const { return WideToUtf8(scratch + L"\\" + name); }
    ConverterRun& NewRun(const ConversionRequest& request) {
        run = std::make_unique<ConverterRun>();
        run->request = request;
        run->programFolder = ToCodePage(ProgramFolder());
        return *run;
    }

    std::wstring scratch, record;
    std::unique_ptr<ConverterRun> run;
};

} // namespace

TEST_F(ConverterRunTest, ConverterReceivesTheLoggedCommandLineByteForByte) {
    struct Case {
        ConversionRequest request;
    } cases[] = {
        {Request(" " + Scratch(L"my clip.avi") + " ", Scratch(L"out put.mp4"), 1)},
        {Request(Scratch(L"été 中.avi"), Scratch(L"été 中.mkv"), 0)},
        {Request(Scratch(L"in.avi"), Scratch(L"out.mp4"), 2, "  -vf \"scale=iw/2:-2\"   -an  ")},
        {Request(Scratch(L"in.avi"), Scratch(L"out.mp4"), 3, "")},
    };
    std::string expectedLog;
    for (const Case& c : cases) {
        ConverterRun& r = NewRun(c.request);
        ASSERT_TRUE(RunToEnd(r));
        EXPECT_EQ(r.outcome, RunOutcome::Succeeded);
        EXPECT_EQ(r.commandLine, BuildConverterCommandLine(r.programFolder, c.request));
        EXPECT_EQ(ReadBytes(record), r.commandLine);
        expectedLog += r.commandLine + "\r\n";
        DeleteFileW(record.c_str());
    }
    EXPECT_EQ(ReadBytes(LogBeside()), expectedLog) << "one line per run, oldest first";
}

TEST_F(ConverterRunTest, MissingConverterIsReportedAndStillLogged) {
    DeleteFileW(ConverterBeside().c_str());
    ConverterRun& r = NewRun(Request(Scratch(L"in.avi"), Scratch(L"out.mp4")));
    ASSERT_TRUE(RunToEnd(r, 5000)) << "the flag drops at once";
    EXPECT_EQ(r.outcome, RunOutcome::CouldNotStart);
    EXPECT_TRUE(r.systemError == ERROR_FILE_NOT_FOUND || r.systemError == ERROR_PATH_NOT_FOUND)
        << r.systemError;
    EXPECT_FALSE(r.systemErrorText.empty());
    EXPECT_EQ(r.converterPath, ToCodePage(ConverterBeside()));
    EXPECT_EQ(ReadBytes(LogBeside()), r.commandLine + "\r\n");
}

TEST_F(ConverterRunTest, FileThatIsNoProgramCannotStart) {
    WriteBytes(ConverterBeside(), "this is not a program\r\n");
    ConverterRun& r = NewRun(Request(Scratch(L"in.avi"), Scratch(L"out.mp4")));
    ASSERT_TRUE(RunToEnd(r, 5000));
    EXPECT_EQ(r.outcome, RunOutcome::CouldNotStart);
    EXPECT_NE(r.systemError, 0u);
    EXPECT_EQ(ReadBytes(LogBeside()), r.commandLine + "\r\n");
}

TEST_F(ConverterRunTest, FailureKeepsExitCodeAndLastErrorLines) {
    SetEnvironmentVariableW(L"FAKECONV_EXIT", L"1");
    SetEnvironmentVariableW(L"FAKECONV_STDERR", FixturePath(L"win41_bad_crf.txt").c_str());
    ConverterRun& r = NewRun(Request(Scratch(L"in.avi"), Scratch(L"out.mp4"), 1));
    ASSERT_TRUE(RunToEnd(r));
    EXPECT_EQ(r.outcome, RunOutcome::Failed);
    EXPECT_EQ(r.exitCode, 1u);
    ASSERT_FALSE(r.lastErrorLines.empty());
    EXPECT_EQ(r.lastErrorLines.back(), "Conversion failed!");
}

TEST_F(ConverterRunTest, TenMegabytesOfErrorOutputDoNotBlock) {
    SetEnvironmentVariableW(L"FAKECONV_STDERR_MB", L"10");
    ConverterRun& r = NewRun(Request(Scratch(L"in.avi"), Scratch(L"out.mp4")));
    ASSERT_TRUE(RunToEnd(r, 60000));
    EXPECT_EQ(r.outcome, RunOutcome::Succeeded);
}

TEST_F(ConverterRunTest, ProgressIsReadableWhileTheConverterWorks) {
    SetEnvironmentVariableW(L"FAKECONV_DELAY_MS", L"3000");
    SetEnvironmentVariableW(L"FAKECONV_STDERR", FixturePath(L"win41_reencode_720p.txt").c_str());
    ConverterRun& r = NewRun(Request(Scratch(L"in.avi"), Scratch(L"out.mp4"), 1));
    bConverting = 1;
    ASSERT_TRUE(StartConversionWorker(r));
    bool durationSeenWhileRunning = false;
    WaitUntil([&] {
        durationSeenWhileRunning |= bConverting == 1 && ProgressSnapshot(r).durationSeconds.has_value();
        return bConverting == 0;
    });
    ReleaseConverterRun(r);
    EXPECT_TRUE(durationSeenWhileRunning);
    const ConverterProgress end = ProgressSnapshot(r);
    ASSERT_TRUE(end.durationSeconds.has_value());
    EXPECT_DOUBLE_EQ(*end.durationSeconds, 5.0);
    EXPECT_EQ(FractionDone(end).value_or(0), 1.0);
}

TEST_F(ConverterRunTest, StopEndsTheConverterGracefullyOrByForce) {
    SetEnvironmentVariableW(L"FAKECONV_DELAY_MS", L"60000");
    for (const wchar_t* deaf : {L"0", L"1"}) {
        SetEnvironmentVariableW(L"FAKECONV_IGNORE_Q", deaf);
        DeleteFileW(record.c_str());
        ConverterRun& r = NewRun(Request(Scratch(L"in.avi"), Scratch(L"out.mp4")));
        bConverting = 1;
        ASSERT_TRUE(StartConversionWorker(r));
        ASSERT_TRUE(WaitUntil([&] { return FileExists(record); })) << "the converter started";
        RequestConverterStop(r);
        ASSERT_TRUE(WaitUntil([] { return bConverting == 0; }, 20000));
        ReleaseConverterRun(r);
        EXPECT_EQ(r.outcome, RunOutcome::Stopped);
        EXPECT_FALSE(ConverterProcessRuns());
    }
}

TEST_F(ConverterRunTest, LockedLogNeitherStopsNorDelaysTheRun) {
    HANDLE lock = CreateFileW(LogBeside().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    ConverterRun& r = NewRun(Request(Scratch(L"in.avi"), Scratch(L"out.mp4")));
    ASSERT_TRUE(RunToEnd(r));
    CloseHandle(lock);
    EXPECT_EQ(r.outcome, RunOutcome::Succeeded);
    EXPECT_EQ(ReadBytes(record), r.commandLine);
    EXPECT_EQ(ReadBytes(LogBeside()), "");
}

TEST_F(ConverterRunTest, ConverterInheritsOnlyItsPipes) {
    // A handle of ours marked inheritable must not reach the converter.
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const std::wstring held = scratch + L"\\held.txt";
    HANDLE ours = CreateFileW(held.c_str(), GENERIC_WRITE, 0, &inheritable, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(ours, INVALID_HANDLE_VALUE);
    SetEnvironmentVariableW(L"FAKECONV_DELAY_MS", L"60000");
    ConverterRun& r = NewRun(Request(Scratch(L"in.avi"), Scratch(L"out.mp4")));
    bConverting = 1;
    ASSERT_TRUE(StartConversionWorker(r));
    ASSERT_TRUE(WaitUntil([&] { return FileExists(record); }));
    CloseHandle(ours);
    // With no copy left in the converter, the file opens exclusively at once.
    HANDLE again = CreateFileW(held.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(again, INVALID_HANDLE_VALUE);
    if (again != INVALID_HANDLE_VALUE) CloseHandle(again);
    RequestConverterStop(r);
    ASSERT_TRUE(WaitUntil([] { return bConverting == 0; }, 20000));
    ReleaseConverterRun(r);
}

// Started as a child by the next test: runs a long conversion until it is killed.
TEST_F(ConverterRunTest, ChildRunsUntilKilled) {
    if (GetEnvironmentVariableW(L"KESTO_CHILD_RUN", nullptr, 0) == 0) GTEST_SKIP() << "only as a child";
    SetEnvironmentVariableW(L"FAKECONV_DELAY_MS", L"120000");
    ConverterRun& r = NewRun(Request(Scratch(L"in.avi"), Scratch(L"out.mp4")));
    bConverting = 1;
    StartConversionWorker(r);
    Sleep(INFINITE);
}

TEST_F(ConverterRunTest, KillingTheProgramEndsTheConverter) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine =
        L"\"" + std::wstring(self) + L"\" --gtest_filter=ConverterRunTest.ChildRunsUntilKilled";
    SetEnvironmentVariableW(L"KESTO_CHILD_RUN", L"1");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                        nullptr, &startup, &child);
    SetEnvironmentVariableW(L"KESTO_CHILD_RUN", nullptr);
    ASSERT_TRUE(started);
    CloseHandle(child.hThread);
    EXPECT_TRUE(WaitUntil([] { return ConverterProcessRuns(); }, 20000)) << "the child's converter started";
    TerminateProcess(child.hProcess, 9);
    WaitForSingleObject(child.hProcess, 10000);
    CloseHandle(child.hProcess);
    EXPECT_TRUE(WaitUntil([] { return !ConverterProcessRuns(); }, 10000)) << "no converter runs on";
}
