#include "golden_record/drivers.h"

#include <memory>
#include <random>

#include "engine/directions.h"
#include "engine/zef_dx.h"
#include "game/end_screen.h"
#include "game/game_controller.h"
#include "game/mmenu.h"
#include "game/vehicle.h"
#include "services/dik_codes.h"
#include "shell/main_window.h"

namespace golden {

namespace {

bool listed(const ZefBase* object) {
    if (Form1 == nullptr || Form1->engine == nullptr || object == nullptr) return false;
    return Form1->engine->children.contains(object);
}
bool inMainLoop() {
    return Form1 != nullptr && Form1->engine != nullptr && Form1->engine->frameCounter > 0;
}
bool inMenu() {
    return inMainLoop() && listed(Form1->menu);
}
bool inMatch() {
    return inMainLoop() && listed(Form1->match);
}
bool endScreenReady() {
    return listed(Form1->endScreen) && Form1->endScreen->frames > 20;
}

// Taps keys one after another: each is held for three reads, then three
// quiet reads follow, so every tap is one clean key hit.
class Tapper {
  public:
    void queue(int key) { keys_.push_back(key); }
    bool busy() const { return holding_ > 0 || quiet_ > 0 || !keys_.empty(); }
    bool idle() const { return holding_ == 0 && quiet_ == 0; }
    void step(uint8_t held[256], bool allowed) {
        if (holding_ > 0) {
            held[current_] = 0x80;
            if (--holding_ == 0) quiet_ = 3;
            return;
        }
        if (quiet_ > 0) {
            --quiet_;
            return;
        }
        if (!allowed || keys_.empty()) return;
        current_ = keys_.front();
        keys_.erase(keys_.begin());
        held[current_] = 0x80;
        holding_ = 2;
    }

  private:
    std::vector<int> keys_;
    int current_ = 0;
    int holding_ = 0;
    int quiet_ = 0;
};

// Start the match from the menu's "start!" row, leave the end screen with a
// key, and finish once the menu is back.
struct MatchFrame {
    const size_t* presents = nullptr;
    size_t lastPresents = 0;
    // A frame of the main loop reads the keys once and presents once; a
    // blocking wait reads without presenting. Players press keys in frames
    // only, so that every wait for released keys ends.
    bool frameRead = false;
    Tapper tapper;
    bool started = false, leaving = false;
    int menuFramesAfter = 0;

