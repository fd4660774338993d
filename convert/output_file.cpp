#include "convert/output_file.h"

#include "base/text.h"

namespace {
constexpr std::string_view kTemporaryMark = ".kesto-part-";
}

std::string TemporaryOutputPath(std::string_view output, unsigned long processId) {
    const std::string_view extension = ExtensionOf(output);
    std::string path(output.substr(0, output.size() - extension.size()));
    return path.append(kTemporaryMark).append(std::to_string(processId)).append(extension);
}

std::optional<unsigned long> TemporaryOutputOwner(std::string_view fileName) {
    const size_t mark = fileName.rfind(kTemporaryMark);
    if (mark == fileName.npos || mark == 0) return std::nullopt;
    std::string_view rest = fileName.substr(mark + kTemporaryMark.size());
    unsigned long owner = 0;
    size_t digits = 0;
    for (; digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9' && digits < 10; ++digits)
        owner = owner * 10 + static_cast<unsigned long>(rest[digits] - '0');
    rest.remove_prefix(digits);
    // Digits, then the extension or nothing: "keep.kesto-part-12.webm", "keep.kesto-part-12".
    if (digits == 0 || !(rest.empty() || (rest.front() == '.' && rest.find('.', 1) == rest.npos)))
        return std::nullopt;
    return owner;
}

OutputFate FateOf(bool succeeded, bool movedToChosenName, bool movedBeside) {
    if (!succeeded) return OutputFate::NotConverted;
    if (movedToChosenName) return OutputFate::Placed;
    return movedBeside ? OutputFate::KeptBeside : OutputFate::Lost;
}

std::string NumberedName(std::string_view path, int number) {
    const std::string_view extension = ExtensionOf(path);
    return std::string(path.substr(0, path.size() - extension.size()))
        .append(" (" + std::to_string(number) + ")")
        .append(extension);
}
