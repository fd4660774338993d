// Test clips made, and outputs examined, with the build's own converter.
#pragma once

#include <windows.h>

#include <string>

#include "tests/driver/driver.h"

namespace driver {

// Runs the converter that the build put beside the program; returns what it wrote to standard error.
inline std::string RunBuildConverter(const std::wstring& arguments) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    CreatePipe(&readEnd, &writeEnd, &inheritable, 0);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = writeEnd;
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

// A test picture with a tone, H.264 and AAC in an MP4 file.
inline bool MakeClip(const std::wstring& path, int seconds, const std::wstring& size = L"320x240") {
    const std::wstring length = std::to_wstring(seconds);
    RunBuildConverter(L"-f lavfi -i testsrc=duration=" + length + L":size=" + size +
                      L":rate=25 -f lavfi -i sine=duration=" + length +
                      L" -c:v libx264 -preset ultrafast -c:a aac -shortest -y \"" + path + L"\"");
    return FileExists(path);
}

// What the converter makes of a media file: its container, streams and duration.
inline std::string Probe(const std::wstring& path) {
    return RunBuildConverter(L"-i \"" + path + L"\"");
}

} // namespace driver
