#include "convert/output_types.h"

#include "base/text.h"

namespace {

// The channel layouts the Vorbis and Opus encoders take; others are remixed to the nearest of them.
constexpr std::string_view kVorbisLayouts = "mono|stereo|3.0|quad|5.0|5.1|6.1|7.1";
constexpr std::string_view kOpusLayouts = "mono|stereo|3.0|quad|5.1|7.1";

// The QuickTime family's codecs, as MOV, MP4 and M4V each take them when copied.
constexpr std::string_view kMovVideo = "h264 hevc mpeg4 mpeg1video mpeg2video mjpeg h263 prores dvvideo png "
                                       "ffv1 huffyuv cinepak qtrle svq1 svq3";
constexpr std::string_view kMovAudio =
    "aac mp3 mp2 ac3 eac3 dts alac pcm_s16le pcm_s16be pcm_s24le pcm_s24be pcm_u8 pcm_mulaw pcm_alaw";
constexpr std::string_view kTsVideo = "h264 hevc mpeg2video vc1";
constexpr std::string_view kTsAudio = "aac mp3 mp2 ac3 eac3 dts opus";

// The listed types first, in the save dialog's order. Columns: extension, name, listed; usual mode's
// options, quality scale, audio encoder and its name, channel layouts, sample rates, smallest and
// largest side, even sides, square pixels; video and audio tracks, subtitles, chapters, date, cover,
// rotation, attachments; codecs copied as they are.
// clang-format off
constexpr OutputType kTypes[] = {
    {".flv", "FLV", true, "", Quality::QScale, "libmp3lame", "MP3", "", "11025 22050 44100", 0, 0, false, true,
     1, 1, SubtitleHold::None, false, true, false, false, false,
     "h264 flv1 vp6 vp6f vp6a", "aac nellymoser mp3@ pcm_s16le@ pcm_u8@"},
    // The MP3 encoder's start delay would shift the pictures, which AVI stores without times, a frame late.
    {".avi", "AVI", true, " -avoid_negative_ts disabled", Quality::QScale, "libmp3lame", "MP3", "", "", 0, 8190,
     false, false, -1, -1, SubtitleHold::None, false, false, false, false, false,
     "h264 mpeg4 msmpeg4v2 msmpeg4v3 wmv1 wmv2 mpeg1video mjpeg vp8 vp9 av1 theora flv1 h263 prores dvvideo "
     "rawvideo ffv1 png huffyuv cinepak indeo3 indeo4 indeo5 msvideo1 msrle",
     "aac mp3 mp2 ac3 eac3 dts vorbis pcm_s16le pcm_s24le pcm_u8 pcm_mulaw pcm_alaw wmav2"},
    {".mov", "MOV", true, "", Quality::Crf, "aac", "AAC", "", "", 0, 0, true, false,
     -1, -1, SubtitleHold::MovText, true, true, false, true, false, kMovVideo, kMovAudio},
    {".mp4", "MP4", true, "", Quality::Crf, "aac", "AAC", "", "", 0, 0, true, false,
     -1, -1, SubtitleHold::MovText, true, true, true, true, false,
     "h264 hevc mpeg4 mpeg1video mpeg2video mjpeg vp9 av1 png", "aac mp3 ac3 eac3 dts opus vorbis alac"},
    {".m4v", "M4V", true, "", Quality::Crf, "aac", "AAC", "", "", 0, 0, true, false,
     -1, -1, SubtitleHold::MovText, true, true, true, true, false, "h264 mpeg4", "aac ac3 alac"},
    {".ogg", "OGG", true, "", Quality::Theora, "libvorbis", "Vorbis", kVorbisLayouts, "", 24, 0, false, false,
     -1, -1, SubtitleHold::None, false, true, false, false, false, "theora vp8", "vorbis opus flac speex"},
    {".ogv", "OGV", true, "", Quality::Theora, "libvorbis", "Vorbis", kVorbisLayouts, "", 24, 0, false, false,
     -1, -1, SubtitleHold::None, false, true, false, false, false, "theora vp8", "vorbis opus flac speex"},
    {".webm", "WebM", true, "", Quality::Vp9, "libopus", "Opus", kOpusLayouts, "", 0, 0, false, false,
     -1, -1, SubtitleHold::WebVtt, true, true, false, false, false, "vp8 vp9 av1", "vorbis opus"},
    // Types the user may type by hand.
    {".mkv", "MKV", false, "", Quality::Crf, "libvorbis", "Vorbis", kVorbisLayouts, "", 0, 0, true, false,
     -1, -1, SubtitleHold::Matroska, true, true, false, false, true, "*", "* nellymoser"},
    {".ts", "TS", false, " -c:v libx264 -c:a aac", Quality::Crf, "aac", "AAC", "", "", 0, 0, true, false,
     -1, -1, SubtitleHold::None, false, false, false, false, false, kTsVideo, kTsAudio},
    {".mts", "MTS", false, " -c:v libx264 -c:a aac", Quality::Crf, "aac", "AAC", "", "", 0, 0, true, false,
     -1, -1, SubtitleHold::None, false, false, false, false, false, kTsVideo, kTsAudio},
    {".m2ts", "M2TS", false, " -c:v libx264 -c:a aac", Quality::Crf, "aac", "AAC", "", "", 0, 0, true, false,
     -1, -1, SubtitleHold::None, false, false, false, false, false, kTsVideo, kTsAudio},
};
// clang-format on

bool HasWord(std::string_view words, std::string_view word) {
    for (size_t at = 0; at < words.size();) {
        const size_t end = std::min(words.find(' ', at), words.size());
        if (words.substr(at, end - at) == word) return true;
        at = end + 1;
    }
    return false;
}

// "*" holds any codec but those named after it.
bool InList(std::string_view list, std::string_view codec) {
    return StartsWith(list, "* ") || list == "*" ? !HasWord(list, codec) : HasWord(list, codec);
}

} // namespace

