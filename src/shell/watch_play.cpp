#include "shell/watch_play.h"

#include <cstring>
#include <iostream>

#include "engine/surface.h"
#include "engine/zef_dx.h"
#include "services/dik_codes.h"
#include "services/watch_client.h"
#include "services/zef_input.h"
#include "shell/main_window.h"
#include "shell/pad_feed.h"
#include "shell/playback_system.h"
#include "shell/replay_player.h"
#include "shell/replay_run.h"

namespace {

// Behind by more than this, the spectator runs dark to catch up (about 2 s);
// it is live again once no more than kLiveTicks wait.
constexpr int kDarkTicks = 52;
constexpr int kLiveTicks = 4;
constexpr uint32_t kNoteAfterMs = 500;
constexpr uint32_t kRedrawMs = 100;
constexpr uint32_t kGreetMs = 5000;

// The platform under the spectator's game: once watching stops, the window
// asks to close, so that whatever loop the game is in ends.
class WatchSystem : public platform::System {
  public:
    explicit WatchSystem(platform::System& inner) : inner_(inner), window_(inner.window()) {}
    platform::Window& window() override { return window_; }
    platform::InputDevice& input() override { return inner_.input(); }
    platform::Clock& clock() override { return inner_.clock(); }
    platform::AudioDevice& audio() override { return inner_.audio(); }
    void stop() { window_.stopped = true; }
    bool stopped() const { return window_.stopped; }
    platform::System& inner() { return inner_; }

  private:
    struct StoppableWindow : platform::ForwardingWindow {
        using ForwardingWindow::ForwardingWindow;
        bool closeRequested() const override { return stopped || inner_.closeRequested(); }
        bool stopped = false;
    };
    platform::System& inner_;
    StoppableWindow window_;
};

class Spectator : private KeyFeed {
  public:
    Spectator(TForm1& form, PlaybackSystem& playback, WatchSystem& base, WatchClient& client,
              platform::Clock& linkClock)
        : form_(form),
          playback_(playback),
          base_(base),
          client_(client),
          linkClock_(linkClock),
          cursor_(client.recording()) {
        playback_.setReplaying(true);
        playback_.compose = [this](const platform::PixelSurface& picture, const std::string& text) {
            return drawOver(form_, canvas_, picture, text);
        };
        playback_.statusLine = [this] { return note_; };
        // In network play the focus is always the game's.
        playback_.recordedFocus = [] { return true; };
        restoreStart(form_, client_.recording());
        form_.engine->input->keyFeed = this;
        setDark(true);
    }

    ~Spectator() {
        form_.engine->input->keyFeed = form_.padFeed;
        setDark(false);
    }

    bool follow() {
        while (!leaving_ && !form_.quitRequested && !form_.engine->closeRequested()) {
            const int behind = client_.recording().reads - cursor_.read();
            if (behind == 0 && client_.over()) break;
            if (behind > kDarkTicks) setDark(true);
            if (behind <= kLiveTicks) setDark(false);
            form_.runFrame();
        }
        return leaving_;
    }

    void stayAtEnd() {
        note_ = client_.endReason() + ": Escape leaves";
        // Dark, the note itself would not be drawn.
        setDark(false);
        platform::System& real = base_.inner();
        uint8_t previous[256];
        real.input().readKeys(previous);
        while (!real.window().closeRequested()) {
            uint8_t now[256];
            real.input().readKeys(now);
            if ((now[DIK_ESCAPE] & 0x80) && !(previous[DIK_ESCAPE] & 0x80)) return;
            std::memcpy(previous, now, sizeof previous);
            playback_.presentStill(*form_.engine->front->ddSurface);
            real.window().pumpEvents();
            real.clock().sleepMs(20);
        }
    }

  private:
    void press(uint8_t keys[256], uint8_t oldKeys[256], bool) override {
        noteEscape(keys);
        if (!leaving_) waitForTick();
        if (leaving_ || cursor_.read() >= client_.recording().reads) {
            // Nothing more to play: the game's loops are let go.
            std::memset(keys, 0, 256);
            base_.stop();
            return;
        }
        uint8_t marked[256];
        cursor_.next(keys, marked);
        for (int code = 0; code < 256; ++code) oldKeys[code] |= marked[code];
    }

    void noteEscape(const uint8_t device[256]) {
        if ((device[DIK_ESCAPE] & 0x80) && !(device_[DIK_ESCAPE] & 0x80)) leaving_ = true;
        std::memcpy(device_, device, sizeof device_);
    }

    // Takes what the host sent; with no tick to play, waits for one, the
    // window kept alive and a note shown after a while.
    void waitForTick() {
        client_.service(0);
        const uint64_t began = linkClock_.milliseconds();
        uint64_t redrawn = began;
        while (cursor_.read() >= client_.recording().reads && !client_.over() && !leaving_) {
            client_.service(10);
            const uint64_t now = linkClock_.milliseconds();
            if (now - redrawn < kRedrawMs) continue;
            redrawn = now;
            if (now - began >= kNoteAfterMs) note_ = "waiting for the host";
            if (!form_.engine->drawingOff) playback_.presentStill(*form_.engine->front->ddSurface);
            platform::System& real = base_.inner();
            real.window().pumpEvents();
            uint8_t device[256];
            real.input().readKeys(device);
            noteEscape(device);
            if (real.window().closeRequested()) leaving_ = true;
        }
        note_.clear();
    }

    void setDark(bool dark) {
        if (form_.engine->drawingOff == dark) return;
        form_.engine->drawingOff = dark;
        playback_.setMuted(dark);
        // Live pictures are paced from here on.
        if (!dark) playback_.setSpeed(1.0);
    }

    TForm1& form_;
    PlaybackSystem& playback_;
    WatchSystem& base_;
    WatchClient& client_;
    platform::Clock& linkClock_;
    replay::KeyCursor cursor_;
    std::unique_ptr<Surface> canvas_;
    uint8_t device_[256] = {};
    std::string note_;
    bool leaving_ = false;
};

}  // namespace

bool watchSession(platform::System& system, WatchClient& client, platform::Clock& linkClock,
                  bool stayAtEnd, const std::function<void(TForm1&)>& prepare) {
    WatchSystem base(system);
    PlaybackSystem playback(base);
    TForm1 form(&playback);
    if (prepare) prepare(form);
    form.FormCreate();
    form.FormActivate();
    form.loadAssetSet();
    form.assetsLoaded = true;
    bool left = false;
    {
        Spectator spectator(form, playback, base, client, linkClock);
        left = spectator.follow();
        if (!left) std::cerr << "kestova: watching ended: " << client.endReason() << '\n';
        if (!left && stayAtEnd) spectator.stayAtEnd();
    }
    client.leave();
    return left;
}

int runWatchProgram(const std::string& host, uint16_t port, bool windowed,
                    const net::Identity& identity) {
    const std::string where = host + ":" + std::to_string(port);
    platform::EnetLink link = platform::enetConnect(host, port, kGreetMs, true);
    std::string error;
    if (link.transport) {
        WatchClient client(*link.transport, platform::steadyClock(), identity);
        if (client.greet(where, kGreetMs, error)) {
            std::cout << "kestova: watching " << where << std::endl;
            platform::DisplayOptions display;
            display.windowed = windowed;
            std::unique_ptr<platform::System> system = platform::createSdlSystem(display);
            watchSession(*system, client, platform::steadyClock(), true);
            return 0;
        }
    } else {
        error = link.error;
    }
    std::cerr << "kestova: " << error << '\n';
    return 1;
}
