#include "tools/driver/run_steps.h"

#include <tlhelp32.h>

#include <cwchar>
#include <utility>

namespace driver {

namespace {

bool OwnedBy(HWND window, DWORD processId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return owner == processId;
}

// GetWindowTextW reads another process's window text from the window server; it sends
// that process no WM_GETTEXT.
std::wstring ServerTextOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

HWND FindVisibleDialog(DWORD processId, const std::wstring& caption, bool withShellView) {
    for (HWND dialog = FindWindowExW(nullptr, nullptr, L"#32770", caption.c_str()); dialog;
         dialog = FindWindowExW(nullptr, dialog, L"#32770", caption.c_str())) {
        if (!OwnedBy(dialog, processId) || !IsWindowVisible(dialog)) continue;
        const bool hasShellView = FindWindowExW(dialog, nullptr, L"SHELLDLL_DefView", nullptr) != nullptr;
        if (hasShellView == withShellView) return dialog;
    }
    return nullptr;
}

} // namespace

HANDLE WaitForChildProcess(DWORD parentId, const std::wstring& exeName, DWORD timeoutMs, DWORD skipId,
                           DWORD* foundId) {
    HANDLE child = nullptr;
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!child && GetTickCount64() < deadline) {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32FirstW(snapshot, &entry); more && !child;
             more = Process32NextW(snapshot, &entry)) {
            if (entry.th32ParentProcessID != parentId || entry.th32ProcessID == skipId ||
                _wcsicmp(entry.szExeFile, exeName.c_str()) != 0)
                continue;
            child = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
            if (child && WaitForSingleObject(child, 0) == WAIT_OBJECT_0)
                CloseHandle(std::exchange(child, nullptr));
            if (child && foundId) *foundId = entry.th32ProcessID;
        }
        CloseHandle(snapshot);
        if (!child) Sleep(1);
    }
    return child;
}

HWND WaitForMessageBoxQuietly(DWORD processId, const std::wstring& caption, DWORD pollMs, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (HWND box = FindVisibleDialog(processId, caption, false)) return box;
        if (GetTickCount64() >= deadline) return nullptr;
        Sleep(pollMs);
    }
}

std::wstring MessageBoxTextQuietly(HWND box) {
    return ServerTextOf(GetDlgItem(box, 0xFFFF));
}

} // namespace driver
