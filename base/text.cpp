#include "base/text.h"

#include <algorithm>
#include <cmath>

namespace {

template <class Char> std::basic_string_view<Char> WithoutOuterBlanksOf(std::basic_string_view<Char> text) {
    const auto first = text.find_first_not_of(Char(' '));
    if (first == text.npos) return {};
    return text.substr(first, text.find_last_not_of(Char(' ')) - first + 1);
}

} // namespace

std::string TrimBlanks(std::string_view text) {
    return std::string(WithoutOuterBlanksOf(text));
}
std::wstring TrimBlanks(std::wstring_view text) {
    return std::wstring(WithoutOuterBlanksOf(text));
}
std::string_view WithoutOuterBlanks(std::string_view text) {
    return WithoutOuterBlanksOf(text);
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

namespace {
char LowerCaseOf(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}
bool SameLetter(char a, char b) {
    return LowerCaseOf(a) == LowerCaseOf(b);
}
} // namespace

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), SameLetter);
}

bool ContainsIgnoringCase(std::string_view text, std::string_view part) {
    return std::search(text.begin(), text.end(), part.begin(), part.end(), SameLetter) != text.end();
}

std::string LowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = LowerCaseOf(c);
    return lower;
}

std::wstring FolderWithBackslashOf(std::wstring_view modulePath) {
    const auto slash = modulePath.rfind(L'\\');
    if (slash == modulePath.npos) return {};
    return std::wstring(modulePath.substr(0, slash + 1));
}

std::wstring ProgramFolderOf(std::wstring_view modulePath) {
    std::wstring folder = FolderWithBackslashOf(modulePath);
    while (!folder.empty() && folder.back() == L'\\')
        folder.pop_back();
    return folder;
}

std::string_view ArgumentsAfterProgramName(std::string_view commandLine) {
    size_t at = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        const auto closing = commandLine.find('"', 1);
        at = closing == commandLine.npos ? commandLine.size() : closing + 1;
    } else {
        while (at < commandLine.size() && commandLine[at] != ' ' && commandLine[at] != '\t')
            ++at;
    }
    while (at < commandLine.size() && (commandLine[at] == ' ' || commandLine[at] == '\t'))
        ++at;
    return commandLine.substr(at);
}

std::string_view FileNameOf(std::string_view path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == path.npos ? path : path.substr(slash + 1);
}

std::string_view StemOf(std::string_view path) {
    const std::string_view name = FileNameOf(path);
    const size_t dot = name.rfind('.');
    return dot == name.npos || dot == 0 ? name : name.substr(0, dot);
}

std::string_view ExtensionOf(std::string_view path) {
    const std::string_view name = FileNameOf(path);
    const size_t dot = name.rfind('.');
    return dot == name.npos || dot == 0 ? std::string_view() : name.substr(dot);
}

bool IsDeviceName(std::string_view path) {
    std::string_view name = path.substr(std::min(path.size(), path.find_last_of("\\/:") + 1));
    name = name.substr(0, name.find('.'));
    while (!name.empty() && name.back() == ' ')
        name.remove_suffix(1);
    std::string upper;
    for (char c : name)
        upper += char((c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c));
    if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL" || upper == "CONIN$" ||
        upper == "CONOUT$")
        return true;
    // COM1 to COM9 and LPT1 to LPT9, also with the superscript digits ¹ ² ³ that Windows counts too.
    const std::string_view port(upper);
    if (port.substr(0, 3) != "COM" && port.substr(0, 3) != "LPT") return false;
    const std::string_view digit = port.substr(3);
    return (digit.size() == 1 && digit[0] >= '1' && digit[0] <= '9') || digit == "\xC2\xB9" ||
           digit == "\xC2\xB2" || digit == "\xC2\xB3";
}

std::string FolderOfFile(std::string_view path) {
    const auto slash = path.rfind('\\');
    if (slash == path.npos) return {};
    std::string folder(path.substr(0, slash));
    if (folder.size() == 2 && folder[1] == ':') folder += '\\';
    return folder.empty() ? std::string("\\") : folder;
}

std::vector<std::string> SplitArguments(std::string_view arguments) {
    std::vector<std::string> split;
    std::string current;
    bool quoted = false, started = false;
    for (size_t at = 0; at < arguments.size(); ++at) {
        const char c = arguments[at];
        if (c == '\\') {
            size_t backslashes = 0;
            while (at < arguments.size() && arguments[at] == '\\')
                ++backslashes, ++at;
            const bool beforeQuote = at < arguments.size() && arguments[at] == '"';
            current.append(beforeQuote ? backslashes / 2 : backslashes, '\\');
            if (beforeQuote && backslashes % 2)
                current += '"';
            else
                --at; // the quote (or whatever follows) is read next
            started = true;
        } else if (c == '"') {
            if (quoted && at + 1 < arguments.size() && arguments[at + 1] == '"')
                current += '"', ++at;
            else
                quoted = !quoted;
            started = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (started) split.push_back(current);
            current.clear();
            started = false;
        } else {
            current += c;
            started = true;
        }
    }
    if (started) split.push_back(current);
    return split;
}

