#pragma once
// Whole games over the network in one test: each machine is a forked child
// on the headless backend with the build's Kestova.dat, its keys drawn from a
// seeded stream per tick; the parent gathers what each saw. A small UDP relay
// can stand between the two to add latency, jitter and loss.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <queue>
#include <random>
#include <string>
#include <vector>

#include "engine/surface.h"
#include "engine/zef_dx.h"
#include "game/end_screen.h"
#include "game/mmenu.h"
#include "platform/headless.h"
#include "platform/transport.h"
#include "services/dik_codes.h"
#include "services/lockstep.h"
#include "shell/application.h"
#include "shell/main_window.h"
#include "shell/net_play.h"
#include "shell/state_digest.h"
#include "shell/watch_host.h"
#include "support/current_dir.h"

namespace net_instance {

// One machine's part.
struct Player {
    uint32_t keySeed = 1;
    std::vector<int> codes;         // the keys its stream presses
    std::vector<int> startTicks;    // ticks at which Return is down
    int64_t calendar = 0;           // its own generator seed before the start
    int menu[5] = {1, 0, 5, 3, 0};  // its own menu before the start
    // Leaving: at this tick the machine quits (politely) or crashes.
    int leaveAtTick = -1;
    bool crash = false;
    // The host, at this tick: writes a byte to `spectatorPipe`, then serves
    // its link until a spectator follows (20 s at most).
    int spectatorTick = -1;
    int spectatorPipe = -1;
    // The whole program instead of a match from the menu: Escape through the
    // start-up screens; the host then plays `script` (see wholeProgramKeys).
    bool wholeProgram = false;
};

// The host sets up a one-day match of computer sides; the joining machine's
// own seed and menu differ and must give way. No F12: it saves a screenshot
// on its own machine (into the current folder here); that it never crosses
// the wire is the lockstep test's.
inline void oneDayOfComputers(Player& host, Player& join) {
    host.keySeed = 11;
    host.codes = {DIK_W, DIK_S, DIK_A, DIK_D, DIK_LSHIFT, DIK_X};
    host.startTicks = {5, 6, 7};
    host.calendar = 1733660000;
    const int hostMenu[5] = {1, 1, 1, 3, 4};
    std::copy(hostMenu, hostMenu + 5, host.menu);
    join.keySeed = 22;
    join.codes = {DIK_UP, DIK_DOWN, DIK_LEFT, DIK_RIGHT, DIK_SPACE, DIK_NUMPAD8};
    join.calendar = 1733669999;
}

inline void waitForSpectator(const Player& me, NetPlay& net, WatchHost& watched) {
    const char ready = 1;
    if (write(me.spectatorPipe, &ready, 1) != 1) _exit(3);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (watched.feed()->watching() == 0 && std::chrono::steady_clock::now() < until) {
        net.lockstep().linger(10);
        watched.feed()->serve();
    }
}

constexpr int kKeysFromTick = 20;

// The keys a player's stream holds at a tick (before any delay).
inline void streamKeys(const Player& p, int tick, uint8_t keys[256]) {
    for (int t : p.startTicks) {
        if (t == tick) keys[DIK_RETURN] = 0x80;
    }
    if (tick < kKeysFromTick) return;
    std::mt19937 gen(p.keySeed * 104729u + uint32_t(tick));
    for (int code : p.codes) {
        if (gen() % 4 == 0) keys[code] = 0x80;
    }
}

struct Trace {
    std::vector<std::string> frames;  // "reads digest" at the top of every frame
    std::vector<std::string> notices;
    bool endScreen = false;
    uint32_t longestStallMs = 0;
    int inputDelay = 0;
    int exitCode = -1;
};

inline bool shown(const TForm1& form, const ZefBase* screen) {
    return screen != nullptr && form.engine->children.contains(screen);
}

constexpr int kMaxTicks = 12000;

// Runs one machine's game from the set-up menu to its end screen on the
// network's `system` over the headless one; `prepare` attaches it.
inline void playToEndScreen(platform::HeadlessSystem& headless, platform::System& system,
                            const int menuSettings[5], const std::function<void(TForm1&)>& prepare,
                            Trace& trace) {
    TForm1 form(&system);
    prepare(form);
    form.FormCreate();
    form.FormActivate();
    form.loadAssetSet();
    form.assetsLoaded = true;
    MMenu& menu = *form.menu;
    menu.isComputer[0] = menuSettings[0];
    menu.isComputer[1] = menuSettings[1];
    menu.warDays = menuSettings[2];
    menu.palmTrees = menuSettings[3];
    menu.selectedRow = menuSettings[4];
    if (form.onMenuReached) form.onMenuReached();
    while (!form.quitRequested && headless.keyReads() < kMaxTicks) {
        trace.frames.push_back(std::to_string(headless.keyReads()) + " " +
                               std::to_string(stateDigest()));
        if (shown(form, form.endScreen)) {
            trace.endScreen = true;
            break;
        }
        form.runFrame();
    }
}

inline void writeTrace(const std::string& path, const Trace& t) {
    std::ofstream out(path);
    out << (t.endScreen ? 1 : 0) << " " << t.longestStallMs << " " << t.inputDelay << "\n";
    out << t.notices.size() << "\n";
    for (const auto& n : t.notices) out << n << "\n";
    for (const auto& f : t.frames) out << f << "\n";
}

inline Trace readTrace(const std::string& path) {
    Trace t;
    std::ifstream in(path);
    int end = 0;
    size_t notices = 0;
    if (!(in >> end >> t.longestStallMs >> t.inputDelay >> notices)) return t;
    t.endScreen = end != 0;
    std::string line;
    std::getline(in, line);
    for (size_t i = 0; i < notices && std::getline(in, line); ++i) t.notices.push_back(line);
    while (std::getline(in, line)) t.frames.push_back(line);
    return t;
}

// The host's keys in a whole-program network game: at the menu one war day
// and one palm, started; in the match P, P again (the pause ends), then
// Escape; the end screen left; from the menu the quit screen, quit and a key
// for each closing picture. Each step waits for its screen and three reads;
// frames away from the menu and the end screen are the match's (its title
// cards and pause are waits, not frames).
class WholeProgramKeys {
  public:
    void press(const TForm1& form, bool host, uint8_t held[256]) {
        if (!inLoop(form)) {
            // Escape every fourth read skips the start-up pictures, the logo too.
            if (++startReads_ % 4 == 0) held[DIK_ESCAPE] = 0x80;
            return;
        }
        if (!host || gap_-- > 0 || step_ >= std::size(kSteps)) return;
        const Step& step = kSteps[step_];
        const bool ready =
            step.when == When::Menu    ? shown(form, form.menu)
            : step.when == When::Match ? !shown(form, form.menu) && !shown(form, form.endScreen) &&
                                             form.engine->frameCounter > matchFrom_
            : step.when == When::End ? shown(form, form.endScreen) && form.endScreen->frames > 20
                                     : true;
        if (!ready) return;
        if (step.when != When::Match) matchFrom_ = form.engine->frameCounter + 40;
        held[step.key] = 0x80;
        ++step_;
        gap_ = 3;
    }
    bool done() const { return step_ == std::size(kSteps); }

