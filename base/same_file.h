// Telling whether an output path names the input file, or no file at all.
#pragma once

#include <string>

// True when two paths (process code page) name the same file: the same full path, ignoring
// case, 8.3 short forms and relative parts; or, where both exist, the same file on the same
// volume (which also catches links).
bool NamesSameFile(const std::string& first, const std::string& second);

// Why a file cannot be the output of a conversion of `input`, in the user's words, or "" when it
// can: it is the input itself, or a name that Windows keeps for a device (nothing would be written).
std::wstring WhyNotAnOutput(const std::string& input, const std::string& output);
