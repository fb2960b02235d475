#pragma once
// How the two machines of a network game find each other: the host's word on
// being reached from the internet, and the joining side's search of the LAN.
#include <cstdint>
#include <iosfwd>
#include <string>

#include "platform/port_mapping.h"

// What the host tells its player: over the window while it waits, and once
// on the console. Both empty while the router is still being asked.
struct HostingAdvice {
    std::string screen;
    std::string console;
};
HostingAdvice hostingAdvice(const platform::PortMappingState& state, uint16_t port);

// How long the joining side listens for games on the LAN.
constexpr uint32_t kLanSearchMs = 1000;

// Looks for games waiting for a player on the LAN's UDP `port`. With exactly
// one, sets `host` and `hostPort` to it, says so on `out` and returns true;
// otherwise says why on `err` (listing several with their addresses) and
// returns false.
bool findLanHost(uint16_t port, std::string& host, uint16_t& hostPort, std::ostream& out,
                 std::ostream& err);
