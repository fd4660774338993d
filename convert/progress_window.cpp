#include "convert/progress_window.h"

#include "base/globals.h"
#include "convert/publish.h"
#include "toolkit/toolkit.h"

namespace {

constexpr COLORREF kProgressGrey = RGB(119, 119, 119);
constexpr DWORD kPassSleepMs = 25;
constexpr DWORD kIdleSleepMs = 30;

ConverterRun* gActiveRun = nullptr; // the run the progress window belongs to
bool gStopAsked = false;
bool gExitAfterRun = false; // the user chose to stop the run and leave the program
bool gStopped = false;      // the user stopped the run: a batch starts no further video

void AskToStop(HWND window) {
    if (gStopAsked || !gActiveRun) return;
    gStopAsked = true;
    // No is the default: Enter must not throw the work away.
    const int answer = MessageBoxA(window, "Stop the conversion?", "Convert Video",
                                   MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    if (answer == IDYES && gActiveRun) {
        gStopped = true;
        RequestConverterStop(*gActiveRun);
    } else {
        gStopAsked = false;
    }
}

// Escape, the Stop button and the close box ask whether to stop the run; the window stays up.
INT_PTR ProgressWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    const bool command =
        message == WM_COMMAND && (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == ID_PROGRESS_STOP);
    const bool close = message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE;
    if (!command && !close) return 0;
    AskToStop(window);
    return 1;
}

// A batch's window is a line taller: it names the video being converted.
HWND BuildProgressWindow(HFONT pleaseWaitFont, bool batch) {
    HWND window = CreateWin(hMainDlg, "", kCentre, kCentre, 250, batch ? 64 : 52, WS_CAPTION | WS_SYSMENU, 0,
                            Units::Dialog);
    SetWindowColours(window, RGB(255, 255, 255), kProgressGrey);
    for (int k = 0; k < 5; ++k)
        AddControl(window, ControlKind::Label, ID_PROGRESS_SQUARE1 + k, "", 5 + 12 * k, 40, 8, 7, SS_SUNKEN);
    AddControl(window, ControlKind::Label, ID_PROGRESS_TIME, "", 160, 40, 90, 10, SS_LEFT);
    SetColours(window, ID_PROGRESS_TIME, RGB(0, 0, 0), kProgressGrey);
    AddControl(window, ControlKind::Label, ID_PROGRESS_TEXT, "Please wait...", 65, 5, 150, 30, SS_CENTER);
    SetColours(window, ID_PROGRESS_TEXT, RGB(255, 255, 255), kTransparent);
    AssignFont(window, ID_PROGRESS_TEXT, pleaseWaitFont);
    AddControl(window, ControlKind::Line, -1, "", 1, 34, 248, 1);
    for (int k = 0; k < 5; ++k)
        SetColours(window, ID_PROGRESS_SQUARE1 + k, RGB(0, 0, 0), RGB(20, 50, 195));
    AddControl(window, ControlKind::StretchedPicture, ID_PROGRESS_IMAGE, "load1", 5, 5, 26, 25);
    // Share done and time left, once the converter has told the length of its input.
    AddControl(window, ControlKind::Label, ID_PROGRESS_PERCENT, "", 66, 40, 92, 10, SS_LEFT);
    SetColours(window, ID_PROGRESS_PERCENT, RGB(0, 0, 0), kProgressGrey);
    AddControl(window, ControlKind::PushButton, ID_PROGRESS_STOP, "Stop", 218, 12, 28, 14);
    SetWindowIcon(window, L"VIDEO"); // its caption has a window menu now
    if (batch) {
        AddControl(window, ControlKind::Label, ID_PROGRESS_VIDEO, "", 5, 52, 240, 10,
                   SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS);
        SetColours(window, ID_PROGRESS_VIDEO, RGB(255, 255, 255), kProgressGrey);
    }
    return window;
}

void ShowFrameAndTimes(HWND window, Animation& animation, TaskbarProgress& taskbar) {
    animation.frame = NextFrame(animation.frame);
    const std::wstring frameName = L"load" + std::to_wstring(animation.frame);
    SetImage(window, ID_PROGRESS_IMAGE, frameName.c_str(), true);
    RedrawItem(window, ID_PROGRESS_IMAGE);
    const double elapsed = MonotonicSeconds() - animation.start;
    // The text changes once a second; setting the same text again would only repaint it.
    const std::string time = ProcessingTimeText(elapsed);
    if (time != animation.shownTime) {
        SetItemText(window, ID_PROGRESS_TIME, time);
        animation.shownTime = time;
    }
    const auto [label, fraction] = animation.progress(elapsed);
    if (label != animation.shownProgress) {
        SetItemText(window, ID_PROGRESS_PERCENT, label);
        animation.shownProgress = label;
    }
    if (fraction) taskbar.Show(*fraction);
}

void AnimateOnePass(HWND window, Animation& animation, ConverterRun& run, TaskbarProgress& taskbar) {
    AdvanceCascade(animation.levels);
    if (++animation.pass == 2) {
        animation.pass = 0;
        ShowFrameAndTimes(window, animation, taskbar);
    }
    // A pass changes one square (all five when the cycle starts again); repainting the others
    // would draw the same pixels at a cost in processor time that the converter then lacks.
    for (int k = 0; k < 5; ++k) {
        if (animation.levels[k] == animation.shownLevels[k]) continue;
        SetColours(window, ID_PROGRESS_SQUARE1 + k, RGB(0, 0, 0), RGB(20, animation.levels[k], 195));
        RedrawItem(window, ID_PROGRESS_SQUARE1 + k);
        animation.shownLevels[k] = animation.levels[k];
    }
    // The pauses end as soon as the worker does, so the message follows the converter's end
    // at once; while it runs they last their full time and the animation keeps its pace.
    if (WaitForSingleObject(run.worker, kPassSleepMs) == WAIT_OBJECT_0) return;
    ProcessPendingEvents(kIdleSleepMs, run.worker);
}

} // namespace

double MonotonicSeconds() {
    LARGE_INTEGER frequency{}, now{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

HWND ShowProgressWindow(HFONT pleaseWaitFont, bool batch) {
    HWND window = BuildProgressWindow(pleaseWaitFont, batch);
    ShowModeless(window, ProgressWindowProc);
    return window;
}

void AnimateUntilWorkerEnds(HWND window, Animation& animation, ConverterRun& run, TaskbarProgress& taskbar) {
    do
        AnimateOnePass(window, animation, run, taskbar);
    while (bConverting != 0);
}

void WatchRun(ConverterRun* run) {
    gActiveRun = run;
}

void ForgetStopAnswers() {
    gStopAsked = gStopped = false;
}

bool StopChosen() {
    return gStopped;
}

bool PublishInProgress() {
    return gActiveRun != nullptr;
}

void StopRunForExit() {
    gExitAfterRun = gStopped = true;
    if (gActiveRun) RequestConverterStop(*gActiveRun);
}

bool ExitAfterRun() {
    return gExitAfterRun;
}
