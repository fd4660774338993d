// Small text helpers shared by every subsystem. No Windows headers here.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Removes leading and trailing blanks (code 32 only; tabs and line breaks stay).
std::string TrimBlanks(std::string_view text);
std::wstring TrimBlanks(std::wstring_view text);
std::string_view WithoutOuterBlanks(std::string_view text);

bool StartsWith(std::string_view text, std::string_view prefix);
inline bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool EndsWith(std::string_view text, std::string_view suffix);
// ASCII letters compared without regard to case.
bool SameIgnoringCase(std::string_view a, std::string_view b);
bool ContainsIgnoringCase(std::string_view text, std::string_view part);
std::string LowerCase(std::string_view text);

// Numbers at the front of text, taken off it: digits ("12"), and decimals ("1.9", "3.97e+03",
// "-3.3e-05" is not one: the sign is the caller's). Read by hand, so that no locale interferes.
std::optional<double> TakeDigits(std::string_view& text);
std::optional<double> TakeDecimal(std::string_view& text);

// The folder of a module path: everything before its last backslash, with every
// trailing backslash removed ("E:\KESTO.exe" gives "E:", "C:\Apps\KESTO.exe" gives "C:\Apps").
std::wstring ProgramFolderOf(std::wstring_view modulePath);

// The module path cut after its last backslash, backslash kept ("C:\Apps\KESTO.exe" gives "C:\Apps\").
std::wstring FolderWithBackslashOf(std::wstring_view modulePath);

// The command line after the program name (quoted or not) and the blanks that follow it.
std::string_view ArgumentsAfterProgramName(std::string_view commandLine);

// The arguments of a command line, split as Windows programs split them: at blanks and tabs
// outside double quotes; 2n backslashes before a quote are n backslashes and the quote counts,
// 2n+1 are n backslashes and a quote of the argument; "" within quotes is one quote.
std::vector<std::string> SplitArguments(std::string_view arguments);

// A path named on the command line as Windows reads it from `currentFolder` (a full path):
// relative to it, to its drive's root ("\\clip.avi") or to its drive ("C:clip.avi"), or already
// full; "." and ".." are resolved and "/" becomes "\\". ".." never climbs above a drive or share.
std::string FullPathFrom(std::string_view currentFolder, std::string_view path);

// A full path as the file functions take it at any length. Past what the plain form allows (a
// folder's 248 characters) it becomes "\\?\C:\..." or "\\?\UNC\server\share\...", a form the system
// takes as it is: "/" becomes "\" and "." and ".." are resolved first. Shorter paths, relative ones
// and those already in that form come back unchanged.
std::wstring LongPathForm(std::wstring_view path);

// The name of a file without its folder ("D:\Clips\a.mp4" gives "a.mp4").
std::string_view FileNameOf(std::string_view path);
// The name without its extension ("a.mp4" gives "a", "a" gives "a").
std::string_view StemOf(std::string_view path);
// The extension with its dot (".mp4"), or "" when the name has none.
std::string_view ExtensionOf(std::string_view path);

// Whether the name is one that Windows keeps for a device (CON, PRN, AUX, NUL, COM1 to COM9,
// LPT1 to LPT9), with any extension: writing to it writes nothing.
bool IsDeviceName(std::string_view path);

// The folder a file path lies in, the way the current directory names it: no trailing
// backslash except at a drive root ("C:\Clips\a.avi" gives "C:\Clips", "C:\a.avi" gives "C:\").
std::string FolderOfFile(std::string_view path);
