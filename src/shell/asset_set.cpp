// The asset set: every picture, chain, font and sound of the game, loaded
// once behind the loading bar, plus the direction tables and the scene.
#include <string>

#include "engine/directions.h"
#include "engine/messenger.h"
#include "engine/sprite_font.h"
#include "engine/surface.h"
#include "engine/surface_chain.h"
#include "engine/zef_dx.h"
#include "engine/zef_font.h"
#include "game/mmenu.h"
#include "services/sound.h"
#include "services/tile_layer.h"
#include "shell/main_window.h"

namespace {

constexpr int32_t kProgressSteps = 50;
constexpr int32_t kBarStep = 4;  // pixels per step: 50 steps fill the 200-pixel bar

// One step of the loading bar: black screen, the bar a little longer, present.
class LoadingBar {
  public:
    explicit LoadingBar(TForm1& form) : form_(form) {}

    void step() {
        ++steps_;
        form_.engine->back->fill(nullptr, 0);
        form_.drawGauge(218, 230, kBarStep * steps_, 200, 20);
        form_.engine->frame();
    }
    int32_t steps() const { return steps_; }

  private:
    TForm1& form_;
    int32_t steps_ = 0;
};

}  // namespace

void TForm1::loadAssetSet() {
    LoadingBar bar(*this);
    auto ownPicture = [this](Surface* picture) {
        imageOwner->children.append(picture);
        return picture;
    };
    auto ownSound = [this](const char* file) {
        Sound* sound = new Sound(engine, file);
        soundOwner->children.append(sound);
        return sound;
    };

    fireGradient = ownPicture(new Surface(engine, "gfx/firegradient.bmp"));
    fireGradient->setHotspot(0);
    bar.step();

    textFont = new ZefFont(engine, "Arial", 20, 0xFFFFFF);
    fontOwner->children.append(textFont);
    bar.step();
    font = new SpriteFont(engine, "gfx/alphabet");
    fontOwner->children.append(font);
    bar.step();

    buildDirectionTables();
    bar.step();

    sky = ownPicture(new Surface(engine, "gfx/sky.bmp"));
    bar.step();
    sky->setHotspot(0);
    skyColour = sky->firstPixel();

    sea = ownPicture(new Surface(engine, "gfx/sea540.bmp"));
    bar.step();
    sea->setHotspot(0);

    island = ownPicture(new Surface(engine, "gfx/island.bmp"));
    bar.step();
    shadow = ownPicture(new Surface(engine, "gfx/shadow_0.bmp"));
    bar.step();

    auto ownChain = [&](const char* base) {
        SurfaceChain* chain = new SurfaceChain(engine, base);
        imageOwner->children.append(chain);
        bar.step();
        return chain;
    };
    sparcChain = ownChain("gfx/sparc");
    palmChain = ownChain("gfx/palm");
    palmChain->setCollisionScaleAll(0.9);
    planeChain = ownChain("gfx/plane");
    planeChain->setCollisionScaleAll(0.9);
    cannonChain = ownChain("gfx/cannon");
    cannonChain->setCollisionScaleAll(0.75);
    bombChain = ownChain("gfx/bomb");
    bombChain->setCollisionScaleAll(0.9);
    cannonballChain = ownChain("gfx/cannonball");
    splashChain = ownChain("gfx/splash");
    // Splashes rise from where the object met the sea and play once.
    splashChain->setHotspotAll(2);
    splashChain->linkFrames(0, 0, -1);
    arrowChain = ownChain("gfx/arrow");
    iconChain = ownChain("gfx/icon");

    smallLogo = ownPicture(new Surface(engine, "gfx/smalllogo_0.bmp"));
    bar.step();

    for (int side = 0; side < 2; ++side) {
        engineLoop[side] = ownSound("sfx/rot5loo1.wav");
        bar.step();
        hitSound[side] = ownSound("sfx/engnxplo.wav");
        bar.step();
        fallingLoop[side] = ownSound("sfx/ovrevlp1.wav");
        bar.step();
        whistleSound[side] = ownSound("sfx/bmbwstl2.wav");
        bar.step();
        splashSound[side] = ownSound("sfx/splash.wav");
        bar.step();
        planeSplashSound[side] = ownSound("sfx/planesplash.wav");
        bar.step();
        gunSound[side] = ownSound("sfx/spanloo.wav");
        bar.step();
    }
    cannonFire = ownSound("sfx/cannonfire.wav");
    bar.step();
    click = ownSound("sfx/warningbeep.wav");
    engine->shutterSound = click;
    bar.step();
    music = ownSound("sfx/sunshineDance.wav");
    bar.step();

    skyLayer = new TileLayer(engine, 0, 120, 1, 1, 640, 240);
    skyLayer->parallaxAcross = 0.0;  // the sky does not scroll sideways
    skyLayer->fillAll(sky);
    engine->children.append(skyLayer);

    seaLayer = new TileLayer(engine, -6400, 360, 1, 1, 540, 120);
    seaLayer->wrapAcross = true;
    seaLayer->fillAll(sea);
    engine->children.append(seaLayer);

    messenger = new Messenger(engine);
    menu = new MMenu(engine);
    menu->isComputer[0] = settings.isComputer[0];
    menu->isComputer[1] = settings.isComputer[1];
    menu->strength[0] = settings.strength[0];
    menu->strength[1] = settings.strength[1];
    menu->warDays = settings.warDays;
    menu->palmTrees = settings.palmTrees;
    engine->children.append(menu);
    applySound();

    while (bar.steps() < kProgressSteps) bar.step();
}
