#include "convert/media_look.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/text.h"

namespace {

size_t IndentOf(std::string_view line) {
    return std::min(line.find_first_not_of(' '), line.size());
}

// The fields of a stream's description, split at the commas outside parentheses:
// "h264 (High) (avc1 / 0x31637661)", "yuv420p(tv, bt709, progressive)", "1920x1080 [SAR 1:1 DAR 16:9]".
std::vector<std::string_view> FieldsOf(std::string_view description) {
    std::vector<std::string_view> fields;
    int depth = 0;
    size_t start = 0;
    for (size_t at = 0; at <= description.size(); ++at) {
        const char c = at < description.size() ? description[at] : ',';
        if (c == '(' || c == '[') ++depth;
        if ((c == ')' || c == ']') && depth > 0) --depth;
        if (c == ',' && depth == 0) {
            fields.push_back(WithoutOuterBlanks(description.substr(start, at - start)));
            start = at + 1;
        }
    }
    return fields;
}

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int NumberOf(std::string_view digits) {
    return AllDigits(digits) && digits.size() < 9 ? std::atoi(std::string(digits).c_str()) : 0;
}

// "yuv420p10le(tv, bt2020nc/bt2020/smpte2084, progressive)": range, colours and field order. One
// name stands for all three colour properties when they are alike ("yuv420p(tv, bt709)").
void ReadPixelFormat(std::string_view field, StreamLook& stream) {
    const size_t open = field.find('(');
    if (open == field.npos) return;
    const std::string_view inside = field.substr(open + 1, field.rfind(')') - open - 1);
    for (std::string_view part : FieldsOf(inside)) {
        if (part == "pc") stream.fullRange = true;
        if (StartsWith(part, "top ") || StartsWith(part, "bottom ")) stream.interlaced = true;
        const size_t first = part.find('/'), second = part.rfind('/');
        if (first != part.npos && second != first) {
            stream.matrix = part.substr(0, first);
            stream.primaries = part.substr(first + 1, second - first - 1);
            stream.transfer = part.substr(second + 1);
        } else if (StartsWith(part, "bt") || StartsWith(part, "smpte") || StartsWith(part, "arib")) {
            stream.matrix = stream.primaries = stream.transfer = part;
        }
    }
    for (std::string* name : {&stream.matrix, &stream.primaries, &stream.transfer})
        if (*name == "unknown") name->clear();
}

// "320x240 [SAR 1:1 DAR 4:3]"; hexadecimal tags such as "0x31637661" are not sizes.
bool ReadSize(std::string_view field, StreamLook& stream) {
    const std::string_view size = field.substr(0, field.find(' '));
    const size_t x = size.find('x');
    if (x == size.npos || size.front() == '0') return false;
    const int width = NumberOf(size.substr(0, x)), height = NumberOf(size.substr(x + 1));
    if (width <= 0 || height <= 0) return false;
    stream.width = width;
    stream.height = height;
    return true;
}

// "320x240 [SAR 32:27 DAR 16:9]", or a field of its own: "SAR 32:27 DAR 16:9".
void ReadPixelAspect(std::string_view field, StreamLook& stream) {
    const size_t sar = field.find("SAR ");
    if (sar == field.npos) return;
    const std::string_view ratio = field.substr(sar + 4, field.find(' ', sar + 4) - sar - 4);
    const size_t colon = ratio.find(':');
    const int x = NumberOf(ratio.substr(0, colon)),
              y = colon == ratio.npos ? 0 : NumberOf(ratio.substr(colon + 1));
    if (x > 0 && y > 0) stream.aspectX = x, stream.aspectY = y;
}

void ReadVideo(const std::vector<std::string_view>& fields, StreamLook& stream) {
    if (fields.size() > 1) ReadPixelFormat(fields[1], stream);
    bool sized = false;
    for (size_t i = 1; i < fields.size(); ++i) {
        sized = sized || ReadSize(fields[i], stream);
        if (sized) ReadPixelAspect(fields[i], stream);
    }
}

// "48000 Hz, 5.1(side), fltp, 448 kb/s"
void ReadAudio(const std::vector<std::string_view>& fields, StreamLook& stream) {
    for (size_t i = 1; i < fields.size(); ++i)
        if (EndsWith(fields[i], " Hz")) {
            stream.sampleRate = NumberOf(fields[i].substr(0, fields[i].size() - 3));
            if (i + 1 < fields.size()) stream.channelLayout = fields[i + 1];
            return;
        }
}

// "  Stream #0:1[0x2](eng): Audio: aac (LC) (mp4a / 0x6134706D), 48000 Hz, stereo, fltp (default)",
// indented by two blanks (by four in converters before 5.0).
std::optional<StreamLook> ReadStreamLine(std::string_view line) {
    constexpr std::string_view kStart = "Stream #0:";
    const size_t indent = IndentOf(line);
    if ((indent != 2 && indent != 4) || !StartsWith(line.substr(indent), kStart)) return std::nullopt;
    line.remove_prefix(indent + kStart.size());
    const size_t kindAt = line.find(": ");
    if (kindAt == line.npos) return std::nullopt;
    const std::string_view head = line.substr(0, kindAt);
    const size_t numberEnd = std::min(head.find_first_of("[("), head.size());
    if (!AllDigits(head.substr(0, numberEnd)) || numberEnd > 6) return std::nullopt;
    StreamLook stream;
    stream.index = NumberOf(head.substr(0, numberEnd));
    if (const size_t open = head.find('(', numberEnd); open != head.npos) {
        const std::string_view language = head.substr(open + 1, head.find(')', open) - open - 1);
        if (language != "und") stream.language = language;
    }
    std::string_view rest = line.substr(kindAt + 2);
    for (auto [name, kind] : {std::pair{"Video: ", StreamKind::Video},
                              {"Audio: ", StreamKind::Audio},
                              {"Subtitle: ", StreamKind::Subtitle},
                              {"Data: ", StreamKind::Data},
                              {"Attachment: ", StreamKind::Attachment}})
        if (StartsWith(rest, name)) {
            stream.kind = kind;
            rest.remove_prefix(std::string_view(name).size());
        }
    const std::vector<std::string_view> fields = FieldsOf(rest);
    stream.codec = fields.front().substr(0, fields.front().find(' '));
    stream.isDefault = rest.find("(default)") != rest.npos;
    // Older converters do not flag cover art; a picture format without a frame rate is one all the same.
    static constexpr std::string_view kPictures[] = {"png", "mjpeg", "bmp", "gif", "webp"};
    const bool still =
        std::find(std::begin(kPictures), std::end(kPictures), stream.codec) != std::end(kPictures) &&
        rest.find(" fps") == rest.npos;
    stream.attachedPicture =
        stream.kind == StreamKind::Video && (still || rest.find("(attached pic)") != rest.npos);
    if (stream.kind == StreamKind::Video) ReadVideo(fields, stream);
    if (stream.kind == StreamKind::Audio) ReadAudio(fields, stream);
    return stream;
}

// "      displaymatrix: rotation of -90.00 degrees": the picture is stored turned; the converter
// says by how much it turns it back (counter-clockwise positive).
std::optional<double> RotationOf(std::string_view line) {
    constexpr std::string_view kMark = "displaymatrix: rotation of ";
    if (!StartsWith(WithoutOuterBlanks(line), kMark)) return std::nullopt;
    const std::string number(WithoutOuterBlanks(line).substr(kMark.size()));
    char* end = nullptr;
    const double degrees = std::strtod(number.c_str(), &end);
    return end == number.c_str() ? std::nullopt : std::optional(degrees);
}

void TakeInputLine(std::string_view line, ListingReading& reading) {
    MediaLook& look = reading.look;
    const size_t indent = IndentOf(line);
    if (!reading.pastDuration) {
        if (indent == 4 && StartsWith(line.substr(4), "creation_time ")) look.hasCreationTime = true;
        if (!StartsWith(line, "  Duration: ")) return;
        reading.pastDuration = true;
        const std::string_view value =
            WithoutOuterBlanks(line.substr(std::string_view("  Duration:").size()));
        look.durationSeconds = TimestampSeconds(value.substr(0, value.find(',')));
        return;
    }
    look.hasChapters |= indent == 4 && StartsWith(line.substr(4), "Chapter #0:");
    if (indent == 2 || indent == 4) reading.inSideData = reading.lastStream && line == "    Side data:";
    if (indent == 2) reading.lastStream.reset();
    if (reading.inSideData && indent == 6) {
        if (const auto rotation = RotationOf(line)) look.streams[*reading.lastStream].rotation = *rotation;
    }
    if (auto stream = ReadStreamLine(line)) {
        // Programs list their streams again: the first listing of a number is the stream.
        const auto same = [&](const StreamLook& s) { return s.index == stream->index; };
        if (std::none_of(look.streams.begin(), look.streams.end(), same)) {
            reading.lastStream = look.streams.size();
            look.streams.push_back(*stream);
        }
    }
}

} // namespace

