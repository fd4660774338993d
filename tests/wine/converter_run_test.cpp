// The conversion worker with the fake converter beside this test program (its folder is the
// program folder here: the converter and the log are found beside the running exe).
#include <gtest/gtest.h>

#include "convert/converter_run.h"
#include "tests/wine/converter_beside.h"

using namespace test;

namespace {

class ConverterRunTest : public FakeConverterTest {
  protected:
    void SetUp() override {
        FakeConverterTest::SetUp();
        SetEnvironmentVariableW(L"FAKECONV_RECORD", record.c_str());
    }
    ConverterRun& NewRun() {
        run = std::make_unique<ConverterRun>();
        run->request = {Mode::Usual, "15", "", Utf8(In(L"in.avi")), Utf8(In(L"out.mkv"))};
        return *run;
    }

    std::wstring record = In(L"received.txt");
    std::unique_ptr<ConverterRun> run;
};

} // namespace

TEST_F(ConverterRunTest, TenMegabytesOfErrorOutputAndALockedLogStillEndWithTheLastWords) {
    // A converter that writes more than a pipe holds only ends if the worker reads meanwhile.
    HANDLE lock = CreateFileW(LogBeside().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    SetEnvironmentVariableW(L"FAKECONV_STDERR_MB", L"10");
    SetEnvironmentVariableW(L"FAKECONV_EXIT", L"1");
    SetEnvironmentVariableW(L"FAKECONV_STDERR", FixturePath(L"win41_bad_crf.txt").c_str());
    ConverterRun& r = NewRun();
    ASSERT_TRUE(StartRun(r));
    ASSERT_TRUE(EndOfRun(r, 60000));
    CloseHandle(lock);
    EXPECT_EQ(ReadBytes(record), r.commandLine) << "a locked log does not keep it from running";
    EXPECT_EQ(r.outcome, RunOutcome::Failed);
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_FALSE(r.errorLines.empty());
}

TEST_F(ConverterRunTest, StopEndsTheConverterWhichInheritsOnlyItsPipes) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const std::wstring held = In(L"held.txt");
    SetEnvironmentVariableW(L"FAKECONV_DELAY_MS", L"60000");
    HANDLE ours = CreateFileW(held.c_str(), GENERIC_WRITE, 0, &inheritable, CREATE_ALWAYS, 0, nullptr);
    ConverterRun& r = NewRun();
    ASSERT_TRUE(StartRun(r));
    ASSERT_TRUE(WaitUntil([&] { return FileExists(record); }));
    CloseHandle(ours);
    // With no copy left in the converter, the file opens exclusively at once.
    HANDLE again = CreateFileW(held.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(again, INVALID_HANDLE_VALUE) << "an inheritable handle of ours reached the converter";
    CloseHandle(again);
    RequestConverterStop(r);
    ASSERT_TRUE(EndOfRun(r, 20000));
    EXPECT_EQ(r.outcome, RunOutcome::Stopped);
    EXPECT_FALSE(ConverterProcessRuns());
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
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --gtest_filter=*ChildRunsUntilKilled";
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
