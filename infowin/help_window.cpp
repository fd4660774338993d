#include "base/globals.h"
#include "infowin/info_ids.h"
#include "infowin/info_texts.h"
#include "infowin/info_windows.h"
#include "toolkit/toolkit.h"

// Escape closes the window; the close box ends it through the toolkit's default handling.
INT_PTR HelpWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && wParam == IDCANCEL) EndWin(window, 0);
    return 0;
}

void ShowHelpWindow() {
    HFONT headingFont = NewFont("Times New Roman", 20, true, true);
    HFONT subheadingFont = NewFont("Times New Roman", 15, true, false);
    HWND window =
        CreateWin(hMainDlg, kHelpCaption, kCentre, kCentre, 500, 230,
                  WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_CENTER, 0, Units::Pixels);
    SetWindowColours(window, kSystemColour, RGB(167, 167, 167));
    // The heading is wider than the window: it shows as a white band across the top.
    AddControl(window, ControlKind::Label, ID_HELP_HEADING, kHelpHeading, 0, 0, 710, 38);
    AssignFont(window, ID_HELP_HEADING, headingFont);
    SetColours(window, ID_HELP_HEADING, RGB(0, 0, 0), RGB(255, 255, 255));
    AddControl(window, ControlKind::Label, ID_HELP_INSTRUCTION, HelpInstructionText(), 10, 45, 400, 90);
    SetColours(window, ID_HELP_INSTRUCTION, RGB(0, 0, 0), kTransparent);
    AddControl(window, ControlKind::Label, ID_HELP_SUBHEADING, kHelpSubheading, 10, 125, 300, 24);
    AssignFont(window, ID_HELP_SUBHEADING, subheadingFont);
    SetColours(window, ID_HELP_SUBHEADING, RGB(0, 0, 0), RGB(192, 192, 192));
    AddControl(window, ControlKind::Label, ID_HELP_RECOMMENDATION, HelpRecommendationText(), 10, 157, 470,
               80);
    SetColours(window, ID_HELP_RECOMMENDATION, RGB(0, 0, 0), kTransparent);
    SetWindowIcon(window, L"VIDEO");
    RunModal(window, HelpWindowProc);
    ReleaseFont(subheadingFont);
    ReleaseFont(headingFont);
}
