#include "convert/conversion_plan.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "base/text.h"
#include "convert/output_types.h"

namespace {

// Error and warning lines tagged with their level, so that the cause of a failure is told by the
// converter's own grading, not by its words; the progress written on its own.
constexpr std::string_view kLogging = " -loglevel level+warning -stats";

// Tone mapping to SDR BT.709: the colours the file left untagged are taken as HDR's own (BT.2020),
// then to linear light, Mobius curve, back to BT.709, 8-bit 4:2:0.
constexpr std::string_view kToneMap =
    "zscale=t=linear:npl=100,format=gbrpf32le,zscale=p=bt709,"
    "tonemap=tonemap=mobius:desat=0,zscale=t=bt709:m=bt709:r=tv,format=yuv420p";

// Frames flagged interlaced are made whole, one picture per frame; progressive ones pass untouched.
constexpr std::string_view kDeinterlace = "bwdif=mode=send_frame:parity=auto:deint=interlaced";

// An AVI stores no presentation times: pictures held back for B-frames would start a frame late.
constexpr std::string_view kFromFirstPicture = "setpts=PTS-STARTPTS";

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

// The first stream of the kind that is flagged default, else the first one.
bool IsPreferred(const MediaLook& look, const StreamLook& stream) {
    const auto sameKind = [&](const StreamLook& s) { return s.kind == stream.kind && !s.attachedPicture; };
    const auto flagged = std::find_if(look.streams.begin(), look.streams.end(),
                                      [&](const StreamLook& s) { return sameKind(s) && s.isDefault; });
    const auto chosen = flagged != look.streams.end()
                            ? flagged
                            : std::find_if(look.streams.begin(), look.streams.end(), sameKind);
    return chosen != look.streams.end() && chosen->index == stream.index;
}

bool TurnedSideways(const StreamLook& video) {
    const long quarter = std::lround(video.rotation / 90);
    return quarter % 2 != 0;
}

int EvenAtLeastTwo(double side) {
    return std::max(2, static_cast<int>(side) / 2 * 2);
}

// The size the encoder is given, once the picture stands upright: pixels made square where the type
// stores no pixel shape, then within the encoder's limits, and even where the encoder needs it or
// the picture is scaled anyway. Nothing when the picture goes as it is.
std::optional<std::string> PictureSize(const StreamLook& video, const OutputType& type) {
    if (video.width <= 0 || video.height <= 0) return std::nullopt;
    const bool sideways = TurnedSideways(video);
    const int shownWidth = sideways ? video.height : video.width;
    const int shownHeight = sideways ? video.width : video.height;
    const double pixelShape =
        sideways ? double(video.aspectY) / video.aspectX : double(video.aspectX) / video.aspectY;
    const bool reshape = type.squarePixels && pixelShape != 1;
    double width = reshape ? std::round(shownWidth * pixelShape) : shownWidth, height = shownHeight;
    if (type.minimumSide && std::min(width, height) < type.minimumSide) {
        const double scale = type.minimumSide / std::min(width, height);
        width = std::ceil(width * scale), height = std::ceil(height * scale);
    }
    if (type.maximumSide && std::max(width, height) > type.maximumSide) {
        const double scale = type.maximumSide / std::max(width, height);
        width = std::floor(width * scale), height = std::floor(height * scale);
    }
    const bool scaled = reshape || width != shownWidth || height != shownHeight;
    const bool odd = (shownWidth % 2 || shownHeight % 2) && type.evenSides;
    if (!scaled && !odd) return std::nullopt;
    return "scale=" + std::to_string(EvenAtLeastTwo(width)) + ":" + std::to_string(EvenAtLeastTwo(height)) +
           (reshape ? ",setsar=1" : "");
}

// A colour name the tone mapping can take, or HDR's own.
std::string KnownOr(const std::string& name, std::initializer_list<std::string_view> known,
                    std::string_view hdr) {
    return std::find(known.begin(), known.end(), name) != known.end() ? name : std::string(hdr);
}

std::string ToneMapOf(const StreamLook& video) {
    return "setparams=color_primaries=" +
           KnownOr(video.primaries, {"bt2020", "bt709", "smpte432"}, "bt2020") +
           ":color_trc=" + video.transfer +
           ":colorspace=" + KnownOr(video.matrix, {"bt2020nc", "bt2020c", "bt709"}, "bt2020nc") +
           ":range=" + (video.fullRange ? "pc" : "tv") + "," + std::string(kToneMap);
}

// What one run keeps and says, built stream by stream.
class Planner {
  public:
    Planner(const MediaLook& look, const OutputType& type, bool reencode)
        : look_(look), type_(type), reencode_(reencode) {}

