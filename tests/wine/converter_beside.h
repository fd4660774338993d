// The converter beside this test program, where the program looks for it (and its log).
#pragma once

#include <windows.h>

#include <tlhelp32.h>

#include <string>

#include "app/program_folder.h"
#include "tests/driver/driver.h"

inline std::wstring ConverterBeside() {
    return ProgramFolder() + L"\\PLUG-IN\\ffmpeg_III.exe";
}
inline std::wstring LogBeside() {
    return ProgramFolder() + L"\\kesto.log";
}

inline bool PlaceConverter(const std::wstring& source) {
    CreateDirectoryW((ProgramFolder() + L"\\PLUG-IN").c_str(), nullptr);
    return CopyFileW(source.c_str(), ConverterBeside().c_str(), FALSE);
}
inline bool PlaceFakeConverter() {
    return PlaceConverter(driver::FakeConverterPath());
}
inline bool PlaceRealConverter() {
    return PlaceConverter(driver::BuildProgramFolder() + L"\\PLUG-IN\\ffmpeg_III.exe");
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

// Ends with the converter gone, and neither it nor the log left beside the program.
inline void RemoveConverterAndLog() {
    driver::WaitUntil([] { return !ConverterProcessRuns(); }, 10000);
    DeleteFileW(ConverterBeside().c_str());
    DeleteFileW(LogBeside().c_str());
}

inline const wchar_t* const kFakeConverterVariables[] = {
    L"FAKECONV_RECORD",    L"FAKECONV_EXIT",   L"FAKECONV_DELAY_MS", L"FAKECONV_STDERR",
    L"FAKECONV_STDERR_MB", L"FAKECONV_OUTPUT", L"FAKECONV_IGNORE_Q", L"FAKECONV_Q_EXIT"};

inline void ClearFakeConverterVariables() {
    for (const wchar_t* name : kFakeConverterVariables)
        SetEnvironmentVariableW(name, nullptr);
}
