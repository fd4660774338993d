// Where the program lives: its converter is found beside it, and its settings and log where
// it may write, never through the current directory.
#pragma once

#include <string>

// Full path of the running executable.
std::wstring ModulePath();
// The program's folder without a trailing backslash ("E:" for a program at a drive root).
std::wstring ProgramFolder();
// Chooses, once at start-up, where the settings file and the processing log are kept: the
// program's folder where it may be written to (as under a user's own folder), otherwise
// %APPDATA%\KESTO (as under Program Files). Gives the words that tell the user so when that
// folder has just been made, so that they are said once, or that nothing can be saved when neither
// may be written to; otherwise "".
std::wstring ChooseDataFolder();
// The folder chosen; the program's folder before a choice.
std::wstring DataFolder();

// The process's current directory, in the process code page.
std::string CurrentDirectory();

// Wide text in the process code page, and back.
std::string ToCodePage(const std::wstring& text);
std::wstring FromCodePage(const std::string& text);
// A path for the file functions, at any length: a path in the process code page (outer blanks
// removed), or wide.
std::wstring FileApiPath(const std::string& path);
std::wstring FileApiPath(const std::wstring& path);
// Process code page text as UTF-8, the encoding of every text the program shows.
std::string Utf8Of(const std::string& codePageText);
std::string Utf8From(const std::wstring& text);

// The system's words for an error code ("error 5" when it has none), in UTF-8.
std::string SystemErrorText(unsigned long error);
// Bytes in the given code page (CP_UTF8 for the converter's words) as wide text.
std::wstring WideFrom(const std::string& bytes, unsigned codePage);
