#include "shell/command_line.h"

#include <algorithm>

#ifndef KESTOVA_VERSION
#error "KESTOVA_VERSION comes from the project's version in CMake"
#endif

namespace {

bool allDigits(const std::string& text) {
    if (text.empty() || text.size() > 5) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// A port of 1 to 65535 in decimal.
bool parsePort(const std::string& text, uint16_t& port) {
    if (!allDigits(text)) return false;
    const unsigned long value = std::stoul(text);
    if (value < 1 || value > 65535) return false;
    port = uint16_t(value);
    return true;
}

// HOST, HOST:PORT, [ADDRESS] or [ADDRESS]:PORT (an IPv6 address, which may
// also stand bare). Returns what is wrong, or nothing.
std::string splitHostPort(const std::string& where, CommandLineOptions& options) {
    std::string port;
    if (!where.empty() && where[0] == '[') {
        const size_t close = where.find(']');
        if (close == std::string::npos) return "no closing ']' in '" + where + "'";
        options.joinHost = where.substr(1, close - 1);
        if (close + 1 < where.size()) {
            if (where[close + 1] != ':') return "'" + where + "': a port follows ']:'";
            port = where.substr(close + 2);
            if (port.empty()) return "bad port in '" + where + "' (1 to 65535)";
        }
    } else if (std::count(where.begin(), where.end(), ':') == 1) {
        const size_t colon = where.find(':');
        options.joinHost = where.substr(0, colon);
        port = where.substr(colon + 1);
        if (port.empty()) return "bad port in '" + where + "' (1 to 65535)";
    } else {
        options.joinHost = where;
    }
    if (!port.empty() && !parsePort(port, options.port)) {
        return "bad port in '" + where + "' (1 to 65535)";
    }
    if (options.joinHost.empty()) return "no host in '" + where + "'";
    if (std::all_of(options.joinHost.begin(), options.joinHost.end(),
                    [](char c) { return c >= '0' && c <= '9'; })) {
        return "'" + options.joinHost + "' is a number, not an address (give HOST or HOST:PORT)";
    }
    return "";
}

CommandLine failure(const std::string& what) {
    CommandLine result;
    result.action = CommandLine::Action::Fail;
    result.error = "kestova: " + what + ". " + usageLine();
    return result;
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine result;
    using Network = CommandLineOptions::Network;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--host" || arg == "--join" || arg == "--watch") {
            if (result.options.network != Network::Off || !result.options.replayFile.empty()) {
                return failure("only one of --host, --join and --watch, once");
            }
        }
        if (arg == "--host") {
            result.options.network = Network::Host;
            // The port is optional: a following word that is not an option.
            if (i + 1 < args.size() && !args[i + 1].empty() && args[i + 1][0] != '-') {
                if (!parsePort(args[i + 1], result.options.port)) {
                    return failure("bad port '" + args[i + 1] + "' (1 to 65535)");
                }
                ++i;
            }
        } else if (arg == "--join" || arg == "--watch") {
            result.options.network = arg == "--join" ? Network::Join : Network::Watch;
            // Without an address the game to join is looked for on the LAN.
            const bool bare =
                i + 1 >= args.size() || (!args[i + 1].empty() && args[i + 1][0] == '-');
            if (bare && arg == "--join") continue;
            if (bare || args[i + 1].empty()) {
                return failure(arg + (arg == "--join" ? " needs HOST or HOST:PORT, or nothing"
                                                      : " needs HOST or HOST:PORT"));
            }
            const std::string& where = args[++i];
            const std::string bad = splitHostPort(where, result.options);
            if (!bad.empty()) return failure(bad);
        } else if (arg == "--delay") {
            const std::string value = i + 1 < args.size() ? args[++i] : "";
            if (!allDigits(value) || std::stoi(value) < 1 || std::stoi(value) > kMaxDelay) {
                return failure("bad delay '" + value + "' (1 to " + std::to_string(kMaxDelay) +
                               " ticks)");
            }
            result.options.inputDelay = std::stoi(value);
        } else if (arg == "--no-upnp") {
            result.options.portMapping = false;
        } else if (arg == "--replay") {
            if (i + 1 >= args.size() || args[i + 1].empty()) return failure("--replay needs FILE");
            if (result.options.network != Network::Off || !result.options.replayFile.empty()) {
                return failure("--replay once, and not with network play");
            }
            result.options.replayFile = args[++i];
        } else if (arg == "--window" || arg == "--fullscreen") {
            result.options.windowed = arg == "--window";
            result.options.displayGiven = true;
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
    if (result.options.inputDelay != 0 && result.options.network != Network::Host) {
        return failure("--delay goes with --host (the host sets the delay for both machines)");
    }
    return result;
}

std::string usageLine() {
    return "Usage: kestova [--window | --fullscreen] [--host [PORT] [--delay N] [--no-upnp] | "
           "--join [HOST[:PORT]] | --watch HOST[:PORT] | --replay FILE] [--help] [--version]";
}

std::string helpText() {
    return usageLine() +
           "\n"
           "A two-player artillery and dogfight game.\n"
           "\n"
           "  --window      start in a resizable window\n"
           "  --fullscreen  start in full screen (the default)\n"
           "  --host [PORT] play over the network: wait for one player on UDP port PORT\n"
           "                (default " +
           std::to_string(kDefaultPort) +
           "); you play the left side. The router is asked to open\n"
           "                the port (UPnP, NAT-PMP) and the line to give the other\n"
           "                player is shown\n"
           "  --delay N     with --host: keys take effect N ticks (1 to 8) after they\n"
           "                are pressed, on both machines; by default the delay is\n"
           "                fitted to the round trip measured at the menu\n"
           "  --no-upnp     with --host: ask the router for nothing\n"
           "  --join [HOST[:PORT]]\n"
           "                play over the network against the host at HOST; you play\n"
           "                the right side (an IPv6 address goes in brackets: [ADDR]:PORT).\n"
           "                Without HOST the game waiting on the local network is joined\n"
           "  --watch HOST[:PORT]\n"
           "                watch the networked match hosted at HOST, as one of up to\n"
           "                8 spectators; Escape leaves\n"
           "  --replay FILE play a recorded match (every match is saved in\n"
           "                ~/.local/share/kestova/replays)\n"
           "  --help        show this text and exit\n"
           "  --version     show the version and exit\n"
           "\n"
           "Alt+Enter switches between full screen and a window at any time.\n";
}

std::string versionText() {
    return std::string("Kestova ") + KESTOVA_VERSION;
}
