#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mirvane {

// What the about box, the error window and the command line say, in UTF-8, line breaks CR LF.
inline constexpr std::string_view kWebSite = "https://www.mirvane.example";
inline constexpr std::string_view kSupportAddress = "support@mirvane.example";
inline constexpr std::string_view kVersionNumber = "2.3.0";

inline constexpr std::string_view kAboutTitle = "About Mirvane";
std::string VersionLine();      // "Version 2.3.0"
std::string AboutDescription(); // its paragraphs, a blank line between them

inline constexpr std::string_view kErrorTitle = "Unexpected System Error";
inline constexpr std::string_view kErrorHeading = "An unexpected error has been detected in Mirvane.";
std::string ErrorRequest(); // please mail the message below to the support address
inline constexpr std::string_view kErrorThanks = "Thank you for your assistance and support.";
// The report: the procedure, a line break, then "number: description".
std::string ErrorReport(const std::string& procedure, std::int32_t number, const std::string& description);

} // namespace mirvane
