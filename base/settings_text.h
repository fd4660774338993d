// Reading and writing KESTO.ini, the tagged text file that keeps four values between runs.
// No Windows headers here: the Win32 side reads and writes the bytes, these procedures decide.
#pragma once

#include <string>
#include <string_view>

struct StoredSettings {
    std::string inputDir;     // folder of the last input video
    std::string outputDir;    // folder of the last output
    int mode = 0;             // 1 usual, 0 fast, anything else custom
    std::string customParams; // converter parameters for the custom mode
    bool anyTagRead = false;  // on reading: the text held at least one of the four tags
};

// Reads the whole file text. Each value is taken from the first "<NAME>" up to its closing tag,
// a second "<NAME>" or the end of the text, then stripped of blanks (code 32) at both ends.
// An empty folder keeps defaultFolder; a missing MODE gives 0; CUSTOM is taken even when empty.
StoredSettings ParseSettingsText(std::string_view text, const std::string& defaultFolder);

// The six CR LF ended lines of the file, values stripped of blanks at both ends, not escaped.
std::string FormatSettingsText(const StoredSettings& settings);

// The raw text after the first "<NAME>", or empty when the tag does not occur.
std::string_view TaggedValueIn(std::string_view text, std::string_view name);

// The number at the start of a MODE value, read like strtod in the "C" locale (decimal only),
// rounded exactly from its digits to the nearest integer, halves to even, and clamped to the
// 32-bit signed range. No number, or "nan", gives 0; "inf"/"infinity" give the range's ends.
int ModeFromText(std::string_view text);

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF, no cut sequences.
bool IsValidUtf8(std::string_view bytes);

constexpr unsigned kUtf8CodePage = 65001;

// Whether file bytes must be read in the system's legacy ANSI code page: files from earlier
// versions were written in it, so where the process works in UTF-8, bytes that are not valid
// UTF-8 come from it. Where the process already works in the legacy page, nothing is converted.
bool IsLegacyCodePageText(std::string_view bytes, unsigned processCodePage, unsigned legacyCodePage);

// How a settings file's bytes are to be read. Notepad's "Unicode" is UTF-16 with a byte-order
// mark; its "UTF-8" may start with one. Without a mark the bytes are ANSI or UTF-8 text.
enum class TextForm { Plain, Utf8WithMark, Utf16Le, Utf16Be };
TextForm FormOf(std::string_view bytes);

// The UTF-16 code units that follow a two-byte order mark; an odd last byte is dropped.
std::u16string Utf16UnitsAfterMark(std::string_view bytes, bool bigEndian);
