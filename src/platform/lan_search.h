#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// A game on the local network waiting for a player.
struct LanHost {
    std::string address;  // IPv4, dotted
    uint16_t port = 0;
};

struct LanSearch {
    std::vector<LanHost> hosts;  // each once, in the order they answered
    std::string error;           // one line when the search could not be made
};

// Asks every IPv4 network this machine is on, by broadcast to UDP `port`,
// which games wait for a player there, and gathers the answers for `waitMs`.
LanSearch searchLan(uint16_t port, uint32_t waitMs);

// The waiting side: when `data` is a search, answers it from `socket` (the
// game's own, so the answer names the game's port) to the asker and returns
// true. `address` is the asker's, in network byte order; `port` in host order.
bool answerLanSearch(int socket, uint32_t address, uint16_t port, const uint8_t* data, size_t size);

}  // namespace platform
