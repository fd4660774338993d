// The converter's command line, built from the user's choices. No Windows headers here.
// All texts are byte strings; they pass through unchanged (nothing is re-encoded).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/mode.h"
#include "convert/conversion_plan.h"
#include "convert/media_look.h"

// The conversion the user asked for.
struct ConversionRequest {
    Mode mode = Mode::Usual;
    std::string crf;
    std::string customParams;
    std::string inputFile;
    std::string outputFile;
    std::optional<MediaLook> look = std::nullopt;    // what the input holds, where the converter could say
    int processors = 0;                              // logical processors of the machine; 0 when unknown
    Part part = {};                                  // the part kept; the whole by default
    std::optional<double> keyPicture = std::nullopt; // the fast mode's start, at or before the part's
};

// The converter beside the program. programFolder has no trailing backslash ("E:" at a root).
std::string ConverterLocation(std::string_view programFolder);

// The whole command line: quoted converter, -i, quoted input, parameters, -y, quoted output.
// Input and output lose their outer blanks; nothing else is quoted or escaped. The custom mode
// passes its parameters exactly as typed; the usual and fast modes follow the conversion plan
// (which may add input options before -i).
std::string BuildConverterCommandLine(std::string_view programFolder, const ConversionRequest& request);
std::string BuildConverterCommandLine(std::string_view programFolder, const ConversionRequest& request,
                                      const ConversionPlan& plan);

// The look at an input: the converter started with the input alone lists what it holds.
std::string LookCommandLine(std::string_view programFolder, std::string_view inputFile);

// Where a copy from `from` would start: the converter seeks there for key pictures only and shows
// the time of the first it finds, relative to `from`.
std::string KeyPictureCommandLine(std::string_view programFolder, std::string_view inputFile, double from,
                                  int videoStream);

// What the request passes to the converter: the custom mode's parameters as typed, or the plan
// of the usual or fast mode from what the input holds.
ConversionPlan PlanOf(const ConversionRequest& request);

// The number a compression list item begins with ("7:" gives 7), after any leading blanks;
// 0 when it begins with no digit ("Default"). Absurdly long numbers are clamped.
int CompressionFromItemText(std::string_view itemText);

// The crf for a compression value: 15 for 0 (default), otherwise value + 10.
std::string CrfFromCompression(int compression);
