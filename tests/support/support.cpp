#include "tests/support/support.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <utility>

#include "tests/support/paths.h"

namespace test {

namespace {

LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
    return static_cast<LRESULT>(result);
}

BOOL CALLBACK CollectWindowOf(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->first) search->second.push_back(window);
    return TRUE;
}

DWORD WINAPI RunBackground(void* action) {
    (*static_cast<std::function<void()>*>(action))();
    return 0;
}

// The folders NewTempFolder made in this process, the only ones RemoveTree removes, each with
// whether what was left of it has been said (once: a caller may try again until a converter lets go).
SRWLOCK gMadeLock = SRWLOCK_INIT;
std::map<std::wstring, bool> gMade;

bool SameName(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.data(), int(a.size()), b.data(), int(b.size()), TRUE) == CSTR_EQUAL;
}

std::string Error(DWORD code) {
    return "error " + std::to_string(code);
}

// The entry itself, never what it links to.
HANDLE OpenItself(const std::wstring& path, DWORD access) {
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// Where the system says an open entry is, "volume:path"; for a link that Wine opens as its target
// (its view of a Unix symbolic link) that is the target. Empty when it cannot tell.
std::wstring WhereIs(HANDLE entry, DWORD* attributes) {
    BY_HANDLE_FILE_INFORMATION info{};
    std::vector<char> buffer(sizeof(FILE_NAME_INFO) + 32768 * sizeof(wchar_t)); // the longest path
    auto* name = reinterpret_cast<FILE_NAME_INFO*>(buffer.data());
    if (!GetFileInformationByHandle(entry, &info) ||
        !GetFileInformationByHandleEx(entry, FileNameInfo, name, DWORD(buffer.size())))
        return {};
    *attributes = info.dwFileAttributes;
    return std::to_wstring(info.dwVolumeSerialNumber) + L":" +
           std::wstring(name->FileName, name->FileNameLength / sizeof(wchar_t));
}

bool IsFolder(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The names and attributes in an open folder, read through its handle.
bool ListFolder(HANDLE folder, std::vector<std::pair<std::wstring, DWORD>>* items) {
    std::vector<LONGLONG> buffer(8192); // aligned as the records need
    for (auto kind = FileIdBothDirectoryRestartInfo;
         GetFileInformationByHandleEx(folder, kind, buffer.data(), DWORD(buffer.size() * sizeof(LONGLONG)));
         kind = FileIdBothDirectoryInfo) {
        for (auto* item = reinterpret_cast<const char*>(buffer.data());;) {
            const auto* record = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(item);
            const std::wstring name(record->FileName, record->FileNameLength / sizeof(wchar_t));
            if (name != L"." && name != L"..") items->emplace_back(name, record->FileAttributes);
            if (!record->NextEntryOffset) break;
            item += record->NextEntryOffset;
        }
    }
    return GetLastError() == ERROR_NO_MORE_FILES;
}

// Removes the entry at `path` (a \\?\ path), which must open where `expected` says: what is in a
// folder first, then the folder, each through a handle on the entry itself. A link is removed
// without looking inside; what cannot be removed safely is left and said in `left`.
bool Remove(const std::wstring& path, const std::wstring& expected, bool folder,
            std::vector<std::string>& left) {
    HANDLE entry = OpenItself(path, DELETE | FILE_READ_ATTRIBUTES | (folder ? FILE_LIST_DIRECTORY : 0));
    if (entry == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return true;
        left.push_back(Utf8(path) + ": cannot be opened (" + Error(error) + ")");
        return false;
    }
    DWORD attributes = 0;
    const std::wstring where = WhereIs(entry, &attributes);
    std::vector<std::pair<std::wstring, DWORD>> items;
    std::string problem;
    if (where.empty() || !SameName(where, expected))
        problem = "opens as " + Utf8(where) + " (a link, whose removal would remove that), kept";
    else if (folder != IsFolder(attributes))
        problem = "changed while being removed";
    else if (folder && !ListFolder(entry, &items))
        problem = "cannot be listed (" + Error(GetLastError()) + ")";
    bool emptied = problem.empty();
    for (const auto& [name, itemAttributes] : items)
        emptied &= Remove(path + L"\\" + name, where + L"\\" + name, IsFolder(itemAttributes), left);
    if (emptied) {
        FILE_DISPOSITION_INFO dispose{TRUE};
        if (!SetFileInformationByHandle(entry, FileDispositionInfo, &dispose, sizeof dispose))
            problem = "cannot be removed (" + Error(GetLastError()) + ")";
    }
    CloseHandle(entry);
    if (!problem.empty()) left.push_back(Utf8(path) + ": " + problem);
    return emptied && problem.empty();
}

std::string RunBuildConverter(const std::wstring& arguments) {
    return OutputOfCommand(L"\"" + BuildProgramFolder() + L"\\PLUG-IN\\ffmpeg_III.exe\" -hide_banner " +
                           arguments);
}

} // namespace

bool WaitUntil(const std::function<bool()>& ready, DWORD timeoutMs) {
    for (const ULONGLONG deadline = GetTickCount64() + timeoutMs;; Sleep(15)) {
        if (ready()) return true;
        if (GetTickCount64() >= deadline) return false;
    }
}

std::string Utf8(const std::wstring& text) {
    std::string result(text.size() * 4, '\0');
    result.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                                      static_cast<int>(result.size()), nullptr, nullptr));
    return result;
}

