// The small drawing and sound routines the screens and game objects share.
#include "engine/frame_pacer.h"
#include "engine/surface.h"
#include "engine/zef_dx.h"
#include "services/sound.h"
#include "shell/main_window.h"

void TForm1::drawGauge(int32_t x, int32_t y, int32_t value, int32_t width, int32_t height) {
    Surface* back = engine->back;
    if (engine->drawingOff) return;
    // The frame needs the back surface's pixels; without them only the bar
    // is drawn.
    if (back->ddSurface != nullptr) {
        RECT frame{x - 2, y - 2, x + width + 2, y + height + 2};
        back->ddSurface->drawRoundRect(frame, 8, 8, platform::PixelSurface::pixelFromRGB(0xFFFFFF));
    }
    RECT part{0, 0, value, height};
    fireGradient->blit(back, x, y, &part, nullptr, 1.0);
}

void TForm1::drawPowerDots(int32_t x, int32_t y, int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        // Each dot takes its colour 10 pixels further along the gradient.
        RECT part{10 * i, 0, 10 * i + 4, 4};
        fireGradient->blit(engine->back, x + 5 * i, y, &part, nullptr, 1.0);
    }
}

void TForm1::playAt(Sound* sound, int32_t x) {
    if (!engine->soundEnabled || sound == nullptr) return;
    // (screen x - 320) * 15.625: -5000 at the left edge, +5000 at the right.
    // Worked in 64 bits so a far-off source cannot overflow; the division
    // still truncates toward zero.
    int64_t screenX = int64_t(x) - engine->viewX;
    int32_t pan = int32_t((screenX * 10000 - 3200000) / 640);
    sound->setPan(pan);
    sound->stop();
    sound->rewind();
    sound->play(false);
}

void TForm1::closeCurtain() {
    FramePacer pacer(engine->clock);
    pacer.start(engine->pacer.periodMs);
    engine->front->blit(engine->back, 0, 0, nullptr, nullptr, 1.0);
    // Bars of 0, 122, 183, 214, 229, 237, 241 and 243 lines: eight presents.
    int32_t a = 0;
    while (a < 244) {
        RECT top{0, 0, 640, a};
        RECT bottom{0, 480 - a, 640, 480};
        engine->back->fill(&top, 0);
        engine->back->fill(&bottom, 0);
        engine->frame();
        pacer.wait();
        a = (a + 245) / 2;
    }
}
