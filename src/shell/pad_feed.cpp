#include "shell/pad_feed.h"

#include "engine/zef_dx.h"
#include "game/game_controller.h"
#include "game/pad_keys.h"
#include "game/player.h"
#include "platform/system.h"
#include "shell/main_window.h"

namespace {

// The match is played (not left for the end screen) while it is listed.
bool matchListed() {
    if (Form1 == nullptr || Form1->match == nullptr || Form1->engine == nullptr) return false;
    for (const ZefBase* member = Form1->engine->children.head; member != nullptr;
         member = member->next) {
        if (member == Form1->match) return true;
    }
    return false;
}

}  // namespace

void PadFeed::press(uint8_t keys[256], uint8_t oldKeys[256], bool frameRead) {
    platform::PadState pads[2];
    device_.readPads(pads);
    const bool playing = frameRead && matchListed();
    for (int side = 0; side < 2; ++side) {
        const uint16_t controls = padControls(pads[side]);
        const bool computer = playing && Form1->match->players[side]->computer;
        if (!computer) {
            pressPadKeys(controls, previous_[side], side, playing ? PadMode::Play : PadMode::Menu,
                         keys, oldKeys);
        }
        previous_[side] = controls;
    }
}
