// What the converter says an input holds (recorded listings of the converters that may stand in
// PLUG-IN) and what the usual and fast modes make of it for each output type.
#include <gtest/gtest.h>

#include "base/text.h"
#include "convert/conversion_plan.h"
#include "tests/unit/fixture.h"

namespace {

MediaLook Look(const std::string& kind, const std::string& converter = "win51") {
    return ReadMediaListing(Fixture(converter + "_look_" + kind + ".txt"));
}

// The streams kept, as the "-map" options say.
std::string Maps(const ConversionPlan& plan) {
    std::string maps;
    for (size_t at = plan.parameters.find(" -map 0:"); at != std::string::npos;
         at = plan.parameters.find(" -map 0:", at + 1))
        maps += plan.parameters.substr(at + 8, plan.parameters.find(' ', at + 8) - at - 8) + " ";
    return maps;
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string Kinds(const MediaLook& look) {
    std::string kinds;
    for (const StreamLook& s : look.streams)
        kinds += std::to_string(s.index) + "VASDTO"[int(s.kind)];
    return kinds;
}

} // namespace

TEST(MediaLook, AStreamIsALineOfTheListingNotMetadataAndProgramsListItOnce) {
    for (const char* converter : {"win41", "win51"}) {
        const MediaLook tracks = Look("tracks", converter);
        EXPECT_EQ(Kinds(tracks), "0V1A2A3S4D") << converter;
        EXPECT_EQ(tracks.durationSeconds, 4.0);
        EXPECT_TRUE(tracks.hasChapters && tracks.hasCreationTime);
        EXPECT_EQ(tracks.streams[2].language, "fra");
        EXPECT_TRUE(tracks.streams[1].isDefault && !tracks.streams[2].isDefault);
    }
    // Metadata keys that read like stream lines, and a program listing its streams again.
    EXPECT_EQ(Kinds(Look("oddkey")), "0V1A");
    const MediaLook programs = Look("programs");
    EXPECT_EQ(Kinds(programs), "0V1A2A");
    EXPECT_EQ(Maps(PlanConversion(Mode::Usual, "15", programs, "D:\\out.mp4")), "0 1 2 ");
    EXPECT_EQ(Kinds(Look("attach")), "0V1A2T");
    EXPECT_EQ(Kinds(Look("camera")), "0V1A2D");
    EXPECT_EQ(Look("unreadable").streams.size(), 0u);
    EXPECT_FALSE(Look("plain").streams[0].interlaced);
    const StreamLook dvd =
        ReadMediaListing("Input #0, matroska,webm, from 'a.webm':\n  Duration: 00:00:01.00\n"
                         "  Stream #0:0: Video: vp9 (Profile 0), yuv420p(tv, progressive), "
                         "720x576, SAR 64:45 DAR 16:9, 25 fps, 25 tbr, 1k tbn (default)\n")
            .streams[0];
    EXPECT_EQ(dvd.aspectX * 100 + dvd.aspectY, 6445);
}

TEST(ConversionPlan, EveryTrackChaptersAndMetadataGoWhereTheTypeHoldsThem) {
    for (const std::string converter : {"win41", "win51"}) {
        SCOPED_TRACE(converter);
        const MediaLook tracks = Look("tracks", converter);
        // Video, both audio tracks with their languages, the text subtitles; not the chapters' own track.
        const ConversionPlan mp4 = PlanConversion(Mode::Usual, "15", tracks, "D:\\out.mp4");
        EXPECT_EQ(Maps(mp4), "0 1 2 3 ");
        EXPECT_TRUE(Has(mp4.parameters, " -map_metadata 0 -threads 0 -crf 15 -pix_fmt yuv420p"));
        EXPECT_TRUE(Has(mp4.parameters, " -c:s:0 mov_text"));
        EXPECT_FALSE(Has(mp4.parameters, "use_metadata_tags")) << "standard atoms, which players read";
        EXPECT_EQ(mp4.leftOut, "");
        const ConversionPlan webm = PlanConversion(Mode::Fast, "15", tracks, "D:\\out.WEBM");
        EXPECT_TRUE(Has(webm.beforeInput, " -fflags +genpts"));
        EXPECT_TRUE(Has(webm.beforeInput, " -loglevel level+warning")) << "errors told by level, not words";
        // FLV holds one audio track (the default one) and no subtitles or chapters; AVI all audio tracks.
        const ConversionPlan flv = PlanConversion(Mode::Usual, "15", tracks, "D:\\out.flv");
        EXPECT_EQ(Maps(flv), "0 1 ");
        EXPECT_EQ(
            flv.leftOut,
            "Left out: audio track 2 (fra), the subtitles (eng) and the chapters: FLV cannot hold them.");
        // A type typed by hand that the converter knows gets the same plan.
        EXPECT_EQ(Maps(PlanConversion(Mode::Usual, "15", tracks, "D:\\out.mkv")), "0 1 2 3 ");
    }
    // Picture subtitles fit only Matroska; cover art stays a cover where the type holds one.
    EXPECT_EQ(PlanConversion(Mode::Usual, "15", Look("picture_subs"), "D:\\out.mp4").leftOut,
              "Left out: the subtitles (eng): MP4 cannot hold them.");
    EXPECT_TRUE(Has(PlanConversion(Mode::Usual, "15", Look("picture_subs"), "D:\\out.mkv").parameters,
                    " -c:s:0 copy"));
    const ConversionPlan cover = PlanConversion(Mode::Usual, "15", Look("cover"), "D:\\out.mp4");
    EXPECT_EQ(Maps(cover), "0 1 2 ");
    EXPECT_TRUE(Has(cover.parameters, " -c:v:1 copy"));
    EXPECT_EQ(PlanConversion(Mode::Fast, "15", Look("attach"), "D:\\out.mp4").leftOut,
              "Left out: the attached files: MP4 cannot hold them.");
    // Nothing readable: the converter chooses, and the user is told.
    const ConversionPlan unreadable = PlanConversion(Mode::Usual, "15", Look("unreadable"), "D:\\out.mp4");
    EXPECT_TRUE(Maps(unreadable).empty() && Has(unreadable.leftOut, "Only the main")) << unreadable.leftOut;
}

TEST(ConversionPlan, TheUsualModeMakesWhatEachEncoderTakes) {
    MediaLook screen = Look("plain");
    screen.streams[0].width = 321, screen.streams[0].height = 241;
    EXPECT_TRUE(
        Has(PlanConversion(Mode::Usual, "15", screen, "a.mp4").parameters, " -filter:v:0 scale=320:240"));
    EXPECT_FALSE(Has(PlanConversion(Mode::Usual, "15", screen, "a.avi").parameters, "scale"))
        << "MPEG-4 takes odd sizes";
    // Turned a quarter: the upright picture is what the encoder gets.
    MediaLook phone = Look("rotated");
    phone.streams[0].height = 241;
    EXPECT_TRUE(Has(PlanConversion(Mode::Usual, "15", phone, "a.mov").parameters, "scale=240:320"));

    const MediaLook camcorder = Look("interlaced");
    const std::string webm = PlanConversion(Mode::Usual, "15", camcorder, "a.webm").parameters;
    EXPECT_TRUE(Has(webm, " -filter:v:0 bwdif=")) << webm;
    // Sound the encoder cannot take as it is (5.1 with side channels in Vorbis, 48 kHz in FLV) is made so.
    EXPECT_TRUE(Has(webm, " -filter:a:0 aformat=channel_layouts="));
    EXPECT_TRUE(Has(PlanConversion(Mode::Usual, "15", camcorder, "a.flv").parameters, " -ar:a:0 44100"));
    EXPECT_FALSE(Has(PlanConversion(Mode::Usual, "15", Look("plain"), "a.flv").parameters, " -ar"));
}

TEST(ConversionPlan, LargePicturesOnManyProcessorsTakeFewerThreadsThanTheConverterWould) {
    MediaLook uhd = Look("plain");
    uhd.streams[0].width = 3840, uhd.streams[0].height = 2160;
    const ConversionPlan many = PlanConversion(Mode::Usual, "15", uhd, "a.mp4", 16);
    EXPECT_TRUE(Has(many.beforeInput, " -threads 2")) << "the decoders too";
    EXPECT_TRUE(Has(many.parameters, " -threads 2 -crf 15 -pix_fmt yuv420p -rc-lookahead 20"))
        << many.parameters;
    // One processor chooses fewer threads than the cap: no cap, which would take more.
    EXPECT_TRUE(Has(PlanConversion(Mode::Usual, "15", uhd, "a.mp4", 1).parameters, " -threads 0 -crf 15"));
    const ConversionPlan small = PlanConversion(Mode::Usual, "15", Look("plain"), "a.mp4", 24);
    EXPECT_TRUE(Has(small.parameters, " -threads 16 ") && !Has(small.parameters, "lookahead"));
}

TEST(ConversionPlan, HdrIsToneMappedToBt709WhereTheConverterCan) {
    for (const std::string converter : {"win41", "win51"}) {
        for (const char* kind : {"pq", "hlg"}) {
            SCOPED_TRACE(converter + " " + kind);
            MediaLook look = Look(kind, converter);
            ASSERT_FALSE(look.streams.empty());
            EXPECT_TRUE(IsHdr(look.streams[0]));
            const std::string usual = PlanConversion(Mode::Usual, "15", look, "D:\\out.mp4").parameters;
            EXPECT_TRUE(Has(usual, "tonemap=tonemap=mobius") &&
                        Has(usual, " -color_primaries:v:0 bt709 -color_trc:v:0 bt709 -colorspace:v:0 bt709"))
                << usual;
            EXPECT_FALSE(Has(PlanConversion(Mode::Fast, "15", look, "D:\\out.mp4").parameters, "tonemap"))
                << "copied as is";
            // Colours left untagged are taken as HDR's own: the tone mapping has a way from them.
            look.streams[0].matrix = look.streams[0].primaries = "";
            EXPECT_TRUE(Has(PlanConversion(Mode::Usual, "15", look, "D:\\out.mp4").parameters,
                            "setparams=color_primaries=bt2020:color_trc=" + look.streams[0].transfer +
                                ":colorspace=bt2020nc:range=tv,"));
            look.converterHasZimg = false;
            EXPECT_FALSE(Has(PlanConversion(Mode::Usual, "15", look, "D:\\out.mp4").parameters, "zscale"));
        }
    }
    EXPECT_FALSE(IsHdr(Look("plain").streams[0]));
}

TEST(ConversionPlan, TheFastModeCopiesWhatTheTypeHoldsAndRefusesTheRest) {
    const ConversionPlan hevcIntoAvi = PlanConversion(Mode::Fast, "15", Look("pq"), "D:\\out.avi");
    EXPECT_EQ(hevcIntoAvi.refusal, "AVI cannot hold this video's picture (HEVC) as it is");
    EXPECT_EQ(hevcIntoAvi.advice,
              "Choose the usual mode, which converts the picture, or MOV or MP4, which hold HEVC as it is.");
    EXPECT_EQ(PlanConversion(Mode::Usual, "15", Look("pq"), "D:\\out.avi").refusal, "")
        << "the usual mode converts it";
    // Sound the type cannot hold is converted to its own; the video is still copied.
    const ConversionPlan pcmIntoMp4 = PlanConversion(Mode::Fast, "15", Look("camera"), "D:\\out.mp4");
    EXPECT_TRUE(Has(pcmIntoMp4.parameters, " -vcodec copy -acodec copy -c:a:0 aac")) << pcmIntoMp4.parameters;
    EXPECT_EQ(pcmIntoMp4.changed, "The sound (PCM) was converted to AAC: MP4 cannot hold it as it is.");
    // A playlist saved under a video's name is refused in both modes: only the chosen file is read.
    for (const char* list : {"playlist", "concat"})
        for (Mode mode : {Mode::Fast, Mode::Usual})
            EXPECT_EQ(PlanConversion(mode, "15", Look(list), "D:\\out.mp4").refusal,
                      "the file is a playlist, which names other files instead of holding a video itself")
                << list;
    EXPECT_EQ(PlanConversion(Mode::Fast, "15", Look("rotated"), "D:\\out.mkv").leftOut,
              "Left out: the picture's rotation: MKV cannot hold it.");
}

TEST(ConversionPlan, APartIsSoughtBeforeTheInputAndAFastCopyStartsAtItsKeyPicture) {
    const Part part{3.0, 6.0};
    MediaLook tenSeconds = Look("plain");
    tenSeconds.durationSeconds = 10;
    const ConversionPlan usual = PlanConversion(Mode::Usual, "15", tenSeconds, "a.mp4", 2, part);
    EXPECT_TRUE(EndsWith(usual.beforeInput, " -ss 3")) << usual.beforeInput;
    EXPECT_TRUE(EndsWith(usual.parameters, " -t 3")) << usual.parameters;
    const ConversionPlan fast = PlanConversion(Mode::Fast, "15", tenSeconds, "a.mp4", 2, part, 2.96);
    EXPECT_TRUE(EndsWith(fast.beforeInput, " -ss 2.96") && EndsWith(fast.parameters, " -t 3.04"));
    EXPECT_EQ(fast.changed, "Kept 0:00:02.96 to 0:00:06.00: a copy can only start at a key picture.");
    // Seeking to a time rounded down would start the copy at the key picture before.
    const ConversionPlan odd = PlanConversion(Mode::Fast, "15", tenSeconds, "a.mp4", 2, part, 0.5338665);
    EXPECT_TRUE(EndsWith(odd.beforeInput, " -ss 0.533867")) << odd.beforeInput;
    // The key picture as the converter's picture filter shows it, in whatever notation it picks.
    const std::string_view shown = "[Parsed_showinfo_0 @ 0x5] n:   0 pts:  -3 pts_time:";
    EXPECT_EQ(KeyPictureAt(3, std::string(shown) + "-0.04 duration:1"), 2.96);
    EXPECT_NEAR(*KeyPictureAt(3, std::string(shown) + "-3.3e-05 duration:1"), 2.999967, 1e-9);
    EXPECT_FALSE(KeyPictureAt(3, "title : pts_time:-1\n[out#0/null] video:0kB"));
    EXPECT_EQ(PlanConversion(Mode::Usual, "15", Look("plain"), "a.mp4", 2, Part{2.0, {}}).refusal,
              "From (0:00:02.00) is at or past the end of the video (0:00:02.00)");
}

TEST(Part, TheFieldsTakeHoursMinutesOrSecondsAndSayWhatIsWrong) {
    for (auto [text, seconds] :
         {std::pair{"0:01:02.5", 62.5}, {"1:02.5", 62.5}, {"62.5", 62.5}, {" 3 ", 3.0}})
        EXPECT_EQ(TimeOf(text), seconds) << text;
    for (const char* bad : {"1:2", "1:60", "abc", "-3", "1:02:03:04", ".5", "1,5", "1:"})
        EXPECT_FALSE(TimeOf(bad)) << bad;
    EXPECT_TRUE(ReadPart("", "").part.whole() && ReadPart("", "").problem.empty());
    EXPECT_EQ(
        ReadPart("1:2", "").problem,
        "From \"1:2\" is not a time. Give From and To as h:mm:ss, m:ss or seconds, for example 0:01:02.5, "
        "1:02.5 or 62.5.");
    EXPECT_EQ(ReadPart("6", "0:03").problem, "To (0:00:03.00) must come after From (0:00:06.00).");
}