const OutputType* OutputTypeOf(std::string_view output) {
    const std::string extension = LowerCase(ExtensionOf(output));
    for (const OutputType& type : kTypes)
        if (type.extension == extension) return &type;
    return nullptr;
}

std::string ListedTypesHoldingVideo(std::string_view codec) {
    std::string names;
    std::string_view last;
    for (const OutputType& type : kTypes)
        if (type.listed && HoldsVideoAsIs(type, codec)) {
            if (!last.empty()) names += (names.empty() ? "" : ", ") + std::string(last);
            last = type.name;
        }
    return names.empty() ? std::string(last) : names + " or " + std::string(last);
}

bool HoldsVideoAsIs(const OutputType& type, std::string_view codec) {
    return !codec.empty() && InList(type.copiedVideo, codec);
}

bool HoldsAudioAsIs(const OutputType& type, std::string_view codec, int sampleRate) {
    if (codec.empty()) return false;
    if (InList(type.copiedAudio, codec)) return true;
    // "mp3@": only at the sample rates the type holds.
    return HasWord(type.copiedAudio, std::string(codec) + "@") &&
           HasWord(type.audioRates, std::to_string(sampleRate));
}

std::string CodecName(std::string_view codec) {
    static constexpr std::pair<std::string_view, std::string_view> kNames[] = {{"h264", "H.264"},
                                                                               {"hevc", "HEVC"},
                                                                               {"mpeg4", "MPEG-4"},
                                                                               {"mpeg2video", "MPEG-2"},
                                                                               {"mpeg1video", "MPEG-1"},
                                                                               {"vp8", "VP8"},
                                                                               {"vp9", "VP9"},
                                                                               {"av1", "AV1"},
                                                                               {"wmv1", "WMV"},
                                                                               {"wmv2", "WMV"},
                                                                               {"wmv3", "WMV"},
                                                                               {"vc1", "VC-1"},
                                                                               {"msmpeg4v2", "MS MPEG-4"},
                                                                               {"msmpeg4v3", "MS MPEG-4"},
                                                                               {"prores", "ProRes"},
                                                                               {"dvvideo", "DV"},
                                                                               {"mjpeg", "Motion JPEG"},
                                                                               {"theora", "Theora"},
                                                                               {"flv1", "Sorenson Spark"},
                                                                               {"h263", "H.263"},
                                                                               {"aac", "AAC"},
                                                                               {"mp3", "MP3"},
                                                                               {"mp2", "MP2"},
                                                                               {"ac3", "AC-3"},
                                                                               {"eac3", "E-AC-3"},
                                                                               {"dts", "DTS"},
                                                                               {"truehd", "TrueHD"},
                                                                               {"opus", "Opus"},
                                                                               {"vorbis", "Vorbis"},
                                                                               {"flac", "FLAC"},
                                                                               {"alac", "ALAC"},
                                                                               {"wmav1", "WMA"},
                                                                               {"wmav2", "WMA"},
                                                                               {"wmapro", "WMA Pro"},
                                                                               {"amr_nb", "AMR"},
                                                                               {"amr_wb", "AMR"}};
    for (auto [id, name] : kNames)
        if (codec == id) return std::string(name);
    if (StartsWith(codec, "pcm_")) return "PCM";
    if (StartsWith(codec, "adpcm_")) return "ADPCM";
    std::string upper(codec);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return upper;
}
