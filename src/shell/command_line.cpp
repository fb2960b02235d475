#include "shell/command_line.h"

#ifndef KESTOVA_VERSION
#error "KESTOVA_VERSION comes from the project's version in CMake"
#endif

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine result;
    for (const std::string& arg : args) {
        if (arg == "--window") {
            result.options.windowed = true;
        } else if (arg == "--fullscreen") {
            result.options.windowed = false;
        } else if (arg == "--help" || arg == "-h") {
            result.action = CommandLine::Action::Help;
            return result;
        } else if (arg == "--version") {
            result.action = CommandLine::Action::Version;
            return result;
        } else {
            result.action = CommandLine::Action::Fail;
            const char* what =
                !arg.empty() && arg[0] == '-' ? "unknown option" : "unexpected argument";
            result.error = std::string("kestova: ") + what + " '" + arg + "'. " + usageLine();
            return result;
        }
    }
    return result;
}

std::string usageLine() {
    return "Usage: kestova [--window | --fullscreen] [--help] [--version]";
}

std::string helpText() {
    return usageLine() +
           "\n"
           "A two-player artillery and dogfight game. Run it where Kestova.dat lies.\n"
           "\n"
           "  --window      start in a resizable window\n"
           "  --fullscreen  start in full screen (the default)\n"
           "  --help        show this text and exit\n"
           "  --version     show the version and exit\n"
           "\n"
           "Alt+Enter switches between full screen and a window at any time.\n";
}

std::string versionText() {
    return std::string("Kestova ") + KESTOVA_VERSION;
}
