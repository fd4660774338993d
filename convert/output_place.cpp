#include "convert/output_place.h"

#include <algorithm>

#include "base/program_folder.h"
#include "base/same_file.h"
#include "base/text.h"
#include "base/whole_file.h"
#include "convert/output_file.h"

namespace {

std::wstring Wide(const std::string& path) {
    return FileApiPath(path);
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

void RemoveLeftoverOutputs(const std::string& folder, const std::vector<std::string>& keep) {
    const std::wstring wideFolder = FromCodePage(TrimBlanks(folder));
    if (wideFolder.empty()) return;
    const std::wstring base = wideFolder.back() == L'\\' ? wideFolder : wideFolder + L"\\";
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(FileApiPath(base + L"*.kesto-part-*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
        const auto owner = TemporaryOutputOwner(ToCodePage(found.cFileName));
        const std::wstring path = base + found.cFileName;
        if (owner && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !StillRuns(*owner) &&
            std::none_of(keep.begin(), keep.end(),
                         [&](const auto& kept) { return NamesSameFile(kept, ToCodePage(path)); }))
            DeleteFileW(FileApiPath(path).c_str());
    }
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

OutputPlace PrepareOutput(const std::string& target, const std::vector<std::string>& keep) {
    OutputPlace place{TrimBlanks(target), ""};
    RemoveLeftoverOutputs(FolderOfFile(place.target), keep);
    place.written = TemporaryOutputPath(place.target, GetCurrentProcessId());
    return place;
}

namespace {

// The first free "name (2).ext", "name (3).ext" beside the chosen name that the conversion moves to.
bool MovedBeside(const OutputPlace& place, std::string& keptAs) {
    for (int number = 2; number < 1000; ++number) {
        const std::string candidate = NumberedName(place.target, number);
        if (PathExists(candidate)) continue;
        if (MoveFileExW(Wide(place.written).c_str(), Wide(candidate).c_str(), MOVEFILE_WRITE_THROUGH)) {
            keptAs = candidate;
            return true;
        }
        // Another program took that name meanwhile: the next one.
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) return false;
    }
    return false;
}

} // namespace

SettledPlace SettleOutput(const OutputPlace& place, bool succeeded, bool mayWriteNoFile) {
    SettledPlace settled;
    bool placed = false, beside = false;
    // Parameters of the user's own may write no file at all ("-f null"): nothing to put in place.
    // Otherwise a run that wrote none did not convert anything.
    if (succeeded && !PathExists(place.written)) {
        if (mayWriteNoFile) return {OutputFate::Placed, "", ""};
        return {OutputFate::Lost, "", "The converter wrote no file."};
    }
    if (succeeded) {
        placed = TakeThePlaceOf(FromCodePage(place.written), FromCodePage(place.target));
        if (!placed) {
            settled.problem = SystemErrorText(GetLastError());
            beside = MovedBeside(place, settled.keptAs);
        }
    }
    settled.fate = FateOf(succeeded, placed, beside);
    if (settled.fate == OutputFate::Placed) settled.keptAs = place.target;
    if (settled.fate == OutputFate::NotConverted || settled.fate == OutputFate::Lost)
        DeleteFileW(Wide(place.written).c_str());
    return settled;
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
    const std::wstring folder = FileApiPath(FolderOfFile(TrimBlanks(path)));
    if (folder.empty() || !GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr))
        return std::nullopt;
    return available.QuadPart;
}
