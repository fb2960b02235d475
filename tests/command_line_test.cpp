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

TEST(CommandLineTest, HostAndJoinTakeAnOptionalPort) {
    using Network = CommandLineOptions::Network;
    const CommandLine host = parseCommandLine({"--host"});
    EXPECT_EQ(host.options.network, Network::Host);
    EXPECT_EQ(host.options.port, 0);
    const CommandLine hostPort = parseCommandLine({"--host", "4000", "--window"});
    EXPECT_EQ(hostPort.action, Action::Run);
    EXPECT_EQ(hostPort.options.port, 4000);
    EXPECT_TRUE(hostPort.options.windowed);
    const CommandLine join = parseCommandLine({"--window", "--join", "example.org:65535"});
    EXPECT_EQ(join.options.network, Network::Join);
    EXPECT_EQ(join.options.joinHost, "example.org");
    EXPECT_EQ(join.options.port, 65535);
    const CommandLine bare = parseCommandLine({"--join", "127.0.0.1"});
    EXPECT_EQ(bare.options.joinHost, "127.0.0.1");
    EXPECT_EQ(bare.options.port, 0);
    // No address: the game is looked for on the LAN.
    const CommandLine search = parseCommandLine({"--join", "--no-upnp"});
    EXPECT_EQ(search.options.network, Network::Join);
    EXPECT_EQ(search.options.joinHost, "");
    EXPECT_TRUE(host.options.portMapping);
    EXPECT_FALSE(search.options.portMapping);
    // IPv6 addresses: in brackets with a port, or bare.
    for (const char* where : {"[::1]:4000", "[::1]", "::1"}) {
        const CommandLine v6 = parseCommandLine({"--join", where});
        EXPECT_EQ(v6.options.joinHost, "::1") << where;
        EXPECT_EQ(v6.options.port, where[0] == '[' && where[5] ? 4000 : 0) << where;
    }
}

TEST(CommandLineTest, ABadNetworkArgumentIsOneLineThatNamesIt) {
    const std::vector<std::vector<std::string>> bad = {
        {"--host", "0"},      {"--host", "65536"},       {"--host", "12ab"},
        {"--join", ""},       {"--join", "h:"},          {"--join", "h:99999"},
        {"--join", ":4000"},  {"--host", "--join", "h"}, {"--join", "a", "--join", "b"},
        {"--join", "12345"},  {"--join", "[::1"},        {"--join", "[::1]4000"},
        {"--join", "[]:4000"}};
    for (const auto& args : bad) {
        const CommandLine result = parseCommandLine(args);
        EXPECT_EQ(result.action, Action::Fail) << args.back();
        EXPECT_EQ(result.error.rfind("kestova: ", 0), 0u) << result.error;
        EXPECT_EQ(result.error.find('\n'), std::string::npos) << result.error;
    }
    EXPECT_NE(parseCommandLine({"--host", "70000"}).error.find("'70000'"), std::string::npos);
    // The delay: 1 to 8, and only the host's (0 fits it to the link).
    for (const char* n : {"0", "9", "x", ""}) {
        EXPECT_EQ(parseCommandLine({"--host", "--delay", n}).error,
                  std::string("kestova: bad delay '") + n + "' (1 to 8 ticks). " + usageLine());
    }
    EXPECT_EQ(parseCommandLine({"--join", "h", "--delay", "3"}).action, Action::Fail);
    EXPECT_EQ(parseCommandLine({"--delay", "8", "--host"}).options.inputDelay, 8);
}

}  // namespace
