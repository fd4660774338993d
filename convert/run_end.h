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
    AsRun,      // placed or removed as the run's outcome says
    DiskFull,   // the run failed because the output's disk is full (detail: the volume)
    KeptBeside, // converted, but kept beside the chosen name, which could not be replaced (detail: why)
    NotSaved,   // converted, but it could be saved nowhere (detail: why)
};
struct SettledOutput {
    OutputEnd end = OutputEnd::AsRun;
    std::string detail;
    std::string keptAs; // where the converted video is
};

// Puts a successful run's output in its place (or, where the chosen file cannot be replaced, beside
// it), with the input's creation and modification times so that it sorts with the original, and
// removes what a failed or stopped run wrote; a result that can be saved nowhere makes the run a
// failure. Texts below are UTF-8.
SettledOutput Settle(ConverterRun& run, const OutputPlace& place);

// The words for a failed run: the converter's, or those of a full disk or a video saved nowhere.
std::string FailureMessage(const ConverterRun& run, const OutputPlace& place, const SettledOutput& settled);
// The words for a video kept beside the file it could not replace.
std::string KeptBesideMessageOf(const OutputPlace& place, const SettledOutput& settled);
// The converter's error lines, naming the user's file where they name the temporary one.
std::vector<std::string> InUsersNames(const ConverterRun& run, const OutputPlace& place);

// What one video of a batch came to, in the words of the closing message.
VideoResult ResultOf(const ConverterRun& run, const OutputPlace& place, const SettledOutput& settled);

// The message boxes that end a run: flashing the taskbar button first when another program is in front.
void FlashWhenInBackground();
void ShowAttention(HWND owner, const std::wstring& text);
