#include "mainwin/main_window.h"

#include <string>

#include "base/globals.h"
#include "convert/batch.h"
#include "mainwin/main_callback.h"
#include "mainwin/main_ids.h"
#include "toolkit/dpi.h"
#include "toolkit/toolkit.h"

namespace {

// User text (a path, converter parameters) may hold any character: it gets the TrueType twin of
// the window font, which reaches them.
enum class FontChoice { Dialog, Title, Heading, UserText };

struct ControlRow {
    int id;
    const char* className;
    const char* text; // nullptr: the text comes from the program state
    int x, y, w, h;
    DWORD style, exStyle;
    FontChoice font;
    COLORREF textColour, background;
};

constexpr COLORREF kSystem = kSystemColour;
constexpr COLORREF kClear = kTransparent;
constexpr COLORREF kOptionText = RGB(192, 192, 192), kOptionBack = RGB(85, 85, 153);
constexpr DWORD kOwnerDrawn = BS_OWNERDRAW;
constexpr DWORD kOption = BS_AUTORADIOBUTTON | WS_TABSTOP;

constexpr const char* kTitle = "KESTO Video Converter";
constexpr const char* kInstructions = "1.Load a video of differen format.\r\n"
                                      "2.Select a mode of transformation\r\n"
                                      "3.Select output format of video and press the button \"Publish\". \r\n"
                                      "4.Wait a finish of a process.";

// Rows 1 to 19 come before the mode options get their state, rows 20 to 22 after.
constexpr ControlRow kRowsBeforeModes[] = {
    {ID_TITLE_SHADOW, "STATIC", kTitle, 6, 16, 1000, 65, SS_CENTER, 0, FontChoice::Title, RGB(0, 0, 0),
     kClear},
    {ID_TITLE, "STATIC", kTitle, 5, 15, 1000, 65, SS_CENTER, 0, FontChoice::Title, RGB(30, 144, 255), kClear},
    {ID_TITLE_NAME, "STATIC", "KESTO", 206, 15, 200, 65, SS_LEFT, 0, FontChoice::Title, RGB(0, 0, 255),
     kClear},
    {ID_LOAD, "BUTTON", "Load any Movie", 5, 150, 120, 25, kOwnerDrawn, WS_EX_STATICEDGE, FontChoice::Dialog,
     kSystem, kSystem},
    {ID_PUBLISH, "BUTTON", "Publish", 127, 150, 120, 25, kOwnerDrawn, WS_EX_STATICEDGE, FontChoice::Dialog,
     kSystem, kSystem},
    {ID_BUILD, "STATIC", "Build v1.01", 935, 100, 100, 20, SS_LEFT, 0, FontChoice::Dialog, RGB(0, 0, 0),
     kClear},
    {ID_INPUT_CAPTION, "STATIC", "Input video path:", 5, 185, 150, 18, SS_LEFT, 0, FontChoice::Dialog,
     RGB(192, 192, 192), RGB(85, 85, 85)},
    {ID_INPUT_PATH, "STATIC", nullptr, 5, 205, 990, 22, SS_SUNKEN | SS_PATHELLIPSIS | SS_NOPREFIX,
     WS_EX_CLIENTEDGE, FontChoice::UserText, RGB(0, 0, 255), RGB(255, 255, 255)},
    {ID_HELP, "BUTTON", "Help", 691, 310, 99, 25, kOwnerDrawn, WS_EX_STATICEDGE, FontChoice::Dialog, kSystem,
     kSystem},
    {ID_ABOUT, "BUTTON", "About", 793, 310, 99, 25, kOwnerDrawn, WS_EX_STATICEDGE, FontChoice::Dialog,
     kSystem, kSystem},
    {ID_EXIT, "BUTTON", "Exit", 895, 310, 99, 25, kOwnerDrawn, WS_EX_STATICEDGE, FontChoice::Dialog, kSystem,
     kSystem},
    {-1, "STATIC", "", 1, 120, 998, 4, SS_ETCHEDFRAME, WS_EX_CLIENTEDGE, FontChoice::Dialog, kSystem,
     kSystem},
    {ID_SHORT_INSTRUCTION, "STATIC", "Short Instruction:", 320, 130, 300, 28, SS_CENTER, 0,
     FontChoice::Heading, RGB(192, 192, 192), kClear},
    {ID_MODE_USUAL, "BUTTON", "Usual converting video process", 625, 232, 370, 20, kOption, WS_EX_STATICEDGE,
     FontChoice::Dialog, kOptionText, kOptionBack},
    {ID_MODE_FAST, "BUTTON", "Fast process, changing a video container only - not for all formats", 625, 253,
     370, 20, kOption, WS_EX_STATICEDGE, FontChoice::Dialog, kOptionText, kOptionBack},
    {ID_MODE_CUSTOM, "BUTTON", "Custom parameters, video process", 625, 274, 370, 20, kOption,
     WS_EX_STATICEDGE, FontChoice::Dialog, kOptionText, kOptionBack},
    {ID_CUSTOM_PARAMS, "EDIT", nullptr, 5, 274, 615, 20, WS_BORDER | ES_AUTOHSCROLL | WS_DISABLED,
     WS_EX_STATICEDGE, FontChoice::UserText, RGB(0, 0, 0), RGB(245, 222, 179)},
    {ID_CUSTOM_CAPTION, "STATIC", "Custom ffmpeg parameters:", 10, 257, 300, 18, SS_LEFT, 0,
     FontChoice::Dialog, RGB(192, 192, 192), kClear},
    {ID_RESET_PARAMS, "BUTTON", "U", 5, 298, 18, 17, BS_PUSHBUTTON | BS_FLAT, 0, FontChoice::Dialog, kSystem,
     kSystem},
};

constexpr ControlRow kRowsAfterModes[] = {
    // The part of a video kept, in the free space left of Help: empty keeps it whole.
    {ID_FROM_CAPTION, "STATIC", "From", 30, 314, 30, 18, SS_LEFT, 0, FontChoice::Dialog, RGB(192, 192, 192),
     kClear},
    {ID_FROM, "EDIT", "", 62, 311, 80, 20, WS_BORDER | ES_AUTOHSCROLL, WS_EX_STATICEDGE, FontChoice::UserText,
     RGB(0, 0, 0), RGB(255, 255, 255)},
    {ID_TO_CAPTION, "STATIC", "To", 156, 314, 20, 18, SS_LEFT, 0, FontChoice::Dialog, RGB(192, 192, 192),
     kClear},
    {ID_TO, "EDIT", "", 178, 311, 80, 20, WS_BORDER | ES_AUTOHSCROLL, WS_EX_STATICEDGE, FontChoice::UserText,
     RGB(0, 0, 0), RGB(255, 255, 255)},
    {ID_INSTRUCTIONS, "STATIC", kInstructions, 630, 140, 370, 50, SS_LEFT, 0, FontChoice::Dialog,
     RGB(192, 192, 192), kClear},
    {ID_COMPRESSION_CAPTION, "STATIC", "Compression", 520, 233, 99, 15, SS_CENTER, 0, FontChoice::Dialog,
     RGB(255, 255, 255), RGB(119, 119, 119)},
    {ID_COMPRESSION, "COMBOBOX", "", 520, 251, 99, 190, CBS_DROPDOWNLIST | WS_VSCROLL, WS_EX_CLIENTEDGE,
     FontChoice::Dialog, RGB(255, 255, 255), RGB(0, 0, 0)},
};

constexpr const char* kCompressionItems[] = {
    "Default", "1:Max size", "2:",  "3:",  "4:",  "5:",  "6:",  "7:",  "8:",  "9:",  "10:",
    "11:",     "12:",        "13:", "14:", "15:", "16:", "17:", "18:", "19:", "20:", "21:Min size"};

struct MainFonts {
    HFONT title;
    HFONT heading;
    HFONT userText;
};

std::string InitialText(int id) {
    // Videos named on the command line show as if loaded; otherwise the remembered folder.
    if (id == ID_INPUT_PATH) return sInputFiles.empty() ? sInputDir : LoadedVideosText(sInputFiles);
    if (id == ID_CUSTOM_PARAMS) return sCustomParams;
    return {};
}

void AddRow(HWND window, const ControlRow& row, const MainFonts& fonts) {
    const std::string text = row.text ? std::string(row.text) : InitialText(row.id);
    // A text box draws its border as the sunken edge every text box of the program has.
    const ChildStyle box = ComposeChildStyle(ControlKind::TextBox, row.style, row.exStyle);
    const bool isBox = std::string_view(row.className) == "EDIT";
    // A text box holds 32,767 characters unless told otherwise, and is not made at all with a
    // longer text (the settings file may hold one): it is made empty, allowed any length, then filled.
    AddChild(window, row.className, row.id, isBox ? "" : text, row.x, row.y, row.w, row.h,
             isBox ? box.style : row.style, isBox ? box.exStyle : row.exStyle);
    if (isBox) {
        SendDlgItemMessageW(window, row.id, EM_SETLIMITTEXT, 0, 0);
        SetItemText(window, row.id, text);
    }
    if (row.textColour != kSystem || row.background != kSystem)
        SetColours(window, row.id, row.textColour, row.background);
    if (row.font == FontChoice::Title) AssignFont(window, row.id, fonts.title);
    if (row.font == FontChoice::Heading) AssignFont(window, row.id, fonts.heading);
    if (row.font == FontChoice::UserText) AssignFont(window, row.id, fonts.userText);
}

void ApplyModeState(HWND window) {
    const int checked = ModeOptionOf(ModeOf(nMode));
    SetItemCheck(window, checked, true);
    EnableItem(window, ID_CUSTOM_PARAMS, checked == ID_MODE_CUSTOM);
}

// Every command is in reach of Tab, in reading order; the three options are one group, which the
// arrow keys move within. An option only follows a click, a key or a change of its check mark,
// never the focus alone (Windows would click an unchecked option that gains the focus).
void MakeKeyboardReachable(HWND window) {
    static constexpr int kTabOrder[] = {ID_LOAD,      ID_PUBLISH,     ID_COMPRESSION,   ID_MODE_USUAL,
                                        ID_MODE_FAST, ID_MODE_CUSTOM, ID_CUSTOM_PARAMS, ID_RESET_PARAMS,
                                        ID_FROM,      ID_TO,          ID_HELP,          ID_ABOUT,
                                        ID_EXIT};
    for (int id : kTabOrder) {
        HWND control = GetDlgItem(window, id);
        const bool laterOption = id == ID_MODE_FAST || id == ID_MODE_CUSTOM;
        SetWindowLongW(control, GWL_STYLE,
                       GetWindowLongW(control, GWL_STYLE) | WS_TABSTOP | (laterOption ? 0 : WS_GROUP));
    }
    KeepTabStopOnCheckedOption(window);
    SetTabOrder(window, {ID_LOAD, ID_PUBLISH, ID_COMPRESSION, ID_MODE_USUAL, ID_MODE_FAST, ID_MODE_CUSTOM,
                         ID_CUSTOM_PARAMS, ID_RESET_PARAMS, ID_FROM, ID_TO, ID_HELP, ID_ABOUT, ID_EXIT});
    for (int id : {ID_MODE_USUAL, ID_MODE_FAST, ID_MODE_CUSTOM})
        SendDlgItemMessageW(window, id, BM_SETDONTCLICK, TRUE, 0);
}

void FillCompressionList(HWND window) {
    for (const char* item : kCompressionItems)
        SendDlgItemMessageA(window, ID_COMPRESSION, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SelectListItem(window, ID_COMPRESSION, 0);
}

} // namespace

INT_PTR ShowMainDialog() {
    const MainFonts fonts{NewFont("Times New Roman", 45, true, true, false, false, ANSI_CHARSET),
                          NewFont("Times New Roman", 20, true, true, false, false, ANSI_CHARSET),
                          NewScalableWindowFont(SystemDpi())};
    const std::string caption = std::string("Tarvelle Video Converter. ") + "  " + kMakerWebAddress;
    hMainDlg = CreateWin(nullptr, caption, kCentre, kCentre, 1000, 350,
                         WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_CENTER, 0, Units::Pixels);
    SetWindowColours(hMainDlg, RGB(128, 128, 128), RGB(85, 85, 85));
    for (const ControlRow& row : kRowsBeforeModes)
        AddRow(hMainDlg, row, fonts);
    ApplyModeState(hMainDlg);
    for (const ControlRow& row : kRowsAfterModes)
        AddRow(hMainDlg, row, fonts);
    EnablePartFields(hMainDlg);
    FillCompressionList(hMainDlg);
    MakeKeyboardReachable(hMainDlg);
    SetWindowIcon(hMainDlg, L"VIDEO");
    const INT_PTR result = RunModal(hMainDlg, MainDialogCallback);
    ReleaseFont(fonts.title);
    ReleaseFont(fonts.heading);
    ReleaseFont(fonts.userText);
    return result;
}
