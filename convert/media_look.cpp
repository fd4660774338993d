#include "convert/media_look.h"

#include <algorithm>

#include "convert/progress.h"

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// "yuv420p10le(tv, bt2020nc/bt2020/smpte2084, progressive)": the colour of a video stream. One
// name stands for all three when the space, primaries and transfer are alike ("yuv420p(tv, bt709)").
void ReadColours(std::string_view description, StreamLook& stream) {
    for (size_t open = description.find('('); open != description.npos;
         open = description.find('(', open + 1)) {
        const size_t close = description.find(')', open);
        if (close == description.npos) return;
        const std::string_view inside = description.substr(open + 1, close - open - 1);
        for (size_t at = 0; at <= inside.size();) {
            const size_t end = std::min(inside.find(',', at), inside.size());
            const std::string_view part = Trimmed(inside.substr(at, end - at));
            const size_t first = part.find('/'), second = part.rfind('/');
            if (first != part.npos && second != first) {
                stream.primaries = part.substr(first + 1, second - first - 1);
                stream.transfer = part.substr(second + 1);
                return;
            }
            if (StartsWith(part, "bt709") || StartsWith(part, "bt2020") || StartsWith(part, "smpte")) {
                stream.primaries = stream.transfer = part;
                return;
            }
            at = end + 1;
        }
    }
}

// "Stream #0:1[0x2](eng): Audio: aac (LC) (mp4a / 0x6134706D), 48000 Hz, stereo, fltp (default)"
std::optional<StreamLook> ReadStreamLine(std::string_view line) {
    if (!StartsWith(line, "Stream #0:")) return std::nullopt;
    const size_t kindAt = line.find(": ");
    if (kindAt == line.npos) return std::nullopt;
    StreamLook stream;
    const std::string_view head = line.substr(0, kindAt);
    if (const size_t open = head.find('('); open != head.npos) {
        const std::string_view language = head.substr(open + 1, head.find(')', open) - open - 1);
        if (language != "und") stream.language = language;
    }
    std::string_view rest = line.substr(kindAt + 2);
    for (auto [name, kind] : {std::pair{"Video: ", StreamKind::Video},
                              {"Audio: ", StreamKind::Audio},
                              {"Subtitle: ", StreamKind::Subtitle}})
        if (StartsWith(rest, name)) {
            stream.kind = kind;
            rest.remove_prefix(std::string_view(name).size());
        }
    stream.codec = rest.substr(0, std::min(rest.find(' '), rest.find(',')));
    stream.isDefault = rest.find("(default)") != rest.npos;
    // Older converters do not flag cover art; a picture format without a frame rate is one all the same.
    static constexpr std::string_view kPictures[] = {"png", "mjpeg", "bmp", "gif", "webp"};
    const bool still =
        std::find(std::begin(kPictures), std::end(kPictures), stream.codec) != std::end(kPictures) &&
        rest.find(" fps") == rest.npos;
    stream.attachedPicture = still || rest.find("(attached pic)") != rest.npos;
    if (stream.kind == StreamKind::Video) ReadColours(rest.substr(stream.codec.size()), stream);
    return stream;
}

} // namespace

MediaLook ReadMediaListing(std::string_view listing) {
    MediaLook look;
    bool inFirstInput = false;
    for (size_t at = 0; at < listing.size();) {
        const size_t end = std::min(listing.find_first_of("\r\n", at), listing.size());
        const std::string_view raw = listing.substr(at, end - at), line = Trimmed(raw);
        at = end + 1;
        if (StartsWith(line, "configuration:"))
            look.converterHasZimg = line.find("--enable-libzimg") != line.npos;
        if (!raw.empty() && raw.front() != ' ') inFirstInput = StartsWith(raw, "Input #0,");
        if (!inFirstInput) continue;
        if (StartsWith(line, "Duration:") && !look.durationSeconds) {
            const std::string_view value = Trimmed(line.substr(std::string_view("Duration:").size()));
            look.durationSeconds = TimestampSeconds(value.substr(0, value.find(',')));
        }
        look.hasChapters |= StartsWith(line, "Chapter #0:");
        if (auto stream = ReadStreamLine(line)) look.streams.push_back(*stream);
    }
    return look;
}

bool IsHdr(const StreamLook& stream) {
    return stream.kind == StreamKind::Video &&
           (stream.transfer == "smpte2084" || stream.transfer == "arib-std-b67");
}

bool IsTextSubtitle(const StreamLook& stream) {
    static constexpr std::string_view kText[] = {
        "subrip",     "srt",     "ass",  "ssa", "mov_text", "webvtt", "text", "microdvd", "subviewer",
        "subviewer1", "jacosub", "mpl2", "pjs", "realtext", "sami",   "stl",  "vplayer"};
    return stream.kind == StreamKind::Subtitle &&
           std::find(std::begin(kText), std::end(kText), stream.codec) != std::end(kText);
}
