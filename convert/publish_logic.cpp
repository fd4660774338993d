#include "convert/publish_logic.h"

#include <cstdio>
#include <utility>

void AdvanceCascade(GreenCascade& levels) {
    levels[0] = static_cast<int16_t>(levels[0] + 5);
    for (size_t i = 0; i + 1 < levels.size(); ++i) {
        if (levels[i] > 255) {
            levels[i] = 255;
            levels[i + 1] = static_cast<int16_t>(levels[i + 1] + 5);
        }
    }
    if (levels.back() > 255) levels = kCascadeStart;
}

int NextFrame(int frame) {
    return frame >= 4 ? 1 : frame + 1;
}

std::string ProcessingTimeText(double elapsedSeconds) {
    if (!(elapsedSeconds > 0)) elapsedSeconds = 0;
    const long long hours = static_cast<long long>(elapsedSeconds / 3600);
    const long long minutes = static_cast<long long>((elapsedSeconds - 3600.0 * hours) / 60);
    const long long seconds = static_cast<long long>(elapsedSeconds - 3600.0 * hours - 60.0 * minutes);
    char text[64];
    std::snprintf(text, sizeof text, "Processing time: %02lld:%02lld:%02lld", hours, minutes, seconds);
    return text;
}

std::string CouldNotStartMessage(std::string_view converterPath, std::string_view systemErrorText) {
    std::string message = "The converter could not be started:\r\n";
    message += converterPath;
    message += "\r\n\r\n";
    message += systemErrorText;
    return message;
}

namespace {

std::string WithLines(std::string message, const std::vector<std::string>& lines) {
    if (!lines.empty()) message += "\r\n";
    for (const std::string& line : lines)
        message += "\r\n" + line;
    return message;
}

} // namespace

namespace {

// What the converter's first words on a failure mean to someone who does not know its messages.
std::string PlainCause(const std::vector<std::string>& errorLines) {
    static constexpr std::pair<std::string_view, std::string_view> kCauses[] = {
        {"Invalid data found when processing input",
         "the file is not a video the converter can read, or it is damaged."},
        {"moov atom not found", "the video is incomplete (its recording may not have been finished)."},
        {"No such file or directory", "the video could not be found."},
        {"Permission denied", "a file could not be opened: access was denied."},
        {"Decoder (codec", "the converter cannot read one of the video's tracks."},
    };
    if (errorLines.empty()) return {};
    for (auto [words, cause] : kCauses)
        if (errorLines.front().find(words) != std::string::npos) return std::string(cause);
    return {};
}

} // namespace

std::string ConverterFailedMessage(unsigned long exitCode, const std::vector<std::string>& errorLines) {
    std::string cause = PlainCause(errorLines);
    if (cause.empty())
        cause = exitCode == 0 ? "the converter could not finish the output file."
                              : "the converter ended with exit code " + std::to_string(exitCode) + ".";
    return WithLines("The conversion failed: " + cause, errorLines);
}

std::string DiskFullMessage(std::string_view volume, const std::vector<std::string>& errorLines) {
    return WithLines(
        "The conversion failed: the disk is full.\r\nThere is no room left on " + std::string(volume) +
            " for the output file. Free some space there or choose another disk, then try again.",
        errorLines);
}

std::string KeptBesideMessage(std::string_view target, std::string_view why, std::string_view keptAs) {
    return "The video was converted, but it could not replace\r\n" + std::string(target) + "\r\n\r\n" +
           std::string(why) + " (another program may be using it)\r\n\r\nThe new video is saved as\r\n" +
           std::string(keptAs) + "\r\n\r\nThe old file is as it was.";
}

std::string NotSavedMessage(std::string_view target, std::string_view why) {
    return "The video was converted, but it could not be saved as\r\n" + std::string(target) + "\r\n\r\n" +
           std::string(why) + "\r\n\r\nAny file of that name is as it was.";
}

std::string RefusalMessage(std::string_view refusal, std::string_view advice) {
    return "The video was not converted: " + std::string(refusal) + ".\r\n\r\n" + std::string(advice);
}