void TakeListingLine(ListingReading& reading, std::string_view line) {
    if (StartsWith(WithoutOuterBlanks(line), "configuration:"))
        reading.look.converterHasZimg = line.find("--enable-libzimg") != line.npos;
    if (!line.empty() && line.front() != ' ') {
        reading.inFirstInput = StartsWith(line, "Input #0, ");
        reading.pastDuration = reading.inSideData = false;
        reading.lastStream.reset();
        if (reading.inFirstInput) {
            const std::string_view rest = line.substr(std::string_view("Input #0, ").size());
            reading.look.format = rest.substr(0, rest.find(", from '"));
        }
    }
    if (reading.inFirstInput) TakeInputLine(line, reading);
}

MediaLook ReadMediaListing(std::string_view listing) {
    ListingReading reading;
    for (size_t at = 0; at < listing.size();) {
        const size_t end = std::min(listing.find_first_of("\r\n", at), listing.size());
        TakeListingLine(reading, listing.substr(at, end - at));
        at = end + 1;
    }
    std::sort(reading.look.streams.begin(), reading.look.streams.end(),
              [](const StreamLook& a, const StreamLook& b) { return a.index < b.index; });
    return reading.look;
}

std::optional<double> TimestampSeconds(std::string_view text) {
    const bool negative = StartsWith(text, "-");
    if (negative) text.remove_prefix(1);
    const std::optional<double> hours = TakeDigits(text);
    if (!hours || !StartsWith(text, ":")) return std::nullopt;
    text.remove_prefix(1);
    const std::optional<double> minutes = TakeDigits(text);
    if (!minutes || !StartsWith(text, ":")) return std::nullopt;
    text.remove_prefix(1);
    const std::optional<double> seconds = TakeDecimal(text);
    if (!seconds) return std::nullopt;
    const double total = *hours * 3600 + *minutes * 60 + *seconds;
    if (!std::isfinite(total)) return std::nullopt;
    return negative ? -total : total;
}

