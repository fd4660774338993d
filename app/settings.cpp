#include "app/settings.h"

#include <windows.h>

#include "app/globals.h"
#include "app/program_folder.h"
#include "app/settings_text.h"
#include "app/whole_file.h"

namespace {

bool gStoredSettingsUnread = false;

// Far beyond any settings file the program writes; a larger file reads as one that cannot be read
// rather than exhausting the memory of a 32-bit process.
constexpr size_t kLargestSettingsFile = 64 * 1024 * 1024;

std::wstring SettingsPath() {
    return ProgramFolder() + L"\\KESTO.ini";
}

std::string CurrentDirectory() {
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(size, L'\0');
    const DWORD length = GetCurrentDirectoryW(size, folder.data());
    folder.resize(length < size ? length : 0);
    return ToCodePage(folder);
}

// The code page that ANSI programs use on this system, even while this process works in UTF-8.
// (Wine 8 refuses LOCALE_NAME_SYSTEM_DEFAULT in GetLocaleInfoEx; the LCID form works on both.)
unsigned LegacyAnsiCodePage() {
    DWORD codePage = 0;
    const int got = GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                                   reinterpret_cast<LPWSTR>(&codePage), sizeof codePage / sizeof(wchar_t));
    return got ? codePage : 0;
}

std::wstring WideFrom(const std::string& bytes, unsigned codePage) {
    const int length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    if (size > 0) MultiByteToWideChar(codePage, 0, bytes.data(), length, wide.data(), size);
    return wide;
}

// Files written before the program worked in UTF-8 hold the legacy code page's bytes.
std::string InProcessCodePage(std::string bytes) {
    const unsigned legacy = LegacyAnsiCodePage();
    if (!IsLegacyCodePageText(bytes, GetACP(), legacy)) return bytes;
    const std::wstring wide = WideFrom(bytes, legacy);
    return wide.empty() ? bytes : ToCodePage(wide);
}

} // namespace

void LoadSettings() {
    const std::string currentFolder = CurrentDirectory();
    sInputDir = currentFolder;
    sOutputDir = currentFolder;
    const std::wstring path = SettingsPath();
    gStoredSettingsUnread = false;
    if (!IsRegularFile(path)) return;
    const std::optional<std::string> bytes = ReadWholeFileAlone(path, kLargestSettingsFile);
    gStoredSettingsUnread = !bytes;
    const StoredSettings stored = ParseSettingsText(InProcessCodePage(bytes.value_or("")), currentFolder);
    sInputDir = stored.inputDir;
    sOutputDir = stored.outputDir;
    nMode = stored.mode;
    sCustomParams = stored.customParams;
}

void SaveSettings() {
    // Settings that could not be read (held open by another program) are not replaced by defaults.
    if (gStoredSettingsUnread) return;
    ReplaceWholeFile(SettingsPath(), FormatSettingsText({sInputDir, sOutputDir, nMode, sCustomParams}));
}
