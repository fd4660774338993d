#include "convert/part.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "base/text.h"

namespace {

constexpr std::string_view kForms =
    "Give From and To as h:mm:ss, m:ss or seconds, for example 0:01:02.5, 1:02.5 or 62.5.";

// Digits with at most one decimal point, the point not first.
std::optional<double> NumberOf(std::string_view text, bool fractionAllowed) {
    if (text.empty() || text.size() > 12 || text.front() == '.') return std::nullopt;
    double value = 0, scale = 0;
    for (char c : text) {
        if (c == '.' && fractionAllowed && scale == 0) {
            scale = 1;
        } else if (c >= '0' && c <= '9') {
            if (scale == 0)
                value = value * 10 + (c - '0');
            else
                value += (c - '0') * (scale /= 10);
        } else {
            return std::nullopt;
        }
    }
    return value;
}

} // namespace

std::optional<double> TimeOf(std::string_view text) {
    text = WithoutOuterBlanks(text);
    std::vector<std::string_view> fields;
    for (size_t at = 0; at <= text.size();) {
        const size_t colon = std::min(text.find(':', at), text.size());
        fields.push_back(text.substr(at, colon - at));
        at = colon + 1;
    }
    if (fields.size() > 3) return std::nullopt;
    double seconds = 0;
    for (size_t i = 0; i < fields.size(); ++i) {
        const bool last = i + 1 == fields.size();
        const auto value = NumberOf(fields[i], last);
        // Minutes and seconds after a colon stay below 60 and have two digits.
        if (!value || (i > 0 && (*value >= 60 || fields[i].substr(0, fields[i].find('.')).size() != 2)))
            return std::nullopt;
        seconds = seconds * 60 + *value;
    }
    return seconds;
}

PartReading ReadPart(std::string_view fromText, std::string_view toText) {
    PartReading reading;
    const struct {
        std::string_view text;
        std::optional<double>& time;
        const char* name;
    } fields[] = {{fromText, reading.part.from, "From"}, {toText, reading.part.to, "To"}};
    for (const auto& field : fields) {
        if (WithoutOuterBlanks(field.text).empty()) continue;
        field.time = TimeOf(field.text);
        if (!field.time) {
            reading.problem = std::string(field.name) + " \"" + std::string(WithoutOuterBlanks(field.text)) +
                              "\" is not a time. " + std::string(kForms);
            return reading;
        }
    }
    if (reading.part.to && *reading.part.to <= reading.part.from.value_or(0))
        reading.problem = "To (" + PartClock(*reading.part.to) + ") must come after From (" +
                          PartClock(reading.part.from.value_or(0)) + ").";
    return reading;
}

std::string PartPastTheEnd(const Part& part, std::optional<double> lengthSeconds) {
    if (!part.from || !lengthSeconds || *part.from < *lengthSeconds) return {};
    return "From (" + PartClock(*part.from) + ") is at or past the end of the video (" +
           PartClock(*lengthSeconds) + ")";
}

std::string PartClock(double seconds) {
    const long long hundredths = std::llround(std::max(seconds, 0.0) * 100);
    char text[40];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld.%02lld", hundredths / 360000, hundredths / 6000 % 60,
                  hundredths / 100 % 60, hundredths % 100);
    return text;
}

std::optional<double> KeyPictureAt(double from, std::string_view converterOutput) {
    // Only the picture filter's line: metadata could hold the same words.
    const size_t line = converterOutput.find("Parsed_showinfo");
    const size_t at = line == converterOutput.npos ? line : converterOutput.find("pts_time:", line);
    if (at == converterOutput.npos) return std::nullopt;
    std::string_view number = converterOutput.substr(at + 9);
    const bool negative = StartsWith(number, "-");
    if (negative) number.remove_prefix(1);
    const auto offset = TakeDecimal(number);
    if (!offset) return std::nullopt;
    return std::max(0.0, from + (negative ? -*offset : *offset));
}

std::string SecondsText(double seconds) {
    char text[40];
    std::snprintf(text, sizeof text, "%.6f", std::max(seconds, 0.0));
    std::string trimmed = text;
    while (trimmed.back() == '0')
        trimmed.pop_back();
    if (trimmed.back() == '.') trimmed.pop_back();
    return trimmed;
}
