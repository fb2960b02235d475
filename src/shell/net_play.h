#pragma once
// Network play around the game: the platform as the game sees it during a
// networked run (the lockstep keyboard, the notes over the window), and the
// main window's hooks that hand the host's seed and menu to the joining
// machine and compare state digests.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/system.h"
#include "platform/transport.h"
#include "services/lockstep.h"
#include "shell/net_local_keys.h"
#include "shell/note_window.h"

class Surface;
class TForm1;

class NetPlay : public platform::System {
  public:
    // How long a joining machine waits for the host's answer.
    static constexpr uint32_t kJoinTimeoutMs = 5000;
    // How long a notice stays over the picture.
    static constexpr uint32_t kNoticeMs = 4000;

    // `linkClock` measures the waits on the link: the machine's own time for
    // a network link, whatever clock the game runs on.
    NetPlay(Lockstep::Role role, std::unique_ptr<platform::Transport> link, platform::System& inner,
            platform::Clock& linkClock, Lockstep::Options options = {});
    ~NetPlay() override;

    // Listens for one player. Null with one line in `error` on failure.
    static std::unique_ptr<NetPlay> host(uint16_t port, platform::System& inner,
                                         platform::Clock& linkClock, std::string& error,
                                         Lockstep::Options options = {});
    // Connects and greets the host; meant to run before the window opens.
    static std::unique_ptr<NetPlay> join(const std::string& host, uint16_t port,
                                         platform::System& inner, platform::Clock& linkClock,
                                         std::string& error, Lockstep::Options options = {},
                                         uint32_t timeoutMs = kJoinTimeoutMs);

    platform::Window& window() override { return notes_; }
    platform::InputDevice& input() override { return lockstep_; }
    platform::Clock& clock() override { return inner_.clock(); }
    platform::AudioDevice& audio() override { return inner_.audio(); }

    // Installs the main window's network hooks.
    void attach(TForm1& form);
    // A line shown under the waiting note (what to tell the other player).
    void setWaitingDetail(std::function<std::string()> detail) {
        notes_.waitingDetail = std::move(detail);
    }

    Lockstep& lockstep() { return lockstep_; }
    platform::Transport& link() { return *link_; }
    // Every notice given to the player, in order.
    const std::vector<std::string>& notices() const { return notices_; }

  private:
    const platform::PixelSurface* compose(TForm1& form, const platform::PixelSurface& picture,
                                          const std::string& text);

    platform::System& inner_;
    std::unique_ptr<platform::Transport> link_;
    NetLocalKeys localKeys_;
    Lockstep lockstep_;
    NoteWindow notes_;
    std::unique_ptr<Surface> canvas_;
    std::vector<std::string> notices_;
};
