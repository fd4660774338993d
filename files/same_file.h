// Telling whether an output path names the input file.
#pragma once

#include <string>

// True when two paths (process code page) name the same file: the same full path, ignoring
// case, 8.3 short forms and relative parts; or, where both exist, the same file on the same
// volume (which also catches links).
bool NamesSameFile(const std::string& first, const std::string& second);

// What the user is told when the output chosen would be the input itself.
inline constexpr const wchar_t* kOutputIsInputText =
    L"The output file is the input video itself: converting would destroy it.\r\n\r\n"
    L"Please choose another name for the output file.";
