// The looks at the loaded videos: taken one after the other on a thread of their own as soon as the
// videos are loaded, while the user chooses a mode and a name, so that Publish starts the converter
// at once. A look is kept for its file as long as the file's size and time stamp are unchanged.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "convert/media_look.h"

// A look reads only a file's header: one that takes longer is given up on.
inline constexpr DWORD kLookMs = 15000;

// Looks at these videos (process code page), in this order, before any other not yet looked at.
void LookAhead(const std::vector<std::string>& inputs);

// The look at an input: the one kept, else the one under way or a new one, waited for until it is
// taken or `stop` is signalled (then nothing).
std::optional<MediaLook> AwaitLook(const std::string& input, HANDLE stop);

// The look at an input as it was last loaded, if it has been taken; never waits.
std::optional<MediaLook> KeptLook(const std::string& input);

// Ends the look under way at once and takes no more (the program is closing).
void StopLooking();
