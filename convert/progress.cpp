#include "convert/progress.h"

#include "base/text.h"
#include "convert/media_look.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace {

// Beyond this the clock text would be meaningless (and converting to an integer unsafe).
constexpr double kLongestClockSeconds = 1e10;

// The value of "key=value" in a progress line: the text after "key=" and any blanks, up to
// the next blank. The key must start the line or follow a blank ("time" is not "xtime").
std::optional<std::string_view> FieldValue(std::string_view line, std::string_view key) {
    for (size_t at = line.find(key); at != line.npos; at = line.find(key, at + 1)) {
        const size_t equals = at + key.size();
        if ((at > 0 && line[at - 1] != ' ') || equals >= line.size() || line[equals] != '=') continue;
        std::string_view value = WithoutOuterBlanks(line.substr(equals + 1));
        return value.substr(0, value.find(' '));
    }
    return std::nullopt;
}

bool IsProgressLine(std::string_view line) {
    return StartsWith(line, "frame=") || StartsWith(line, "size=") || StartsWith(line, "Lsize=");
}

void TakeProgressLine(ConverterProgress& progress, std::string_view line) {
    if (const auto time = FieldValue(line, "time")) {
        if (const auto seconds = TimestampSeconds(*time)) progress.positionSeconds = std::max(0.0, *seconds);
    }
    if (auto speed = FieldValue(line, "speed")) {
        const auto value = TakeDecimal(*speed);
        if (value && StartsWith(*speed, "x")) progress.speed = *value;
    }
    if (auto pictures = FieldValue(line, "frame"))
        if (const auto count = TakeDigits(*pictures)) progress.pictures = *count;
}

void KeepOtherLine(ConverterProgress& progress, std::string_view line) {
    progress.lastOtherLines.emplace_back(line);
    if (progress.lastOtherLines.size() > kKeptConverterLines) progress.lastOtherLines.pop_front();
}

// Without level tags (the custom mode's parameters are passed as typed), the converter's words for
// what went wrong are told from its banner, stream headers (indented), statistics and warnings by
// the words they use.
bool SoundsLikeAnError(std::string_view rawLine, std::string_view line) {
    static constexpr std::string_view kWords[] = {"error",
                                                  "failed",
                                                  "invalid",
                                                  "no such file",
                                                  "permission denied",
                                                  "no space",
                                                  "not found",
                                                  "unknown",
                                                  "unrecognized",
                                                  "not supported",
                                                  "are supported",
                                                  "not compatible",
                                                  "unsupported",
                                                  "could not",
                                                  "cannot",
                                                  "unable",
                                                  "undefined",
                                                  "bad file descriptor",
                                                  "divisible",
                                                  "does not support",
                                                  "matches no streams"};
    if (rawLine.front() == ' ' || StartsWith(line, "video:")) return false; // headers, the sizes written
    return std::any_of(std::begin(kWords), std::end(kWords),
                       [&](std::string_view word) { return ContainsIgnoringCase(line, word); });
}

// A line as "-loglevel level+..." writes it: "[libx264 @ 0x55] [error] width not divisible by 2"
// or "[fatal] Stream map '0:5' matches no streams.". Gives the level and the line without it and
// without the address, which means nothing to a user: "[libx264] width not divisible by 2".
struct TaggedLine {
    std::string_view level;
    std::string text;
};
std::optional<TaggedLine> LevelTagged(std::string_view line) {
    static constexpr std::string_view kLevels[] = {"panic", "fatal",   "error", "warning",
                                                   "info",  "verbose", "debug", "trace"};
    std::string contexts; // "[libx264] ", a parent's before its child's
    for (size_t close = line.find(']'); StartsWith(line, "[") && close != line.npos; close = line.find(']')) {
        const std::string_view inside = line.substr(1, close - 1);
        const size_t at = inside.find(" @ ");
        if (at == inside.npos) break;
        contexts.append("[").append(inside.substr(0, at)).append("] ");
        line.remove_prefix(std::min(close + 2, line.size()));
    }
    for (std::string_view level : kLevels)
        if (StartsWith(line, "[") && line.substr(1, level.size()) == level &&
            line.substr(level.size() + 1, 2) == "] ")
            return TaggedLine{level, contexts.append(line.substr(level.size() + 3))};
    return std::nullopt;
}

// "[webm @ 05236200] Only VP8 ..." reads "[webm] Only VP8 ...".
std::string WithoutAddress(std::string_view line) {
    const size_t at = line.find(" @ "), close = line.find(']');
    if (line.front() != '[' || at == line.npos || close == line.npos || at > close) return std::string(line);
    return std::string(line.substr(0, at)).append(line.substr(close));
}

// Keeps the first error line, which usually names the cause, and the last few, which say how it
// ended; a line that repeats the one before is kept once.
void KeepErrorLine(std::deque<std::string>& lines, std::string line) {
    if (!lines.empty() && lines.back() == line) return;
    if (lines.size() == kKeptConverterLines) lines.erase(lines.begin() + 1);
    lines.push_back(std::move(line));
}

