#pragma once
// kestova --watch: a spectator of a networked match. It takes the session's
// recording so far from the host, runs it dark (nothing drawn, shown or
// heard) to catch up, then follows live, a frame as its keys arrive. The
// spectator's keys do nothing but Escape, which leaves.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/system.h"
#include "services/net_packet.h"

class TForm1;
class WatchClient;

// Follows the session `client` greeted on `system` (its window not yet open)
// until the session ends or the player leaves; `prepare` sees the main window
// first. With `stayAtEnd` the last picture then stays, with why watching
// ended, until Escape or a close request. True when the player left.
bool watchSession(platform::System& system, WatchClient& client, platform::Clock& linkClock,
                  bool stayAtEnd, const std::function<void(TForm1&)>& prepare = nullptr);

// The program: connects, greets and watches. A failure before the window
// opens is one line on standard error and exit code 1; otherwise 0.
int runWatchProgram(const std::string& host, uint16_t port, bool windowed,
                    const net::Identity& identity);
