#pragma once

#include <string>

// True when two paths (process code page) name the same file: the same full path, ignoring
// case, 8.3 short forms and relative parts; or, where both exist, the same file on the same
// volume (which also catches links).
bool NamesSameFile(const std::string& first, const std::string& second);
