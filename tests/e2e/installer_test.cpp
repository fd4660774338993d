// The per-user installer (made from the release archive by scripts/build-installer.sh) on a
// machine where KESTO was never installed: a silent install puts the archive's files, the
// shortcuts and the "Open with" and Apps & features entries in place; the installed program opens
// a video named on its command line and keeps its settings beside itself; the silent uninstall
// that Apps & features names takes all of it away but the user's settings. While a copy of KESTO
// runs, neither the installer nor the uninstaller changes anything. installer_test.sh
// builds the installer, makes the fresh Wine prefix and names the installer (KESTO_SETUP) and the
// archive's files (KESTO_RELEASE_FILES).
#include <gtest/gtest.h>

#include <shlobj.h>

#include <sstream>

#include "files/file_choice.h"
#include "mainwin/main_ids.h"
#include "tests/support/program.h"
#include "tests/support/support.h"

using namespace test;

namespace {

const std::wstring kUninstall = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KESTO";
const std::wstring kApplication = L"Software\\Classes\\Applications\\KESTO.exe";
const std::wstring kProgId = L"Software\\Classes\\KESTO.Video";
// The extensions of the open dialog's "All video files" (".avi", ...), as the program lists them.
std::vector<std::wstring> DialogTypes() {
    const std::string list = InputFilterList(); // "All video files\0*.avi;*.asf;...\0..."
    std::istringstream patterns(list.substr(list.find('\0') + 1).c_str());
    std::vector<std::wstring> types;
    for (std::string pattern; std::getline(patterns, pattern, ';');)
        types.push_back(std::wstring(pattern.begin() + 1, pattern.end()));
    return types;
}

std::wstring Environment(const wchar_t* name) {
    const wchar_t* value = _wgetenv(name);
    return value ? value : L"";
}

std::wstring ShellFolder(int id) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

// A value of HKEY_CURRENT_USER as text (a number in decimals), or "(none)".
std::wstring Value(const std::wstring& key, const wchar_t* name = nullptr) {
    std::wstring data(1024, L'\0');
    DWORD type = 0, size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_ANY, &type, data.data(), &size))
        return L"(none)";
    return type == REG_DWORD ? std::to_wstring(*reinterpret_cast<DWORD*>(data.data())) : data.c_str();
}

bool HasKey(const std::wstring& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &opened)) return false;
    RegCloseKey(opened);
    return true;
}

FILETIME LastWritten(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

} // namespace

