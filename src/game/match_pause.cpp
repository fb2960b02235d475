#include "game/match_pause.h"

#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "engine/sprite_font.h"
#include "engine/surface.h"
#include "engine/zef_dx.h"
#include "platform/pixel_surface.h"
#include "services/sound.h"
#include "services/zef_input.h"
#include "shell/main_window.h"

namespace {

std::unique_ptr<platform::PixelSurface> copyOf(const platform::PixelSurface& picture) {
    auto copy = std::make_unique<platform::PixelSurface>(picture.width(), picture.height());
    copy->copyPicture(picture, 0, 0);
    return copy;
}

// Stops every playing sound where it is; release() plays them on from there.
class HeldSounds {
  public:
    HeldSounds() {
        for (ZefBase* member = Form1->soundOwner->children.head; member != nullptr;
             member = member->next) {
            auto* sound = static_cast<Sound*>(member);
            if (!sound->playing()) continue;
            held_.emplace_back(sound, sound->looping());
            sound->stop();
        }
    }
    void release() {
        for (const auto& [sound, looping] : held_) sound->play(looping);
    }

  private:
    std::vector<std::pair<Sound*, bool>> held_;
};

}  // namespace

bool pauseKeyHit(const ZefDX* engine) {
    return engine->input->keyHit(DIK_P) || engine->input->keyHit(DIK_PAUSE);
}

bool runMatchPause(ZefDX* engine) {
    ZefInput& input = *engine->input;
    // After a flip the front holds the picture on screen.
    const auto shown = copyOf(*engine->front->ddSurface);
    uint8_t keys[256];
    std::memcpy(keys, input.keys, sizeof keys);
    HeldSounds sounds;

    SpriteFont& font = *Form1->font;
    bool resumed = false, ended = false;
    while (!resumed && !ended) {
        input.updateFrame();
        // A close request ends the match on the way out, as Escape does.
        ended = input.keyHit(DIK_ESCAPE) || engine->closeRequested();
        resumed = !ended && pauseKeyHit(engine);
        engine->back->ddSurface->copyPicture(*shown, 0, 0);
        if (!resumed && !ended) {
            font.draw(engine->back, 320, 240 - font.averageHeight / 2, "paused", 6);
        }
        engine->frame();
        engine->pacer.wait();
    }

    engine->front->ddSurface->copyPicture(*shown, 0, 0);
    sounds.release();
    if (resumed) {
        // Keys held before or across the pause count as held at the next
        // update, never as hits.
        for (int code = 0; code < 256; ++code) input.keys[code] |= keys[code];
    }
    return resumed;
}
