// What each output type holds and how the usual mode makes it: its encoders and their limits, the
// codecs it takes as they are (the fast mode), its subtitles, chapters, dates and cover pictures.
// Found by converting and decoding with the converter the program ships. No Windows headers here.
#pragma once

#include <string>
#include <string_view>

enum class Quality { Crf, QScale, Theora, Vp9 };
enum class SubtitleHold { None, MovText, WebVtt, Matroska };

struct OutputType {
    std::string_view extension; // lower case, with its dot
    std::string_view name;      // as the user knows it
    bool listed;                // offered in the save dialog

    // The usual mode.
    // Options of the usual mode for the type: encoders where the converter's own choice is poor,
    // muxing where its default loses time.
    std::string_view usualOptions;
    Quality quality;
    std::string_view audioCodec;   // the type's own audio: encoder name, as the fast mode converts to it
    std::string_view audioName;    // its name in the user's words
    std::string_view audioLayouts; // channel layouts its audio encoder takes ("" for any), "|"-separated
    std::string_view audioRates;   // sample rates the type holds, blank-separated ("" for any)
    int minimumSide;               // smaller pictures cannot be decoded once encoded
    int maximumSide;               // larger ones the encoder refuses
    bool evenSides;                // the encoder takes 4:2:0 pictures of even width and height only
    bool squarePixels;             // the encoder stores no pixel aspect ratio

    // What the type holds.
    int videoTracks; // at most; -1 for any number
    int audioTracks;
    SubtitleHold subtitles;
    bool chapters;
    bool date;        // when the video was recorded
    bool cover;       // a cover picture
    bool rotation;    // a copied picture's rotation
    bool attachments; // fonts and other attached files

    // The fast mode: codecs the type holds as they are, blank-separated; "*" for any but those
    // named after it ("* nellymoser").
    std::string_view copiedVideo;
    std::string_view copiedAudio;
};

// The rules for an output path's type (by its extension, any case); null for a type the program
// does not know.
const OutputType* OutputTypeOf(std::string_view output);

// The types offered in the save dialog, in its order, that hold a video codec as it is ("MOV or MP4").
std::string ListedTypesHoldingVideo(std::string_view codec);

// Whether the type holds a stream of this codec as it is (at this sample rate, for sound).
bool HoldsVideoAsIs(const OutputType& type, std::string_view codec);
bool HoldsAudioAsIs(const OutputType& type, std::string_view codec, int sampleRate);

// A codec's name in the user's words ("h264" reads "H.264", "pcm_s16le" "PCM").
std::string CodecName(std::string_view codec);
