#include "tests/support/program.h"

#include "tests/support/support.h"

namespace test {

Program::Program(const std::wstring& folder, const std::wstring& arguments) {
    const std::wstring exe = folder + L"\\KESTO.exe";
    std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    // Started from another folder, as from a shortcut: the program must find its files itself.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    if (CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, temp, &startup,
                       &started)) {
        CloseHandle(started.hThread);
        process_ = started.hProcess;
        processId_ = started.dwProcessId;
    }
}

Program::~Program() {
    if (process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
    if (process_) CloseHandle(process_);
}

HWND Program::WaitForMainWindow() const {
    HWND start = WaitForWindow(processId_, "Tarvelle Video Converter. ");
    if (start) PostMessageW(GetDlgItem(start, 2005), BM_CLICK, 0, 0);
    HWND main = nullptr;
    WaitUntil([&] {
        for (HWND window : TopWindowsOf(processId_))
            if (IsWindowVisible(window) && TextOf(window).rfind("Tarvelle Video Converter.   ", 0) == 0)
                main = window;
        return main != nullptr;
    });
    return main;
}

bool Program::WaitForExit(DWORD* exitCode, DWORD timeoutMs) const {
    if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return false;
    if (exitCode) GetExitCodeProcess(process_, exitCode);
    return true;
}

} // namespace test