namespace {

bool IsSlash(char c) {
    return c == '\\' || c == '/';
}

bool StartsWithDrive(std::string_view path) {
    return path.size() >= 2 && path[1] == ':' && ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z');
}

bool IsUncPath(std::string_view path) {
    return path.size() >= 2 && IsSlash(path[0]) && IsSlash(path[1]);
}

// The part of a full path that ".." cannot climb above: "C:" or "\\server\share".
size_t RootLength(std::string_view path) {
    if (StartsWithDrive(path)) return 2;
    if (!IsUncPath(path)) return 0;
    size_t end = 2;
    for (int part = 0; part < 2 && end < path.size(); ++part) {
        while (end < path.size() && IsSlash(path[end]))
            ++end;
        while (end < path.size() && !IsSlash(path[end]))
            ++end;
    }
    return end;
}

// Joins a path to what it is relative to, as Windows does.
std::string Anchored(std::string_view currentFolder, std::string_view path) {
    std::string folder = std::string(currentFolder) + "\\";
    if (IsUncPath(path) || (StartsWithDrive(path) && path.size() > 2 && IsSlash(path[2])))
        return std::string(path);
    if (StartsWithDrive(path)) { // "D:clip.avi": the current folder if on that drive, else its root
        const bool sameDrive =
            StartsWithDrive(currentFolder) && (currentFolder[0] | 0x20) == (path[0] | 0x20);
        return (sameDrive ? folder : std::string(path.substr(0, 2)) + "\\").append(path.substr(2));
    }
    if (!path.empty() && IsSlash(path[0]))
        return std::string(currentFolder.substr(0, RootLength(currentFolder))).append(path);
    return folder.append(path);
}

} // namespace

namespace {

// The names of a path below its root with "." left out and ".." taking away the name before it
// (never more than there are).
template <class Char>
std::vector<std::basic_string_view<Char>> ResolvedParts(std::basic_string_view<Char> rest) {
    std::vector<std::basic_string_view<Char>> parts;
    for (size_t at = 0; at < rest.size();) {
        size_t end = at;
        while (end < rest.size() && rest[end] != Char('\\') && rest[end] != Char('/'))
            ++end;
        const auto part = rest.substr(at, end - at);
        if (part.size() == 2 && part[0] == Char('.') && part[1] == Char('.')) {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && !(part.size() == 1 && part[0] == Char('.'))) {
            parts.push_back(part);
        }
        at = end + 1;
    }
    return parts;
}

} // namespace

std::string FullPathFrom(std::string_view currentFolder, std::string_view path) {
    const std::string joined = Anchored(currentFolder, path);
    const size_t rootLength = RootLength(joined);
    std::string full = joined.substr(0, rootLength);
    for (char& c : full)
        if (c == '/') c = '\\';
    const auto parts = ResolvedParts(std::string_view(joined).substr(rootLength));
    for (const std::string_view part : parts)
        full.append("\\").append(part);
    return parts.empty() ? full + "\\" : full;
}

namespace {

constexpr size_t kLongestPlainPath = 247; // a folder's path leaves room for an 8.3 name below MAX_PATH

// "C:\a\.\b\..\c" as "C:\a\c"; `root` is the part ".." never climbs above.
std::wstring Resolved(std::wstring_view root, std::wstring_view rest) {
    const auto parts = ResolvedParts(rest);
    std::wstring path(root);
    for (size_t i = 0; i < parts.size(); ++i)
        path.append(i ? L"\\" : L"").append(parts[i]);
    return path;
}

} // namespace

std::wstring LongPathForm(std::wstring_view path) {
    if (path.size() <= kLongestPlainPath || path.substr(0, 4) == L"\\\\?\\") return std::wstring(path);
    std::wstring slashes(path);
    std::replace(slashes.begin(), slashes.end(), L'/', L'\\');
    const std::wstring_view full = slashes;
    const bool drive = full.size() > 2 && full[1] == L':' && full[2] == L'\\';
    if (drive) return L"\\\\?\\" + Resolved(full.substr(0, 3), full.substr(3));
    if (full.substr(0, 2) == L"\\\\") { // \\server\share\...
        const size_t server = full.find(L'\\', 2);
        const size_t share = server == full.npos ? full.npos : full.find(L'\\', server + 1);
        if (share == full.npos) return std::wstring(path);
        return L"\\\\?\\UNC\\" + Resolved(full.substr(2, share - 1), full.substr(share + 1));
    }
    return std::wstring(path);
}

std::optional<double> TakeDigits(std::string_view& text) {
    if (text.empty() || !IsDigit(text.front())) return std::nullopt;
    double value = 0;
    while (!text.empty() && IsDigit(text.front())) {
        value = value * 10 + (text.front() - '0');
        text.remove_prefix(1);
    }
    return value;
}

std::optional<double> TakeDecimal(std::string_view& text) {
    std::optional<double> value = TakeDigits(text);
    if (!value) return std::nullopt;
    if (!text.empty() && text.front() == '.') {
        text.remove_prefix(1);
        double scale = 0.1;
        while (!text.empty() && IsDigit(text.front())) {
            *value += (text.front() - '0') * scale;
            scale /= 10;
            text.remove_prefix(1);
        }
    }
    if (!text.empty() && (text.front() == 'e' || text.front() == 'E')) {
        text.remove_prefix(1);
        const bool negative = !text.empty() && text.front() == '-';
        if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
        const std::optional<double> exponent = TakeDigits(text);
        if (!exponent) return std::nullopt;
        *value *= std::pow(10.0, negative ? -*exponent : *exponent);
    }
    if (!std::isfinite(*value)) return std::nullopt; // absurdly long digit runs
    return value;
}