bool IsListOfFiles(const MediaLook& look) {
    static constexpr std::string_view kLists[] = {"hls", "applehttp", "concat", "dash"};
    return std::find(std::begin(kLists), std::end(kLists), look.format) != std::end(kLists);
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

int ChannelsOf(std::string_view layout) {
    static constexpr std::pair<std::string_view, int> kNamed[] = {{"mono", 1},       {"stereo", 2},
                                                                  {"downmix", 2},    {"2.1", 3},
                                                                  {"3.0", 3},        {"3.0(back)", 3},
                                                                  {"4.0", 4},        {"quad", 4},
                                                                  {"quad(side)", 4}, {"3.1", 4},
                                                                  {"5.0", 5},        {"5.0(side)", 5},
                                                                  {"4.1", 5},        {"5.1", 6},
                                                                  {"5.1(side)", 6},  {"6.0", 6},
                                                                  {"6.0(front)", 6}, {"hexagonal", 6},
                                                                  {"6.1", 7},        {"6.1(back)", 7},
                                                                  {"6.1(front)", 7}, {"7.0", 7},
                                                                  {"7.0(front)", 7}, {"7.1", 8},
                                                                  {"7.1(wide)", 8},  {"7.1(wide-side)", 8},
                                                                  {"7.1(top)", 8},   {"octagonal", 8},
                                                                  {"cube", 8},       {"hexadecagonal", 16},
                                                                  {"22.2", 24}};
    for (auto [name, channels] : kNamed)
        if (layout == name) return channels;
    // "3 channels", "3 channels (FL+FR+LFE)"
    const size_t blank = layout.find(" channels");
    return blank == layout.npos ? 0 : NumberOf(layout.substr(0, blank));
}
