#include "base/same_file.h"

#include <windows.h>

#include "base/program_folder.h"
#include "base/text.h"

namespace {

std::wstring FullPath(const std::wstring& path) {
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    full.resize(GetFullPathNameW(path.c_str(), size, full.data(), nullptr));
    return full;
}

// The long form of an existing path (short 8.3 names expanded); unchanged when it does not exist.
std::wstring LongPath(const std::wstring& path) {
    const DWORD size = GetLongPathNameW(path.c_str(), nullptr, 0);
    if (size == 0) return path;
    std::wstring longer(size, L'\0');
    longer.resize(GetLongPathNameW(path.c_str(), longer.data(), size));
    return longer;
}

// For a file that does not exist yet its folder may: expand that part.
std::wstring Normalised(const std::wstring& path) {
    const std::wstring full = FullPath(path);
    if (GetFileAttributesW(FileApiPath(full).c_str()) != INVALID_FILE_ATTRIBUTES) return LongPath(full);
    const auto slash = full.rfind(L'\\');
    if (slash == std::wstring::npos) return full;
    return LongPath(full.substr(0, slash)) + full.substr(slash);
}

bool SameIdentity(const std::wstring& first, const std::wstring& second) {
    auto open = [](const std::wstring& path) {
        return CreateFileW(FileApiPath(path).c_str(), 0,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    };
    HANDLE a = open(first), b = open(second);
    bool same = false;
    BY_HANDLE_FILE_INFORMATION infoA{}, infoB{};
    if (a != INVALID_HANDLE_VALUE && b != INVALID_HANDLE_VALUE && GetFileInformationByHandle(a, &infoA) &&
        GetFileInformationByHandle(b, &infoB)) {
        same = infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
               infoA.nFileIndexHigh == infoB.nFileIndexHigh && infoA.nFileIndexLow == infoB.nFileIndexLow;
    }
    if (a != INVALID_HANDLE_VALUE) CloseHandle(a);
    if (b != INVALID_HANDLE_VALUE) CloseHandle(b);
    return same;
}

} // namespace

bool NamesSameFile(const std::string& first, const std::string& second) {
    const std::wstring a = FromCodePage(TrimBlanks(first)), b = FromCodePage(TrimBlanks(second));
    if (a.empty() || b.empty()) return false;
    const std::wstring normalA = Normalised(a), normalB = Normalised(b);
    if (CompareStringOrdinal(normalA.c_str(), -1, normalB.c_str(), -1, TRUE) == CSTR_EQUAL) return true;
    return SameIdentity(a, b);
}

std::wstring WhyNotAnOutput(const std::string& input, const std::string& output) {
    static constexpr const wchar_t* kChooseAnother =
        L"\r\n\r\nPlease choose another name for the output file.";
    if (NamesSameFile(input, output))
        return std::wstring(L"The output file is the input video itself: converting would destroy it.") +
               kChooseAnother;
    if (IsDeviceName(TrimBlanks(output)))
        return L"\"" + FromCodePage(TrimBlanks(output)) +
               L"\" is a name that Windows keeps for a device: nothing would be written." + kChooseAnother;
    return {};
}
