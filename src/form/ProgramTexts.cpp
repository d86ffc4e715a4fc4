#include "ProgramTexts.h"

namespace mirvane {

std::string VersionLine() { return "Version " + std::string(kVersionNumber); }

std::string AboutDescription() {
    const std::string paragraphs[] = {
        "Mirvane is a small program that helps to defeat key and mouse loggers on unsecure computer "
        "terminals "
        "(such as Internet Cafes).",
        "It is a custom-made tool that allows for you to mouse-click, type, or hover enter your password on "
        "an "
        "on-screen keyboard.  You can also hide your password in amongst auto-typed random text.",
        "Select the text with your mouse and then drag-drop it onto the password box on your online form.  "
        "That\u2019s it!",
        "We believe that Mirvane will increase your security, but users should know that there is no 100% "
        "way "
        "to defeat ALL malicious loggers (key, mouse, screen and network), and Mirvane does not proport to "
        "deliver 100% protection.",
        "Please read about its features on our website: what each one does, how it helps, and where its "
        "limits "
        "lie.",
        "For a full list of features, and to download the latest version, please visit our website:\r\n" +
            std::string(kWebSite),
        "For support, write to " + std::string(kSupportAddress) + ".",
    };
    std::string text;
    for (const std::string& paragraph : paragraphs) {
        text += (text.empty() ? "" : "\r\n\r\n") + paragraph;
    }
    return text;
}

std::string ErrorRequest() {
    return "In order to improve this tool, the developer would appreciate if you email the message below "
           "to " +
           std::string(kSupportAddress) + ".";
}

std::string ErrorReport(const std::string& procedure, std::int32_t number, const std::string& description) {
    return procedure + "\r\n" + std::to_string(number) + ": " + description;
}

} // namespace mirvane
