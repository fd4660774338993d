// The part of a video the user keeps: the From and To times of the main window. No Windows
// headers here.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct Part {
    std::optional<double> from; // seconds; nothing: from the start
    std::optional<double> to;   // seconds; nothing: to the end
    bool whole() const { return !from && !to; }
};

// Seconds of a time typed as h:mm:ss, m:ss or seconds, each with an optional fraction
// ("0:01:02.5", "1:02.5", "62.5"); nothing for text that is not such a time.
std::optional<double> TimeOf(std::string_view text);

// The part the two fields give, or in `problem` the words that say what is wrong with them.
struct PartReading {
    Part part;
    std::string problem;
};
PartReading ReadPart(std::string_view fromText, std::string_view toText);

// The words for a part that starts at or past the end of a video of this length; "" when it does not.
std::string PartPastTheEnd(const Part& part, std::optional<double> lengthSeconds);

// The key picture a copy from `from` starts at: `from` plus the time of the first picture the
// converter shows when seeking there for key pictures only ("pts_time:-0.04", "pts_time:-3.3e-05").
std::optional<double> KeyPictureAt(double from, std::string_view converterOutput);

// Seconds as the converter takes them, to the microsecond: "3", "2.96", "0.533867".
std::string SecondsText(double seconds);

// "0:00:02.96": hours, minutes and seconds to the hundredth.
std::string PartClock(double seconds);