    void Plan() {
        for (const StreamLook& stream : look_.streams) {
            switch (stream.kind) {
            case StreamKind::Video: stream.attachedPicture ? Cover(stream) : Video(stream); break;
            case StreamKind::Audio: Audio(stream); break;
            case StreamKind::Subtitle: Subtitle(stream); break;
            case StreamKind::Attachment: Attachment(stream); break;
            case StreamKind::Data: ++dataTracks_; break;
            case StreamKind::Other: break;
            }
        }
        Subtitles();
        // A QuickTime file's chapters come as a text track of their own, which the chapters stand for.
        if (dataTracks_ > (look_.hasChapters ? 1 : 0))
            LeaveOut(dataTracks_ > 1 ? "the data tracks" : "the data track", dataTracks_ > 1);
        if (attachmentsLeft_) LeaveOut("the attached files", true);
        if (look_.hasChapters && !type_.chapters) LeaveOut("the chapters", true);
        if (look_.hasCreationTime && !type_.date) LeaveOut("the date it was recorded");
    }

    std::string maps, perStream, refusal, advice;
    std::vector<std::string> leftOut_, changed_;
    bool leftOutPlural_ = false; // the words name more than one thing

  private:
    void LeaveOut(std::string words, bool plural = false) {
        leftOutPlural_ |= plural || !leftOut_.empty();
        leftOut_.push_back(std::move(words));
    }

    void Map(const StreamLook& stream) { maps += " -map 0:" + std::to_string(stream.index); }

    void Video(const StreamLook& stream) {
        ++videos_;
        const std::string words = Track("video", videos_, stream.language);
        if (type_.videoTracks == 1 && !IsPreferred(look_, stream)) return LeaveOut(words);
        if (!reencode_ && !HoldsVideoAsIs(type_, stream.codec)) {
            if (!IsPreferred(look_, stream)) return LeaveOut(words);
            return Refuse(stream);
        }
        Map(stream);
        const std::string out = ":v:" + std::to_string(keptVideos_++);
        if (!reencode_) {
            // An AVI takes H.264 only with its start codes in the stream, as MPEG-TS carries it.
            if (stream.codec == "h264" && type_.extension == ".avi")
                perStream += " -bsf" + out + " h264_mp4toannexb";
            if (stream.rotation != 0 && !type_.rotation) LeaveOut("the picture's rotation");
            return;
        }
        std::vector<std::string> filters;
        if (StartsWith(look_.format, "avi")) filters.emplace_back(kFromFirstPicture);
        if (stream.interlaced) filters.emplace_back(kDeinterlace);
        const bool toneMap = IsHdr(stream) && look_.converterHasZimg;
        if (toneMap) filters.push_back(ToneMapOf(stream));
        if (const auto size = PictureSize(stream, type_)) filters.push_back(*size);
        if (!filters.empty()) {
            std::string chain;
            for (const std::string& filter : filters)
                chain += (chain.empty() ? "" : ",") + filter;
            perStream += " -filter" + out + " " + chain;
        }
        if (toneMap)
            perStream +=
                " -color_primaries" + out + " bt709 -color_trc" + out + " bt709 -colorspace" + out + " bt709";
    }