    // Returns true when the recording is complete.
    bool step(uint8_t held[256]) {
        frameRead = *presents != lastPresents;
        lastPresents = *presents;
        if (!started && inMenu()) {
            tapper.queue(DIK_RETURN);
            started = true;
        }
        if (started && !leaving && endScreenReady()) {
            tapper.queue(DIK_Q);
            leaving = true;
        }
        tapper.step(held, true);
        if (leaving && inMenu() && !tapper.busy() && ++menuFramesAfter > 20) return true;
        return false;
    }
};

struct SideKeys {
    int up, down, left, right, fire;
};
const SideKeys kKeys[2] = {{DIK_W, DIK_S, DIK_A, DIK_D, DIK_LSHIFT},
                           {DIK_UP, DIK_DOWN, DIK_LEFT, DIK_RIGHT, DIK_SPACE}};

// Turns a vehicle toward a direction step.
void steer(uint8_t held[256], const SideKeys& k, int32_t heading, int32_t target, int32_t slack) {
    const int32_t diff = (target - heading) & 255;
    if (diff < slack || diff > 256 - slack) return;
    held[diff < 128 ? k.right : k.left] = 0x80;
}

Driver computerMatch(const size_t* presents) {
    auto frame = std::make_shared<MatchFrame>();
    frame->presents = presents;
    return [frame](int, uint8_t held[256]) { return frame->step(held); };
}

// The left side played by a seeded random key stream: keys held for a
// while, fire tapped now and then.
Driver randomLeft(const size_t* presents) {
    struct State {
        MatchFrame frame;
        std::mt19937 random{20261208};
        bool down[5] = {};
        int fireRest = 0;
    };
    auto s = std::make_shared<State>();
    s->frame.presents = presents;
    return [s](int, uint8_t held[256]) {
        const bool done = s->frame.step(held);
        if (!inMatch() || !s->frame.frameRead) return done;
        const int keys[4] = {DIK_W, DIK_S, DIK_A, DIK_D};
        for (int i = 0; i < 4; ++i) {
            const unsigned roll = s->random() % 100;
            if (s->down[i] ? roll < 8 : roll < 3) s->down[i] = !s->down[i];
            if (s->down[i]) held[keys[i]] = 0x80;
        }
        if (s->fireRest > 0) {
            --s->fireRest;
        } else if (s->random() % 100 < 20) {
            held[DIK_LSHIFT] = 0x80;
            s->fireRest = 2;
        }
        return done;
    };
}

// Both sides human, scripted: planes bomb or chase and shoot, cannons follow
// the plane and fire; the attacker dives into the sea to end each day part.
Driver scriptedHumans(const size_t* presents) {
    struct State {
        MatchFrame frame;
        int part = -1;
        int partFrames = 0;
        int lastFrame = -1;
    };
    auto s = std::make_shared<State>();
    s->frame.presents = presents;
    return [s](int, uint8_t held[256]) {
        const bool done = s->frame.step(held);
        if (!inMatch() || !s->frame.frameRead) return done;
        GameController& m = *Form1->match;
        if (m.dayPartEnding || m.vehicles[0] == nullptr || m.vehicles[1] == nullptr) return done;
        const int frameNow = Form1->engine->frameCounter;
        if (m.dayPart != s->part) {
            s->part = m.dayPart;
            s->partFrames = 0;
        }
        if (frameNow != s->lastFrame) {
            s->lastFrame = frameNow;
            ++s->partFrames;
        }
        const int diver = m.dayPart == 1 ? 1 : 0;
        const int diveAt = m.dayPart == 2 ? 520 : 260;
        for (int side = 0; side < 2; ++side) {
            const Vehicle& me = *m.vehicles[side];
            const Vehicle& other = *m.vehicles[1 - side];
            const SideKeys& k = kKeys[side];
            const bool plane =
                (m.dayPart == 0 && side == 0) || (m.dayPart == 1 && side == 1) || m.dayPart == 2;
            const int32_t toOther = directionOf(other.posX - me.posX, other.posY - me.posY);
            const bool fireFrame = s->partFrames % (plane ? 12 : 25) < 2;
            if (plane && side == diver && s->partFrames >= diveAt) {
                steer(held, k, me.heading & 255, 128, 6);
                continue;
            }
            if (plane) {
                // Keep flying along the other side's island, weaving toward the enemy.
                steer(held, k, me.heading & 255, m.dayPart == 2 ? toOther : (side == 0 ? 80 : 176),
                      10);
                if (s->partFrames < 30) held[k.up] = 0x80;
            } else {
                steer(held, k, me.heading & 255, toOther, 4);
                if (s->partFrames < 20) held[k.up] = 0x80;
            }
            if (fireFrame && s->partFrames > 10) held[k.fire] = 0x80;
        }
        return done;
    };
}

// The whole program: the intro, a Space in the splash pictures, a Space that
// cannot leave the logo and the Escape that does, menu changes, a computer
// match, the end screen, the quit screen answered "go back" and then "quit",
// and a key for each closing picture. The start-up screens are told apart by
// how many key reads lie between two presents: a splash waits 30, the blinking
// logo 6 (its own read and five in its wait).
Driver wholeProgram(const size_t* presents) {
    struct State {
        const size_t* presents;
        Tapper tapper;
        size_t lastPresents = 0;
        int readsWithoutPresent = 0;
        std::vector<int> gaps;  // reads between consecutive presents
        int stage = 0;
    };
    auto s = std::make_shared<State>();
    s->presents = presents;
    return [s](int, uint8_t held[256]) {
        const size_t p = *s->presents;
        if (p == s->lastPresents) {
            ++s->readsWithoutPresent;
        } else {
            s->gaps.push_back(s->readsWithoutPresent + 1);
            s->readsWithoutPresent = 0;
            s->lastPresents = p;
        }
        const auto lastGaps = [&](int n, int reads) {
            if (int(s->gaps.size()) < n) return false;
            for (int i = 0; i < n; ++i) {
                if (s->gaps[s->gaps.size() - 1 - size_t(i)] != reads) return false;
            }
            return true;
        };
        // A key wait polls without presenting.
        const bool keyWait = s->readsWithoutPresent > 10;
        switch (s->stage) {
            case 0:  // after a whole splash wait, a Space cuts the next one short
                if (lastGaps(1, 30) && s->readsWithoutPresent == 4) {
                    s->tapper.queue(DIK_SPACE);
                    s->stage = 1;
                }
                break;
            case 1:  // the logo blinks: a Space does not leave it
                if (lastGaps(3, 6) && s->readsWithoutPresent == 3) {
                    s->tapper.queue(DIK_SPACE);
                    s->stage = 2;
                }
                break;
            case 2:
                // Only a hit seen by the logo's wait leaves it: its second read.
                if (lastGaps(4, 6) && s->readsWithoutPresent == 1 && s->tapper.idle()) {
                    s->tapper.queue(DIK_ESCAPE);
                    s->stage = 3;
                }
                break;
            case 3:  // the menu: up and down, then computer against computer, one day, one palm
                if (inMenu() && Form1->engine->frameCounter > 10) {
                    for (int key :
                         {DIK_UP, DIK_DOWN, DIK_RIGHT, DIK_DOWN, DIK_LEFT, DIK_LEFT, DIK_LEFT,
                          DIK_LEFT, DIK_DOWN, DIK_LEFT, DIK_LEFT, DIK_DOWN, DIK_RETURN}) {
                        s->tapper.queue(key);
                    }
                    s->stage = 4;
                }
                break;
            case 4:
                if (endScreenReady()) {
                    s->tapper.queue(DIK_Q);
                    s->stage = 5;
                }
                break;
            case 5:  // Escape in the menu opens the quit screen; Escape goes back
                if (inMenu() && !s->tapper.busy()) {
                    s->tapper.queue(DIK_ESCAPE);
                    s->stage = 6;
                }
                break;
            case 6:
                if (keyWait && !s->tapper.busy()) {
                    s->tapper.queue(DIK_ESCAPE);
                    s->stage = 7;
                }
                break;
            case 7:  // a while in the menu again, then quit for good
                if (inMenu() && !s->tapper.busy() && s->readsWithoutPresent == 0) {
                    s->tapper.queue(DIK_ESCAPE);
                    s->stage = 8;
                }
                break;
            case 8:
                if (keyWait && !s->tapper.busy()) {
                    s->tapper.queue(DIK_Q);
                    s->stage = 9;
                }
                break;
            default:  // one key for each closing picture
                if (keyWait && !s->tapper.busy() && s->stage < 11) {
                    s->tapper.queue(DIK_Q);
                    ++s->stage;
                }
                break;
        }
        s->tapper.step(held, true);
        return false;
    };
}

Recording matchSetup(int leftComputer, int rightComputer, int days, int palms, int64_t seed) {
    Recording r;
    r.kind = "match";
    r.seed = seed;
    const int menu[5] = {leftComputer, rightComputer, days, palms, 4};
    std::copy(menu, menu + 5, r.menu);
    return r;
}

}  // namespace

const std::vector<Scenario>& scenarios() {
    static const std::vector<Scenario> all = [] {
        std::vector<Scenario> list;
        list.push_back({"computer_vs_computer", matchSetup(1, 1, 2, 3, 1733650000), computerMatch});
        list.push_back(
            {"random_human_vs_computer", matchSetup(0, 1, 1, 3, 1733651111), randomLeft});
        list.push_back({"scripted_humans", matchSetup(0, 0, 1, 3, 1733652222), scriptedHumans});
        Recording program;
        program.kind = "program";
        program.seed = 1733653333;
        list.push_back({"whole_program", program, wholeProgram});
        return list;
    }();
    return all;
}

}  // namespace golden
