#include "app/text.h"

namespace {

template <class Char> std::basic_string<Char> TrimBlanksOf(std::basic_string_view<Char> text) {
    const auto first = text.find_first_not_of(Char(' '));
    if (first == text.npos) return {};
    const auto last = text.find_last_not_of(Char(' '));
    return std::basic_string<Char>(text.substr(first, last - first + 1));
}

} // namespace

std::string TrimBlanks(std::string_view text) {
    return TrimBlanksOf(text);
}
std::wstring TrimBlanks(std::wstring_view text) {
    return TrimBlanksOf(text);
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
