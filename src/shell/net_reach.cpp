#include "shell/net_reach.h"

#include <ostream>

#include "platform/lan_search.h"

namespace {

std::string joinLine(const std::string& address, uint16_t port) {
    return "kestova --join " + address + ":" + std::to_string(port);
}

}  // namespace

HostingAdvice hostingAdvice(const platform::PortMappingState& state, uint16_t port) {
    using Stage = platform::PortMappingState::Stage;
    HostingAdvice advice;
    if (state.stage == Stage::Asking) return advice;
    if (state.stage == Stage::Mapped &&
        !platform::unreachableOutsideAddress(state.outsideAddress)) {
        advice.screen = joinLine(state.outsideAddress, state.outsidePort);
        advice.console = "kestova: the router opened the port (" + state.how +
                         "); the other player joins with: " + advice.screen;
        return advice;
    }
    // No mapping, or one on a router that is itself behind another NAT.
    // The window's line is short: the game's font is wide.
    advice.screen = "port forward needed: UDP " + std::to_string(port);
    advice.console = "kestova: this network needs a port forward of UDP port " +
                     std::to_string(port) +
                     " to play over the internet (on the LAN, kestova --join finds this game)";
    return advice;
}

bool findLanHost(uint16_t port, std::string& host, uint16_t& hostPort, std::ostream& out,
                 std::ostream& err) {
    const platform::LanSearch search = platform::searchLan(port, kLanSearchMs);
    if (!search.error.empty()) {
        err << "kestova: " << search.error << '\n';
        return false;
    }
    if (search.hosts.empty()) {
        err << "kestova: no game waits for a player on the local network (UDP port " << port
            << "); give the host's address: kestova --join HOST\n";
        return false;
    }
    if (search.hosts.size() > 1) {
        err << "kestova: " << search.hosts.size()
            << " games wait for a player on the local network; join one with:\n";
        for (const platform::LanHost& found : search.hosts) {
            err << "  " << joinLine(found.address, found.port) << '\n';
        }
        return false;
    }
    host = search.hosts[0].address;
    hostPort = search.hosts[0].port;
    out << "kestova: joining the game at " << host << ':' << hostPort << std::endl;
    return true;
}
