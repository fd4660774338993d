// Process start and end around WinMain: COM and the common controls live for the whole run.
#include <windows.h>

#include <commctrl.h>

#include "base/text.h"

int main() {
    CoInitialize(nullptr);
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    static std::string arguments(ArgumentsAfterProgramName(GetCommandLineA()));
    const int result = WinMain(GetModuleHandleW(nullptr), nullptr, arguments.data(), show);
    CoUninitialize();
    ExitProcess(static_cast<UINT>(result));
}
