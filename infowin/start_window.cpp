#include "base/globals.h"
#include "infowin/info_ids.h"
#include "infowin/info_windows.h"
#include "infowin/links.h"
#include "toolkit/toolkit.h"

INT_PTR StartWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_SETCURSOR: return ShowLinkCursorOver(window, wParam, {ID_START_WEB_ADDRESS, ID_START});
    case WM_SYSCOMMAND:
        if (IsCloseCommand(wParam)) EndWin(window, 0);
        return 0;
    case WM_COMMAND:
        if (!IsLinkClick(HIWORD(wParam))) return 0;
        // Enter where no button is the default arrives as IDOK: on the address it opens it,
        // elsewhere it presses Start. Escape (IDCANCEL) leaves as Start does.
        if (LOWORD(wParam) == IDOK)
            wParam = GetFocus() == GetDlgItem(window, ID_START_WEB_ADDRESS) ? ID_START_WEB_ADDRESS : ID_START;
        if (LOWORD(wParam) == ID_START_WEB_ADDRESS) AskShell(WebAddressRequest(kMakerWebAddress));
        if (LOWORD(wParam) == ID_START || LOWORD(wParam) == IDCANCEL) EndWin(window, 0);
        return 0;
    default: return 0;
    }
}

void ShowStartWindow() {
    HWND window = CreateWin(nullptr, kStartCaption, kCentre, kCentre, 437, 120,
                            WS_CAPTION | WS_SYSMENU | DS_CENTER, 0, Units::Dialog);
    SetWindowIcon(window, L"VIDEO");
    SetWindowColours(window, kSystemColour, RGB(255, 255, 255));
    HFONT titleFont = NewFont("Times New Roman", 12, true, true);
    AddControl(window, ControlKind::Picture, -1, "TITLE", 5, 5, 0, 0);
    AddControl(window, ControlKind::Label, ID_START_INVITATION, kStartInvitation, 15, 102, 120, 12, SS_LEFT);
    AddControl(window, ControlKind::Label, ID_START_WEB_ADDRESS, kMakerWebAddress, 138, 102, 200, 12,
               SS_LEFT | SS_NOTIFY);
    AddControl(window, ControlKind::PushButton, ID_START, kStartButton, 360, 102, 70, 14,
               BS_PUSHBUTTON | BS_FLAT);
    SetColours(window, ID_START_WEB_ADDRESS, RGB(0, 0, 255), kTransparent);
    SetColours(window, ID_START_INVITATION, RGB(0, 0, 0), kTransparent);
    for (int id : {ID_START_WEB_ADDRESS, ID_START_INVITATION, ID_START})
        AssignFont(window, id, titleFont);
    // Start has the first focus, so that Enter leaves the window; Tab reaches the address too.
    SetWindowLongW(GetDlgItem(window, ID_START), GWL_STYLE,
                   GetWindowLongW(GetDlgItem(window, ID_START), GWL_STYLE) | WS_TABSTOP);
    MakeLinkReachable(window, ID_START_WEB_ADDRESS);
    SetWindowPos(GetDlgItem(window, ID_START), HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RunModal(window, StartWindowProc);
    ReleaseFont(titleFont);
}
