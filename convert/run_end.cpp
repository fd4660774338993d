#include "convert/run_end.h"

#include "app/globals.h"
#include "convert/output_file.h"
#include "convert/publish_logic.h"

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
    if (run.outcome == RunOutcome::Succeeded) KeepDatesOf(run.request.inputFile, place.target);
    return settled;
}

std::string FailureMessage(const ConverterRun& run, const OutputPlace& place, const SettledOutput& settled) {
    if (settled.end == OutputEnd::DiskFull) return DiskFullMessage(settled.detail, run.errorLines);
    if (settled.end == OutputEnd::NotReplaced) return NotReplacedMessage(place.target, settled.detail);
    return ConverterFailedMessage(run.exitCode, run.errorLines);
}

VideoResult ResultOf(const ConverterRun& run, const SettledOutput& settled) {
    VideoResult result{run.request.inputFile, run.outcome == RunOutcome::Succeeded, ""};
    if (run.outcome == RunOutcome::Stopped) result.reason = "stopped";
    if (run.outcome == RunOutcome::Refused) result.reason = run.refusal + ". " + run.advice;
    if (run.outcome == RunOutcome::CouldNotStart)
        result.reason = "the converter could not be started: " + run.systemErrorText;
    if (run.outcome == RunOutcome::Failed)
        result.reason = run.errorLines.empty() ? "the converter failed" : run.errorLines.front();
    if (settled.end == OutputEnd::DiskFull) result.reason = "the disk " + settled.detail + " is full";
    if (settled.end == OutputEnd::NotReplaced)
        result.reason = "the old file could not be replaced: " + settled.detail;
    result.leftOut = run.leftOut;
    result.changed = run.changed;
    return result;
}

void FlashWhenInBackground() {
    DWORD foregroundProcess = 0;
    GetWindowThreadProcessId(GetForegroundWindow(), &foregroundProcess);
    if (foregroundProcess == GetCurrentProcessId()) return;
    FLASHWINFO flash{sizeof flash, hMainDlg, FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
    FlashWindowEx(&flash);
}

void ShowAttention(HWND owner, const std::wstring& text) {
    MessageBoxW(owner, text.c_str(), L"Attention", MB_OK | MB_ICONEXCLAMATION);
}
