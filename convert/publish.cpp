#include "convert/publish.h"

#include <windows.h>

#include <shobjidl.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/globals.h"
#include "app/program_folder.h"
#include "app/text.h"
#include "convert/batch.h"
#include "convert/converter_run.h"
#include "convert/output_file.h"
#include "convert/output_place.h"
#include "convert/publish_logic.h"
#include "files/same_file.h"
#include "mainwin/main_ids.h"
#include "toolkit/toolkit.h"

namespace {

constexpr COLORREF kProgressGrey = RGB(119, 119, 119);
constexpr DWORD kPassSleepMs = 25;
constexpr DWORD kIdleSleepMs = 30;

ConverterRun* gActiveRun = nullptr; // the run the progress window belongs to
bool gStopAsked = false;
bool gExitAfterRun = false; // the user chose to stop the run and leave the program
bool gStopped = false;      // the user stopped the run: a batch starts no further video

double MonotonicSeconds() {
    LARGE_INTEGER frequency{}, now{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

void ShowAttention(HWND owner, const std::wstring& text) {
    MessageBoxW(owner, text.c_str(), L"Attention", MB_OK | MB_ICONEXCLAMATION);
}

// The taskbar button of the main window mirrors the progress where the system offers it.
struct TaskbarProgress {
    ITaskbarList3* list = nullptr;

    TaskbarProgress() {
        if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                    reinterpret_cast<void**>(&list))))
            list = nullptr;
        if (list && FAILED(list->HrInit())) Release();
    }
    ~TaskbarProgress() {
        if (list) list->SetProgressState(hMainDlg, TBPF_NOPROGRESS);
        Release();
    }
    void Show(double fraction) {
        if (!list) return;
        list->SetProgressState(hMainDlg, TBPF_NORMAL);
        list->SetProgressValue(hMainDlg, static_cast<ULONGLONG>(fraction * 1000), 1000);
    }
    void Release() {
        if (list) list->Release();
        list = nullptr;
    }
};

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
HWND BuildProgressWindow(HFONT pleaseWaitFont, bool batch = false) {
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

struct Animation {
    GreenCascade levels = kCascadeStart;
    GreenCascade shownLevels = {-1, -1, -1, -1, -1}; // none shown yet: the first pass paints all
    int frame = 0;
    int pass = 0;
    double start = 0;
    std::string shownTime;
    std::string shownProgress;
    // What the percentage label and the taskbar show, from the seconds since the start.
    std::function<std::pair<std::string, std::optional<double>>(double elapsed)> progress;
};

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

bool RefusedByGuards() {
    if (TrimBlanks(sInputFile).empty()) {
        MessageBoxA(nullptr, "Input file not found", "Attention", MB_OK | MB_ICONEXCLAMATION);
        return true;
    }
    if (TrimBlanks(sOutputFile).empty()) {
        MessageBoxA(nullptr, "Output file not found", "Attention", MB_OK | MB_ICONEXCLAMATION);
        return true;
    }
    if (const std::wstring why = WhyNotAnOutput(sInputFile, sOutputFile); !why.empty()) {
        ShowAttention(hMainDlg, why);
        return true;
    }
    return false;
}

void FlashWhenInBackground() {
    DWORD foregroundProcess = 0;
    GetWindowThreadProcessId(GetForegroundWindow(), &foregroundProcess);
    if (foregroundProcess == GetCurrentProcessId()) return;
    FLASHWINFO flash{sizeof flash, hMainDlg, FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
    FlashWindowEx(&flash);
}

// What became of the output once the run was over.
enum class OutputEnd {
    AsRun,       // replaced, kept or removed as the run's outcome says
    DiskFull,    // the run failed because the output's disk is full (detail: the volume)
    NotReplaced, // converted, but the file could not take the old one's place (detail: why)
};
struct SettledOutput {
    OutputEnd end = OutputEnd::AsRun;
    std::string detail;
};

// Puts a successful run's output in its place and removes what a failed or stopped run wrote;
// a result that cannot take its place makes the run a failure.
SettledOutput Settle(ConverterRun& run, const OutputPlace& place) {
    SettledOutput settled;
    // Free space is looked at before the broken output is removed, which gives some back.
    if (run.outcome == RunOutcome::Failed && run.outputWriteFailed) {
        const auto free = FreeBytesBeside(place.written);
        if (free && *free < kFullDiskFreeBytes) settled = {OutputEnd::DiskFull, VolumeOf(place.written)};
    }
    std::string problem;
    if (!SettleOutput(place, run.outcome == RunOutcome::Succeeded, problem)) {
        run.outcome = RunOutcome::Failed;
        settled = {OutputEnd::NotReplaced, problem};
    }
    return settled;
}

std::string FailureMessage(const ConverterRun& run, const OutputPlace& place, const SettledOutput& settled) {
    if (settled.end == OutputEnd::DiskFull) return DiskFullMessage(settled.detail, run.errorLines);
    if (settled.end == OutputEnd::NotReplaced) return NotReplacedMessage(place.target, settled.detail);
    return ConverterFailedMessage(run.exitCode, run.errorLines);
}

void TellOutcome(const ConverterRun& run, const OutputPlace& place, const SettledOutput& settled) {
    if (gExitAfterRun) return; // the program is closing: nothing more to say
    FlashWhenInBackground();
    switch (run.outcome) {
    case RunOutcome::Succeeded:
        if (bNotifyFinished == 1) {
            MessageBoxA(hMainDlg, "Output conversion process finished", "Information",
                        MB_OK | MB_ICONINFORMATION);
            bNotifyFinished = 0;
        }
        break;
    case RunOutcome::Stopped:
        MessageBoxA(hMainDlg, "Conversion cancelled", "Information", MB_OK | MB_ICONINFORMATION);
        break;
    case RunOutcome::CouldNotStart:
        ShowAttention(hMainDlg, FromCodePage(CouldNotStartMessage(run.converterPath, run.systemErrorText)));
        break;
    case RunOutcome::Failed: ShowAttention(hMainDlg, FromUtf8(FailureMessage(run, place, settled))); break;
    }
    bNotifyFinished = 0;
}

} // namespace

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

void PublishVideo() {
    // A second run inside the first one's wait would share its flag and its window.
    if (gActiveRun || bConverting) {
        MessageBeep(0);
        return;
    }
    Sleep(100);
    if (RefusedByGuards()) return;

    nCompression = CompressionFromItemText(GetSelectedListText(hMainDlg, ID_COMPRESSION));
    sCrf = CrfFromCompression(nCompression);
    sCustomParams = GetItemText(hMainDlg, ID_CUSTOM_PARAMS);

    // The worker gets its own copy of the choices: later changes in the window do not reach it.
    auto run = std::make_unique<ConverterRun>();
    const OutputPlace place = PrepareOutput(sOutputFile);
    run->request = {nMode, sCrf, sCustomParams, sInputFile, place.written};
    run->programFolder = ToCodePage(ProgramFolder());

    HFONT pleaseWaitFont = NewFont("Times New Roman", 20, false, false, false, false, ANSI_CHARSET);
    HWND window = BuildProgressWindow(pleaseWaitFont);
    Animation animation;
    animation.start = MonotonicSeconds();
    animation.progress = [&](double elapsed) {
        const ConverterProgress said = ProgressSnapshot(*run);
        return std::pair{ProgressLabel(said, elapsed), FractionDone(said)};
    };
    ShowModeless(window, ProgressWindowProc);
    bConverting = 1;
    SetTextOf(window, "Convert Video");
    // Painted now, so that even a run that ends at once shows its window for a pass.
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    gActiveRun = run.get();
    gStopAsked = gStopped = false;
    if (!StartConversionWorker(*run)) {
        const DWORD error = GetLastError();
        bConverting = 0;
        gActiveRun = nullptr;
        DestroyWindow(window);
        ReleaseFont(pleaseWaitFont);
        ShowAttention(hMainDlg,
                      L"The conversion could not be started (system error " + std::to_wstring(error) + L").");
        return;
    }
    bNotifyFinished = 1;
    {
        TaskbarProgress taskbar;
        do
            AnimateOnePass(window, animation, *run, taskbar);
        while (bConverting != 0);
    }
    gActiveRun = nullptr;
    DestroyWindow(window);
    ReleaseFont(pleaseWaitFont);
    ReleaseConverterRun(*run);
    const SettledOutput settled = Settle(*run, place);
    TellOutcome(*run, place, settled);
}

namespace {

// What one video of a batch came to, in the words of the closing message.
VideoResult ResultOf(const ConverterRun& run, const SettledOutput& settled) {
    VideoResult result{run.request.inputFile, run.outcome == RunOutcome::Succeeded, ""};
    if (run.outcome == RunOutcome::Stopped) result.reason = "stopped";
    if (run.outcome == RunOutcome::CouldNotStart)
        result.reason = "the converter could not be started: " + run.systemErrorText;
    if (run.outcome == RunOutcome::Failed)
        result.reason = run.errorLines.empty() ? "the converter failed" : run.errorLines.back();
    if (settled.end == OutputEnd::DiskFull) result.reason = "the disk " + settled.detail + " is full";
    if (settled.end == OutputEnd::NotReplaced)
        result.reason = "the old file could not be replaced: " + settled.detail;
    return result;
}

// Runs one video of a batch in the batch's window; nothing when no worker could be started.
std::optional<VideoResult> ConvertOne(ConverterRun& run, HWND window, Animation& animation,
                                      TaskbarProgress& taskbar) {
    const OutputPlace place = PrepareOutput(run.request.outputFile);
    run.request.outputFile = place.written;
    bConverting = 1;
    gActiveRun = &run;
    if (!StartConversionWorker(run)) {
        bConverting = 0;
        return std::nullopt;
    }
    do
        AnimateOnePass(window, animation, run, taskbar);
    while (bConverting != 0);
    ReleaseConverterRun(run);
    const SettledOutput settled = Settle(run, place);
    return ResultOf(run, settled);
}

} // namespace

void PublishBatch(const std::vector<PlannedVideo>& plan) {
    if (gActiveRun || bConverting) {
        MessageBeep(0);
        return;
    }
    nCompression = CompressionFromItemText(GetSelectedListText(hMainDlg, ID_COMPRESSION));
    sCrf = CrfFromCompression(nCompression);
    sCustomParams = GetItemText(hMainDlg, ID_CUSTOM_PARAMS);

    // The results in the order of the plan; a video not started keeps an empty reason.
    std::vector<VideoResult> results;
    std::vector<std::unique_ptr<ConverterRun>> runs;
    std::vector<size_t> placeOfRun;
    for (const PlannedVideo& video : plan) {
        results.push_back(
            {video.input, false, video.output.empty() ? "the output would be the video itself" : ""});
        if (video.output.empty()) continue;
        placeOfRun.push_back(results.size() - 1);
        runs.push_back(std::make_unique<ConverterRun>());
        runs.back()->request = {nMode, sCrf, sCustomParams, video.input, video.output};
        runs.back()->programFolder = ToCodePage(ProgramFolder());
    }
    HFONT pleaseWaitFont = NewFont("Times New Roman", 20, false, false, false, false, ANSI_CHARSET);
    HWND window = BuildProgressWindow(pleaseWaitFont, true);
    BatchProgress batch{std::vector<std::optional<double>>(runs.size())};
    Animation animation;
    animation.start = MonotonicSeconds();
    animation.progress = [&](double elapsed) {
        if (batch.current < runs.size()) {
            const ConverterProgress said = ProgressSnapshot(*runs[batch.current]);
            batch.lengths[batch.current] = said.durationSeconds;
            batch.position = said.positionSeconds.value_or(0);
        }
        return std::pair{BatchProgressLabel(batch, elapsed), std::optional(BatchFractionDone(batch))};
    };
    ShowModeless(window, ProgressWindowProc);
    SetTextOf(window, "Convert Video");
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    gStopAsked = gStopped = false;
    {
        TaskbarProgress taskbar;
        for (; batch.current < runs.size() && !gStopped; ++batch.current) {
            ConverterRun& run = *runs[batch.current];
            SetItemText(window, ID_PROGRESS_VIDEO,
                        VideoOfBatchText(batch.current, runs.size(), run.request.inputFile));
            batch.position = 0;
            const std::optional<VideoResult> result = ConvertOne(run, window, animation, taskbar);
            if (!result) {
                results[placeOfRun[batch.current]].reason = "the conversion could not be started";
                break;
            }
            batch.lengths[batch.current] = ProgressSnapshot(run).durationSeconds;
            results[placeOfRun[batch.current]] = *result;
        }
    }
    gActiveRun = nullptr;
    DestroyWindow(window);
    ReleaseFont(pleaseWaitFont);
    if (gExitAfterRun) return;
    FlashWhenInBackground();
    const ClosingMessage message = BatchClosingMessage(results, gStopped);
    MessageBoxW(hMainDlg, FromUtf8(message.text).c_str(), FromUtf8(message.caption).c_str(),
                MB_OK | (message.caption == "Information" ? MB_ICONINFORMATION : MB_ICONEXCLAMATION));
}
