// Where a conversion writes. An output that replaces an existing file is first written under a
// temporary name beside it and takes the file's place only once the conversion has succeeded,
// so a failed or stopped run leaves the old file as it was. No Windows headers here.
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
