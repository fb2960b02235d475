#pragma once
#include <cstdint>
#include <string>
#include <vector>

// What the command line asks of the program. New options go into
// CommandLineOptions and get a branch in parseCommandLine, a line in
// helpText and a word in usageLine.
struct CommandLineOptions {
    bool windowed = false;      // --window; --fullscreen (the default) undoes it
    bool displayGiven = false;  // either was given: the settings file's choice gives way
    // --host [PORT] waits for one player; --join HOST[:PORT] connects;
    // --watch HOST[:PORT] watches the match there (joinHost is the host).
    enum class Network { Off, Host, Join, Watch };
    Network network = Network::Off;
    std::string joinHost;     // empty with Join: the host is looked for on the LAN
    bool portMapping = true;  // --no-upnp: the host asks the router for nothing
    uint16_t port = 0;        // 0 until given: kDefaultPort then
    std::string replayFile;   // --replay FILE plays a recorded match
    int inputDelay = 0;       // --delay N (1 to kMaxDelay, the host's); 0: fitted to the link
};

// The longest input delay --delay takes, in ticks.
constexpr int kMaxDelay = 8;

// The UDP port network play uses unless told otherwise.
constexpr uint16_t kDefaultPort = 29417;

struct CommandLine {
    enum class Action { Run, Help, Version, Fail };
    Action action = Action::Run;
    CommandLineOptions options;
    std::string error;  // for Fail: one line naming the bad argument
};

// The arguments after the program's name.
CommandLine parseCommandLine(const std::vector<std::string>& args);

// "Usage: kestova [--window | --fullscreen] [--host [PORT] | --join [HOST[:PORT]]] ..."
std::string usageLine();
// The usage line and one line per option, for --help.
std::string helpText();
// "Kestova " and the project's version.
std::string versionText();
