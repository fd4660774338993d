// Reads what the converter writes to standard error while it works: the first input's
// duration, the position reached, the speed, and the last lines that were not progress
// (the converter's own words when it fails). No Windows headers here.
//
// The converter ends progress lines with a carriage return and other lines with a line
// feed (a carriage return and a line feed on Windows); both count as line ends here, and
// text may arrive in chunks of any size. Memory stays bounded however much is written.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/media_look.h"

// Longest line kept (in bytes); the rest of a longer line is dropped.
inline constexpr size_t kLongestConverterLine = 500;
// How many of the error lines (and, failing those, of the last other lines) are kept.
inline constexpr size_t kKeptConverterLines = 5;

struct ConverterProgress {
    // What has been learnt so far; a value the converter reports as "N/A" leaves the
    // previous one in place.
    std::optional<double> durationSeconds; // of input #0; unknown when it says "N/A"
    std::optional<double> positionSeconds; // never negative
    std::optional<double> speed;           // media seconds per wall-clock second
    std::optional<double> pictures;        // written so far, where the output has any
    std::deque<std::string> lastOtherLines;
    std::deque<std::string> errorLines;       // by their words: the first, then the last few
    std::deque<std::string> taggedErrorLines; // by their level tags: the first, then the last few
    bool levelsTagged = false;                // the converter tags its lines with their level
    bool outputWriteFailed = false;           // it said it could not write or finish the output file

    // Reading state.
    std::string pendingLine; // the unfinished line, at most kLongestConverterLine bytes
    bool pendingLineCut = false;
    ListingReading listing; // the converter's listing of its input, where it writes one
};

// Takes the next bytes the converter wrote.
void FeedConverterOutput(ConverterProgress& progress, std::string_view chunk);
// Takes a last line that had no line end, once the converter has closed its output.
void FinishConverterOutput(ConverterProgress& progress);

// Share of the input converted, in [0, 1]; unknown without a duration above zero or a position.
std::optional<double> FractionDone(const ConverterProgress& progress);

// Seconds still to go: remaining media time divided by the speed when the speed is above
// zero; otherwise, when the caller gives the wall-clock seconds since the start, the time
// taken so far scaled by the share still to do. Unknown when neither works.
std::optional<double> SecondsLeft(const ConverterProgress& progress,
                                  std::optional<double> elapsedSeconds = std::nullopt);

// "HH:MM:SS", rounded to the nearest second; hours may have more than two digits.
std::string ClockText(double seconds);

// The text under the progress bar: "42%  00:01:10 left", "42%" when the time left is
// unknown, and empty when the share done is unknown. The percentage is rounded down.
std::string ProgressLabel(const ConverterProgress& progress,
                          std::optional<double> elapsedSeconds = std::nullopt);

// The lines that say what failed, not the banner, headers, statistics or progress: the first
// one, which names the cause, and the last few, oldest first. Where the converter tags its lines
// with their level, those of the error levels; otherwise those that read like errors. A converter
// that said nothing of the kind gives its last few lines that were not progress.
std::vector<std::string> ErrorLines(const ConverterProgress& progress);
