#include "shell/main_window.h"

#include "engine/messenger.h"
#include "engine/surface.h"
#include "engine/zef_dx.h"
#include "game/end_screen.h"
#include "game/game_controller.h"
#include "game/mmenu.h"
#include "game/pad_keys.h"
#include "game/side_keys.h"
#include "platform/executable_dir.h"
#include "platform/system.h"
#include "services/sound.h"
#include "services/zef_file_manager.h"
#include "shell/data_location.h"
#include "shell/pad_feed.h"
#include "shell/settings_file.h"

TForm1* Form1 = nullptr;

TForm1::TForm1(platform::System* system) : system(system) {
    Form1 = this;
}

TForm1::~TForm1() {
    FormDestroy();
    if (Form1 == this) Form1 = nullptr;
}

void TForm1::FormCreate() {
    engine = nullptr;
    imageOwner = nullptr;
    soundOwner = nullptr;
    assetsLoaded = false;
    quitRequested = false;
    activated = false;
    paintEntered = false;
}

void TForm1::FormActivate() {
    system->window().setCursorVisible(false);
    cursorHidden = true;
    if (engine != nullptr) return;
    engine = new ZefDX(system, true, 640, 480, 16);
    engine->pacer.start(38);
    // The loop fills the back surface with the sky colour itself.
    engine->clearEachFrame = false;
    engine->createSound();
    engine->createInput(1);
    padFeed = new PadFeed(system->input());
    engine->input->keyFeed = padFeed;
    applyBindings();
    engine->input->onMute = [this] {
        settings.muted = !settings.muted;
        applySound();
    };
    // Started from a menu or a launcher the current directory is the home
    // folder: the archive is also looked for beside the program and in the
    // installed data folder.
    const DataLookup data =
        findDataArchive("Kestova.dat", platform::executableDirectory(), KESTOVA_DATA_FROM_BIN);
    if (data.path.empty()) {
        engine->fatalError("ZefDX::checkFile()", describeMissingArchive("Kestova.dat", data), -1);
    }
    engine->fileManager->setArchive(data.path);
    fontOwner = new ZefListOwner(engine);
    imageOwner = new ZefListOwner(engine);
    soundOwner = new ZefListOwner(engine);
    match = nullptr;
    menu = nullptr;
    endScreen = nullptr;
    messenger = nullptr;
    random.seed(uint64_t(uint32_t(system->clock().calendarSeconds())));
    activated = true;
}

void TForm1::FormPaint() {
    if (!activated || paintEntered) return;
    paintEntered = true;
    engine->log("Entering Form::Paint()");
    system->window().setCursorVisible(false);
    if (!assetsLoaded) {
        loadAssetSet();
        assetsLoaded = true;
        playStartupScreens();
        if (onMenuReached && !engine->closeRequested()) onMenuReached();
    }
    while (!quitRequested && !engine->closeRequested()) runFrame();
    saveSettings();
    if (onLoopEnd) onLoopEnd();
    for (int side = 0; side < 2; ++side) {
        if (engineLoop[side] != nullptr) engineLoop[side]->stop();
        if (fallingLoop[side] != nullptr) fallingLoop[side]->stop();
    }
    // A player who asked to close wants no closing pictures.
    if (!engine->closeRequested()) showClosingScreens();
    terminated = true;
}

void TForm1::runFrame() {
    if (onFrameStart) onFrameStart();
    engine->back->fill(nullptr, uint16_t(skyColour));
    engine->process();
    if (match != nullptr) match->pauseIfAsked();
    system->window().pumpEvents();
}

void TForm1::FormClose() {}

void TForm1::applyBindings() {
    for (int side = 0; side < 2; ++side) setSideKeys(side, settings.keys[side]);
    setPadButtons(settings.pad);
}

void TForm1::applySound() {
    if (soundOwner == nullptr) return;
    for (ZefBase* member = soundOwner->children.head; member != nullptr; member = member->next) {
        Sound* sound = dynamic_cast<Sound*>(member);
        if (sound == nullptr) continue;
        const int32_t volume = sound == music ? settings.musicVolume : settings.effectsVolume;
        sound->setVolume(settings.muted ? 0 : volume);
    }
}

void TForm1::saveSettings() {
    if (settingsFile == nullptr) return;
    if (menu != nullptr) {
        settings.isComputer[0] = menu->isComputer[0];
        settings.isComputer[1] = menu->isComputer[1];
        settings.strength[0] = menu->strength[0];
        settings.strength[1] = menu->strength[1];
        settings.warDays = menu->warDays;
        settings.palmTrees = menu->palmTrees;
    }
    platform::Window& window = system->window();
    bool fullscreen = settings.fullscreen;
    if (window.chosenFullscreen(fullscreen)) settings.fullscreen = fullscreen;
    int width = 0, height = 0;
    window.chosenWindowSize(width, height);
    if (width > 0 && height > 0) {
        settings.windowWidth = width;
        settings.windowHeight = height;
    }
    settingsFile->save(settings);
}

void TForm1::FormDestroy() {
    if (engine == nullptr) return;
    // Screens resting outside the engine's list (the last match, its banner,
    // the last end screen) belong to no list; without this they would leak.
    for (ZefBase* screen : {static_cast<ZefBase*>(match), static_cast<ZefBase*>(endScreen),
                            static_cast<ZefBase*>(messenger), static_cast<ZefBase*>(menu)}) {
        if (screen != nullptr && !engine->children.contains(screen)) delete screen;
    }
    match = nullptr;
    endScreen = nullptr;
    messenger = nullptr;
    menu = nullptr;
    engine->shutterSound = nullptr;
    delete soundOwner;
    soundOwner = nullptr;
    delete imageOwner;
    imageOwner = nullptr;
    delete fontOwner;
    fontOwner = nullptr;
    delete engine;
    engine = nullptr;
    delete padFeed;
    padFeed = nullptr;
}

void TForm1::Timer1Timer() {
    // The timer is created disabled and nothing enables it.
    engine->back->fill(nullptr, uint16_t(skyColour));
    engine->process();
}
