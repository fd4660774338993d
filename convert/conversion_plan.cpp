#include "convert/conversion_plan.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "convert/batch.h"

namespace {

enum class Quality { Crf, QScale, Theora, Vp9 };
enum class Subtitles { None, MovText, WebVtt };

// What each output type's muxer holds, and which encoder its video gets.
struct TypeRules {
    std::string_view extension; // lower case, with its dot
    std::string_view name;      // as the user knows it
    int videoTracks;            // at most; -1 for any number
    int audioTracks;
    Subtitles subtitles;
    Quality quality;
    bool movFlags; // QuickTime family: metadata written as tags of its own
};

constexpr TypeRules kTypes[] = {
    {".flv", "FLV", 1, 1, Subtitles::None, Quality::QScale, false},
    {".avi", "AVI", -1, -1, Subtitles::None, Quality::QScale, false},
    {".mov", "MOV", -1, -1, Subtitles::MovText, Quality::Crf, true},
    {".mp4", "MP4", -1, -1, Subtitles::MovText, Quality::Crf, true},
    {".m4v", "M4V", -1, -1, Subtitles::MovText, Quality::Crf, true},
    {".ogg", "OGG", -1, -1, Subtitles::None, Quality::Theora, false},
    {".ogv", "OGV", -1, -1, Subtitles::None, Quality::Theora, false},
    {".webm", "WebM", -1, -1, Subtitles::WebVtt, Quality::Vp9, false},
};

// Tone mapping to SDR BT.709: to linear light, Mobius curve, back to BT.709, 8-bit 4:2:0.
constexpr std::string_view kToneMap =
    "zscale=t=linear:npl=100,format=gbrpf32le,zscale=p=bt709,"
    "tonemap=tonemap=mobius:desat=0,zscale=t=bt709:m=bt709:r=tv,format=yuv420p";

const TypeRules* RulesFor(std::string_view output) {
    std::string extension(ExtensionOf(output));
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const TypeRules& rules : kTypes)
        if (rules.extension == extension) return &rules;
    return nullptr;
}

int CrfNumber(std::string_view crf) {
    int value = 0;
    for (char c : crf.substr(0, 6))
        if (c >= '0' && c <= '9') value = value * 10 + (c - '0');
    return value;
}

std::string QualityOptions(Quality quality, std::string_view crf) {
    switch (quality) {
    case Quality::QScale: return " -q:v " + std::to_string(QScaleForCrf(CrfNumber(crf)));
    case Quality::Theora: return " -q:v " + std::to_string(TheoraQualityForCrf(CrfNumber(crf)));
    // Constant quality needs the bitrate cap off; rows in parallel and a faster speed setting
    // keep the encoder from taking several times as long as H.264.
    case Quality::Vp9: return " -crf " + std::string(crf) + " -b:v 0 -row-mt 1 -cpu-used 4";
    case Quality::Crf: break;
    }
    return " -crf " + std::string(crf);
}

std::string Track(std::string_view kind, int number, const std::string& language) {
    return std::string(kind) + " track " + std::to_string(number) +
           (language.empty() ? "" : " (" + language + ")");
}

std::string Listed(const std::vector<std::string>& items) {
    std::string text;
    for (size_t i = 0; i < items.size(); ++i)
        text += (i == 0 ? "" : i + 1 == items.size() ? " and " : ", ") + items[i];
    return text;
}

// The streams to keep, as "-map" options, and the words for those left out.
struct Selection {
    std::string maps;
    std::string subtitleCodecs;
    std::string toneMaps;
    std::vector<std::string> leftOut;
    bool plural = false; // the words name more than one thing
};

// The first stream of the kind that is flagged default, else the first one.
bool IsPreferred(const MediaLook& look, size_t index) {
    const StreamLook& stream = look.streams[index];
    const auto sameKind = [&](const StreamLook& s) { return s.kind == stream.kind && !s.attachedPicture; };
    const auto flagged = std::find_if(look.streams.begin(), look.streams.end(),
                                      [&](const StreamLook& s) { return sameKind(s) && s.isDefault; });
    const auto chosen = flagged != look.streams.end()
                            ? flagged
                            : std::find_if(look.streams.begin(), look.streams.end(), sameKind);
    return chosen == look.streams.begin() + long(index);
}

