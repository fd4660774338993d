#include "base/program_folder.h"

#include <windows.h>

#include <shlobj.h>

#include "base/text.h"

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring ProgramFolder() {
    return ProgramFolderOf(ModulePath());
}

namespace {

std::wstring gDataFolder;

// Whether files may be made in the folder: a read-only folder, or one the user may not write
// to, refuses even a file that is gone again when it is closed.
bool MayWriteIn(const std::wstring& folder) {
    const std::wstring probe = folder + L"\\kesto-write-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    HANDLE file = CreateFileW(FileApiPath(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

std::wstring RoamingAppData() {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                folder)))
        return {};
    return folder;
}

} // namespace

std::wstring ChooseDataFolder() {
    const std::wstring program = ProgramFolder();
    gDataFolder = program;
    if (MayWriteIn(program)) return {};
    const std::wstring roaming = RoamingAppData();
    const std::wstring own = roaming + L"\\KESTO";
    const bool made = !roaming.empty() && CreateDirectoryW(FileApiPath(own).c_str(), nullptr);
    if (roaming.empty() || (!made && GetLastError() != ERROR_ALREADY_EXISTS) || !MayWriteIn(own))
        return L"KESTO cannot write to its own folder,\r\n" + program + L"\r\nnor to\r\n" + own +
               L"\r\nso it cannot save its settings (KESTO.ini) or its log of converter command lines "
               L"(kesto.log) this time.";
    gDataFolder = own;
    if (!made) return {};
    return L"KESTO cannot write to its own folder,\r\n" + program +
           L"\r\nso it keeps its settings (KESTO.ini) and its log of converter command lines (kesto.log) "
           L"in\r\n" +
           own;
}

std::wstring DataFolder() {
    return gDataFolder.empty() ? ProgramFolder() : gDataFolder;
}

std::string CurrentDirectory() {
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(size, L'\0');
    const DWORD length = GetCurrentDirectoryW(size, folder.data());
    folder.resize(length < size ? length : 0);
    return ToCodePage(folder);
}

namespace {
std::string BytesFrom(const std::wstring& wide, unsigned codePage) {
    const int length = static_cast<int>(wide.size());
    const int size =
        length ? WideCharToMultiByte(codePage, 0, wide.data(), length, nullptr, 0, nullptr, nullptr) : 0;
    std::string bytes(static_cast<size_t>(size), '\0');
    if (size > 0) WideCharToMultiByte(codePage, 0, wide.data(), length, bytes.data(), size, nullptr, nullptr);
    return bytes;
}
} // namespace

std::string ToCodePage(const std::wstring& text) {
    return BytesFrom(text, CP_ACP);
}

std::wstring WideFrom(const std::string& bytes, unsigned codePage) {
    const int length = static_cast<int>(bytes.size());
    const int size = length ? MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0) : 0;
    std::wstring wide(static_cast<size_t>(size), L'\0');
    if (size > 0) MultiByteToWideChar(codePage, 0, bytes.data(), length, wide.data(), size);
    return wide;
}

std::wstring FromCodePage(const std::string& text) {
    return WideFrom(text, CP_ACP);
}

std::wstring FileApiPath(const std::string& path) {
    return LongPathForm(FromCodePage(TrimBlanks(path)));
}

std::wstring FileApiPath(const std::wstring& path) {
    return LongPathForm(path);
}

std::string Utf8From(const std::wstring& wide) {
    return BytesFrom(wide, CP_UTF8);
}

std::string Utf8Of(const std::string& codePageText) {
    return Utf8From(FromCodePage(codePageText));
}

std::string SystemErrorText(unsigned long error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring words(text ? text : L"", length);
    if (text) LocalFree(text);
    while (!words.empty() && (words.back() == L'\r' || words.back() == L'\n' || words.back() == L' '))
        words.pop_back();
    return words.empty() ? "error " + std::to_string(error) : Utf8From(words);
}
