#include "base/whole_file.h"

#include <windows.h>

#include "base/program_folder.h"

#include <algorithm>

namespace {

// ReadFile and WriteFile take 32-bit counts; pieces of this size keep them well within range.
constexpr DWORD kPieceSize = 1 << 20;

HANDLE OpenAlone(const std::wstring& path, DWORD access) {
    return CreateFileW(FileApiPath(path).c_str(), access, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

bool ReadAll(HANDLE file, std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD wanted = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, kPieceSize));
        DWORD got = 0;
        if (!ReadFile(file, bytes.data() + done, wanted, &got, nullptr)) return false;
        if (got == 0) break; // the file became shorter since its size was taken
        done += got;
    }
    bytes.resize(done);
    return true;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD wanted = static_cast<DWORD>(std::min<size_t>(bytes.size(), kPieceSize));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), wanted, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

bool MayBeReplaced(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(FileApiPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return true; // not there yet
    return !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
}

} // namespace

bool IsRegularFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(FileApiPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool PathExists(const std::string& path) {
    return GetFileAttributesW(FileApiPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::string> ReadWholeFileAlone(const std::wstring& path, size_t largestSize) {
    HANDLE file = OpenAlone(path, GENERIC_READ | GENERIC_WRITE);
    if (file == INVALID_HANDLE_VALUE) file = OpenAlone(path, GENERIC_READ);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<std::string> bytes;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size) && static_cast<unsigned long long>(size.QuadPart) <= largestSize) {
        bytes.emplace(static_cast<size_t>(size.QuadPart), '\0');
        if (!ReadAll(file, *bytes)) bytes.reset();
    }
    CloseHandle(file);
    return bytes;
}

std::wstring ReplacementPathOf(const std::wstring& path) {
    return path + L".tmp";
}

bool WriteReplacement(const std::wstring& path, std::string_view bytes) {
    const std::wstring replacement = ReplacementPathOf(path);
    HANDLE file = CreateFileW(FileApiPath(replacement).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool written = WriteAll(file, bytes) && FlushFileBuffers(file);
    CloseHandle(file);
    if (!written) DeleteFileW(FileApiPath(replacement).c_str());
    return written;
}

bool TakeThePlaceOf(const std::wstring& written, const std::wstring& target) {
    return MoveFileExW(FileApiPath(written).c_str(), FileApiPath(target).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

bool PutReplacementInPlace(const std::wstring& path) {
    const std::wstring replacement = ReplacementPathOf(path);
    if (TakeThePlaceOf(replacement, path)) return true;
    DeleteFileW(FileApiPath(replacement).c_str());
    return false;
}

bool ReplaceWholeFile(const std::wstring& path, std::string_view bytes) {
    return MayBeReplaced(path) && WriteReplacement(path, bytes) && PutReplacementInPlace(path);
}
