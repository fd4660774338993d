// What the converter says an input holds, read from the listing it writes when started with the
// input alone (no output): the streams of input #0, the colours of its videos, its length and
// chapters, and whether the converter can tone-map HDR. No Windows headers here.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class StreamKind { Video, Audio, Subtitle, Other };

struct StreamLook {
    StreamKind kind = StreamKind::Other;
    std::string codec;    // "h264", "aac", "mov_text", "hdmv_pgs_subtitle"
    std::string language; // "eng"; empty when the listing names none or "und"
    bool isDefault = false;
    bool attachedPicture = false; // cover art shown as a video stream
    std::string primaries;        // "bt2020", "bt709"; empty when not said
    std::string transfer;         // "smpte2084" (PQ), "arib-std-b67" (HLG), "bt709"; empty when not said
};

struct MediaLook {
    std::vector<StreamLook> streams; // in the input's order; empty when nothing could be read
    std::optional<double> durationSeconds;
    bool hasChapters = false;
    bool converterHasZimg = false; // the converter was built with the zscale filter's library
};

// Reads the converter's listing (its standard error, banner included).
MediaLook ReadMediaListing(std::string_view listing);

// A video in PQ or HLG, which needs tone mapping to look right in SDR.
bool IsHdr(const StreamLook& stream);

// Subtitles stored as text (which MP4 and WebM can hold once converted), not as pictures.
bool IsTextSubtitle(const StreamLook& stream);
