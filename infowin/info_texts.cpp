#include "infowin/info_texts.h"

std::string JoinLines(std::initializer_list<std::string_view> lines) {
    std::string text;
    bool first = true;
    for (std::string_view line : lines) {
        if (!first) text += "\r\n";
        text += line;
        first = false;
    }
    return text;
}

namespace {
constexpr std::string_view kRunAsAdministrator = "Run the KESTO video converter as Administrator !";
}

std::string HelpInstructionText() {
    return JoinLines({kRunAsAdministrator, "1.Select input video file.", "2.Select a mode of transformation.",
                      "3.Select output video formmat.", "4.Publish output video, and wait.",
                      "From, To: keep only that part (h:mm:ss, m:ss or seconds)."});
}

std::string HelpRecommendationText() {
    return JoinLines(
        {kRunAsAdministrator, "Use a big free size of HDD/SSD for output video ",
         "The better to use an external (non system) HDD/SSD for output video.",
         "For Flash Software - use FLV format, for Html5 Software - use MP4 or WebM output video "
         "format."});
}

std::string AboutTitleText() {
    return JoinLines({"KESTO Video Converter", "Copyright (c) 2026 Tarvelle Inc.",
                      "Free software under the MIT licence."});
}

ShellRequest WebAddressRequest(std::string_view webAddress) {
    return {"", std::string(webAddress)};
}

ShellRequest EmailRequest(std::string_view emailAddress) {
    return {"Open", "mailto:" + std::string(emailAddress)};
}