  private:
    enum class When { Menu, Match, End, Any };
    struct Step {
        When when;
        int key;
    };
    static constexpr Step kSteps[] = {
        {When::Menu, DIK_DOWN},   {When::Menu, DIK_DOWN},    {When::Menu, DIK_LEFT},
        {When::Menu, DIK_LEFT},   {When::Menu, DIK_LEFT},    {When::Menu, DIK_LEFT},
        {When::Menu, DIK_DOWN},   {When::Menu, DIK_LEFT},    {When::Menu, DIK_LEFT},
        {When::Menu, DIK_DOWN},   {When::Menu, DIK_RETURN},  {When::Match, DIK_P},
        {When::Any, DIK_P},       {When::Match, DIK_ESCAPE}, {When::End, DIK_Q},
        {When::Menu, DIK_ESCAPE}, {When::Any, DIK_Q},        {When::Any, DIK_Q},
        {When::Any, DIK_Q},
    };
    static bool inLoop(const TForm1& form) {
        return form.engine != nullptr && form.engine->frameCounter > 0;
    }
    int startReads_ = 0;
    int gap_ = 0;
    size_t step_ = 0;
    int32_t matchFrom_ = 0;
};

// One machine in a child process. Host: listens on a free port and writes
// it to `portPipe`. Join: connects to `port`. Returns the child's pid.
inline pid_t spawn(Lockstep::Role role, const Player& me, uint16_t port, int portPipe,
                   Lockstep::Options options, const std::string& tracePath) {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid != 0) return pid;
    int code = 0;
    {
        std::filesystem::current_path(kit::buildDir());  // beside Kestova.dat
        platform::HeadlessSystem headless;
        headless.setKeepPixels(false);
        headless.setCalendarSeconds(me.calendar);
        std::unique_ptr<NetPlay> net;
        std::string error;
        if (role == Lockstep::Role::Host) {
            platform::EnetLink link = platform::enetListen(0, "127.0.0.1");
            if (!link.transport) _exit(3);
            const uint16_t bound = link.port;
            if (write(portPipe, &bound, sizeof bound) != sizeof bound) _exit(3);
            net = std::make_unique<NetPlay>(role, std::move(link.transport), headless,
                                            platform::steadyClock(), options);
        } else {
            net =
                NetPlay::join("127.0.0.1", port, headless, platform::steadyClock(), error, options);
            if (!net) {
                std::fprintf(stderr, "%s\n", error.c_str());
                _exit(4);
            }
        }
        NetPlay* netp = net.get();
        // As the program: the host seats spectators, both show their number.
        WatchHost watched(*net, role == Lockstep::Role::Host, options.identity);
        // Read 0 is the input's own first read; tick t is read t + 1.
        headless.onKeyRead = [&me, netp, &watched](int read, uint8_t held[256]) {
            const int tick = read - 1;
            if (tick < 0) return;
            if (tick == me.spectatorTick) waitForSpectator(me, *netp, watched);
            if (tick == me.leaveAtTick) {
                if (me.crash) _exit(0);  // no goodbye at all
                netp->lockstep().leave();
                _exit(0);
            }
            streamKeys(me, tick, held);
        };
        Trace trace;
        if (me.wholeProgram) {
            // The frames in lockstep, by tick: the start-up screens are each
            // machine's own.
            WholeProgramKeys script;
            code = runApplication(watched, [&](TForm1& form) {
                net->attach(form);
                watched.attach(form);
                headless.onKeyRead = [&script, &form, role](int, uint8_t held[256]) {
                    script.press(form, role == Lockstep::Role::Host, held);
                };
                chainHook(form.onFrameStart, [&form, &trace, netp] {
                    if (netp->lockstep().phase() != Lockstep::Phase::Lockstep) return;
                    trace.endScreen = trace.endScreen || shown(form, form.endScreen);
                    trace.frames.push_back(std::to_string(netp->lockstep().tick()) + " " +
                                           std::to_string(stateDigest()));
                });
            });
            if (role == Lockstep::Role::Host && !script.done()) code = 5;
        } else {
            playToEndScreen(
                headless, watched, me.menu,
                [&](TForm1& form) {
                    net->attach(form);
                    watched.attach(form);
                },
                trace);
        }
        trace.notices = net->notices();
        trace.longestStallMs = net->lockstep().longestStallMs();
        trace.inputDelay = net->lockstep().inputDelay();
        if (watched.feed()) watched.feed()->close("the match is over");
        // The host stays until the joining machine has all it needs and goes.
        if (role == Lockstep::Role::Host) net->lockstep().linger(8000);
        writeTrace(tracePath, trace);
    }
    _exit(code);
}

