// Where the program lives: its settings, log and converter are found beside it,
// never through the current directory.
#pragma once

#include <string>

// Full path of the running executable.
std::wstring ModulePath();
// The program's folder without a trailing backslash ("E:" for a program at a drive root).
std::wstring ProgramFolder();
// Wide text in the process code page, and back.
std::string ToCodePage(const std::wstring& text);
std::wstring FromCodePage(const std::string& text);
