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
#include "convert/looks.h"
#include "convert/output_place.h"
#include "convert/progress_window.h"
#include "convert/publish.h"
#include "convert/publish_logic.h"
#include "convert/run_end.h"
#include "mainwin/main_ids.h"
#include "toolkit/toolkit.h"

namespace {

// The lengths of the videos not yet converted, as far as their looks have told them (the converter
// tells the current one's too once it runs).
void LengthsAhead(const std::vector<std::unique_ptr<ConverterRun>>& runs, BatchProgress& batch) {
    for (size_t i = batch.current; i < runs.size() && i < batch.lengths.size(); ++i)
        if (!batch.lengths[i])
            if (const auto look = KeptLook(runs[i]->request.inputFile))
                batch.lengths[i] = look->durationSeconds;
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
    return ResultOf(run, place, settled);
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
            {Utf8Of(video.input), false, video.output.empty() ? "the output would be the video itself" : ""});
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
            if (said.durationSeconds) batch.lengths[batch.current] = said.durationSeconds;
            batch.position = said.positionSeconds.value_or(0);
        }
        LengthsAhead(runs, batch);
        return std::pair{BatchProgressLabel(batch, elapsed), std::optional(BatchFractionDone(batch))};
    };
    SetTextOf(window, "Convert Video");
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    ForgetStopAnswers();
    {
        TaskbarProgress taskbar;
        for (; batch.current < runs.size() && !StopChosen(); ++batch.current) {
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
    WatchRun(nullptr);
    DestroyWindow(window);
    ReleaseFont(pleaseWaitFont);
    if (ExitAfterRun()) return;
    FlashWhenInBackground();
    const ClosingMessage message = BatchClosingMessage(results, StopChosen());
    MessageBoxW(hMainDlg, WideFrom(message.text, CP_UTF8).c_str(), WideFrom(message.caption, CP_UTF8).c_str(),
                MB_OK | (message.caption == "Information" ? MB_ICONINFORMATION : MB_ICONEXCLAMATION));
}
