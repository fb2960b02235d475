#include <string>

#include "engine/sprite_font.h"
#include "engine/surface.h"
#include "engine/zef_dx.h"
#include "services/dik_codes.h"
#include "services/sound.h"
#include "services/zef_input.h"
#include "shell/main_window.h"

namespace {

const char* const kSplashPictures[5] = {"gfx/presents.bmp", "gfx/zefDX.bmp", "gfx/Mirefen.bmp",
                                        "gfx/Corvale.bmp", "gfx/dolby.bmp"};
const char* const kClosingPictures[2] = {"gfx/copyright.bmp", "gfx/kv2-teaser.bmp"};

}  // namespace

void TForm1::playStartupScreens() {
    engine->front->fill(nullptr, 0);
    engine->back->fill(nullptr, 0);
    engine->playAnimation("gfx/interaction.zan", 0, 0);
    // A player who asked to close sees no more pictures.
    if (engine->closeRequested()) return;

    music->stop();
    music->rewind();
    music->play(true);

    Surface* back = engine->back;
    back->fill(nullptr, 0);
    for (const char* picture : kSplashPictures) {
        back->loadBMP(picture, kCentre, kCentre);
        engine->frame();
        engine->wait(1500);
        if (engine->closeRequested()) return;
        back->fill(nullptr, 0);
    }

    back->loadBMP("gfx/logo.bmp", kCentre, kCentre);
    engine->frame();
    // After the flip the back buffer holds the earlier picture: draw the logo
    // again with the text, so that each present swaps text and no text.
    back = engine->back;
    back->loadBMP("gfx/logo.bmp", kCentre, kCentre);
    font->draw(back, 320, 400, "press escape", 6);
    engine->wait(2000);

    ZefInput* input = engine->input;
    while (!input->keyHit(DIK_ESCAPE) && !engine->closeRequested()) {
        input->update();
        engine->wait(250);
        engine->frame();
    }
    input->waitForNoKeys();
}

void TForm1::showClosingScreens() {
    for (const char* picture : kClosingPictures) {
        if (engine->closeRequested()) return;
        engine->back->fill(nullptr, 0);
        engine->back->loadBMP(picture, kCentre, kCentre);
        engine->frame();
        engine->input->waitForNoKeys();
        engine->input->waitForKeyHit();
    }
}

bool TForm1::showQuitScreen() {
    closeCurtain();
    engine->back->fill(nullptr, skyColour);
    font->draw(engine->back, 320, 235, "press esc to go back or any other key to quit", 6);
    engine->frame();
    engine->input->waitForNoKeys();
    engine->input->waitForKeyHit();
    // Asked to close: the answer is quit.
    return engine->closeRequested() || !engine->input->keyDown(DIK_ESCAPE);
}