std::wstring BuildProgramFolder() {
    return KESTO_BUILD_PROGRAM_DIR;
}
std::wstring FakeConverterPath() {
    return KESTO_FAKE_CONVERTER;
}
std::wstring FixturePath(const std::wstring& name) {
    return std::wstring(KESTO_FIXTURES_DIR) + L"\\" + name;
}

std::wstring NewTempFolder(const std::wstring& nameHint) {
    static LONG counter = 0;
    if (nameHint.find_first_of(L"\\/") != std::wstring::npos) return {};
    std::wstring temp(GetTempPathW(0, nullptr), L'\0');
    temp.resize(GetTempPathW(static_cast<DWORD>(temp.size()), temp.data()));
    if (temp.empty()) return {};
    if (temp.back() != L'\\') temp += L'\\';
    for (;;) {
        std::wstring folder = temp + nameHint + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(InterlockedIncrement(&counter));
        if (CreateDirectoryW(folder.c_str(), nullptr)) {
            AcquireSRWLockExclusive(&gMadeLock);
            gMade[folder] = false;
            ReleaseSRWLockExclusive(&gMadeLock);
            return folder;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
    }
}

bool RemoveTree(const std::wstring& folder) {
    AcquireSRWLockShared(&gMadeLock);
    const bool ours = gMade.count(folder) > 0;
    ReleaseSRWLockShared(&gMadeLock);
    if (!ours) {
        std::fprintf(stderr,
                     "RemoveTree refused \"%s\": not a folder that NewTempFolder made in this process; "
                     "nothing was deleted\n",
                     Utf8(folder).c_str());
        return false;
    }
    // The folder is checked against the temp folder it was made in, as everything in it is
    // checked against its own folder.
    const std::wstring path = L"\\\\?\\" + folder;
    const size_t leaf = folder.rfind(L'\\');
    std::vector<std::string> left;
    DWORD attributes = 0;
    HANDLE temp = OpenItself(path.substr(0, leaf + 4) + (leaf == 2 ? L"\\" : L""), FILE_READ_ATTRIBUTES);
    std::wstring expected = temp == INVALID_HANDLE_VALUE ? L"" : WhereIs(temp, &attributes);
    if (temp != INVALID_HANDLE_VALUE) CloseHandle(temp);
    if (expected.empty()) {
        left.push_back(Utf8(folder) + ": the temp folder it is in cannot be opened");
    } else {
        if (expected.back() != L'\\') expected += L'\\';
        Remove(path, expected + folder.substr(leaf + 1), true, left);
    }
    AcquireSRWLockExclusive(&gMadeLock);
    const bool told = std::exchange(gMade[folder], !left.empty());
    ReleaseSRWLockExclusive(&gMadeLock);
    if (!told)
        for (const std::string& line : left)
            std::fprintf(stderr, "RemoveTree left %s\n", line.c_str());
    return left.empty();
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

std::string ReadBytes(const std::wstring& path) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> NamesMatching(const std::wstring& pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
        if (wcscmp(found.cFileName, L".") && wcscmp(found.cFileName, L"..")) names.push_back(found.cFileName);
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<HWND> TopWindowsOf(DWORD processId) {
    std::pair<DWORD, std::vector<HWND>> search{processId, {}};
    EnumWindows(CollectWindowOf, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

HWND WaitForWindow(DWORD processId, const std::string& caption, DWORD timeoutMs,
                   const std::function<bool(HWND)>& kind) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopWindowsOf(processId))
                if (IsWindowVisible(window) && TextOf(window) == caption && (!kind || kind(window)))
                    found = window;
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

std::string TextOf(HWND window) {
    std::wstring text(static_cast<size_t>(Ask(window, WM_GETTEXTLENGTH)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(Ask(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return Utf8(text);
}

bool WaitForBox(DWORD processId, const std::string& caption, Box* seen, DWORD timeoutMs) {
    // A message box has its text label; a dialog window with the same caption does not.
    HWND box =
        WaitForWindow(processId, caption, timeoutMs, [](HWND window) { return GetDlgItem(window, 0xFFFF); });
    if (box && seen) *seen = {box, TextOf(GetDlgItem(box, 0xFFFF))};
    return box != nullptr;
}

void Answer(HWND box, int buttonId) {
    PostMessageW(GetDlgItem(box, buttonId), BM_CLICK, 0, 0);
    WaitUntil([&] { return !IsWindow(box); }, 5000);
}

HWND WaitForFileDialog(DWORD processId, const std::string& title, DWORD timeoutMs) {
    return WaitForWindow(processId, title, timeoutMs, [](HWND window) {
        return FindWindowExW(window, nullptr, L"SHELLDLL_DefView", nullptr);
    });
}

void ChooseInDialog(HWND dialog, const std::wstring& name) {
    // The file name box: a combo box (inside an extended one on some systems) around an edit field.
    HWND box = GetDlgItem(dialog, 0x47C);
    if (HWND inner = FindWindowExW(box, nullptr, L"ComboBox", nullptr)) box = inner;
    HWND edit = FindWindowExW(box, nullptr, L"Edit", nullptr);
    Ask(edit ? edit : box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

std::string OutputOfCommand(const std::wstring& commandLine, DWORD timeoutMs, DWORD* exitCode) {
    // Into a file rather than a pipe: a process that outlasts the time-out can be ended and read.
    const std::wstring folder = NewTempFolder(L"output"), path = folder + L"\\output.txt";
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = file;
    std::wstring line = commandLine;
    PROCESS_INFORMATION child{};
    if (exitCode) *exitCode = DWORD(-1);
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                       &startup, &child)) {
        if (WaitForSingleObject(child.hProcess, timeoutMs) == WAIT_TIMEOUT)
            TerminateProcess(child.hProcess, DWORD(-1));
        WaitForSingleObject(child.hProcess, INFINITE);
        if (exitCode) GetExitCodeProcess(child.hProcess, exitCode);
        CloseHandle(child.hProcess);
        CloseHandle(child.hThread);
    }
    CloseHandle(file);
    const std::string output = ReadBytes(path);
    RemoveTree(folder);
    return output;
}

bool MakeClip(const std::wstring& path, int seconds, const std::wstring& size) {
    const std::wstring length = std::to_wstring(seconds);
    RunBuildConverter(L"-f lavfi -i testsrc=duration=" + length + L":size=" + size +
                      L":rate=25 -f lavfi -i sine=duration=" + length +
                      L" -c:v libx264 -preset ultrafast -c:a aac -shortest -y \"" + path + L"\"");
    return FileExists(path);
}

std::string Probe(const std::wstring& path) {
    return RunBuildConverter(L"-i \"" + path + L"\"");
}

Background::Background(std::function<void()> action) : action_(std::move(action)) {
    thread_ = CreateThread(nullptr, 0, RunBackground, &action_, 0, nullptr);
}

void Background::Join() {
    if (!thread_) return;
    WaitForSingleObject(thread_, 60000);
    CloseHandle(thread_);
    thread_ = nullptr;
}

} // namespace test
