#include "files/file_choice.h"

#include "base/text.h"

#include <algorithm>
#include <cctype>

namespace {

struct FilterEntry {
    std::string_view description;
    std::string_view pattern;
};

constexpr FilterEntry kInputFilters[] = {
    {"All video files",
     "*.avi;*.asf;*.mpg;*.mpeg;*.mov;*.qt;*.mkv;*.m2ts;*.mts;*.ts;*.m2t;*.tod;*.mp4;*.flv;*.f4v;*.m4v;"
     "*.webm;*.wmv;*.3gp;*.3g2;*.ogv;*.ogg;*.vob;*.mxf;*.dv;*.divx;*.mod;*.m2v;*.mpe;*.m1v;*.rm;*.rmvb;"
     "*.mk3d;*.wtv;*.dvr-ms;*.evo;*.trp;*.nut;*.y4m;*.amv;*.mjpeg"},
    {"MOV video files (*.MOV)", "*.mov"},
    {"AVI video files (*.AVI)", "*.avi"},
    {"MP4 video files (*.MP4)", "*.mp4"},
    {"ASF video files (*.ASF)", "*.asf"},
    {"MPG video files (*.MPG, *.MPEG)", "*.mpg;*.mpeg"},
    {"QT video files (*.QT)", "*.qt"},
    {"M2TS video files (*.M2TS)", "*.m2ts"},
    {"MTS video files (*.MTS)", "*.mts"},
    {"TS video files (*.TS)", "*.ts"},
    {"M2T video files (*.M2T)", "*.m2t"},
    {"MKV video files (*.MKV)", "*.mkv"},
    {"TOD video files (*.TOD)", "*.tod"},
    {"FLV video files (*.FLV)", "*.flv"},
    {"F4V video files (*.F4V)", "*.f4v"},
    {"M4V video files (*.M4V)", "*.m4v"},
    {"QT video files (*.QT)", "*.qt"},
    {"WEBM video files (*.WEBM)", "*.webm"},
    {"WMV video files (*.WMV)", "*.wmv"},
    {"3GP video files (*.3GP, *.3G2)", "*.3gp;*.3g2"},
    {"OGV video files (*.OGV, *.OGG)", "*.ogv;*.ogg"},
    {"VOB video files (*.VOB)", "*.vob"},
    {"MXF video files (*.MXF)", "*.mxf"},
    {"DV video files (*.DV)", "*.dv"},
};

// The first entry is the one preselected, so a typed name without extension becomes FLV.
constexpr FilterEntry kOutputFilters[] = {
    {" FLV video files (*.FLV)", "*.flv"}, {" AVI 2.0 video files (*.AVI)", "*.avi"},
    {" MOV video files (*.MOV)", "*.mov"}, {" MP4 video files (*.MP4)", "*.mp4"},
    {" M4V video files (*.M4V)", "*.m4v"}, {" OGG video files (*.OGG)", "*.ogg"},
    {" OGV video files (*.OGV)", "*.ogv"}, {" WEBM video files (*.WEBM)", "*.webm"},
};

template <std::size_t N> std::string FilterListOf(const FilterEntry (&entries)[N]) {
    std::string list;
    for (const FilterEntry& entry : entries) {
        list.append(entry.description).push_back('\0');
        list.append(entry.pattern).push_back('\0');
    }
    list.push_back('\0');
    return list;
}

constexpr std::uint32_t kCommonFlags = dialog_flag::kHideReadOnly | dialog_flag::kExplorer |
                                       dialog_flag::kEnableHook | dialog_flag::kNoDereferenceLinks |
                                       dialog_flag::kEnableSizing;

} // namespace

bool IsVideoFileName(std::string_view name) {
    const size_t dot = name.rfind('.');
    if (dot == name.npos) return false;
    std::string pattern = "*";
    for (char c : name.substr(dot))
        pattern += char(std::tolower(static_cast<unsigned char>(c)));
    std::string_view all = kInputFilters[0].pattern;
    for (size_t start = 0; start <= all.size();) {
        const size_t end = std::min(all.find(';', start), all.size());
        if (all.substr(start, end - start) == pattern) return true;
        start = end + 1;
    }
    return false;
}

std::string InputFilterList() {
    return FilterListOf(kInputFilters);
}

std::string OutputFilterList() {
    return FilterListOf(kOutputFilters);
}

std::uint32_t InputDialogFlags() {
    return kCommonFlags | dialog_flag::kFileMustExist | dialog_flag::kAllowMultiSelect;
}

std::uint32_t OutputDialogFlags() {
    return kCommonFlags | dialog_flag::kPathMustExist;
}

std::string FilterWithNuls(std::string filter) {
    std::replace(filter.begin(), filter.end(), '|', '\0');
    return filter;
}

std::string FitToBuffer(std::string_view text, std::size_t bufferSize) {
    if (bufferSize == 0) return {};
    return std::string(text.substr(0, bufferSize - 1));
}

std::string ChosenPathOf(std::string_view fileNameBuffer) {
    return std::string(fileNameBuffer.substr(0, fileNameBuffer.find('\0')));
}

std::vector<std::string> ChosenPathsOf(std::string_view buffer, bool multipleSelection) {
    const std::string first = ChosenPathOf(buffer);
    std::vector<std::string> paths;
    for (size_t at = first.size() + 1; multipleSelection && at < buffer.size() && buffer[at] != '\0';) {
        const std::string name = ChosenPathOf(buffer.substr(at));
        const bool full = name.size() > 1 && (name[1] == ':' || name.rfind("\\\\", 0) == 0);
        paths.push_back(full ? name : first + (first.empty() || first.back() == '\\' ? "" : "\\") + name);
        at += name.size() + 1;
    }
    if (paths.empty() && !first.empty()) paths.push_back(first);
    return paths;
}

std::string RememberedFolder(std::string_view chosenPath, std::string_view currentDirectory) {
    const std::string folder = FolderOfFile(chosenPath);
    if (folder.empty() || SameIgnoringCase(folder, currentDirectory)) return std::string(currentDirectory);
    return folder;
}
