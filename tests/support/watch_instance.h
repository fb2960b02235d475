#pragma once
// A spectator in a whole game over the network: a child process of its own
// that writes the digest at the top of every frame it runs.
#include <unistd.h>

#include "platform/watch_seats.h"
#include "services/watch_client.h"
#include "shell/watch_play.h"
#include "support/net_instance.h"

namespace watch_instance {

using namespace net_instance;

// A spectator of the host at `port`: its trace holds one digest a frame.
inline pid_t spawnSpectator(uint16_t port, const net::Identity& identity,
                            const std::string& tracePath) {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid != 0) return pid;
    int code = 0;
    {
        std::filesystem::current_path(kit::buildDir());
        platform::HeadlessSystem headless;
        headless.setKeepPixels(false);
        platform::EnetLink link = platform::enetConnect("127.0.0.1", port, 5000, true);
        if (!link.transport) {
            std::fprintf(stderr, "%s\n", link.error.c_str());
            _exit(4);
        }
        WatchClient client(*link.transport, platform::steadyClock(), identity);
        std::string error;
        if (!client.greet("host", 5000, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            _exit(5);
        }
        Trace trace;
        watchSession(headless, client, platform::steadyClock(), false, [&trace](TForm1& form) {
            form.onFrameStart = [&trace] { trace.frames.push_back(std::to_string(stateDigest())); };
        });
        trace.notices = {client.endReason()};
        trace.endScreen = client.recording().reads > 0;
        writeTrace(tracePath, trace);
    }
    _exit(code);
}

}  // namespace watch_instance
