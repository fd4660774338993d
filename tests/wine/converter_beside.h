// The converter beside this test program, where the program looks for it (and its log), and
// the conversion worker run as the publish flow runs it.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <string>
#include <utility>

#include "base/globals.h"
#include "base/program_folder.h"
#include "convert/converter_run.h"
#include "convert/output_file.h"
#include "mainwin/main_ids.h"
#include "tests/support/support.h"
#include "toolkit/toolkit.h"

inline std::wstring ConverterBeside() {
    return ProgramFolder() + L"\\PLUG-IN\\ffmpeg_III.exe";
}
inline std::wstring LogBeside() {
    return ProgramFolder() + L"\\kesto.log";
}

// Copies the fake converter there, or with `real` the converter that the build placed. The fake one
// lists every input as a plain video with sound, as the real one lists an ordinary clip.
inline bool PlaceConverter(bool real = false) {
    CreateDirectoryW((ProgramFolder() + L"\\PLUG-IN").c_str(), nullptr);
    SetEnvironmentVariableW(L"FAKECONV_LISTING", test::FixturePath(L"win51_look_plain.txt").c_str());
    const std::wstring source =
        real ? test::BuildProgramFolder() + L"\\PLUG-IN\\ffmpeg_III.exe" : test::FakeConverterPath();
    return CopyFileW(source.c_str(), ConverterBeside().c_str(), FALSE);
}

// Where a run writes the output until it has succeeded.
inline std::wstring BeingWritten(const std::wstring& output) {
    return FromCodePage(TemporaryOutputPath(ToCodePage(output), GetCurrentProcessId()));
}

inline bool ConverterProcessRuns() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        found |= _wcsicmp(entry.szExeFile, L"ffmpeg_III.exe") == 0;
    CloseHandle(snapshot);
    return found;
}

// Ends with the converter gone, neither it nor the log left beside the program, and the fake
// converter's instructions taken back.
inline void RemoveConverterAndLog() {
    test::WaitUntil([] { return !ConverterProcessRuns(); }, 10000);
    DeleteFileW(ConverterBeside().c_str());
    DeleteFileW(LogBeside().c_str());
    for (auto name : {L"RECORD", L"EXIT", L"DELAY_MS", L"STDERR", L"STDERR_MB", L"OUTPUT", L"FAIL_ON",
                      L"LISTING", L"LOOK_MS", L"DENIED"})
        SetEnvironmentVariableW((std::wstring(L"FAKECONV_") + name).c_str(), nullptr);
}

// Starts the worker as the publish flow does (the flag set first).
inline bool StartRun(ConverterRun& run) {
    run.programFolder = ToCodePage(ProgramFolder());
    bConverting = 1;
    if (StartConversionWorker(run)) return true;
    bConverting = 0;
    return false;
}

// Waits (bounded) for the worker to clear the flag, then releases the run.
inline bool EndOfRun(ConverterRun& run, DWORD timeoutMs = 30000) {
    if (!test::WaitUntil([] { return bConverting == 0; }, timeoutMs)) return false;
    ReleaseConverterRun(run);
    return true;
}

// Stands in for the main window, which owns the publish flow's windows and messages.
inline void MakeStandInMainWindow() {
    hMainDlg = CreateWin(nullptr, "stand-in main window", 0, 0, 700, 200, 0, 0, Units::Pixels);
    ShowModeless(hMainDlg, nullptr);
}

// A test with the fake converter beside the program (no log yet) and a folder of its own; a
// stand-in main window, the converter, its log and the folder are taken away after it.
class FakeConverterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(PlaceConverter());
        DeleteFileW(LogBeside().c_str());
    }
    void TearDown() override {
        DestroyWindow(std::exchange(hMainDlg, nullptr));
        RemoveConverterAndLog();
        test::RemoveTree(folder);
    }
    std::wstring In(const std::wstring& name) const { return folder + L"\\" + name; }

    std::wstring folder = test::NewTempFolder(L"kesto-test");
};
