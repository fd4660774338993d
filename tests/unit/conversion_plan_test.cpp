// The usual and fast modes' parameters from what the converter said the input holds (recorded
// listings of the converters that may stand in PLUG-IN) and the output's type.
#include <gtest/gtest.h>

#include "convert/conversion_plan.h"
#include "tests/unit/fixture.h"

namespace {

MediaLook Look(const std::string& converter, const std::string& kind) {
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

const char* const kConverters[] = {"win41", "win51"};

} // namespace

TEST(ConversionPlan, EveryTrackChaptersAndMetadataGoWhereTheTypeHoldsThem) {
    for (const std::string converter : kConverters) {
        SCOPED_TRACE(converter);
        const MediaLook tracks = Look(converter, "tracks");
        EXPECT_EQ(tracks.durationSeconds, 4.0);
        EXPECT_TRUE(tracks.hasChapters);
        // Video, both audio tracks with their languages, the text subtitles; not the chapter data.
        const ConversionPlan mp4 = PlanConversion(1, "15", tracks, "D:\\out.mp4");
        EXPECT_EQ(Maps(mp4), "0 1 2 3 ");
        EXPECT_EQ(mp4.parameters, " -map 0:0 -map 0:1 -map 0:2 -map 0:3 -map_metadata 0 -threads 0 -crf 15"
                                  " -pix_fmt yuv420p -c:s:0 mov_text -movflags use_metadata_tags");
        EXPECT_EQ(mp4.leftOut, "");
        const ConversionPlan webm = PlanConversion(0, "15", tracks, "D:\\out.WEBM");
        EXPECT_EQ(webm.beforeInput, " -fflags +genpts");
        EXPECT_EQ(webm.parameters,
                  " -map 0:0 -map 0:1 -map 0:2 -map 0:3 -map_metadata 0 -threads 0 -vcodec copy -acodec copy"
                  " -c:s:0 webvtt");
        // FLV holds one audio track (the default one) and no subtitles; AVI all audio tracks.
        const ConversionPlan flv = PlanConversion(1, "15", tracks, "D:\\out.flv");
        EXPECT_EQ(Maps(flv), "0 1 ");
        EXPECT_EQ(flv.leftOut,
                  "Left out: audio track 2 (fra) and the subtitles (eng): FLV cannot hold them.");
        EXPECT_EQ(PlanConversion(1, "15", tracks, "D:\\out.avi").leftOut,
                  "Left out: the subtitles (eng): AVI cannot hold them.");
        // Picture subtitles fit no output type; cover art is not a video to convert.
        EXPECT_EQ(PlanConversion(1, "15", Look(converter, "picture_subs"), "D:\\out.mp4").leftOut,
                  "Left out: the subtitles (eng): MP4 cannot hold them.");
        EXPECT_EQ(Maps(PlanConversion(1, "15", Look(converter, "cover"), "D:\\out.mp4")), "0 1 ");
        // Nothing readable, or a type of the user's own: the converter chooses, as before.
        for (const auto& [kind, output] : {std::pair{"unreadable", "D:\\out.mp4"}, {"tracks", "D:\\out.mkv"}})
            EXPECT_EQ(Maps(PlanConversion(1, "15", Look(converter, kind), output)), "") << kind;
    }
}

TEST(ConversionPlan, HdrIsToneMappedToBt709WhereTheConverterCan) {
    for (const std::string converter : kConverters) {
        for (const char* kind : {"pq", "hlg"}) {
            SCOPED_TRACE(converter + " " + kind);
            MediaLook look = Look(converter, kind);
            ASSERT_FALSE(look.streams.empty());
            EXPECT_TRUE(IsHdr(look.streams[0]));
            EXPECT_EQ(look.streams[0].primaries, "bt2020");
            const std::string usual = PlanConversion(1, "15", look, "D:\\out.mp4").parameters;
            EXPECT_TRUE(Has(usual, " -filter:v:0 zscale=t=linear:npl=100,") &&
                        Has(usual, "tonemap=tonemap=mobius") &&
                        Has(usual, " -color_primaries:v:0 bt709 -color_trc:v:0 bt709 -colorspace:v:0 bt709"))
                << usual;
            EXPECT_FALSE(Has(PlanConversion(0, "15", look, "D:\\out.mp4").parameters, "tonemap"))
                << "copied as is";
            look.converterHasZimg = false;
            EXPECT_FALSE(Has(PlanConversion(1, "15", look, "D:\\out.mp4").parameters, "zscale"));
        }
        EXPECT_FALSE(IsHdr(Look(converter, "plain").streams[0]));
    }
}

TEST(ConversionPlan, CompressionUsesTheScaleEachEncoderHonours) {
    const auto quality = [](const char* crf, const char* output) {
        const std::string parameters = PlanConversion(1, crf, std::nullopt, output).parameters;
        const size_t at = parameters.find(" -threads 0 ");
        return parameters.substr(at + 12, parameters.find(" -pix_fmt") - at - 12);
    };
    EXPECT_EQ(quality("15", "a.mp4"), "-crf 15");
    EXPECT_EQ(quality("15", "a.webm"), "-crf 15 -b:v 0 -row-mt 1 -cpu-used 4");
    // "1:Max size" (crf 11) the best, "21:Min size" (crf 31) the smallest: MPEG-4 Part 2 and FLV1
    // count down to 1 for the best, Theora up to 10.
    EXPECT_EQ(quality("11", "a.flv") + "|" + quality("31", "a.avi"), "-q:v 2|-q:v 20");
    EXPECT_EQ(quality("11", "a.ogg") + "|" + quality("31", "a.OGV"), "-q:v 10|-q:v 0");
    for (int crf = 11; crf < 31; ++crf) {
        EXPECT_LE(QScaleForCrf(crf), QScaleForCrf(crf + 1));
        EXPECT_GE(TheoraQualityForCrf(crf), TheoraQualityForCrf(crf + 1));
    }
}
