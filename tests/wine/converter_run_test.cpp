// The conversion worker with the fake converter beside this test program (its folder is the
// program folder here: the converter and the log are found beside the running exe).
#include <gtest/gtest.h>

#include "convert/converter_run.h"
#include "tests/driver/driver.h"
#include "tests/wine/converter_beside.h"

using namespace driver;

namespace {

class ConverterRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(PlaceConverter());
        DeleteFileW(LogBeside().c_str());
        SetEnvironmentVariableW(L"FAKECONV_RECORD", record.c_str());
    }
    void TearDown() override {
        RemoveConverterAndLog();
        RemoveTree(scratch);
    }
    std::string Scratch(const std::wstring& name) const { return WideToUtf8(scratch + L"\\" + name); }
    ConverterRun& NewRun(int mode = 1, const std::string& custom = "", const std::wstring& input = L"in.avi",
                         const std::wstring& output = L"out.mp4") {
        run = std::make_unique<ConverterRun>();
        run->request = {mode, "15", custom, Scratch(input), Scratch(output)};
        return *run;
    }
    // Waits until the fake converter has started and recorded its command line.
    bool ConverterStarted() const {
        return WaitUntil([&] { return FileExists(record); });
    }

    std::wstring scratch = NewTempFolder(L"kesto-run"), record = scratch + L"\\received.txt";
    std::unique_ptr<ConverterRun> run;
};

} // namespace

TEST_F(ConverterRunTest, ConverterReceivesTheLoggedCommandLineByteForByte) {
    const struct {
        int mode;
        const char* custom;
        const wchar_t *input, *output;
    } cases[] = {{1, "", L"my clip.avi", L"out put.mp4"}, // the input given with blanks around it
                 {0, "", L"été 中.avi", L"été 中.mkv"},
                 {2, "  -vf \"scale=iw/2:-2\"   -an  ", L"in.avi", L"out.mp4"},
                 {3, "", L"in.avi", L"out.mp4"}};
    std::string expectedLog;
    for (const auto& c : cases) {
        ConverterRun* r = &NewRun(c.mode, c.custom, c.input, c.output);
        if (c.mode == 1) r->request.inputFile = " " + r->request.inputFile + " ";
        ASSERT_TRUE(StartRun(*r));
        ASSERT_TRUE(EndOfRun(*r));
        EXPECT_EQ(r->outcome, RunOutcome::Succeeded);
        EXPECT_EQ(r->commandLine, BuildConverterCommandLine(r->programFolder, r->request));
        EXPECT_EQ(ReadBytes(record), r->commandLine);
        expectedLog += r->commandLine + "\r\n";
        DeleteFileW(record.c_str());
    }
    EXPECT_EQ(ReadBytes(LogBeside()), expectedLog) << "one line per run, oldest first";
}

TEST_F(ConverterRunTest, MissingConverterOrAFileThatIsNoProgramCannotStartButIsLogged) {
    for (bool missing : {true, false}) {
        SCOPED_TRACE(missing ? "missing" : "not a program");
        if (missing)
            DeleteFileW(ConverterBeside().c_str());
        else
            WriteBytes(ConverterBeside(), "this is not a program\r\n");
        DeleteFileW(LogBeside().c_str());
        ConverterRun& r = NewRun();
        ASSERT_TRUE(StartRun(r));
        ASSERT_TRUE(EndOfRun(r, 5000)) << "the flag drops at once";
        EXPECT_EQ(r.outcome, RunOutcome::CouldNotStart);
        EXPECT_NE(r.systemError, 0u);
        EXPECT_FALSE(r.systemErrorText.empty());
        EXPECT_EQ(r.converterPath, ToCodePage(ConverterBeside()));
        EXPECT_EQ(ReadBytes(LogBeside()), r.commandLine + "\r\n");
    }
}

TEST_F(ConverterRunTest, FailureAfterTenMegabytesOfErrorOutputWithALockedLogKeepsExitCodeAndLastLines) {
    // A converter that writes more than a pipe holds only ends if the worker reads meanwhile; a
    // locked log does not keep it from running.
    HANDLE lock = CreateFileW(LogBeside().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    SetEnvironmentVariableW(L"FAKECONV_STDERR_MB", L"10");
    SetEnvironmentVariableW(L"FAKECONV_EXIT", L"1");
    SetEnvironmentVariableW(L"FAKECONV_STDERR", FixturePath(L"win41_bad_crf.txt").c_str());
    ConverterRun& r = NewRun();
    ASSERT_TRUE(StartRun(r));
    ASSERT_TRUE(EndOfRun(r, 60000));
    CloseHandle(lock);
    EXPECT_EQ(ReadBytes(record), r.commandLine);
    EXPECT_EQ(r.outcome, RunOutcome::Failed);
    EXPECT_EQ(r.exitCode, 1u);
    ASSERT_FALSE(r.lastErrorLines.empty());
    EXPECT_EQ(r.lastErrorLines.back(), "Conversion failed!");
}

TEST_F(ConverterRunTest, StopEndsTheConverterGracefullyOrByForceAndItInheritsOnlyItsPipes) {
    // A handle of ours marked inheritable must not reach the converter.
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const std::wstring held = scratch + L"\\held.txt";
    SetEnvironmentVariableW(L"FAKECONV_DELAY_MS", L"60000");
    for (const wchar_t* deaf : {L"0", L"1"}) {
        SCOPED_TRACE(deaf[0] == L'1' ? "deaf to q" : "quits on q");
        SetEnvironmentVariableW(L"FAKECONV_IGNORE_Q", deaf);
        DeleteFileW(record.c_str());
        HANDLE ours = CreateFileW(held.c_str(), GENERIC_WRITE, 0, &inheritable, CREATE_ALWAYS, 0, nullptr);
        ConverterRun& r = NewRun();
        ASSERT_TRUE(StartRun(r));
        ASSERT_TRUE(ConverterStarted());
        CloseHandle(ours);
        // With no copy left in the converter, the file opens exclusively at once.
        HANDLE again = CreateFileW(held.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(again, INVALID_HANDLE_VALUE);
        CloseHandle(again);
        RequestConverterStop(r);
        ASSERT_TRUE(EndOfRun(r, 20000));
        EXPECT_EQ(r.outcome, RunOutcome::Stopped);
        EXPECT_FALSE(ConverterProcessRuns());
    }
}

// Started as a child by the next test: runs a long conversion until it is killed.
TEST_F(ConverterRunTest, ChildRunsUntilKilled) {
    if (GetEnvironmentVariableW(L"KESTO_CHILD_RUN", nullptr, 0) == 0) GTEST_SKIP() << "only as a child";
    SetEnvironmentVariableW(L"FAKECONV_DELAY_MS", L"120000");
    StartRun(NewRun());
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