void NoteWriteFailure(ConverterProgress& progress, std::string_view line) {
    progress.outputWriteFailed |= StartsWith(line, "Error writing trailer") ||
                                  StartsWith(line, "Error closing file") ||
                                  StartsWith(line, "av_interleaved_write_frame()");
}

void TakeLine(ConverterProgress& progress, std::string_view rawLine) {
    const std::string_view line = WithoutOuterBlanks(rawLine);
    if (line.empty()) return;
    if (IsProgressLine(line)) return TakeProgressLine(progress, line);
    if (const auto tagged = LevelTagged(rawLine)) {
        progress.levelsTagged = true;
        const bool error = tagged->level == "error" || tagged->level == "fatal" || tagged->level == "panic";
        if (error) {
            NoteWriteFailure(progress, tagged->text);
            KeepErrorLine(progress.taggedErrorLines, tagged->text);
        }
        KeepOtherLine(progress, tagged->text);
        return;
    }

    // The length of input #0, the file being converted, as the look reads it.
    TakeListingLine(progress.listing, rawLine);
    if (progress.listing.pastDuration && !progress.durationSeconds)
        progress.durationSeconds = progress.listing.look.durationSeconds;
    KeepOtherLine(progress, line);
    if (SoundsLikeAnError(rawLine, line)) {
        NoteWriteFailure(progress, line);
        KeepErrorLine(progress.errorLines, WithoutAddress(line));
    }
}

// Cuts text to at most `room` bytes without splitting a UTF-8 character.
std::string_view FittingPart(std::string_view text, size_t room) {
    if (text.size() <= room) return text;
    size_t cut = room;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return text.substr(0, cut);
}

// Once a line has been cut, the rest of it is dropped (not just what does not fit).
void AppendToPendingLine(ConverterProgress& progress, std::string_view piece) {
    if (progress.pendingLineCut) return;
    const std::string_view fitting = FittingPart(piece, kLongestConverterLine - progress.pendingLine.size());
    progress.pendingLine += fitting;
    progress.pendingLineCut = fitting.size() < piece.size();
}

void FinishPendingLine(ConverterProgress& progress) {
    TakeLine(progress, progress.pendingLine);
    progress.pendingLine.clear();
    progress.pendingLineCut = false;
}

} // namespace

void FeedConverterOutput(ConverterProgress& progress, std::string_view chunk) {
    while (!chunk.empty()) {
        const size_t end = chunk.find_first_of("\r\n");
        AppendToPendingLine(progress, chunk.substr(0, end));
        if (end == chunk.npos) return;
        FinishPendingLine(progress);
        chunk.remove_prefix(end + 1);
    }
}

void FinishConverterOutput(ConverterProgress& progress) {
    FinishPendingLine(progress);
}

std::optional<double> FractionDone(const ConverterProgress& progress) {
    if (!progress.durationSeconds || *progress.durationSeconds <= 0 || !progress.positionSeconds)
        return std::nullopt;
    return std::clamp(*progress.positionSeconds / *progress.durationSeconds, 0.0, 1.0);
}

std::optional<double> SecondsLeft(const ConverterProgress& progress, std::optional<double> elapsedSeconds) {
    const std::optional<double> fraction = FractionDone(progress);
    if (!fraction) return std::nullopt;
    if (progress.speed && *progress.speed > 0) {
        const double remainingMedia = *progress.durationSeconds * (1 - *fraction);
        return remainingMedia / *progress.speed;
    }
    if (elapsedSeconds && *elapsedSeconds >= 0 && *fraction > 0)
        return *elapsedSeconds * (1 - *fraction) / *fraction;
    return std::nullopt;
}

std::string ClockText(double seconds) {
    if (!(seconds > 0)) seconds = 0; // also NaN
    const long long whole = std::llround(std::min(seconds, kLongestClockSeconds));
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    return text;
}

std::string ProgressLabel(const ConverterProgress& progress, std::optional<double> elapsedSeconds) {
    const std::optional<double> fraction = FractionDone(progress);
    if (!fraction) return {};
    // The small allowance keeps 0.29 * 100 (28.999...) from showing as 28%.
    std::string label = std::to_string(static_cast<int>(std::floor(*fraction * 100 + 1e-9))) + "%";
    if (const auto left = SecondsLeft(progress, elapsedSeconds)) label += "  " + ClockText(*left) + " left";
    return label;
}

std::vector<std::string> ErrorLines(const ConverterProgress& progress) {
    const auto& lines = progress.levelsTagged ? progress.taggedErrorLines : progress.errorLines;
    if (!lines.empty()) return {lines.begin(), lines.end()};
    return {progress.lastOtherLines.begin(), progress.lastOtherLines.end()};
}
