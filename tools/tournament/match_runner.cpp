#include "match_runner.h"

#include "engine/zef_base.h"
#include "engine/zef_dx.h"
#include "game/game_controller.h"
#include "game/mmenu.h"
#include "game/palm.h"
#include "game/player.h"
#include "platform/headless.h"
#include "services/dik_codes.h"
#include "shell/main_window.h"
#include "shell/state_digest.h"

namespace {

int32_t palmsDown(const Player* player) {
    int32_t n = 0;
    for (int32_t i = 0; player != nullptr && i < player->palmCount; ++i) {
        if (player->palms[i] != nullptr && player->palms[i]->hit) ++n;
    }
    return n;
}

}  // namespace

MatchResult playMatch(uint64_t seed, const int32_t strength[2], const MatchSettings& settings) {
    platform::HeadlessSystem system;
    system.setKeepPixels(false);
    TForm1 form(&system);
    form.FormCreate();
    form.FormActivate();
    form.loadAssetSet();
    form.assetsLoaded = true;
    const auto frame = [&] {
        form.runFrame();
        system.clearFrames();
    };
    MMenu& menu = *form.menu;
    for (int side = 0; side < 2; ++side) {
        menu.isComputer[side] = 1;
        menu.strength[side] = strength[side];
    }
    menu.warDays = settings.warDays;
    menu.palmTrees = settings.palmTrees;
    menu.selectedRow = 4;
    form.random.seed(seed);
    system.holdKey(DIK_RETURN, system.keyReads(), system.keyReads() + 1);
    frame();

    MatchResult result;
    GameController* match = form.match;
    if (match == nullptr) return result;
    int32_t lastDown[2] = {0, 0};
    while (form.engine->children.contains(match)) {
        if (result.frames == settings.frameLimit) {
            result.cut = true;
            system.holdKey(DIK_ESCAPE, system.keyReads(), system.keyReads() + 1);
        }
        frame();
        ++result.frames;
        for (int side = 0; side < 2; ++side) {
            // Palms are replanted each war day; count every new fall.
            const int32_t down = palmsDown(match->players[1 - side]);
            if (down > lastDown[side]) result.palms[side] += down - lastDown[side];
            lastDown[side] = down;
        }
    }
    for (int side = 0; side < 2; ++side) result.points[side] = match->players[side]->points;
    result.digest = stateDigest();
    return result;
}
