// Where a conversion writes and what becomes of it. Every output is first written under a temporary
// name beside the chosen one and takes that name only once the conversion has succeeded, so a
// failed, stopped or killed run never leaves a broken file under the user's name, and an old file
// stays as it was. No Windows headers here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// "D:\Out\keep.webm" written by process 1234 goes to "D:\Out\keep.kesto-part-1234.webm": the
// extension stays last, since it tells the converter the format.
std::string TemporaryOutputPath(std::string_view output, unsigned long processId);

// The process that named a temporary output, from the file's name; nothing for other names.
std::optional<unsigned long> TemporaryOutputOwner(std::string_view fileName);

// Below this much free space a volume on which writing the output failed is taken to be full.
inline constexpr std::uint64_t kFullDiskFreeBytes = 16ull << 20;

// What becomes of a run's output, from how the run ended and how the moves of the finished
// conversion went: onto the chosen name, else to a free name beside it (the chosen file is held
// by another program, a player say).
enum class OutputFate {
    Placed,      // the conversion has the chosen name
    KeptBeside,  // it has a free name beside; the chosen file (if any) is as it was
    Lost,        // it could be put nowhere and was removed; the chosen file is as it was
    NotConverted // the run failed or was stopped; what it wrote was removed
};
OutputFate FateOf(bool succeeded, bool movedToChosenName, bool movedBeside);

// "D:\Out\clip.mp4" numbered: "D:\Out\clip (2).mp4".
std::string NumberedName(std::string_view path, int number);
