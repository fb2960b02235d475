#include "shell/net_play.h"

#include <algorithm>
#include <iostream>

#include "engine/sprite_font.h"
#include "engine/surface.h"
#include "engine/zef_dx.h"
#include "game/mmenu.h"
#include "shell/main_window.h"
#include "shell/note_canvas.h"
#include "shell/state_digest.h"

NetPlay::NetPlay(Lockstep::Role role, std::unique_ptr<platform::Transport> link,
                 platform::System& inner, platform::Clock& linkClock, Lockstep::Options options)
    : inner_(inner),
      link_(std::move(link)),
      localKeys_(inner.input()),
      lockstep_(role, localKeys_, *link_, linkClock, options),
      notes_(inner.window(), inner.clock()) {
    localKeys_.sending = [this] { return lockstep_.phase() == Lockstep::Phase::Lockstep; };
    // The program ends right after this read: the goodbye goes first.
    localKeys_.onEmergencyExit = [this] { lockstep_.leave(); };
    lockstep_.onNotice = [this](const std::string& notice) {
        notices_.push_back(notice);
        std::cerr << "kestova: " << notice << '\n';
        notes_.showNote(notice, kNoticeMs);
    };
    lockstep_.onWaiting = [this](bool waiting) {
        // Too wide for one line, it splits after the semicolon.
        const int roundTrip = lockstep_.roundTripMs();
        notes_.setWaiting(
            waiting, "waiting for the other player" +
                         (roundTrip < 0 ? std::string()
                                        : "; round trip " + std::to_string(roundTrip) + " ms"));
        if (!waiting) return;
        // The window stays alive while the other machine is awaited, and a
        // player who closes it is not kept waiting.
        notes_.pumpEvents();
        if (notes_.closeRequested()) lockstep_.leave();
    };
}

NetPlay::~NetPlay() {
    // The partner hears at once that this machine is gone.
    lockstep_.leave();
}

std::unique_ptr<NetPlay> NetPlay::host(uint16_t port, platform::System& inner,
                                       platform::Clock& linkClock, std::string& error,
                                       Lockstep::Options options) {
    platform::EnetLink link = platform::enetListen(port);
    if (!link.transport) {
        error = link.error;
        return nullptr;
    }
    return std::make_unique<NetPlay>(Lockstep::Role::Host, std::move(link.transport), inner,
                                     linkClock, options);
}

std::unique_ptr<NetPlay> NetPlay::join(const std::string& host, uint16_t port,
                                       platform::System& inner, platform::Clock& linkClock,
                                       std::string& error, Lockstep::Options options,
                                       uint32_t timeoutMs) {
    platform::EnetLink link = platform::enetConnect(host, port, timeoutMs);
    if (!link.transport) {
        error = link.error;
        return nullptr;
    }
    auto play = std::make_unique<NetPlay>(Lockstep::Role::Join, std::move(link.transport), inner,
                                          linkClock, options);
    if (!play->lockstep_.greet(host + ":" + std::to_string(port), timeoutMs, error)) {
        return nullptr;
    }
    return play;
}

void NetPlay::attach(TForm1& form) {
    form.networkPlay = true;
    form.onMenuReached = [this, &form] {
        MMenu& menu = *form.menu;
        net::Settings settings;
        settings.seed = form.random.state();
        settings.selectedRow = menu.selectedRow;
        settings.arrowX = menu.arrowX;
        settings.arrowY = menu.arrowY;
        settings.isComputer[0] = menu.isComputer[0];
        settings.isComputer[1] = menu.isComputer[1];
        settings.warDays = menu.warDays;
        settings.palmTrees = menu.palmTrees;
        settings.strength[0] = menu.strength[0];
        settings.strength[1] = menu.strength[1];
        if (!lockstep_.start(settings)) return;
        // The host's generator and menu, from here on on both machines.
        form.random.seed(settings.seed);
        menu.selectedRow = settings.selectedRow;
        menu.arrowX = settings.arrowX;
        menu.arrowY = settings.arrowY;
        menu.isComputer[0] = settings.isComputer[0];
        menu.isComputer[1] = settings.isComputer[1];
        menu.warDays = settings.warDays;
        menu.palmTrees = settings.palmTrees;
        menu.strength[0] = settings.strength[0];
        menu.strength[1] = settings.strength[1];
    };
    form.onFrameStart = [this] {
        if (lockstep_.digestDue()) lockstep_.offerDigest(stateDigest());
    };
    notes_.compose = [this, &form](const platform::PixelSurface& picture, const std::string& text) {
        return compose(form, picture, text);
    };
}

const platform::PixelSurface* NetPlay::compose(TForm1& form, const platform::PixelSurface& picture,
                                               const std::string& text) {
    if (form.engine == nullptr || form.font == nullptr) return nullptr;
    platform::PixelSurface& canvas = *canvasOver(form.engine, canvas_, picture).ddSurface;
    // A line break splits where it stands; a line too wide goes on more
    // lines, split after its first colon, then after every semicolon.
    std::vector<std::string> lines;
    for (size_t start = 0; start <= text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        size_t from = 0;
        if (form.font->textWidth(line) > picture.width() - 40) {
            for (size_t at = line.find_first_of(":;"); at != std::string::npos && lines.size() < 3;
                 at = line.find(';', at + 1)) {
                lines.push_back(line.substr(from, at - from));
                from = std::min(at + 2, line.size());
            }
        }
        lines.push_back(line.substr(from));
    }
    const int32_t x = picture.width() / 2;
    int32_t y = picture.height() - 25 - 25 * int32_t(lines.size());
    for (const std::string& line : lines) {
        form.font->draw(canvas_.get(), x, y, line, 6);
        y += 25;
    }
    return &canvas;
}
