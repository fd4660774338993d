#include "base/globals.h"
#include "infowin/info_ids.h"
#include "infowin/info_windows.h"
#include "infowin/links.h"
#include "toolkit/toolkit.h"

namespace {
constexpr COLORREF kAboutBlue = RGB(20, 50, 195);
constexpr COLORREF kLinkText = RGB(220, 210, 120), kLinkBack = RGB(0, 0, 127);
constexpr DWORD kLinkStyle = SS_CENTER | SS_NOTIFY | SS_SUNKEN;
} // namespace

INT_PTR AboutWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_SETCURSOR: return ShowLinkCursorOver(window, wParam, {ID_ABOUT_EMAIL, ID_ABOUT_WEB_ADDRESS});
    case WM_SYSCOMMAND:
        if (IsCloseCommand(wParam)) EndWin(window, 0);
        return 0;
    case WM_COMMAND:
        if (!IsLinkClick(HIWORD(wParam))) return 0;
        if (LOWORD(wParam) == ID_ABOUT_EMAIL) AskShell(EmailRequest(kMakerEmail));
        if (LOWORD(wParam) == ID_ABOUT_WEB_ADDRESS) AskShell(WebAddressRequest(kMakerWebAddress));
        if (LOWORD(wParam) == IDCANCEL) EndWin(window, 0); // Escape
        return 0;
    default: return 0;
    }
}

void ShowAboutWindow() {
    HWND window = CreateWin(hMainDlg, kAboutCaption, kCentre, kCentre, 210, 180,
                            WS_CAPTION | WS_SYSMENU | DS_CENTER, 0, Units::Dialog);
    AddControl(window, ControlKind::Label, ID_ABOUT_TITLE, AboutTitleText(), 35, 5, 140, 30, SS_CENTER);
    SetWindowColours(window, kSystemColour, kAboutBlue);
    SetColours(window, ID_ABOUT_TITLE, RGB(180, 170, 95), kAboutBlue);
    AddControl(window, ControlKind::Picture, -1, "PATENT", 5, 40, 0, 0);
    AddControl(window, ControlKind::Line, -1, "", 10, 35, 190, 2);
    AddControl(window, ControlKind::Label, ID_ABOUT_BUILD, kAboutBuild, 150, 39, 50, 10, SS_LEFT);
    SetColours(window, ID_ABOUT_BUILD, RGB(0, 0, 0), kTransparent);
    // The web address sits at the right edge and is clipped one unit beyond it.
    AddControl(window, ControlKind::Label, ID_ABOUT_WEB_ADDRESS, kMakerWebAddress, 141, 169, 70, 11,
               kLinkStyle);
    SetColours(window, ID_ABOUT_WEB_ADDRESS, kLinkText, kLinkBack);
    AddControl(window, ControlKind::Label, ID_ABOUT_EMAIL, kAboutEmailLabel, 0, 169, 70, 11, kLinkStyle);
    SetColours(window, ID_ABOUT_EMAIL, kLinkText, kLinkBack);
    SetWindowIcon(window, L"VIDEO");
    MakeLinkReachable(window, ID_ABOUT_EMAIL);
    MakeLinkReachable(window, ID_ABOUT_WEB_ADDRESS);
    SetTabOrder(window, {ID_ABOUT_EMAIL, ID_ABOUT_WEB_ADDRESS});
    RunModal(window, AboutWindowProc);
}
