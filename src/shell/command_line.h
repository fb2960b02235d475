#pragma once
#include <string>
#include <vector>

// What the command line asks of the program. New options go into
// CommandLineOptions and get a branch in parseCommandLine, a line in
// helpText and a word in usageLine.
struct CommandLineOptions {
    bool windowed = false;  // --window; --fullscreen (the default) undoes it
};

struct CommandLine {
    enum class Action { Run, Help, Version, Fail };
    Action action = Action::Run;
    CommandLineOptions options;
    std::string error;  // for Fail: one line naming the bad argument
};

// The arguments after the program's name.
CommandLine parseCommandLine(const std::vector<std::string>& args);

// "Usage: kestova [--window | --fullscreen] [--help] [--version]"
std::string usageLine();
// The usage line and one line per option, for --help.
std::string helpText();
// "Kestova " and the project's version.
std::string versionText();