// Forwards UDP datagrams between a joining machine and the host, each held
// back by a latency with jitter, some dropped.
class Relay {
  public:
    Relay(uint16_t hostPort, uint32_t latencyMs, uint32_t jitterMs, double loss, uint32_t seed)
        : latencyMs_(latencyMs), jitterMs_(jitterMs), loss_(loss), gen_(seed) {
        front_ = bound(frontPort_);
        back_ = bound(backPort_);
        host_.sin_family = AF_INET;
        host_.sin_port = htons(hostPort);
        host_.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    }
    ~Relay() {
        close(front_);
        close(back_);
    }
    uint16_t port() const { return frontPort_; }
    // Where the host sees the joining machine.
    uint16_t backPort() const { return backPort_; }

    // Moves datagrams for up to `ms` milliseconds.
    void run(int ms) {
        const auto until = Clock::now() + std::chrono::milliseconds(ms);
        while (Clock::now() < until) {
            int wait = 5;
            pollfd fds[2] = {{front_, POLLIN, 0}, {back_, POLLIN, 0}};
            if (::poll(fds, 2, wait) > 0) {
                if (fds[0].revents & POLLIN) take(front_, true);
                if (fds[1].revents & POLLIN) take(back_, false);
            }
            while (!queue_.empty() && queue_.top().due <= Clock::now()) {
                const Datagram& d = queue_.top();
                if (d.toHost) {
                    sendto(back_, d.bytes.data(), d.bytes.size(), 0,
                           reinterpret_cast<const sockaddr*>(&host_), sizeof host_);
                } else if (haveJoiner_) {
                    sendto(front_, d.bytes.data(), d.bytes.size(), 0,
                           reinterpret_cast<const sockaddr*>(&joiner_), sizeof joiner_);
                }
                queue_.pop();
            }
        }
    }
    size_t dropped() const { return dropped_; }
    size_t passed() const { return passed_; }

