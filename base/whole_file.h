// Small files handled whole: read while nobody else may touch them, and replaced in one step
// so that a crash or a full disk never leaves a cut-off file behind.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Whether a regular file (not a folder) exists at this path.
bool IsRegularFile(const std::wstring& path);
// Whether anything (a file or a folder) has this path (process code page).
bool PathExists(const std::string& path);

// The whole content of a file, opened without sharing: read and write access are asked first,
// read-only access next, so that a read-only file is still read. Nothing when the file cannot be
// opened or read, or holds more than `largestSize` bytes.
std::optional<std::string> ReadWholeFileAlone(const std::wstring& path, size_t largestSize);

// The temporary file beside `path` that holds its next content until it takes its place.
std::wstring ReplacementPathOf(const std::wstring& path);

// Writes the replacement of `path` and flushes it to the disk. On failure nothing is left behind.
bool WriteReplacement(const std::wstring& path, std::string_view bytes);

// Write beside, then replace: the file written beside takes the target's name in one step, written
// through to the disk, the target (if any) going; false, with the system's error, when it cannot.
bool TakeThePlaceOf(const std::wstring& written, const std::wstring& target);

// Puts the written replacement in place of `path` in one step; on failure removes it.
bool PutReplacementInPlace(const std::wstring& path);

// Gives `path` new content so that at every moment it holds either all the old bytes or all the
// new ones. A read-only file, a folder of that name or an unwritable folder stay as they were.
bool ReplaceWholeFile(const std::wstring& path, std::string_view bytes);
