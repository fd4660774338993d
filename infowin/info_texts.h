// Texts of the start, help and about windows, and the shell requests of their links.
// No Windows headers here.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// Lines joined by "\r\n", with no line end after the last.
std::string JoinLines(std::initializer_list<std::string_view> lines);

inline constexpr const char* kStartCaption = "Tarvelle Video Converter. ";
inline constexpr const char* kStartInvitation = "See a more of free Apps at:";
inline constexpr const char* kStartButton = "Start";

inline constexpr const char* kHelpCaption = "Help";
inline constexpr const char* kHelpHeading = "  Instruction:";
inline constexpr const char* kHelpSubheading = " Common recommendation:";
std::string HelpInstructionText();
std::string HelpRecommendationText();

inline constexpr const char* kAboutCaption = "About";
inline constexpr const char* kAboutBuild = "Build v1.01";
inline constexpr const char* kAboutEmailLabel = "email: Tarvelle Inc.";
// Program name, maker and licence notice, three lines.
std::string AboutTitleText();

// What a link asks the shell to open: the verb (empty for the default verb) and the file.
struct ShellRequest {
    std::string verb;
    std::string file;
};
ShellRequest WebAddressRequest(std::string_view webAddress);
ShellRequest EmailRequest(std::string_view emailAddress);

// Links act on a plain click only; a double-click notification does nothing by itself.
constexpr bool IsLinkClick(int notificationCode) {
    return notificationCode == 0;
}
