// The per-user installer (made from the release archive by scripts/build-installer.sh) on a
// machine where KESTO was never installed: a silent install puts the archive's files, the
// shortcuts and the "Open with" and Apps & features entries in place; the installed program opens
// a video named on its command line and keeps its settings beside itself; the silent uninstall
// that Apps & features names takes all of it away but the user's settings. installer_test.sh
// builds the installer, makes the fresh Wine prefix and names the installer (KESTO_SETUP) and the
// archive's files (KESTO_RELEASE_FILES).
#include <gtest/gtest.h>

#include <shlobj.h>

#include <sstream>

#include "mainwin/main_ids.h"
#include "tests/support/program.h"
#include "tests/support/support.h"

using namespace test;

namespace {

const std::wstring kUninstall = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KESTO";
const std::wstring kApplication = L"Software\\Classes\\Applications\\KESTO.exe";
const std::wstring kProgId = L"Software\\Classes\\KESTO.Video";
const wchar_t* const kTypes[] = {L"avi", L"asf", L"mpg", L"mpeg", L"mov", L"qt",  L"mkv", L"m2ts",
                                 L"mts", L"ts",  L"m2t", L"tod",  L"mp4", L"flv", L"f4v", L"m4v"};

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

std::vector<std::wstring> NamesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
        if (wcscmp(found.cFileName, L".") && wcscmp(found.cFileName, L"..")) names.push_back(found.cFileName);
    FindClose(search);
    return names;
}

} // namespace

TEST(Installer, SilentInstallOpenWithTheInstalledProgramAndSilentUninstallKeepingTheSettings) {
    const std::wstring setup = Environment(L"KESTO_SETUP");
    ASSERT_TRUE(FileExists(setup)) << "KESTO_SETUP: " << Utf8(setup);
    const std::wstring folder = ShellFolder(CSIDL_LOCAL_APPDATA) + L"\\Programs\\KESTO";
    const std::wstring exe = folder + L"\\KESTO.exe", uninstaller = L"\"" + folder + L"\\uninstall.exe\"";
    const std::wstring shortcuts[] = {ShellFolder(CSIDL_PROGRAMS) + L"\\KESTO Video Converter.lnk",
                                      ShellFolder(CSIDL_SENDTO) + L"\\KESTO Video Converter.lnk"};
    OutputOfCommand(L"\"" + setup + L"\" /S");

    std::istringstream files(ReadBytes(Environment(L"KESTO_RELEASE_FILES")));
    for (std::string name; std::getline(files, name);) // the archive's files; UTF-8 is the code page
        EXPECT_NE(GetFileAttributesA((Utf8(folder) + "\\" + name).c_str()), INVALID_FILE_ATTRIBUTES) << name;
    EXPECT_TRUE(FileExists(exe) && FileExists(folder + L"\\PLUG-IN\\ffmpeg_III.exe"));
    for (const std::wstring& shortcut : shortcuts)
        EXPECT_TRUE(FileExists(shortcut)) << Utf8(shortcut);
    const std::wstring quiet = uninstaller + L" /S";
    for (const auto& [name, value] : {std::pair{L"DisplayName", L"KESTO Video Converter"},
                                      {L"Publisher", L"Tarvelle"},
                                      {L"QuietUninstallString", quiet.c_str()}})
        EXPECT_EQ(Value(kUninstall, name), value) << Utf8(name);
    EXPECT_GT(_wtoi(Value(kUninstall, L"EstimatedSize").c_str()), 1000);
    EXPECT_EQ(Value(kApplication, L"FriendlyAppName"), L"KESTO Video Converter");
    for (const std::wstring& key : {kApplication, kProgId}) {
        EXPECT_EQ(Value(key + L"\\shell\\open\\command"), L"\"" + exe + L"\" \"%1\"");
        EXPECT_EQ(Value(key + L"\\shell\\open", L"MultiSelectModel"), L"Player");
    }
    for (const wchar_t* type : kTypes) {
        const std::wstring extension = std::wstring(L".") + type, key = L"Software\\Classes\\" + extension;
        EXPECT_EQ(Value(kApplication + L"\\SupportedTypes", extension.c_str()), L"") << Utf8(extension);
        EXPECT_EQ(Value(key + L"\\OpenWithList\\KESTO.exe"), L"") << Utf8(extension);
        EXPECT_EQ(Value(key + L"\\OpenWithProgids", L"KESTO.Video"), L"") << Utf8(extension);
        EXPECT_EQ(Value(key), L"(none)") << Utf8(extension) << ": its default program stays as it was";
    }

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

    // The uninstaller hands over to a copy of itself and returns; its last step removes its entry.
    OutputOfCommand(Value(kUninstall, L"QuietUninstallString"));
    ASSERT_TRUE(WaitUntil([&] { return !HasKey(kUninstall); }, 120000));
    // Nothing of ours is left but the user's settings (and log), which a silent uninstall keeps.
    for (const std::wstring& name : NamesIn(folder))
        EXPECT_TRUE(name == L"KESTO.ini" || name == L"KESTO.ini.bak" || name == L"kesto.log") << Utf8(name);
    EXPECT_TRUE(FileExists(folder + L"\\KESTO.ini"));
    for (const std::wstring& shortcut : shortcuts)
        EXPECT_FALSE(FileExists(shortcut)) << Utf8(shortcut);
    EXPECT_FALSE(HasKey(kApplication) || HasKey(kProgId));
    for (const wchar_t* type : kTypes)
        EXPECT_FALSE(HasKey(std::wstring(L"Software\\Classes\\.") + type)) << Utf8(type);
}
