// Where one run writes and what becomes of that file when the run is over: the chosen file is
// replaced only by a finished conversion, and no run leaves a file of its own behind.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "convert/output_file.h"

struct OutputPlace {
    std::string target;  // the file the user chose (process code page)
    std::string written; // where the converter writes: a temporary file beside it
};

// What became of the output once the run was over.
struct SettledPlace {
    OutputFate fate = OutputFate::NotConverted;
    std::string keptAs;  // where the conversion is now: the target, or a free name beside it
    std::string problem; // the system's words for why it could not take the target's name
};

// Removes the temporary outputs that runs of ended programs left in this folder, except those in
// `keep` (leftovers the user loaded to convert).
void RemoveLeftoverOutputs(const std::string& folder, const std::vector<std::string>& keep);

// Where a run into `target` writes: a temporary file beside it. Leftovers of earlier runs in that
// folder are removed first, the videos in `keep` excepted.
OutputPlace PrepareOutput(const std::string& target, const std::vector<std::string>& keep);

// After the run: a successful run's temporary file takes the target's name, or, where the target
// cannot be replaced (held open by a player), a free name beside it; whatever a failed or stopped
// run wrote is removed.
SettledPlace SettleOutput(const OutputPlace& place, bool succeeded, bool mayWriteNoFile);

// Gives the output the input's creation and modification times, so that it sorts with the original.
void KeepDatesOf(const std::string& input, const std::string& output);

// Free bytes for this user on the volume that holds the path's folder; nothing when unknown.
std::optional<std::uint64_t> FreeBytesBeside(const std::string& path);
// The root of the volume that holds the path ("D:\").
std::string VolumeOf(const std::string& path);
