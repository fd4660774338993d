// What the converter says an input holds, read from the listing it writes when started with the
// input alone (no output): the streams of input #0 with their pictures and sounds, its length,
// chapters and dates, and whether the converter can tone-map HDR. No Windows headers here.
//
// The listing is read as the converter writes it: a stream is a line that starts with exactly two
// blanks and "Stream #0:N"; a stream listed again under another program is the same stream;
// metadata, which the converter indents further, never makes a stream.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class StreamKind { Video, Audio, Subtitle, Data, Attachment, Other };

struct StreamLook {
    int index = 0; // N of "Stream #0:N": what a map names
    StreamKind kind = StreamKind::Other;
    std::string codec;    // "h264", "aac", "mov_text", "hdmv_pgs_subtitle"
    std::string language; // "eng"; empty when the listing names none or "und"
    bool isDefault = false;
    bool attachedPicture = false; // cover art shown as a video stream

    // Video.
    int width = 0, height = 0;    // 0 when not said
    int aspectX = 1, aspectY = 1; // the pixels' shape (SAR): 1:1 when square or not said
    bool interlaced = false;      // the field order says the picture is made of two fields
    double rotation = 0;          // degrees the picture is to be turned to stand upright
    std::string primaries;        // "bt2020", "bt709"; empty when not said
    std::string transfer;         // "smpte2084" (PQ), "arib-std-b67" (HLG), "bt709"; empty when not said
    std::string matrix;           // "bt2020nc"; empty when not said
    bool fullRange = false;       // "pc" range

    // Audio.
    int sampleRate = 0;        // Hz; 0 when not said
    std::string channelLayout; // "stereo", "5.1(side)", "3 channels"
};

struct MediaLook {
    std::string format;              // the demuxer's names: "mov,mp4,m4a,3gp,3g2,mj2", "mpegts", "hls"
    std::vector<StreamLook> streams; // in the order of their numbers; empty when nothing could be read
    std::optional<double> durationSeconds;
    bool hasChapters = false;
    bool hasCreationTime = false;  // the file says when it was recorded
    bool converterHasZimg = false; // the converter was built with the zscale filter's library
};

// Reads the converter's listing (its standard error, banner included).
MediaLook ReadMediaListing(std::string_view listing);

// The same, line by line as the lines come (a conversion's progress reads its input's length so).
// Where a line stands: input #0's metadata, its length, then its chapters, programs and streams,
// each with metadata indented further than the streams themselves.
struct ListingReading {
    MediaLook look; // its streams in the order listed
    bool inFirstInput = false;
    bool pastDuration = false;        // streams come after the length, the file's metadata before it
    bool inSideData = false;          // the "    Side data:" block of the last stream
    std::optional<size_t> lastStream; // where in the look's streams
};
void TakeListingLine(ListingReading& reading, std::string_view line);

// Seconds of a time stamp such as "00:00:04.52", "123:00:00.00" or "-00:00:00.02".
std::optional<double> TimestampSeconds(std::string_view text);

// A playlist or list of other files (HLS, concat), whatever its name.
bool IsListOfFiles(const MediaLook& look);

// A video in PQ or HLG, which needs tone mapping to look right in SDR.
bool IsHdr(const StreamLook& stream);

// Subtitles stored as text (which MP4 and WebM can hold once converted), not as pictures.
bool IsTextSubtitle(const StreamLook& stream);

// The number of channels a layout names ("5.1(side)" 6, "7 channels" 7); 0 when unknown.
int ChannelsOf(std::string_view layout);
