#include <windows.h>

#include <atomic>
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

// The looks at the batch's videos, from the second on, taken one after the other on a thread of
// their own from the start of the batch (the first video's run looks itself). A short video
// converts faster than the converter starts for a look, so looking only at the next one would keep
// the next converter waiting; this way the looks keep ahead of the conversions.
struct Looks {
    std::string programFolder;
    std::vector<std::string> inputs;
    std::vector<MediaLook> taken;
    std::vector<std::optional<double>> lengths; // what the looks said, for the batch's progress
    size_t done = 1;       // videos looked at (the first looks itself); guarded by `lock`
    bool finished = false; // the thread has ended; guarded by `lock`
    std::atomic<bool> stop{false};
    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE ready = CONDITION_VARIABLE_INIT;
    HANDLE thread = nullptr;
};

DWORD WINAPI LookAtEach(LPVOID parameter) {
    auto& looks = *static_cast<Looks*>(parameter);
    for (size_t i = 1; i < looks.inputs.size() && !looks.stop; ++i) {
        MediaLook look = LookAtInput(looks.programFolder, looks.inputs[i]);
        AcquireSRWLockExclusive(&looks.lock);
        looks.lengths[i] = look.durationSeconds;
        looks.taken[i] = std::move(look);
        looks.done = i + 1;
        ReleaseSRWLockExclusive(&looks.lock);
        WakeAllConditionVariable(&looks.ready);
    }
    AcquireSRWLockExclusive(&looks.lock);
    looks.finished = true;
    ReleaseSRWLockExclusive(&looks.lock);
    WakeAllConditionVariable(&looks.ready);
    return 0;
}

// The custom mode converts as typed and has nothing to look at.
void StartLooks(Looks& looks, const std::vector<std::unique_ptr<ConverterRun>>& runs) {
    if (runs.size() < 2 || (runs.front()->request.mode != 0 && runs.front()->request.mode != 1)) return;
    looks.programFolder = runs.front()->programFolder;
    for (const auto& run : runs)
        looks.inputs.push_back(run->request.inputFile);
    looks.taken.resize(runs.size());
    looks.lengths.resize(runs.size());
    looks.thread = CreateThread(nullptr, 256 * 1024, LookAtEach, &looks, 0, nullptr);
}

// The look at video `index` (from the second on), once the look thread has taken it; each look's
// converter start is bounded in time. Called by the video's worker, so the window goes on.
MediaLook AwaitLook(Looks& looks, size_t index) {
    AcquireSRWLockExclusive(&looks.lock);
    while (looks.done <= index && !looks.finished)
        SleepConditionVariableSRW(&looks.ready, &looks.lock, INFINITE, 0);
    std::optional<MediaLook> taken;
    if (looks.done > index) taken = std::move(looks.taken[index]);
    ReleaseSRWLockExclusive(&looks.lock);
    return taken ? std::move(*taken) : LookAtInput(looks.programFolder, looks.inputs[index]);
}

// The first video's run, or any run without a look thread, looks itself.
void LookAheadFor(Looks& looks, size_t index, ConverterRun& run) {
    if (looks.thread && index > 0) run.lookAhead = [&looks, index] { return AwaitLook(looks, index); };
}

// The lengths of the videos not yet converted, as far as the looks have told them (the converter
// tells the current one's too once it runs).
void LengthsAhead(Looks& looks, BatchProgress& batch) {
    if (!looks.thread) return;
    AcquireSRWLockShared(&looks.lock);
    for (size_t i = batch.current; i < looks.done && i < batch.lengths.size(); ++i)
        if (!batch.lengths[i]) batch.lengths[i] = looks.lengths[i];
    ReleaseSRWLockShared(&looks.lock);
}

// A stopped batch leaves no look running.
void EndLooks(Looks& looks) {
    looks.stop = true;
    if (!looks.thread) return;
    WaitForSingleObject(looks.thread, INFINITE);
    CloseHandle(looks.thread);
}

// Runs one video of a batch in the batch's window; nothing when no worker could be started.
std::optional<VideoResult> ConvertOne(ConverterRun& run, HWND window, Animation& animation,
                                      TaskbarProgress& taskbar) {
    const OutputPlace place = PrepareOutput(run.request.outputFile);
    run.request.outputFile = place.written;
    bConverting = 1;
    WatchRun(&run);
    if (!StartConversionWorker(run)) {
        bConverting = 0;
        return std::nullopt;
    }
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
    Looks looks;
    StartLooks(looks, runs);
    Animation animation;
    animation.start = MonotonicSeconds();
    animation.progress = [&](double elapsed) {
        if (batch.current < runs.size()) {
            const ConverterProgress said = ProgressSnapshot(*runs[batch.current]);
            if (said.durationSeconds) batch.lengths[batch.current] = said.durationSeconds;
            batch.position = said.positionSeconds.value_or(0);
        }
        LengthsAhead(looks, batch);
        return std::pair{BatchProgressLabel(batch, elapsed), std::optional(BatchFractionDone(batch))};
    };
    SetTextOf(window, "Convert Video");
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    ForgetStopAnswers();
    {
        TaskbarProgress taskbar;
        for (; batch.current < runs.size() && !StopChosen(); ++batch.current) {
            ConverterRun& run = *runs[batch.current];
            LookAheadFor(looks, batch.current, run);
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
    EndLooks(looks);
    WatchRun(nullptr);
    DestroyWindow(window);
    ReleaseFont(pleaseWaitFont);
    if (ExitAfterRun()) return;
    FlashWhenInBackground();
    const ClosingMessage message = BatchClosingMessage(results, StopChosen());
    MessageBoxW(hMainDlg, WideFrom(message.text, CP_UTF8).c_str(), WideFrom(message.caption, CP_UTF8).c_str(),
                MB_OK | (message.caption == "Information" ? MB_ICONINFORMATION : MB_ICONEXCLAMATION));
}
