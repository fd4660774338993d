// What the usual and the fast mode pass to the converter, from what the input holds (the look)
// and the output's type: every stream the type can hold, made so that its encoders take it (even
// sizes, channel layouts, sample rates, upright, deinterlaced, HDR tone-mapped), its chapters and
// metadata; and, in the user's words, what the type could not hold, what the fast mode converted
// after all, or why it does not start. No Windows headers here.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/mode.h"
#include "convert/media_look.h"
#include "convert/part.h"

struct ConversionPlan {
    std::string beforeInput; // options before -i, each with its leading blank
    std::string parameters;  // between the quoted input and " -y ", with their leading blank
    std::string leftOut;     // "Left out: audio track 2 (fra) and the chapters: FLV cannot hold them."
    std::string changed;     // "The sound (PCM) was converted to AAC: MP4 cannot hold it as it is."
    std::string refusal;     // not empty: the converter is not started, and this says why
    std::string advice;      // with a refusal: what the user can do instead
};

// The usual mode re-encodes with the crf (decimal text), the fast mode copies the streams (the
// custom mode has no plan: it passes its parameters as typed); `look` is what the
// converter said the input holds, nothing when it could not say. `output` names the file to write:
// its extension is the type. `processors`, the machine's logical processors (0: unknown, no bound), bounds
// the threads a large picture is converted with: the 32-bit converter's address space is the limit.
// `part` keeps only that part of the video; the fast mode starts it at `keyPicture`, the key
// picture at or before its start, where the copy must begin.
ConversionPlan PlanConversion(Mode mode, std::string_view crf, const std::optional<MediaLook>& look,
                              std::string_view output, int processors = 0, const Part& part = {},
                              std::optional<double> keyPicture = std::nullopt);

// The quality scale of the encoders that ignore -crf: MPEG-4 Part 2 and FLV1 (-q:v 1 best to 31),
// Theora (-q:v 10 best to 0). Half the crf's steps of six double the scale, as they roughly
// double the size.
int QScaleForCrf(int crf);
int TheoraQualityForCrf(int crf);
