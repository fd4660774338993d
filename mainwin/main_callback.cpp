#include "mainwin/main_callback.h"

#include <shellapi.h>

#include <optional>
#include <string>

#include "base/globals.h"
#include "base/program_folder.h"
#include "base/same_file.h"
#include "base/text.h"
#include "base/whole_file.h"
#include "convert/batch.h"
#include "convert/looks.h"
#include "convert/publish.h"
#include "files/file_choosers.h"
#include "files/video_paths.h"
#include "infowin/info_windows.h"
#include "mainwin/button_painter.h"
#include "mainwin/main_ids.h"
#include "toolkit/toolkit.h"

namespace {

// An example that converts with every output type: two threads, high quality (-sameq, once in the
// example, left the converter years ago).
constexpr const char* kDefaultCustomParams = "-threads 2 -crf 10 -q:v 15";

struct ButtonLook {
    int id;
    const char* label;
    COLORREF hue;
    COLORREF labelColour;
};

constexpr ButtonLook kButtons[] = {
    {ID_LOAD, "Load any Movie", RGB(0, 0, 255), RGB(255, 255, 255)},
    {ID_PUBLISH, "Publish", RGB(0, 255, 0), RGB(255, 255, 255)},
    {ID_EXIT, "Exit", RGB(255, 0, 0), RGB(255, 255, 255)},
    {ID_ABOUT, "About", RGB(128, 128, 128), RGB(0, 0, 0)},
    {ID_HELP, "Help", RGB(128, 128, 128), RGB(0, 0, 0)},
};

const ButtonLook* LookOf(UINT id) {
    for (const ButtonLook& look : kButtons)
        if (look.id == static_cast<int>(id)) return &look;
    return nullptr;
}

void DrawLabel(const DRAWITEMSTRUCT& item, const char* label, COLORREF colour) {
    RECT text = item.rcItem;
    text.left = 0;
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, colour);
    DrawTextA(item.hDC, label, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

INT_PTR DrawButton(LPARAM lParam) {
    pDrawItem = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    if (!pDrawItem) return 0;
    const ButtonLook* look = LookOf(pDrawItem->CtlID);
    if (!look) return 1;
    if (pDrawItem->itemState & ODS_SELECTED) {
        // Held down: the old face stays, with a sunken edge and "Process" over it.
        PaintButtonFace(pDrawItem->hDC, RGB(0, 0, 0));
        RECT edge = pDrawItem->rcItem;
        DrawEdge(pDrawItem->hDC, &edge, EDGE_SUNKEN, BF_RECT);
        DrawLabel(*pDrawItem, "Process", RGB(0, 0, 255));
    } else {
        SetBkMode(pDrawItem->hDC, TRANSPARENT);
        PaintButtonFace(pDrawItem->hDC, look->hue);
        DrawLabel(*pDrawItem, look->label, look->labelColour);
        if ((pDrawItem->itemState & ODS_FOCUS) && !(pDrawItem->itemState & ODS_NOFOCUSRECT)) {
            RECT focus = pDrawItem->rcItem;
            InflateRect(&focus, -3, -3);
            DrawFocusRect(pDrawItem->hDC, &focus);
        }
    }
    return 0;
}

INT_PTR ShowLinkCursor(HWND window, WPARAM wParam) {
    const auto under = reinterpret_cast<HWND>(wParam);
    if (under != GetDlgItem(window, ID_LOAD) && under != GetDlgItem(window, ID_ABOUT)) return 0;
    SetCursor(hLinkCursor);
    return 1;
}

void CopyCustomParams() {
    sCustomParams = GetItemText(hMainDlg, ID_CUSTOM_PARAMS);
}

// A run counts until its closing message: its window and its choices stay as they are.
bool RunUnderWay() {
    return bConverting || PublishInProgress();
}

// While a conversion runs its choices may not change under its feet.
bool RefusedWhileConverting() {
    if (!RunUnderWay()) return false;
    MessageBeep(0);
    return true;
}

// The options move their check mark themselves; a refused change puts it back.
void ShowModeOption() {
    const int checked = ModeOptionOf(ModeOf(nMode));
    for (int id : {ID_MODE_USUAL, ID_MODE_FAST, ID_MODE_CUSTOM})
        SetItemCheck(hMainDlg, id, id == checked);
}

void ChooseMode(Mode mode) {
    if (RefusedWhileConverting()) {
        ShowModeOption();
    } else {
        nMode = NumberOf(mode);
        EnableItem(hMainDlg, ID_CUSTOM_PARAMS, mode == Mode::Custom);
        EnablePartFields(hMainDlg);
    }
    KeepTabStopOnCheckedOption(hMainDlg);
}

void Exit() {
    CopyCustomParams();
    ProcessPendingEvents(1);
    EndWin(hMainDlg, 0);
}

// The compression and the custom parameters are read at every Publish, the part too where it applies.
PublishChoices ChoicesInWindow(const Part& part) {
    return {GetSelectedListText(hMainDlg, ID_COMPRESSION), GetItemText(hMainDlg, ID_CUSTOM_PARAMS), part};
}

// The part From and To give, once they have been read without fault; a fault is said before anything
// starts.
std::optional<Part> PartInWindow() {
    if (!IsWindowEnabled(GetDlgItem(hMainDlg, ID_FROM))) return Part{};
    PartReading reading =
        ReadPart(Utf8Of(GetItemText(hMainDlg, ID_FROM)), Utf8Of(GetItemText(hMainDlg, ID_TO)));
    // The look taken when the video was loaded knows its length.
    if (const auto look = KeptLook(sInputFile); reading.problem.empty() && look)
        if (const std::string past = PartPastTheEnd(reading.part, look->durationSeconds); !past.empty())
            reading.problem = past + ".";
    if (reading.problem.empty()) return reading.part;
    MessageBoxW(hMainDlg, WideFrom(reading.problem, CP_UTF8).c_str(), L"Attention",
                MB_OK | MB_ICONEXCLAMATION);
    return std::nullopt;
}

// Several videos: one save dialog gives the folder and the type for them all.
void PublishSeveral() {
    const std::string chosen = ChooseBatchOutput(hMainDlg, sOutputDir, sInputFiles.front());
    if (TrimBlanks(chosen).empty()) return;
    PublishVideos(
        PlanOutputs(sInputFiles, FolderOfFile(chosen), ExtensionOf(chosen), PathExists, NamesSameFile),
        ChoicesInWindow({}));
}

void Publish() {
    if (RefusedWhileConverting()) return;
    if (TrimBlanks(sInputFile).empty()) {
        MessageBeep(0);
        return;
    }
    if (sInputFiles.size() > 1) {
        PublishSeveral();
    } else {
        const std::optional<Part> part = PartInWindow();
        if (!part) return;
        sOutputFile = ChooseOutputVideo(hMainDlg, sOutputDir);
        if (!TrimBlanks(sOutputFile).empty())
            PublishVideos({{sInputFile, sOutputFile}}, ChoicesInWindow(*part));
    }
    if (ExitAfterRun()) Exit();
}

// Load, a drop and the command line all end here: one video as ever, or several for a batch. They
// are looked at at once, while the user chooses the rest.
void ShowLoaded(const std::vector<std::string>& videos) {
    sInputFiles = videos;
    sInputFile = videos.empty() ? std::string() : videos.front();
    EnablePartFields(hMainDlg);
    if (videos.empty()) return;
    // A part belongs to the video it was chosen for.
    SetItemText(hMainDlg, ID_FROM, "");
    SetItemText(hMainDlg, ID_TO, "");
    LookAhead(videos);
    SetItemText(hMainDlg, ID_INPUT_PATH, LoadedVideosText(videos));
    RedrawItem(hMainDlg, ID_INPUT_PATH);
}

void LoadVideos(const std::vector<std::string>& videos) {
    ShowLoaded(videos);
    if (!videos.empty()) sInputDir = FolderOfFile(sInputFile);
}

// Exit, the close box and Alt+F4 during a run: the run is stopped and the program left only
// when the user says so. The window closes once the run has ended (see Publish).
void AskToExitDuringRun() {
    static bool asking = false;
    if (asking || ExitAfterRun()) return;
    asking = true;
    const int answer = MessageBoxA(hMainDlg, "A conversion is running. Stop it and exit?", "Convert Video",
                                   MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    asking = false;
    if (answer != IDYES) return;
    if (RunUnderWay())
        StopRunForExit();
    else
        Exit(); // the run ended while the question was up
}

// Exit and the window's close command leave at once when no run goes on.
void ExitCommand() {
    if (RunUnderWay())
        AskToExitDuringRun();
    else
        Exit();
}

// Enter presses a painted button that has the focus; anywhere else it does nothing. (The dialog
// manager sends Enter on to the focused control only for plain push buttons.)
void PressFocusedButton() {
    HWND focus = GetFocus();
    if (focus && GetParent(focus) == hMainDlg && LookOf(GetDlgCtrlID(focus)))
        PostMessageW(focus, BM_CLICK, 0, 0);
}

// Windows clicks an unchecked option that merely gains the focus; only a checked one counts.
bool IsOptionClick(int id, WPARAM wParam) {
    return HIWORD(wParam) != BN_CLICKED || IsDlgButtonChecked(hMainDlg, id) == BST_CHECKED;
}

INT_PTR Command(WPARAM wParam) {
    const int id = LOWORD(wParam);
    if ((id == ID_MODE_USUAL || id == ID_MODE_FAST || id == ID_MODE_CUSTOM) && !IsOptionClick(id, wParam))
        return 0;
    switch (id) {
    case ID_LOAD:
        if (RefusedWhileConverting()) break;
        // The chooser remembers its folder itself; a cancelled one leaves nothing loaded (the label
        // keeps its text).
        ShowLoaded(ChooseInputVideos(hMainDlg, sInputDir));
        break;
    case ID_PUBLISH: Publish(); break;
    case ID_EXIT: ExitCommand(); break;
    case ID_RESET_PARAMS: SetItemText(hMainDlg, ID_CUSTOM_PARAMS, kDefaultCustomParams); break;
    case ID_MODE_USUAL: ChooseMode(Mode::Usual); break;
    case ID_MODE_FAST: ChooseMode(Mode::Fast); break;
    case ID_MODE_CUSTOM: ChooseMode(Mode::Custom); break;
    case ID_HELP: ShowHelpWindow(); break;
    case ID_ABOUT: ShowAboutWindow(); break;
    case IDOK: PressFocusedButton(); break;
    default: break;
    }
    return 0;
}

// Files dropped on the window load as "Load any Movie" would load them; a folder gives the videos
// directly inside it.
void LoadDroppedFiles(HDROP drop) {
    std::vector<std::wstring> paths(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0));
    for (UINT i = 0; i < paths.size(); ++i) {
        paths[i].resize(DragQueryFileW(drop, i, nullptr, 0) + 1);
        paths[i].resize(DragQueryFileW(drop, i, paths[i].data(), static_cast<UINT>(paths[i].size())));
    }
    DragFinish(drop);
    const std::vector<std::string> videos = VideosAmong(paths, true);
    if (RunUnderWay() || videos.empty()) {
        MessageBeep(0);
        return;
    }
    LoadVideos(videos);
}

void AcceptDroppedFiles(HWND window) {
    DragAcceptFiles(window, TRUE);
    // An elevated program still takes drops from the shell of the ordinary user.
    ChangeWindowMessageFilterEx(window, WM_DROPFILES, MSGFLT_ALLOW, nullptr);
    ChangeWindowMessageFilterEx(window, WM_COPYDATA, MSGFLT_ALLOW, nullptr);
    ChangeWindowMessageFilterEx(window, 0x0049 /* WM_COPYGLOBALDATA */, MSGFLT_ALLOW, nullptr);
}

} // namespace

void EnablePartFields(HWND window) {
    const bool enabled = ModeOf(nMode) != Mode::Custom && sInputFiles.size() <= 1;
    for (int id : {ID_FROM_CAPTION, ID_FROM, ID_TO_CAPTION, ID_TO})
        EnableItem(window, id, enabled);
}

void KeepTabStopOnCheckedOption(HWND window) {
    for (int id : {ID_MODE_USUAL, ID_MODE_FAST, ID_MODE_CUSTOM}) {
        HWND option = GetDlgItem(window, id);
        const LONG style = GetWindowLongW(option, GWL_STYLE);
        const bool checked = IsDlgButtonChecked(window, id) == BST_CHECKED;
        SetWindowLongW(option, GWL_STYLE, checked ? style | WS_TABSTOP : style & ~WS_TABSTOP);
    }
}

INT_PTR MainDialogCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: AcceptDroppedFiles(window); return 0;
    case WM_DRAWITEM: return DrawButton(lParam);
    case WM_SETCURSOR: return ShowLinkCursor(window, wParam);
    case WM_SYSCOMMAND:
        CopyCustomParams();
        if ((wParam & 0xFFF0) != SC_CLOSE || !RunUnderWay()) return 0;
        AskToExitDuringRun();
        return 1;
    case WM_COMMAND: return Command(wParam);
    case WM_DROPFILES: LoadDroppedFiles(reinterpret_cast<HDROP>(wParam)); return 1;
    default: return 0;
    }
}
