#include "convert/output_place.h"

#include "app/program_folder.h"
#include "app/text.h"
#include "convert/converter_run.h"
#include "convert/output_file.h"

namespace {

std::wstring Wide(const std::string& path) {
    return FromCodePage(TrimBlanks(path));
}

FileStamp StampOf(const std::string& path) {
    FileStamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) {
        stamp.exists = true;
        stamp.written = data.ftLastWriteTime;
        stamp.size = (ULONGLONG(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    return stamp;
}

bool WrittenSince(const FileStamp& before, const FileStamp& now) {
    if (!now.exists) return false;
    return !before.exists || CompareFileTime(&before.written, &now.written) != 0 || before.size != now.size;
}

// Another copy of the program that still runs may be writing its temporary output.
bool StillRuns(unsigned long processId) {
    if (processId == GetCurrentProcessId()) return false; // our own run is over when this is asked
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (!process) return GetLastError() == ERROR_ACCESS_DENIED;
    const bool runs = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return runs;
}

} // namespace

void RemoveLeftoverOutputs(const std::string& folder) {
    const std::wstring wideFolder = Wide(folder);
    if (wideFolder.empty()) return;
    const std::wstring base = wideFolder.back() == L'\\' ? wideFolder : wideFolder + L"\\";
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((base + L"*.kesto-part-*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
        const auto owner = TemporaryOutputOwner(ToCodePage(found.cFileName));
        if (owner && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !StillRuns(*owner))
            DeleteFileW((base + found.cFileName).c_str());
    }
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

OutputPlace PrepareOutput(const std::string& target) {
    OutputPlace place{TrimBlanks(target), TrimBlanks(target), StampOf(target)};
    RemoveLeftoverOutputs(FolderOfFile(place.target));
    if (place.before.exists) place.written = TemporaryOutputPath(place.target, GetCurrentProcessId());
    return place;
}

bool SettleOutput(const OutputPlace& place, bool succeeded, std::string& problem) {
    if (place.written == place.target) {
        if (!succeeded && WrittenSince(place.before, StampOf(place.target)))
            DeleteFileW(Wide(place.target).c_str());
        return true;
    }
    const std::wstring written = Wide(place.written);
    if (succeeded && MoveFileExW(written.c_str(), Wide(place.target).c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    const DWORD error = GetLastError();
    DeleteFileW(written.c_str());
    if (!succeeded) return true;
    problem = SystemErrorText(error);
    return false;
}

void KeepDatesOf(const std::string& input, const std::string& output) {
    HANDLE from = CreateFileW(Wide(input).c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    FILETIME created{}, written{};
    const bool known = from != INVALID_HANDLE_VALUE && GetFileTime(from, &created, nullptr, &written);
    if (from != INVALID_HANDLE_VALUE) CloseHandle(from);
    if (!known) return;
    HANDLE to = CreateFileW(Wide(output).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (to == INVALID_HANDLE_VALUE) return;
    SetFileTime(to, &created, nullptr, &written);
    CloseHandle(to);
}

std::string VolumeOf(const std::string& path) {
    wchar_t volume[MAX_PATH] = {};
    if (!GetVolumePathNameW(Wide(path).c_str(), volume, MAX_PATH)) return FolderOfFile(TrimBlanks(path));
    return ToCodePage(volume);
}

std::optional<std::uint64_t> FreeBytesBeside(const std::string& path) {
    ULARGE_INTEGER available{};
    const std::wstring folder = FromCodePage(FolderOfFile(TrimBlanks(path)));
    if (folder.empty() || !GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr))
        return std::nullopt;
    return available.QuadPart;
}
