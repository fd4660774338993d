#include "infowin/links.h"

#include <shellapi.h>

#include "base/globals.h"

void AskShell(const ShellRequest& request) {
    ShellExecuteA(nullptr, request.verb.empty() ? nullptr : request.verb.c_str(), request.file.c_str(),
                  nullptr, nullptr, SW_SHOWNORMAL);
}

INT_PTR ShowLinkCursorOver(HWND window, WPARAM pointed, std::initializer_list<int> ids) {
    const auto under = reinterpret_cast<HWND>(pointed);
    for (int id : ids)
        if (under && under == GetDlgItem(window, id)) {
            SetCursor(hLinkCursor);
            return 1;
        }
    return 0;
}

bool IsCloseCommand(WPARAM sysCommand) {
    // The low four bits of a system command are the system's own.
    return (sysCommand & 0xFFF0) == SC_CLOSE;
}
