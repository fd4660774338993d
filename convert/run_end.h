// What the end of a run means for its output and for the user: the output put in its place with
// the input's dates, or removed, and the words that say how it went.
#pragma once

#include <windows.h>

#include <string>

#include "convert/batch.h"
#include "convert/converter_run.h"
#include "convert/output_place.h"

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

// Puts a successful run's output in its place, with the input's creation and modification times
// so that it sorts with the original, and removes what a failed or stopped run wrote; a result
// that cannot take its place makes the run a failure.
SettledOutput Settle(ConverterRun& run, const OutputPlace& place);

// The words for a failed run: the converter's, or those of a full disk or a file not replaced.
std::string FailureMessage(const ConverterRun& run, const OutputPlace& place, const SettledOutput& settled);

// What one video of a batch came to, in the words of the closing message.
VideoResult ResultOf(const ConverterRun& run, const SettledOutput& settled);

// The message boxes that end a run: flashing the taskbar button first when another program is in front.
void FlashWhenInBackground();
void ShowAttention(HWND owner, const std::wstring& text);