TEST(Installer, SilentInstallOpenWithAndSilentUninstallKeepingTheSettingsButNeitherWhileItRuns) {
    const std::wstring setup = Environment(L"KESTO_SETUP");
    ASSERT_TRUE(FileExists(setup)) << "KESTO_SETUP: " << Utf8(setup);
    const std::wstring folder = ShellFolder(CSIDL_LOCAL_APPDATA) + L"\\Programs\\KESTO";
    const std::wstring exe = folder + L"\\KESTO.exe", quiet = L"\"" + folder + L"\\uninstall.exe\" /S";
    const std::wstring shortcuts[] = {ShellFolder(CSIDL_PROGRAMS) + L"\\KESTO Video Converter.lnk",
                                      ShellFolder(CSIDL_SENDTO) + L"\\KESTO Video Converter.lnk"};
    // The archive's files, the shortcuts and the entries are all in place.
    const auto expectInstalled = [&] {
        std::istringstream files(ReadBytes(Environment(L"KESTO_RELEASE_FILES")));
        for (std::string name; std::getline(files, name);) // the archive's files; UTF-8 is the code page
            EXPECT_NE(GetFileAttributesA((Utf8(folder) + "\\" + name).c_str()), INVALID_FILE_ATTRIBUTES)
                << name;
        EXPECT_TRUE(FileExists(exe) && FileExists(folder + L"\\uninstall.exe"));
        for (const std::wstring& shortcut : shortcuts)
            EXPECT_TRUE(FileExists(shortcut)) << Utf8(shortcut);
        EXPECT_EQ(Value(kUninstall, L"QuietUninstallString"), quiet);
        for (const std::wstring& key : {kApplication, kProgId}) {
            EXPECT_EQ(Value(key + L"\\shell\\open\\command"), L"\"" + exe + L"\" \"%1\"");
            EXPECT_EQ(Value(key + L"\\shell\\open", L"MultiSelectModel"), L"Player");
        }
        for (const std::wstring& extension : DialogTypes()) {
            const std::wstring key = L"Software\\Classes\\" + extension;
            EXPECT_EQ(Value(kApplication + L"\\SupportedTypes", extension.c_str()), L"") << Utf8(extension);
            EXPECT_EQ(Value(key + L"\\OpenWithList\\KESTO.exe"), L"") << Utf8(extension);
            EXPECT_EQ(Value(key + L"\\OpenWithProgids", L"KESTO.Video"), L"") << Utf8(extension);
            EXPECT_EQ(Value(key), L"(none)") << Utf8(extension) << ": its default program stays as it was";
        }
    };
    OutputOfCommand(L"\"" + setup + L"\" /S");
    expectInstalled();

    // Opened as "Open with" opens it; closed with its close box, it saves its settings.
    const std::wstring media = NewTempFolder(L"installer"), clip = media + L"\\clip été.mp4";
    ASSERT_TRUE(MakeClip(clip, 1));
    {
        Program program(folder, L"\"" + clip + L"\"");
        HWND window = program.WaitForMainWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(WaitUntil([&] { return TextOf(GetDlgItem(window, ID_INPUT_PATH)) == Utf8(clip); }))
            << TextOf(GetDlgItem(window, ID_INPUT_PATH));
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(program.WaitForExit());
    }
    RemoveTree(media);
    ASSERT_TRUE(FileExists(folder + L"\\KESTO.ini"));

    // While a copy of KESTO runs (it holds this mutex from its start to its end), a silent
    // upgrade and a silent uninstall fail and change nothing. The uninstaller runs in place, as
    // the installer runs it, so that its exit code is its own.
    {
        HANDLE running = CreateMutexW(nullptr, FALSE, L"KESTO Video Converter running");
        ASSERT_NE(running, nullptr);
        const FILETIME before = LastWritten(folder + L"\\uninstall.exe"); // an install writes it anew
        for (const std::wstring& line : {L"\"" + setup + L"\" /S", quiet + L" _?=" + folder}) {
            DWORD exitCode = 0;
            OutputOfCommand(line, 120000, &exitCode);
            EXPECT_EQ(exitCode, 2u) << Utf8(line);
        }
        CloseHandle(running);
        expectInstalled();
        EXPECT_TRUE(FileExists(folder + L"\\KESTO.ini"));
        const FILETIME after = LastWritten(folder + L"\\uninstall.exe");
        EXPECT_EQ(CompareFileTime(&before, &after), 0) << "the installer wrote its uninstaller";
    }

    // Once it has ended: the uninstaller hands over to a copy of itself and returns; its last step
    // removes its entry.
    OutputOfCommand(Value(kUninstall, L"QuietUninstallString"));
    ASSERT_TRUE(WaitUntil([&] { return !HasKey(kUninstall); }, 120000));
    // Nothing of ours is left but the user's settings (and log), which a silent uninstall keeps.
    for (const std::wstring& name : NamesMatching(folder + L"\\*"))
        EXPECT_TRUE(name == L"KESTO.ini" || name == L"KESTO.ini.bak" || name == L"kesto.log") << Utf8(name);
    EXPECT_TRUE(FileExists(folder + L"\\KESTO.ini"));
    for (const std::wstring& shortcut : shortcuts)
        EXPECT_FALSE(FileExists(shortcut)) << Utf8(shortcut);
    EXPECT_FALSE(HasKey(kApplication) || HasKey(kProgId));
    for (const std::wstring& extension : DialogTypes())
        EXPECT_FALSE(HasKey(L"Software\\Classes\\" + extension)) << Utf8(extension);
}
