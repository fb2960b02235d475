#include "game/palm.h"

#include "engine/surface_chain.h"
#include "shell/main_window.h"

Palm::Palm(ZefDX* owner, int32_t x, int32_t y, bool mirrored)
    : Sprite(owner, x, y, Form1->palmChain->getSurf(0)) {
    blitFx.mirrorLeftRight = mirrored;
}

void Palm::process() {
    SurfaceChain* chain = Form1->palmChain;
    if (!hit) {
        pictureIndex = 0;
    } else if (pictureIndex < chain->count - 1) {
        ++pictureIndex;
    }
    surface = chain->getSurf(pictureIndex);
    Sprite::process();
}