    void Cover(const StreamLook& stream) {
        if (!type_.cover) return LeaveOut("the cover picture");
        Map(stream);
        const std::string out = ":v:" + std::to_string(keptVideos_++);
        if (reencode_) perStream += " -c" + out + " copy";
    }

    void Audio(const StreamLook& stream) {
        ++audios_;
        if (type_.audioTracks == 1 && !IsPreferred(look_, stream))
            return LeaveOut(Track("audio", audios_, stream.language));
        Map(stream);
        const std::string out = ":a:" + std::to_string(keptAudios_++);
        if (!reencode_) {
            if (HoldsAudioAsIs(type_, stream.codec, stream.sampleRate)) return;
            perStream += " -c" + out + " " + std::string(type_.audioCodec);
            const bool theOnlySound =
                std::count_if(look_.streams.begin(), look_.streams.end(),
                              [](const StreamLook& s) { return s.kind == StreamKind::Audio; }) == 1;
            changed_.push_back(
                (theOnlySound ? std::string("the sound") : Track("audio", audios_, stream.language)) + " (" +
                CodecName(stream.codec) + ")");
        }
        if (!type_.audioLayouts.empty() && !HasLayout(type_.audioLayouts, stream.channelLayout))
            perStream += " -filter" + out + " aformat=channel_layouts=" + std::string(type_.audioLayouts);
        if (const auto rate = RateFor(stream.sampleRate))
            perStream += " -ar" + out + " " + std::to_string(*rate);
    }

    void Subtitle(const StreamLook& stream) {
        ++subtitles_;
        if (!stream.language.empty()) subtitleLanguages_.push_back(stream.language);
        const bool text = IsTextSubtitle(stream);
        std::string codec;
        switch (type_.subtitles) {
        case SubtitleHold::None: break;
        case SubtitleHold::MovText: codec = text ? "mov_text" : ""; break;
        case SubtitleHold::WebVtt: codec = text ? "webvtt" : ""; break;
        // Matroska keeps them as they are, but for the QuickTime kind, which it has no name for.
        case SubtitleHold::Matroska: codec = stream.codec == "mov_text" ? "srt" : "copy"; break;
        }
        if (codec.empty()) return subtitlesLeft_.push_back(Track("subtitle", subtitles_, stream.language));
        Map(stream);
        perStream += " -c:s:" + std::to_string(keptSubtitles_++) + " " + codec;
    }

    void Attachment(const StreamLook& stream) {
        if (!type_.attachments) return void(++attachmentsLeft_);
        Map(stream);
    }

    // All subtitles left out read "the subtitles (eng, fra)".
    void Subtitles() {
        if (!subtitlesLeft_.empty() && keptSubtitles_ == 0) {
            std::string languages;
            for (const std::string& language : subtitleLanguages_)
                languages += (languages.empty() ? " (" : ", ") + language;
            LeaveOut("the subtitles" + languages + (languages.empty() ? "" : ")"), true);
            return;
        }
        for (std::string& words : subtitlesLeft_)
            LeaveOut(std::move(words));
    }

    void Refuse(const StreamLook& stream) {
        const std::string codec = CodecName(stream.codec.empty() ? "unknown" : stream.codec);
        refusal = std::string(type_.name) + " cannot hold this video's picture (" + codec + ") as it is";
        const std::string others = ListedTypesHoldingVideo(stream.codec);
        const bool several = others.find(" or ") != std::string::npos;
        advice = others.empty() ? "Choose the usual mode, which converts the picture."
                                : "Choose the usual mode, which converts the picture, or " + others +
                                      (several ? ", which hold " : ", which holds ") + codec + " as it is.";
    }

    static bool HasLayout(std::string_view layouts, std::string_view layout) {
        for (size_t at = 0; at <= layouts.size();) {
            const size_t end = std::min(layouts.find('|', at), layouts.size());
            if (layouts.substr(at, end - at) == layout) return true;
            at = end + 1;
        }
        return false;
    }

