#pragma once
// Spectators around a networked match, on the players' side. The host feeds
// them the session (the recording from the first menu frame of network play
// on, then every settled read) and tells its partner how many watch; both
// players see the number small in the picture's corner while anyone watches.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/system.h"
#include "services/spectator_feed.h"
#include "services/zef_input.h"

class NetPlay;
class Surface;
class TForm1;

// The window with the count over the pictures; unchanged while nobody watches.
class WatchCountWindow : public platform::ForwardingWindow {
  public:
    explicit WatchCountWindow(platform::Window& inner);
    ~WatchCountWindow() override;
    int32_t present(const platform::PixelSurface& back) override;
    void setCount(uint32_t count) { count_ = count; }
    uint32_t count() const { return count_; }
    TForm1* form = nullptr;  // its font draws the count

  private:
    uint32_t count_ = 0;
    std::unique_ptr<Surface> canvas_;
};

class WatchHost : public platform::System, private KeyFeed {
  public:
    // `net` is the player's network play; on the host its link takes the
    // spectators (when it can seat them).
    WatchHost(NetPlay& net, bool hosting, const net::Identity& identity);
    ~WatchHost() override;

    // The game runs on this system: the network play with the count window.
    platform::Window& window() override { return window_; }
    platform::InputDevice& input() override;
    platform::Clock& clock() override;
    platform::AudioDevice& audio() override;

    // Chains onto the main window's hooks; after NetPlay::attach.
    void attach(TForm1& form);
    // Null on the joining machine, or where the link seats no one.
    SpectatorFeed* feed() { return feed_.get(); }

  private:
    void press(uint8_t keys[256], uint8_t oldKeys[256], bool frameRead) override;
    void frameStart(TForm1& form);
    bool takeCount(const std::vector<uint8_t>& message);

    NetPlay& net_;
    WatchCountWindow window_;
    std::unique_ptr<SpectatorFeed> feed_;
    KeyFeed* inner_ = nullptr;
    std::function<void(bool)> waiting_;  // the lockstep's own waiting hook
};
