// The blocking animation player of the display engine.
#include "engine/frame_pacer.h"
#include "engine/surface.h"
#include "engine/zef_dx.h"
#include "services/animator.h"
#include "services/zef_input.h"

void ZefDX::playAnimation(const std::string& fileName, int32_t x, int32_t y) {
    Animator animator(this, "0", 0);
    FramePacer local(clock);
    local.start(0);
    animator.x = x;
    animator.y = y;
    animator.open(fileName);
    local.start(animator.framePeriod != 0 ? animator.framePeriod : pacer.periodMs);
    do {
        // Held, not only newly pressed: an Escape that cut a wait short also
        // ends the playback if it is still down.
        if (input != nullptr) {
            input->update();
            if (input->keyDown(DIK_ESCAPE)) break;
        }
        if (closeRequested()) break;
        animator.process();
        frame();
        // The next frame's runs are drawn over the picture just shown.
        if (fullscreen) front->blit(back, 0, 0, nullptr, nullptr, 1.0);
        local.wait();
    } while (!animator.finished);
}
