#include "infowin/links.h"

#include <shellapi.h>

void AskShell(const ShellRequest& request) {
    ShellExecuteA(nullptr, request.verb.empty() ? nullptr : request.verb.c_str(), request.file.c_str(),
                  nullptr, nullptr, SW_SHOWNORMAL);
}

bool PointsAtOneOf(HWND window, HWND pointed, std::initializer_list<int> ids) {
    for (int id : ids)
        if (pointed && pointed == GetDlgItem(window, id)) return true;
    return false;
}

bool IsCloseCommand(WPARAM sysCommand) {
    // The low four bits of a system command are the system's own.
    return (sysCommand & 0xFFF0) == SC_CLOSE;
}
