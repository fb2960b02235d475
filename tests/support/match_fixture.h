#pragma once
// A running game world on the headless backend for the game tests: the
// main window with the engine, a test archive with every asset, and a small
// match built the way the match builds its own (players first, then the
// lists, then the day part's vehicles, left before right).
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/messenger.h"
#include "engine/surface.h"
#include "engine/zef_dx.h"
#include "game/cannon.h"
#include "game/game_controller.h"
#include "game/mmenu.h"
#include "game/plane.h"
#include "game/player.h"
#include "platform/headless.h"
#include "services/dik_codes.h"
#include "shell/main_window.h"
#include "support/bare_match.h"
#include "support/world_archive.h"

namespace world_test {

inline int listSize(const dlist<ZefBase>& list) {
    int n = 0;
    for (const ZefBase* m = list.head; m != nullptr; m = m->next) ++n;
    return n;
}

class WorldFixture : public ::testing::Test {
  protected:
    static constexpr uint64_t kSeed = 12345;

    void SetUp() override {
        data_ = std::make_unique<ArchiveDir>(worldFiles(sizes()));
        ASSERT_TRUE(data_->ready());

        system_ = std::make_unique<platform::HeadlessSystem>();
        system_->setKeepPixels(false);
        form_ = std::make_unique<TForm1>(system_.get());
        form_->FormCreate();
        form_->FormActivate();
        engine = form_->engine;
        if (loadsAssets()) {
            form_->loadAssetSet();
            // The menu would read the test's keys; the tests drive the match alone.
            engine->children.remove(form_->menu);
        }
        form_->random.seed(kSeed);
    }

    void TearDown() override {
        if (form_ != nullptr) {
            if (match != nullptr) {
                engine->children.remove(match);
                delete match;
                form_->match = nullptr;
            }
            // Back into the engine's list, which deletes it with the engine.
            if (form_->menu != nullptr && loadsAssets()) engine->children.append(form_->menu);
            delete form_->messenger;
            form_->messenger = nullptr;
            form_.reset();
        }
        system_.reset();
        data_.reset();
    }

    // Overridden by suites that test the loading itself.
    virtual bool loadsAssets() const { return true; }
    virtual WorldSizes sizes() const { return WorldSizes(); }

    // A match in the given day part with the table's vehicles, processed
    // each frame from the engine's list like the real one.
    GameController* startMatch(int32_t dayPart, int32_t palmTrees = 3) {
        form_->menu->palmTrees = palmTrees;
        match = makeBareMatch(engine);
        form_->match = match;
        match->day = 1;
        match->dayPart = dayPart;
        match->vehicles[0] = dayPart == 1 ? static_cast<Vehicle*>(new Cannon(engine, 0))
                                          : static_cast<Vehicle*>(new Plane(engine, 0));
        match->vehicles[1] = dayPart == 0 ? static_cast<Vehicle*>(new Cannon(engine, 1))
                                          : static_cast<Vehicle*>(new Plane(engine, 1));
        engine->children.append(match);
        return match;
    }

    // Puts `vehicle` in place of the side's current one.
    template <typename T>
    T* replaceVehicle(int side, T* vehicle) {
        delete match->vehicles[side];
        match->vehicles[side] = vehicle;
        return vehicle;
    }

    // Whole frames of the main loop.
    void step(int frames = 1) {
        for (int i = 0; i < frames; ++i) form_->runFrame();
    }

    // Holds a key for the next `frames` input updates.
    void hold(int code, int frames) {
        system_->holdKey(code, system_->keyReads(), system_->keyReads() + frames);
    }
    void holdForever(int code) { system_->holdKey(code, system_->keyReads()); }
    void releaseAll() { system_->clearKeys(); }

    // The picture shown after the last step (the flip made it the front).
    uint16_t screenPixel(int x, int y) const { return engine->front->ddSurface->getPixel(x, y); }
    static uint16_t pixelOf(uint32_t rgb) { return platform::PixelSurface::pixelFromRGB(rgb); }

    TForm1& form() { return *form_; }
    platform::HeadlessSystem& system() { return *system_; }

    ZefDX* engine = nullptr;
    GameController* match = nullptr;

  private:
    std::unique_ptr<ArchiveDir> data_;
    std::unique_ptr<platform::HeadlessSystem> system_;
    std::unique_ptr<TForm1> form_;
};

}  // namespace world_test
