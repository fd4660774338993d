#include "base/settings.h"

#include <windows.h>

#include "base/globals.h"
#include "base/program_folder.h"
#include "base/settings_text.h"
#include "base/whole_file.h"

namespace {

bool gStoredSettingsUnread = false;
bool gKeepCopyBeforeSaving = false; // a file with text in it, but none of it settings
std::wstring gReadFrom;             // the file the settings were read from

// Far beyond any settings file the program writes; a larger file reads as one that cannot be read
// rather than exhausting the memory of a 32-bit process.
constexpr size_t kLargestSettingsFile = 64 * 1024 * 1024;

std::wstring SettingsPath() {
    return DataFolder() + L"\\KESTO.ini";
}

// Kept elsewhere than beside the program, the settings start from those beside it until they
// have been saved there once.
std::wstring SettingsToRead() {
    const std::wstring path = SettingsPath();
    const std::wstring besideProgram = ProgramFolder() + L"\\KESTO.ini";
    return IsRegularFile(path) ? path : besideProgram;
}

// The code page that ANSI programs use on this system, even while this process works in UTF-8.
// (Wine 8 refuses LOCALE_NAME_SYSTEM_DEFAULT in GetLocaleInfoEx; the LCID form works on both.)
unsigned LegacyAnsiCodePage() {
    DWORD codePage = 0;
    const int got = GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                                   reinterpret_cast<LPWSTR>(&codePage), sizeof codePage / sizeof(wchar_t));
    return got ? codePage : 0;
}

// Files written before the program worked in UTF-8 hold the legacy code page's bytes.
std::string InProcessCodePage(std::string bytes) {
    const unsigned legacy = LegacyAnsiCodePage();
    if (!IsLegacyCodePageText(bytes, GetACP(), legacy)) return bytes;
    const std::wstring wide = WideFrom(bytes, legacy);
    return wide.empty() ? bytes : ToCodePage(wide);
}

// The file's text in the process code page, whichever way an editor saved it.
std::string SettingsTextOf(const std::string& bytes) {
    switch (FormOf(bytes)) {
    case TextForm::Utf8WithMark: return ToCodePage(WideFrom(bytes.substr(3), CP_UTF8));
    case TextForm::Utf16Le:
    case TextForm::Utf16Be: {
        const std::u16string units = Utf16UnitsAfterMark(bytes, FormOf(bytes) == TextForm::Utf16Be);
        return ToCodePage(std::wstring(units.begin(), units.end()));
    }
    case TextForm::Plain: break;
    }
    return InProcessCodePage(bytes);
}

} // namespace

void LoadSettings() {
    const std::string currentFolder = CurrentDirectory();
    sInputDir = currentFolder;
    sOutputDir = currentFolder;
    const std::wstring path = gReadFrom = SettingsToRead();
    gStoredSettingsUnread = gKeepCopyBeforeSaving = false;
    if (!IsRegularFile(path)) return;
    const std::optional<std::string> bytes = ReadWholeFileAlone(path, kLargestSettingsFile);
    gStoredSettingsUnread = !bytes;
    const StoredSettings stored = ParseSettingsText(SettingsTextOf(bytes.value_or("")), currentFolder);
    gKeepCopyBeforeSaving = bytes && !bytes->empty() && !stored.anyTagRead;
    sInputDir = stored.inputDir;
    sOutputDir = stored.outputDir;
    nMode = stored.mode;
    sCustomParams = stored.customParams;
}

void SaveSettings() {
    const std::wstring path = SettingsPath();
    const bool replacesWhatWasRead = path == gReadFrom;
    // Settings that could not be read (held open by another program) are not replaced by defaults.
    if (gStoredSettingsUnread && replacesWhatWasRead) return;
    // A file in which nothing could be read may still be the user's work: it is kept beside.
    if (gKeepCopyBeforeSaving && replacesWhatWasRead &&
        !CopyFileW(FileApiPath(path).c_str(), FileApiPath(path + L".bak").c_str(), FALSE))
        return;
    ReplaceWholeFile(path, FormatSettingsText({sInputDir, sOutputDir, nMode, sCustomParams}));
}
