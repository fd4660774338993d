#include "tests/support/support.h"

#include <shellapi.h>

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
    static unsigned counter = 0;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    for (;;) {
        std::wstring folder = std::wstring(temp) + nameHint + L"-" + std::to_wstring(GetCurrentProcessId()) +
                              L"-" + std::to_wstring(++counter);
        if (CreateDirectoryW(folder.c_str(), nullptr)) return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
    }
}

void RemoveTree(const std::wstring& folder) {
    std::wstring from = folder + L'\0'; // a list of names, ended by an empty one
    SHFILEOPSTRUCTW remove{};
    remove.wFunc = FO_DELETE;
    remove.pFrom = from.c_str();
    remove.fFlags = FOF_NO_UI;
    if (!folder.empty()) SHFileOperationW(&remove);
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

std::string OutputOfCommand(const std::wstring& commandLine, DWORD timeoutMs) {
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
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                       &startup, &child)) {
        if (WaitForSingleObject(child.hProcess, timeoutMs) == WAIT_TIMEOUT)
            TerminateProcess(child.hProcess, 1);
        WaitForSingleObject(child.hProcess, INFINITE);
        CloseHandle(child.hProcess);
        CloseHandle(child.hThread);
    }
    CloseHandle(file);
    const std::string output = ReadBytes(path);
    RemoveTree(folder);
    return output;
}

std::string RunBuildConverter(const std::wstring& arguments) {
    return OutputOfCommand(L"\"" + BuildProgramFolder() + L"\\PLUG-IN\\ffmpeg_III.exe\" -hide_banner " +
                           arguments);
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
