#include "shell/watch_host.h"

#include <cstring>
#include <iostream>

#include "engine/sprite_font.h"
#include "engine/surface.h"
#include "engine/zef_dx.h"
#include "game/game_controller.h"
#include "game/mmenu.h"
#include "platform/watch_seats.h"
#include "services/dik_codes.h"
#include "services/watch_packet.h"
#include "shell/main_window.h"
#include "shell/net_play.h"
#include "shell/note_canvas.h"
#include "shell/replay_run.h"

WatchCountWindow::WatchCountWindow(platform::Window& inner) : ForwardingWindow(inner) {}

WatchCountWindow::~WatchCountWindow() = default;

int32_t WatchCountWindow::present(const platform::PixelSurface& back) {
    if (count_ == 0 || form == nullptr || form->engine == nullptr || form->font == nullptr) {
        return inner_.present(back);
    }
    Surface& canvas = canvasOver(form->engine, canvas_, back);
    // Top centre: between the two sides' gauges.
    form->font->draw(&canvas, back.width() / 2, 6, std::to_string(count_) + " watching", 6);
    return inner_.present(*canvas.ddSurface);
}

WatchHost::WatchHost(NetPlay& net, bool hosting, const net::Identity& identity)
    : net_(net), window_(net.window()) {
    platform::WatchSeats* seats = hosting ? platform::watchSeatsOf(net.link()) : nullptr;
    Lockstep& lockstep = net.lockstep();
    if (seats == nullptr) {
        lockstep.onOther = [this](const std::vector<uint8_t>& message) {
            return takeCount(message);
        };
        return;
    }
    SpectatorFeed::Options options;
    options.identity = identity;
    // Seats are served on the link's clock, as the lockstep's waits are.
    feed_ = std::make_unique<SpectatorFeed>(*seats, platform::steadyClock(), options);
    feed_->onNotice = [](const std::string& line) { std::cerr << "kestova: " << line << '\n'; };
    feed_->onCount = [this](uint32_t count) {
        window_.setCount(count);
        const std::vector<uint8_t> bytes = watch::encodeWatching(count);
        net_.link().send(bytes.data(), bytes.size());
    };
    // Callers are answered while the lockstep waits too (for the partner at
    // the menu, or a late tick).
    waiting_ = lockstep.onWaiting;
    lockstep.onWaiting = [this](bool on) {
        if (waiting_) waiting_(on);
        feed_->serve();
    };
}

WatchHost::~WatchHost() {
    // The main window is gone by now; the lockstep may outlive this.
    net_.lockstep().onOther = nullptr;
    if (feed_) net_.lockstep().onWaiting = waiting_;
}

platform::InputDevice& WatchHost::input() {
    return net_.input();
}

platform::Clock& WatchHost::clock() {
    return net_.clock();
}

platform::AudioDevice& WatchHost::audio() {
    return net_.audio();
}

void WatchHost::attach(TForm1& form) {
    window_.form = &form;
    if (!feed_) return;
    chainHook(form.onMenuReached, [this, &form] {
        inner_ = form.engine->input->keyFeed;
        form.engine->input->keyFeed = this;
    });
    chainHook(form.onFrameStart, [this, &form] { frameStart(form); });
    chainHook(form.onLoopEnd, [this] { feed_->close("the match is over"); });
}

void WatchHost::frameStart(TForm1& form) {
    // The session starts at the first menu frame in lockstep: a spectator's
    // world starts there and follows every read since.
    if (feed_->begun() || net_.lockstep().phase() != Lockstep::Phase::Lockstep) return;
    const ZefDX& engine = *form.engine;
    const bool inMenu = form.menu != nullptr && engine.children.contains(form.menu);
    if (!inMenu || (form.match != nullptr && engine.children.contains(form.match))) return;
    replay::Recording start;
    captureStart(form, start);
    feed_->begin(start);
}

void WatchHost::press(uint8_t keys[256], uint8_t oldKeys[256], bool frameRead) {
    uint8_t before[256];
    std::memcpy(before, oldKeys, sizeof before);
    if (inner_ != nullptr) inner_->press(keys, oldKeys, frameRead);
    if (feed_->begun()) {
        if (net_.lockstep().phase() == Lockstep::Phase::Lockstep) {
            uint8_t read[256], marks[256];
            std::memcpy(read, keys, sizeof read);
            // The emergency exit ends this program only.
            read[DIK_F10] = 0;
            for (int code = 0; code < 256; ++code)
                marks[code] = uint8_t(oldKeys[code] & ~before[code] & 0x80);
            feed_->tick(read, marks);
        } else {
            feed_->close("network play ended");
        }
    }
    feed_->serve();
}

bool WatchHost::takeCount(const std::vector<uint8_t>& message) {
    if (!watch::isWatchMessage(message.data(), message.size())) return false;
    watch::Message m;
    std::string why;
    if (watch::decode(message.data(), message.size(), m, why) == net::Decoded::Ok &&
        m.type == watch::Type::Watching) {
        window_.setCount(m.watching);
    } else {
        if (why.empty()) why = "a message out of turn";
        std::cerr << "kestova: a spectator count from the host was dropped: " << why << '\n';
    }
    return true;
}
