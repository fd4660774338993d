#include "convert/run_end.h"

#include "base/globals.h"
#include "base/program_folder.h"
#include "base/text.h"
#include "convert/output_file.h"
#include "convert/publish_logic.h"

SettledOutput Settle(ConverterRun& run, const OutputPlace& place) {
    SettledOutput settled;
    // Free space is looked at before the broken output is removed, which gives some back.
    if (run.outcome == RunOutcome::Failed && run.outputWriteFailed) {
        const auto free = FreeBytesBeside(place.written);
        if (free && *free < kFullDiskFreeBytes) settled = {OutputEnd::DiskFull, VolumeOf(place.written), ""};
    }
    const SettledPlace where =
        SettleOutput(place, run.outcome == RunOutcome::Succeeded, run.request.mode == Mode::Custom);
    settled.keptAs = where.keptAs;
    if (where.fate == OutputFate::KeptBeside) settled = {OutputEnd::KeptBeside, where.problem, where.keptAs};
    if (where.fate == OutputFate::Lost) {
        run.outcome = RunOutcome::Failed;
        settled = {OutputEnd::NotSaved, where.problem, ""};
    }
    if (!settled.keptAs.empty()) KeepDatesOf(run.request.inputFile, settled.keptAs);
    return settled;
}

std::string FailureMessage(const ConverterRun& run, const OutputPlace& place, const SettledOutput& settled) {
    if (settled.end == OutputEnd::DiskFull)
        return DiskFullMessage(Utf8Of(settled.detail), InUsersNames(run, place));
    if (settled.end == OutputEnd::NotSaved) return NotSavedMessage(Utf8Of(place.target), settled.detail);
    return ConverterFailedMessage(run.exitCode, InUsersNames(run, place));
}

std::string KeptBesideMessageOf(const OutputPlace& place, const SettledOutput& settled) {
    return KeptBesideMessage(Utf8Of(place.target), settled.detail, Utf8Of(settled.keptAs));
}

std::vector<std::string> InUsersNames(const ConverterRun& run, const OutputPlace& place) {
    // The converter names the temporary file it writes; the user knows the name they chose.
    const std::string written = Utf8Of(place.written), target = Utf8Of(place.target);
    std::vector<std::string> lines = run.errorLines;
    for (std::string& line : lines)
        for (size_t at = line.find(written); !written.empty() && at != std::string::npos;
             at = line.find(written, at + target.size()))
            line.replace(at, written.size(), target);
    return lines;
}

VideoResult ResultOf(const ConverterRun& run, const OutputPlace& place, const SettledOutput& settled) {
    VideoResult result{Utf8Of(run.request.inputFile), run.outcome == RunOutcome::Succeeded, ""};
    result.leftOut = run.leftOut;
    result.changed = run.changed;
    const std::vector<std::string> lines = InUsersNames(run, place);
    switch (run.outcome) {
    case RunOutcome::Succeeded:
        if (settled.end != OutputEnd::KeptBeside) break;
        result.message = KeptBesideMessageOf(place, settled);
        result.changed += (result.changed.empty() ? "" : "\r\n") + std::string("saved as ") +
                          std::string(FileNameOf(Utf8Of(settled.keptAs))) +
                          ": the file of its own name could not be replaced (" + settled.detail + ")";
        break;
    case RunOutcome::Stopped: result.reason = "stopped"; break;
    case RunOutcome::Refused:
        result.reason = run.refusal + ". " + run.advice;
        result.message = RefusalMessage(run.refusal, run.advice);
        break;
    case RunOutcome::CouldNotStart:
        result.reason = "the converter could not be started: " + run.systemErrorText;
        result.message = CouldNotStartMessage(Utf8Of(run.converterPath), run.systemErrorText);
        break;
    case RunOutcome::Failed:
        result.reason = lines.empty() ? "the converter failed" : lines.front();
        if (settled.end == OutputEnd::DiskFull)
            result.reason = "the disk " + Utf8Of(settled.detail) + " is full";
        if (settled.end == OutputEnd::NotSaved) result.reason = "it could not be saved: " + settled.detail;
        result.message = FailureMessage(run, place, settled);
        break;
    }
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