    // The nearest rate at or above the sound's that the type holds, else its highest.
    std::optional<int> RateFor(int sampleRate) const {
        if (type_.audioRates.empty()) return std::nullopt;
        std::optional<int> chosen, highest;
        for (size_t at = 0; at < type_.audioRates.size();) {
            const size_t end = std::min(type_.audioRates.find(' ', at), type_.audioRates.size());
            const int rate = std::atoi(std::string(type_.audioRates.substr(at, end - at)).c_str());
            if (rate == sampleRate) return std::nullopt;
            if (rate > sampleRate && (!chosen || rate < *chosen)) chosen = rate;
            highest = std::max(highest.value_or(0), rate);
            at = end + 1;
        }
        return chosen ? chosen : highest;
    }

    const MediaLook& look_;
    const OutputType& type_;
    const bool reencode_;
    int videos_ = 0, audios_ = 0, subtitles_ = 0, dataTracks_ = 0, attachmentsLeft_ = 0;
    int keptVideos_ = 0, keptAudios_ = 0, keptSubtitles_ = 0;
    std::vector<std::string> subtitlesLeft_, subtitleLanguages_;
};

// The 32-bit converter has 4 GB of address space (2 GB on 32-bit Windows). Each decoding and
// encoding thread holds pictures of its own, and the encoders choose their number by the machine's
// processors (H.264: one and a half per processor), as many as the look-ahead: past 1080p on a PC
// with many processors the converter runs out of memory. Measured peaks with these bounds, on a
// PC of 24: 1080p at 16 threads 1.3 GB; 4K at 2 threads and 20 pictures ahead 1.3 GB (HDR, 10
// ahead, 1.5 GB); 8K at one thread and 10 ahead 2.7 GB.
constexpr long long k1080pPixels = 2'200'000, k4kPixels = 8'900'000;

struct Threads {
    int cap = 0;       // 0: the converter's own choice
    int lookAhead = 0; // pictures H.264 looks ahead; 0: its own choice
};

Threads ThreadsFor(const MediaLook& look, int processors) {
    long long pixels = 0;
    bool hdr = false;
    for (const StreamLook& s : look.streams)
        if (s.kind == StreamKind::Video && !s.attachedPicture) {
            pixels = std::max(pixels, 1LL * s.width * s.height);
            hdr |= IsHdr(s) && look.converterHasZimg;
        }
    Threads threads;
    const int cap = pixels <= k1080pPixels ? 16 : pixels <= k4kPixels ? 2 : 1;
    // Only a cap below what the encoder would choose itself: a higher count would take more.
    if (processors * 3 / 2 > cap) threads.cap = cap;
    if (pixels > k1080pPixels) threads.lookAhead = hdr || pixels > k4kPixels ? 10 : 20;
    return threads;
}

std::string ModeOptions(bool reencode, const OutputType* type, std::string_view crf, const Threads& threads) {
    if (!reencode) return " -threads 0 -vcodec copy -acodec copy";
    const bool h264 = type && type->quality == Quality::Crf;
    const std::string lookAhead =
        threads.lookAhead && h264 ? " -rc-lookahead " + std::to_string(threads.lookAhead) : "";
    return " -threads " + std::to_string(threads.cap) + std::string(type ? type->usualOptions : "") +
           QualityOptions(type ? type->quality : Quality::Crf, crf) + " -pix_fmt yuv420p" + lookAhead;
}

// Seeking before the input is quick, and exact where the pictures are re-encoded; a copy starts at
// `start`, the key picture (to the microsecond, rounded up: rounded down, the converter would seek
// to the key picture before it). The converter counts the length from there.
std::string CutOptions(const Part& part, std::optional<double> start, ConversionPlan& plan) {
    const double from = start ? std::ceil(*start * 1e6 - 1e-3) / 1e6 : 0;
    if (from > 0) plan.beforeInput += " -ss " + SecondsText(from);
    return part.to ? " -t " + SecondsText(*part.to - from) : "";
}

} // namespace