  private:
    using Clock = std::chrono::steady_clock;
    struct Datagram {
        Clock::time_point due;
        bool toHost;
        std::vector<uint8_t> bytes;
        bool operator<(const Datagram& o) const { return due > o.due; }
    };

    static int bound(uint16_t& port) {
        const int fd = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
        port = ntohs(a.sin_port);
        return fd;
    }

    void take(int fd, bool fromJoiner) {
        uint8_t buffer[65536];
        sockaddr_in from{};
        socklen_t len = sizeof from;
        const ssize_t n =
            recvfrom(fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &len);
        if (n < 0) return;
        if (fromJoiner) {
            joiner_ = from;
            haveJoiner_ = true;
        }
        if (std::uniform_real_distribution<double>(0, 1)(gen_) < loss_) {
            ++dropped_;
            return;
        }
        ++passed_;
        const uint32_t delay = latencyMs_ + uint32_t(gen_() % (jitterMs_ + 1));
        queue_.push({Clock::now() + std::chrono::milliseconds(delay), fromJoiner,
                     std::vector<uint8_t>(buffer, buffer + n)});
    }

    uint32_t latencyMs_, jitterMs_;
    double loss_;
    std::mt19937 gen_;
    int front_ = -1, back_ = -1;
    uint16_t frontPort_ = 0, backPort_ = 0;
    sockaddr_in host_{}, joiner_{};
    bool haveJoiner_ = false;
    std::priority_queue<Datagram> queue_;
    size_t dropped_ = 0, passed_ = 0;
};

// Waits for a child, moving the relay's datagrams meanwhile; kills it after
// `limitMs`. Returns its exit code, or -1 when it had to be killed.
inline int reap(pid_t pid, int limitMs, Relay* relay = nullptr) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    for (;;) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
        if (std::chrono::steady_clock::now() > until) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        if (relay != nullptr) {
            relay->run(10);
        } else {
            usleep(10000);
        }
    }
}

}  // namespace net_instance
