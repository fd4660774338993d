// Decisions of the publish flow, free of Windows headers: the animation of the progress
// window, the elapsed-time text and the words of the messages that end a run.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Five green levels that rise one after the other: each pass adds 5 to the first; a
// level that passes 255 stays at 255 and the next one rises; when the last passes 255,
// all five start again at 20. A full cycle is 236 passes.
using GreenCascade = std::array<int16_t, 5>;
constexpr GreenCascade kCascadeStart = {20, 20, 20, 20, 20};
void AdvanceCascade(GreenCascade& levels);

// The animation frames run 1, 2, 3, 4, 1, ... (0 before the first change).
int NextFrame(int frame);

// "Processing time: HH:MM:SS" with whole hours, minutes and seconds, each at least two digits.
std::string ProcessingTimeText(double elapsedSeconds);

// The words shown when a run does not end as the user hoped.
std::string CouldNotStartMessage(std::string_view converterPath, std::string_view systemErrorText);
// The failure names the converter's exit code (0: it could not finish the output), then its words.
std::string ConverterFailedMessage(unsigned long exitCode, const std::vector<std::string>& errorLines);
// Writing failed on a volume with no room left: said plainly, then the converter's words.
std::string DiskFullMessage(std::string_view volume, const std::vector<std::string>& errorLines);
// The fast mode refused to start: why, then what the user can do.
std::string RefusalMessage(std::string_view refusal, std::string_view advice);
// The converted video could not take the place of the file it was to replace (`why`: the system's
// words), and is kept beside it.
std::string KeptBesideMessage(std::string_view target, std::string_view why, std::string_view keptAs);
// The converted video could be saved nowhere.
std::string NotSavedMessage(std::string_view target, std::string_view why);
