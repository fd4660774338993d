// Test clips made, and outputs examined, with the build's own converter.
#pragma once

#include <windows.h>

#include <string>

#include "tests/driver/driver.h"
#include "tests/driver/run_steps.h"

namespace driver {

// Runs the converter that the build put beside the program; returns what it wrote to standard error.
inline std::string RunBuildConverter(const std::wstring& arguments) {
    return OutputOfCommand(L"\"" + BuildProgramFolder() + L"\\PLUG-IN\\ffmpeg_III.exe\" -hide_banner " +
                           arguments);
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
