#include "convert/publish.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "base/globals.h"
#include "base/program_folder.h"
#include "base/same_file.h"
#include "base/text.h"
#include "convert/converter_run.h"
#include "convert/looks.h"
#include "convert/output_place.h"
#include "convert/progress_window.h"
#include "convert/run_end.h"
#include "toolkit/toolkit.h"

namespace {

// One video's paths are tested again, though its caller has: a guard costs nothing.
bool RefusedByGuards(const PlannedVideo& video) {
    if (TrimBlanks(video.input).empty()) {
        MessageBoxA(nullptr, "Input file not found", "Attention", MB_OK | MB_ICONEXCLAMATION);
        return true;
    }
    if (TrimBlanks(video.output).empty()) {
        MessageBoxA(nullptr, "Output file not found", "Attention", MB_OK | MB_ICONEXCLAMATION);
        return true;
    }
    if (const std::wstring why = WhyNotAnOutput(video.input, video.output); !why.empty()) {
        ShowAttention(hMainDlg, why);
        return true;
    }
    return false;
}

// The lengths of the videos not yet converted, as far as their looks have told them (the converter
// tells the current one's too once it runs).
void LengthsAhead(const std::vector<std::unique_ptr<ConverterRun>>& runs, BatchProgress& batch) {
    for (size_t i = batch.current; i < runs.size() && i < batch.lengths.size(); ++i)
        if (!batch.lengths[i])
            if (const auto look = KeptLook(runs[i]->request.inputFile))
                batch.lengths[i] = look->durationSeconds;
}

// Runs one video in the progress window; nothing when no worker could be started (`startError` says why).
// The leftovers of earlier runs removed beside its output are never among `loaded`.
std::optional<VideoResult> ConvertOne(ConverterRun& run, const std::vector<std::string>& loaded, HWND window,
                                      Animation& animation, TaskbarProgress& taskbar, DWORD& startError) {
    const OutputPlace place = PrepareOutput(run.request.outputFile, loaded);
    run.request.outputFile = place.written;
    bConverting = 1;
    WatchRun(&run);
    if (!StartConversionWorker(run)) {
        startError = GetLastError();
        bConverting = 0;
        return std::nullopt;
    }
    bNotifyFinished = 1;
    AnimateUntilWorkerEnds(window, animation, run, taskbar);
    ReleaseConverterRun(run);
    const SettledOutput settled = Settle(run, place);
    return ResultOf(run, place, settled);
}

void TellHowItWent(const std::vector<VideoResult>& results) {
    if (ExitAfterRun()) return; // the program is closing: nothing more to say
    FlashWhenInBackground();
    const ClosingMessage message = ClosingMessageFor(results, StopChosen());
    MessageBoxW(hMainDlg, WideFrom(message.text, CP_UTF8).c_str(), WideFrom(message.caption, CP_UTF8).c_str(),
                MB_OK | (message.caption == "Information" ? MB_ICONINFORMATION : MB_ICONEXCLAMATION));
}

// The runs of a publish, one per video that has an output, each with its own copy of the choices:
// later changes in the window do not reach them. `results` keep the plan's order; a video not
// started keeps an empty reason.
struct Runs {
    std::vector<std::unique_ptr<ConverterRun>> runs;
    std::vector<size_t> placeOfRun;  // in the results
    std::vector<std::string> inputs; // every video of the plan
};

Runs RunsFor(const std::vector<PlannedVideo>& plan, const PublishChoices& choices,
             std::vector<VideoResult>& results) {
    Runs made;
    for (const PlannedVideo& video : plan) {
        made.inputs.push_back(video.input);
        results.push_back(
            {Utf8Of(video.input), false, video.output.empty() ? "the output would be the video itself" : ""});
        if (video.output.empty()) continue;
        made.placeOfRun.push_back(results.size() - 1);
        made.runs.push_back(std::make_unique<ConverterRun>());
        made.runs.back()->request = {ModeOf(nMode), sCrf, sCustomParams, video.input, video.output};
        if (plan.size() == 1) made.runs.back()->request.part = choices.part;
        made.runs.back()->programFolder = ToCodePage(ProgramFolder());
    }
    return made;
}

// Converts the runs one after the other in the progress window, until the user stops.
void ConvertEach(Runs& made, std::vector<VideoResult>& results, HWND window, bool batch) {
    auto& runs = made.runs;
    BatchProgress progress{std::vector<std::optional<double>>(runs.size())};
    Animation animation;
    animation.start = MonotonicSeconds();
    animation.progress = [&](double elapsed) {
        if (progress.current >= runs.size()) return std::pair{std::string(), std::optional<double>()};
        const ConverterProgress said = ProgressSnapshot(*runs[progress.current]);
        // One video's time left follows the converter's speed; a batch's the pace of the whole.
        if (!batch) return std::pair{ProgressLabel(said, elapsed), FractionDone(said)};
        if (said.durationSeconds) progress.lengths[progress.current] = said.durationSeconds;
        progress.position = said.positionSeconds.value_or(0);
        LengthsAhead(runs, progress);
        return std::pair{BatchProgressLabel(progress, elapsed), std::optional(BatchFractionDone(progress))};
    };
    TaskbarProgress taskbar;
    for (; progress.current < runs.size() && !StopChosen(); ++progress.current) {
        ConverterRun& run = *runs[progress.current];
        if (batch)
            SetItemText(window, ID_PROGRESS_VIDEO,
                        VideoOfBatchText(progress.current, runs.size(), run.request.inputFile));
        progress.position = 0;
        DWORD startError = 0;
        const std::optional<VideoResult> result =
            ConvertOne(run, made.inputs, window, animation, taskbar, startError);
        VideoResult& told = results[made.placeOfRun[progress.current]];
        if (!result) {
            told.reason = "the conversion could not be started";
            told.message =
                "The conversion could not be started (system error " + std::to_string(startError) + ").";
            break;
        }
        progress.lengths[progress.current] = ProgressSnapshot(run).durationSeconds;
        told = *result;
    }
}

} // namespace

void PublishVideos(const std::vector<PlannedVideo>& plan, const PublishChoices& choices) {
    // A second run inside the first one's wait would share its flag and its window.
    if (PublishInProgress() || bConverting || plan.empty()) {
        MessageBeep(0);
        return;
    }
    Sleep(100);
    const bool batch = plan.size() > 1;
    if (!batch && RefusedByGuards(plan.front())) return;
    nCompression = CompressionFromItemText(choices.compressionItem);
    sCrf = CrfFromCompression(nCompression);
    sCustomParams = choices.customParams;

    std::vector<VideoResult> results;
    Runs runs = RunsFor(plan, choices, results);
    HFONT pleaseWaitFont = NewFont("Times New Roman", 20, false, false, false, false, ANSI_CHARSET);
    HWND window = ShowProgressWindow(pleaseWaitFont, batch);
    SetTextOf(window, "Convert Video");
    // Painted now, so that even a run that ends at once shows its window for a pass.
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    ForgetStopAnswers();
    ConvertEach(runs, results, window, batch);
    WatchRun(nullptr);
    DestroyWindow(window);
    ReleaseFont(pleaseWaitFont);
    TellHowItWent(results);
    bNotifyFinished = 0;
}
