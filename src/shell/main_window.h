#pragma once
#include <cstdint>
#include <functional>

#include "engine/random.h"
#include "shell/settings.h"

namespace platform {
class System;
}
class ZefDX;
class ZefListOwner;
class Surface;
class SurfaceChain;
class Sound;
class ZefFont;
class SpriteFont;
class GameController;
class MMenu;
class EndScreen;
class Messenger;
class TileLayer;
class PadFeed;
class SettingsFile;

// The main window: owns the engine and every shared asset, runs the game
// from its first paint. One per process, reached through Form1.
class TForm1 {
  public:
    explicit TForm1(platform::System* system);
    ~TForm1();  // FormDestroy

    // Window events, in the order the application delivers them.
    void FormCreate();
    void FormActivate();
    void FormPaint();
    void FormClose();
    void FormDestroy();
    void Timer1Timer();
    // One pass of the main loop: sky fill, the engine's frame, pause, window events.
    void runFrame();

    // Asset set (loaded behind the loading bar).
    void loadAssetSet();
    // Start-up, quit and closing screens.
    void playStartupScreens();
    void showClosingScreens();
    bool showQuitScreen();
    // Shared drawing and sound routines.
    void drawGauge(int32_t x, int32_t y, int32_t value, int32_t width, int32_t height);
    void drawPowerDots(int32_t x, int32_t y, int32_t n);
    void playAt(Sound* sound, int32_t x);
    void closeCurtain();
    // The controls screen: both sides' keys, the pad's buttons, the sound.
    void showControlsScreen();
    // Puts the settings' keys and pad buttons in force.
    void applyBindings();
    // Sets every sound's volume from the settings.
    void applySound();
    // Gathers the menu's choices and the window's into the settings and
    // writes them when they changed.
    void saveSettings();

    platform::System* system;  // the window this form is shown in
    bool cursorHidden = false;
    bool terminated = false;  // the application was told to end its loop

    ZefDX* engine = nullptr;
    ZefListOwner* fontOwner = nullptr;
    ZefListOwner* imageOwner = nullptr;
    ZefListOwner* soundOwner = nullptr;
    bool assetsLoaded = false;
    bool paintEntered = false;
    bool activated = false;

    // Asset references, borrowed.
    Surface* fireGradient = nullptr;
    Surface* sky = nullptr;
    Surface* sea = nullptr;
    Surface* island = nullptr;
    Surface* shadow = nullptr;
    SurfaceChain* sparcChain = nullptr;
    SurfaceChain* palmChain = nullptr;
    SurfaceChain* planeChain = nullptr;
    SurfaceChain* cannonChain = nullptr;
    SurfaceChain* cannonballChain = nullptr;
    SurfaceChain* bombChain = nullptr;
    SurfaceChain* splashChain = nullptr;
    SurfaceChain* arrowChain = nullptr;
    SurfaceChain* iconChain = nullptr;
    Surface* smallLogo = nullptr;
    Sound* engineLoop[2] = {nullptr, nullptr};
    Sound* hitSound[2] = {nullptr, nullptr};
    Sound* fallingLoop[2] = {nullptr, nullptr};
    Sound* whistleSound[2] = {nullptr, nullptr};
    Sound* splashSound[2] = {nullptr, nullptr};
    Sound* planeSplashSound[2] = {nullptr, nullptr};
    Sound* gunSound[2] = {nullptr, nullptr};
    Sound* cannonFire = nullptr;
    Sound* click = nullptr;
    Sound* music = nullptr;
    TileLayer* skyLayer = nullptr;
    TileLayer* seaLayer = nullptr;

    GameController* match = nullptr;
    MMenu* menu = nullptr;
    EndScreen* endScreen = nullptr;
    Messenger* messenger = nullptr;
    uint32_t skyColour = 0;
    ZefFont* textFont = nullptr;
    SpriteFont* font = nullptr;
    bool quitRequested = false;
    PadFeed* padFeed = nullptr;  // the game pads' keys, owned

    // The player's settings, defaults until the application gives its own.
    // Written only through settingsFile: without one (tests, network play)
    // nothing is written.
    Settings settings;
    SettingsFile* settingsFile = nullptr;  // not owned

    // The program's one random generator, seeded at activation.
    Random random;

    // Network play: once the start-up screens are over, and at the top of
    // every frame of the main loop. Empty in a game on one machine.
    std::function<void()> onMenuReached;
    std::function<void()> onFrameStart;
    // Once the main loop has ended, before the closing pictures (replays
    // save the match in progress).
    std::function<void()> onLoopEnd;
    bool networkPlay = false;
};

// Adds `more` to a hook of the main window, after what it runs already:
// network play, spectators and replays each hang on the same hooks.
inline void chainHook(std::function<void()>& hook, std::function<void()> more) {
    hook = [first = std::move(hook), more = std::move(more)] {
        if (first) first();
        more();
    };
}

// The process-wide reference to the one main window.
extern TForm1* Form1;