Selection Select(const MediaLook& look, const TypeRules& rules, bool reencode) {
    Selection selection;
    int videos = 0, audios = 0, subtitles = 0, keptVideos = 0, keptSubtitles = 0;
    std::vector<std::string> subtitlesLeftOut, subtitleLanguages;
    for (size_t i = 0; i < look.streams.size(); ++i) {
        const StreamLook& stream = look.streams[i];
        const std::string map = " -map 0:" + std::to_string(i);
        if (stream.kind == StreamKind::Video && !stream.attachedPicture) {
            ++videos;
            // A type that holds one track gets the preferred one.
            if (rules.videoTracks == 1 && !IsPreferred(look, i)) {
                selection.leftOut.push_back(Track("video", videos, stream.language));
                continue;
            }
            if (reencode && IsHdr(stream) && look.converterHasZimg) {
                const std::string out = ":v:" + std::to_string(keptVideos);
                selection.toneMaps += " -filter" + out + " " + std::string(kToneMap) + " -color_primaries" +
                                      out + " bt709 -color_trc" + out + " bt709 -colorspace" + out + " bt709";
            }
            ++keptVideos;
            selection.maps += map;
        } else if (stream.kind == StreamKind::Audio) {
            ++audios;
            if (rules.audioTracks == 1 && !IsPreferred(look, i)) {
                selection.leftOut.push_back(Track("audio", audios, stream.language));
                continue;
            }
            selection.maps += map;
        } else if (stream.kind == StreamKind::Subtitle) {
            ++subtitles;
            if (!stream.language.empty()) subtitleLanguages.push_back(stream.language);
            if (rules.subtitles == Subtitles::None || !IsTextSubtitle(stream)) {
                subtitlesLeftOut.push_back(Track("subtitle", subtitles, stream.language));
                continue;
            }
            selection.subtitleCodecs += " -c:s:" + std::to_string(keptSubtitles++) +
                                        (rules.subtitles == Subtitles::MovText ? " mov_text" : " webvtt");
            selection.maps += map;
        }
    }
    if (!subtitlesLeftOut.empty() && keptSubtitles == 0) { // all of them: "the subtitles (eng, fra)"
        std::string languages;
        for (const std::string& language : subtitleLanguages)
            languages += (languages.empty() ? " (" : ", ") + language;
        subtitlesLeftOut = {"the subtitles" + languages + (languages.empty() ? "" : ")")};
        selection.plural = true;
    }
    selection.leftOut.insert(selection.leftOut.end(), subtitlesLeftOut.begin(), subtitlesLeftOut.end());
    selection.plural |= selection.leftOut.size() > 1;
    return selection;
}

} // namespace

int QScaleForCrf(int crf) {
    return std::clamp(static_cast<int>(std::lround(std::pow(2.0, 1.0 + (crf - 11) / 6.0))), 1, 31);
}

int TheoraQualityForCrf(int crf) {
    return std::clamp(static_cast<int>(std::lround((31 - crf) / 2.0)), 0, 10);
}

ConversionPlan PlanConversion(int mode, std::string_view crf, const std::optional<MediaLook>& look,
                              std::string_view output) {
    const bool reencode = mode == 1;
    ConversionPlan plan;
    // Streams without time stamps (common in AVI) cannot be copied into most containers otherwise.
    if (!reencode) plan.beforeInput = " -fflags +genpts";
    const TypeRules* rules = RulesFor(output);
    const bool streamsKnown = rules && look && !look->streams.empty();
    Selection selection;
    if (streamsKnown) selection = Select(*look, *rules, reencode);
    plan.parameters = selection.maps;
    if (rules) plan.parameters += " -map_metadata 0";
    plan.parameters += reencode ? " -threads 0" + QualityOptions(rules ? rules->quality : Quality::Crf, crf) +
                                      " -pix_fmt yuv420p" + selection.toneMaps
                                : " -threads 0 -vcodec copy -acodec copy";
    plan.parameters += selection.subtitleCodecs;
    if (rules && rules->movFlags) plan.parameters += " -movflags use_metadata_tags";
    if (!selection.leftOut.empty())
        plan.leftOut = "Left out: " + Listed(selection.leftOut) + ": " + std::string(rules->name) +
                       " cannot hold " + (selection.plural ? "them." : "it.");
    return plan;
}