int QScaleForCrf(int crf) {
    return std::clamp(static_cast<int>(std::lround(std::pow(2.0, 1.0 + (crf - 11) / 6.0))), 1, 31);
}

int TheoraQualityForCrf(int crf) {
    return std::clamp(static_cast<int>(std::lround((31 - crf) / 2.0)), 0, 10);
}

ConversionPlan PlanConversion(Mode mode, std::string_view crf, const std::optional<MediaLook>& look,
                              std::string_view output, int processors, const Part& part,
                              std::optional<double> keyPicture) {
    const bool reencode = mode == Mode::Usual;
    ConversionPlan plan;
    plan.beforeInput =
        std::string(kLogging) +
        // Streams without time stamps (common in AVI) cannot be copied into most containers otherwise.
        (reencode ? "" : " -fflags +genpts");
    // Only the file the user chose is read: a playlist or list of files would have the converter
    // read whatever files it names, anywhere.
    if (look && IsListOfFiles(*look)) {
        plan.refusal = "the file is a playlist, which names other files instead of holding a video itself";
        plan.advice = "Load the video itself.";
        return plan;
    }
    if (const std::string past = PartPastTheEnd(part, look ? look->durationSeconds : std::nullopt);
        !past.empty()) {
        plan.refusal = past;
        plan.advice = "Choose an earlier From, or leave it empty to start at the beginning.";
        return plan;
    }
    const std::string cut =
        CutOptions(part, reencode ? part.from : keyPicture.value_or(part.from.value_or(0)), plan);
    const OutputType* type = OutputTypeOf(output);
    if (!type || !look || look->streams.empty()) {
        // The converter chooses: one stream of each kind.
        plan.parameters =
            (type ? " -map_metadata 0" : "") + ModeOptions(reencode, type, crf, Threads{}) + cut;
        if (type)
            plan.leftOut = "Only the main picture and sound were kept: the converter could not tell what "
                           "else the video holds.";
        return plan;
    }
    Planner planner(*look, *type, reencode);
    planner.Plan();
    plan.refusal = planner.refusal;
    plan.advice = planner.advice;
    const Threads threads = reencode ? ThreadsFor(*look, processors) : Threads{};
    // The decoders' threads, an option of the input, are capped alike.
    if (threads.cap) plan.beforeInput += " -threads " + std::to_string(threads.cap);
    plan.parameters = planner.maps + " -map_metadata 0" + ModeOptions(reencode, type, crf, threads) +
                      planner.perStream + cut;
    if (!planner.leftOut_.empty())
        plan.leftOut = "Left out: " + Listed(planner.leftOut_) + ": " + std::string(type->name) +
                       " cannot hold " + (planner.leftOutPlural_ ? "them." : "it.");
    if (!planner.changed_.empty()) {
        std::string what = Listed(planner.changed_);
        what[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(what[0])));
        plan.changed = what + (planner.changed_.size() > 1 ? " were" : " was") + " converted to " +
                       std::string(type->audioName) + ": " + std::string(type->name) + " cannot hold " +
                       (planner.changed_.size() > 1 ? "them as they are." : "it as it is.");
    }
    // A copy starts at the key picture before From: the user is told where it really starts.
    if (!reencode && part.from && keyPicture && *keyPicture < *part.from - 0.001) {
        const std::optional<double> end = part.to ? part.to : look->durationSeconds;
        plan.changed = "Kept " + PartClock(*keyPicture) + (end ? " to " + PartClock(*end) : std::string()) +
                       ": a copy can only start at a key picture." +
                       (plan.changed.empty() ? "" : "\r\n" + plan.changed);
    }
    return plan;
}
