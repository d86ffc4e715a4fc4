#include "win32/CommandLine.h"

#include <gtest/gtest.h>

// Help and version answer and end well; any other option is a mistake, with the usage; with
// no option the window opens.
TEST(CommandLine, OptionsAreAnsweredBeforeTheWindowOpens) {
    const struct {
        const char* option;
        int status;
        const char* begins;
        bool mistake;
    } cases[] = {
        {"--help", 0, "Usage: mirvane.exe [--help] [--version]\r\n", false},
        {"-h", 0, "Usage: mirvane.exe", false},
        {"/?", 0, "Usage: mirvane.exe", false},
        {"--version", 0, "mirvane 2.3.0", false},
        {"--helpme", 1, "mirvane: unknown option '--helpme'\r\nUsage: mirvane.exe [--help] [--version]", true},
    };
    for (const auto& c : cases) {
        const auto answer = mirvane::CheckCommandLine({c.option});
        ASSERT_TRUE(answer.has_value()) << c.option;
        EXPECT_EQ(answer->status, c.status) << c.option;
        EXPECT_TRUE(answer->text.starts_with(c.begins)) << answer->text;
        EXPECT_EQ(answer->mistake, c.mistake) << c.option;
    }
    EXPECT_FALSE(mirvane::CheckCommandLine({}).has_value());
}
