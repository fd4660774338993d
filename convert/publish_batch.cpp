#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/globals.h"
#include "app/program_folder.h"
#include "convert/batch.h"
#include "convert/converter_run.h"
#include "convert/output_place.h"
#include "convert/progress_window.h"
#include "convert/publish.h"
#include "convert/publish_logic.h"
#include "convert/run_end.h"
#include "mainwin/main_ids.h"
#include "toolkit/toolkit.h"

namespace {

// The look at the next video, taken on a thread of its own while the current one converts, so
// that the next converter starts as soon as the current one has ended.
struct LookAhead {
    std::string programFolder;
    std::string input;
    MediaLook look;
    HANDLE thread = nullptr;
};

DWORD WINAPI LookAheadThread(LPVOID parameter) {
    auto& ahead = *static_cast<LookAhead*>(parameter);
    ahead.look = LookAtInput(ahead.programFolder, ahead.input);
    return 0;
}

void StartLookAhead(LookAhead& ahead, const ConverterRun& next) {
    ahead.programFolder = next.programFolder;
    ahead.input = next.request.inputFile;
    ahead.thread = CreateThread(nullptr, 256 * 1024, LookAheadThread, &ahead, 0, nullptr);
}

// Waits for the look (its converter start is bounded in time) and hands it to the run; without
// a look ahead the run looks itself.
void TakeLookAhead(LookAhead& ahead, ConverterRun* run) {
    if (!ahead.thread) return;
    WaitForSingleObject(ahead.thread, INFINITE);
    CloseHandle(std::exchange(ahead.thread, nullptr));
    if (!run) return;
    run->request.look = std::move(ahead.look);
    run->lookFirst = false;
}

// Runs one video of a batch in the batch's window, looking at the next one meanwhile; nothing
// when no worker could be started.
std::optional<VideoResult> ConvertOne(ConverterRun& run, ConverterRun* next, LookAhead& ahead, HWND window,
                                      Animation& animation, TaskbarProgress& taskbar) {
    const OutputPlace place = PrepareOutput(run.request.outputFile);
    run.request.outputFile = place.written;
    bConverting = 1;
    WatchRun(&run);
    if (!StartConversionWorker(run)) {
        bConverting = 0;
        return std::nullopt;
    }
    if (next && next->request.mode >= 0 && next->request.mode <= 1) StartLookAhead(ahead, *next);
    AnimateUntilWorkerEnds(window, animation, run, taskbar);
    ReleaseConverterRun(run);
    const SettledOutput settled = Settle(run, place);
    return ResultOf(run, settled);
}

} // namespace

void PublishBatch(const std::vector<PlannedVideo>& plan) {
    if (PublishInProgress() || bConverting) {
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
    HWND window = ShowProgressWindow(pleaseWaitFont, true);
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
    SetTextOf(window, "Convert Video");
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    ForgetStopAnswers();
    LookAhead ahead;
    {
        TaskbarProgress taskbar;
        for (; batch.current < runs.size() && !StopChosen(); ++batch.current) {
            ConverterRun& run = *runs[batch.current];
            TakeLookAhead(ahead, &run);
            if (run.request.look) batch.lengths[batch.current] = run.request.look->durationSeconds;
            SetItemText(window, ID_PROGRESS_VIDEO,
                        VideoOfBatchText(batch.current, runs.size(), run.request.inputFile));
            batch.position = 0;
            ConverterRun* next = batch.current + 1 < runs.size() ? runs[batch.current + 1].get() : nullptr;
            const std::optional<VideoResult> result =
                ConvertOne(run, next, ahead, window, animation, taskbar);
            if (!result) {
                results[placeOfRun[batch.current]].reason = "the conversion could not be started";
                break;
            }
            batch.lengths[batch.current] = ProgressSnapshot(run).durationSeconds;
            results[placeOfRun[batch.current]] = *result;
        }
    }
    TakeLookAhead(ahead, nullptr); // a stopped batch leaves no look running
    WatchRun(nullptr);
    DestroyWindow(window);
    ReleaseFont(pleaseWaitFont);
    if (ExitAfterRun()) return;
    FlashWhenInBackground();
    const ClosingMessage message = BatchClosingMessage(results, StopChosen());
    MessageBoxW(hMainDlg, FromUtf8(message.text).c_str(), FromUtf8(message.caption).c_str(),
                MB_OK | (message.caption == "Information" ? MB_ICONINFORMATION : MB_ICONEXCLAMATION));
}
