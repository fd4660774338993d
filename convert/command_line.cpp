#include "convert/command_line.h"

#include "base/text.h"
#include "convert/conversion_plan.h"

namespace {

// Far above any list item (the largest is 21) yet far from overflowing value + 10.
constexpr int kLargestCompression = 1000000;

std::string Quoted(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '"';
    quoted += text;
    quoted += '"';
    return quoted;
}

} // namespace

std::string ConverterLocation(std::string_view programFolder) {
    std::string location(programFolder);
    location += "\\PLUG-IN\\ffmpeg_III.exe";
    return location;
}

ConversionPlan PlanOf(const ConversionRequest& request) {
    if (request.mode != Mode::Custom)
        return PlanConversion(request.mode, request.crf, request.look, TrimBlanks(request.outputFile),
                              request.processors, request.part, request.keyPicture);
    ConversionPlan asTyped;
    asTyped.parameters = " " + request.customParams + " ";
    return asTyped;
}

std::string BuildConverterCommandLine(std::string_view programFolder, const ConversionRequest& request) {
    return BuildConverterCommandLine(programFolder, request, PlanOf(request));
}

std::string BuildConverterCommandLine(std::string_view programFolder, const ConversionRequest& request,
                                      const ConversionPlan& plan) {
    std::string line = Quoted(ConverterLocation(programFolder));
    line += plan.beforeInput;
    line += " -i ";
    line += Quoted(TrimBlanks(request.inputFile));
    line += plan.parameters;
    line += " -y ";
    line += Quoted(TrimBlanks(request.outputFile));
    return line;
}

std::string LookCommandLine(std::string_view programFolder, std::string_view inputFile) {
    return Quoted(ConverterLocation(programFolder)) + " -i " + Quoted(TrimBlanks(inputFile));
}

std::string KeyPictureCommandLine(std::string_view programFolder, std::string_view inputFile, double from,
                                  int videoStream) {
    // One thread is plenty for the one key picture it decodes, and takes no memory to speak of.
    return Quoted(ConverterLocation(programFolder)) + " -noaccurate_seek -skip_frame nokey -threads 1 -ss " +
           SecondsText(from) + " -i " + Quoted(TrimBlanks(inputFile)) +
           " -map 0:" + std::to_string(videoStream) + " -frames:v 1 -vf showinfo -f null -";
}

int CompressionFromItemText(std::string_view itemText) {
    size_t at = 0;
    while (at < itemText.size() && itemText[at] == ' ')
        ++at;
    int value = 0;
    for (; at < itemText.size() && IsDigit(itemText[at]); ++at) {
        value = value * 10 + (itemText[at] - '0');
        if (value > kLargestCompression) return kLargestCompression;
    }
    return value;
}

std::string CrfFromCompression(int compression) {
    if (compression == 0) return "15";
    return std::to_string(static_cast<long long>(compression) + 10); // no overflow at INT_MAX
}
