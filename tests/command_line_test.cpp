#include "shell/command_line.h"

#include <gtest/gtest.h>

namespace {

using Action = CommandLine::Action;

TEST(CommandLineTest, DisplayModeOptionsTheLastOneWins) {
    EXPECT_FALSE(parseCommandLine({}).options.windowed);
    EXPECT_EQ(parseCommandLine({}).action, Action::Run);
    EXPECT_TRUE(parseCommandLine({"--window"}).options.windowed);
    EXPECT_FALSE(parseCommandLine({"--window", "--fullscreen"}).options.windowed);
    EXPECT_TRUE(parseCommandLine({"--fullscreen", "--window"}).options.windowed);
}

TEST(CommandLineTest, HelpAndVersionWinOverWhatFollows) {
    EXPECT_EQ(parseCommandLine({"--help"}).action, Action::Help);
    EXPECT_EQ(parseCommandLine({"-h"}).action, Action::Help);
    EXPECT_EQ(parseCommandLine({"--window", "--version", "--bogus"}).action, Action::Version);
    EXPECT_NE(helpText().find("--window"), std::string::npos);
    EXPECT_EQ(versionText().rfind("Kestova ", 0), 0u);
}

TEST(CommandLineTest, ABadArgumentIsOneLineThatNamesItAndGivesTheUsage) {
    for (const char* bad : {"--bogus", "-w", "--Window", "--window=1", "extra", ""}) {
        const CommandLine result = parseCommandLine({"--window", bad});
        EXPECT_EQ(result.action, Action::Fail) << bad;
        EXPECT_NE(result.error.find(std::string("'") + bad + "'"), std::string::npos) << bad;
        EXPECT_NE(result.error.find(usageLine()), std::string::npos) << bad;
        EXPECT_EQ(result.error.find('\n'), std::string::npos) << bad;
    }
}

}  // namespace
