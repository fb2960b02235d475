#include "shell/replay_run.h"

#include <cstring>

#include "engine/messenger.h"
#include "engine/zef_dx.h"
#include "game/explosion.h"
#include "game/mmenu.h"
#include "game/side_keys.h"
#include "services/sound.h"
#include "services/tile_layer.h"
#include "shell/main_window.h"
#include "shell/state_digest.h"

void captureStart(const TForm1& form, replay::Recording& out) {
    const MMenu& menu = *form.menu;
    out.kind = "match";
    out.seed = form.random.state();
    const int values[5] = {menu.isComputer[0], menu.isComputer[1], menu.warDays, menu.palmTrees,
                           menu.selectedRow};
    std::copy(values, values + 5, out.menu);
    out.strength[0] = menu.strength[0];
    out.strength[1] = menu.strength[1];
    static_assert(2 * sizeof(SideKeys) == replay::Recording::kBindingBytes, "bindings' bytes");
    out.bindings.resize(replay::Recording::kBindingBytes);
    std::memcpy(out.bindings.data(), &sideKeys(0), sizeof(SideKeys));
    std::memcpy(out.bindings.data() + sizeof(SideKeys), &sideKeys(1), sizeof(SideKeys));
    out.arrowX = menu.arrowX;
    out.arrowY = menu.arrowY;
    out.frameCounter = form.engine->frameCounter;
    out.viewX = form.engine->viewX;
    out.viewY = form.engine->viewY;
    out.layerSteps[0] = form.skyLayer->stepCounter;
    out.layerSteps[1] = form.seaLayer->stepCounter;
    out.banner = form.messenger->text;
    out.bannerFrames = form.messenger->framesLeft;
    out.heldKeys.clear();
    for (int code = 0; code < 256; ++code) {
        if (form.engine->input->keys[code] & 0x80) out.heldKeys.push_back(uint8_t(code));
    }
}

void restoreStart(TForm1& form, const replay::Recording& r) {
    ZefDX& engine = *form.engine;
    // Screens go back to resting outside the list, as between two matches;
    // leftover fireworks go.
    for (ZefBase* m = engine.children.head; m != nullptr;) {
        ZefBase* next = m->next;
        if (m != form.skyLayer && m != form.seaLayer) {
            engine.children.remove(m);
            if (dynamic_cast<Explosion*>(m) != nullptr) delete m;
        }
        m = next;
    }
    engine.children.append(form.menu);
    for (int side = 0; side < 2; ++side) {
        form.engineLoop[side]->stop();
        form.fallingLoop[side]->stop();
    }
    form.random.seed(r.seed);
    MMenu& menu = *form.menu;
    menu.isComputer[0] = r.menu[0];
    menu.isComputer[1] = r.menu[1];
    menu.warDays = r.menu[2];
    menu.palmTrees = r.menu[3];
    menu.selectedRow = r.menu[4];
    menu.strength[0] = r.strength[0];
    menu.strength[1] = r.strength[1];
    for (int side = 0; side < 2; ++side) {
        SideKeys keys = defaultSideKeys(side);
        if (r.bindings.size() == replay::Recording::kBindingBytes) {
            std::memcpy(&keys, r.bindings.data() + side * sizeof(SideKeys), sizeof(SideKeys));
        }
        setSideKeys(side, keys);
    }
    menu.arrowX = r.arrowX;
    menu.arrowY = r.arrowY;
    engine.frameCounter = r.frameCounter;
    engine.viewX = r.viewX;
    engine.viewY = r.viewY;
    form.skyLayer->stepCounter = r.layerSteps[0];
    form.seaLayer->stepCounter = r.layerSteps[1];
    form.messenger->text = r.banner;
    form.messenger->framesLeft = r.bannerFrames;
    std::memset(engine.input->keys, 0, sizeof engine.input->keys);
    for (uint8_t code : r.heldKeys) engine.input->keys[code] = 0x80;
    form.quitRequested = false;
}

void ReplayFeed::press(uint8_t keys[256], uint8_t oldKeys[256], bool) {
    std::memcpy(device_, keys, sizeof device_);
    uint8_t marked[256];
    cursor_.next(keys, marked);
    for (int code = 0; code < 256; ++code) oldKeys[code] |= marked[code];
    // The emergency exit stays the player's.
    keys[DIK_F10] |= device_[DIK_F10];
}

ReplayRun::ReplayRun(TForm1& form, const replay::Recording& recording)
    : form_(form), rec_(recording), ownFeed_(form.engine->input->keyFeed) {
    restart();
}

ReplayRun::~ReplayRun() {
    setDark(false);
    form_.engine->input->keyFeed = ownFeed_;
}

void ReplayRun::restart() {
    feed_ = std::make_unique<ReplayFeed>(rec_);
    form_.engine->input->keyFeed = feed_.get();
    digest_ = 0;
    problem_.clear();
    restoreStart(form_, rec_);
}

int ReplayRun::length() const {
    return rec_.reads;
}

bool ReplayRun::checkDigest() {
    const auto& digests = rec_.digests;
    if (digest_ < digests.size() && digests[digest_].read < read()) {
        problem_ = "the replay parted from the recording before tick " +
                   std::to_string(digests[digest_].read) + " (" + tickTime(digests[digest_].read) +
                   "): it stops here";
        return false;
    }
    if (digest_ < digests.size() && digests[digest_].read == read()) {
        if (stateDigest(false) != digests[digest_].digest) {
            problem_ = "the game's state differs from the recording's at tick " +
                       std::to_string(read()) + " (" + tickTime(read()) +
                       "): the replay stops here";
            return false;
        }
        ++digest_;
    }
    return true;
}

bool ReplayRun::step() {
    if (!problem_.empty() || read() >= rec_.reads || form_.quitRequested ||
        form_.engine->closeRequested()) {
        return false;
    }
    if (!checkDigest()) return false;
    form_.runFrame();
    return true;
}

void ReplayRun::seek(int target) {
    if (target < read()) restart();
    setDark(true);
    while (read() < target && step()) {
    }
    setDark(false);
}

void ReplayRun::setDark(bool dark) {
    if (form_.engine->drawingOff == dark) return;
    form_.engine->drawingOff = dark;
    if (onDark) onDark(dark);
}

std::string tickTime(int read) {
    const int seconds = int(int64_t(read) * 38 / 1000);
    const int s = seconds % 60;
    return std::to_string(seconds / 60) + ":" + (s < 10 ? "0" : "") + std::to_string(s);
}
