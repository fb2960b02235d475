// How long the busiest game-world frame takes to process and draw, as a share
// of the 38 ms frame period: both planes falling with smoke, four 250-spark
// bursts, bullets in flight, the sky, the sea and both islands with palms.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "../tests/support/bare_match.h"
#include "../tests/support/world_archive.h"
#include "engine/surface.h"
#include "engine/zef_dx.h"
#include "game/cannonball.h"
#include "game/explosion.h"
#include "game/game_controller.h"
#include "game/mmenu.h"
#include "game/plane.h"
#include "platform/headless.h"
#include "services/zef_input.h"
#include "shell/main_window.h"

namespace {

constexpr int kBursts = 4;
constexpr int kBullets = 12;

int listSize(const ZefListOwner* list) {
    int n = 0;
    for (ZefBase* m = list->children.head; m != nullptr; m = m->next) ++n;
    return n;
}

class BusyWorld {
  public:
    BusyWorld() {
        char pattern[] = "/tmp/kestova_bench_XXXXXX";
        dir_ = mkdtemp(pattern);
        // The generated game data when the build has it, else the small test set.
        const std::filesystem::path real = std::filesystem::path(KESTOVA_BUILD_DIR) / "Kestova.dat";
        std::error_code error;
        if (std::filesystem::exists(real, error)) {
            std::filesystem::copy_file(real, dir_ + "/Kestova.dat", error);
            realData_ = true;
        } else {
            world_test::writeArchive(dir_ + "/Kestova.dat", world_test::worldFiles());
        }
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_);

        system_.setKeepPixels(false);
        form_ = std::make_unique<TForm1>(&system_);
        form_->FormCreate();
        form_->FormActivate();
        form_->loadAssetSet();
        engine_ = form_->engine;
        engine_->children.remove(form_->menu);
        form_->random.seed(1);
        form_->menu->palmTrees = 10;

        match_ = makeBareMatch(engine_);
        form_->match = match_;
        match_->dayPart = 2;
        for (int side = 0; side < 2; ++side) {
            Plane* plane = new Plane(engine_, side);
            // Both near the middle of the screen, so everything is drawn.
            plane->posX = 700 + side * 200;
            plane->posY = 100;
            match_->vehicles[side] = plane;
            plane->health = 10;
            plane->takeDamage(20);
        }
        engine_->children.append(match_);
    }

    ~BusyWorld() {
        engine_->children.remove(match_);
        delete match_;
        form_->match = nullptr;
        engine_->children.append(form_->menu);
        form_.reset();
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(dir_);
    }

    // Keeps the scene at its busiest: planes in the air, bursts and bullets.
    void topUp() {
        for (Vehicle* vehicle : match_->vehicles) {
            if (vehicle->posY > 300.0) {
                vehicle->posY = 0.0;
                vehicle->vy = 0.0;
            }
        }
        int bursts = 0;
        for (ZefBase* m = match_->explosions->children.head; m != nullptr; m = m->next) {
            if (static_cast<Explosion*>(m)->count == Explosion::kMaxSparks) ++bursts;
        }
        for (; bursts < kBursts; ++bursts) {
            match_->explosions->children.append(
                new Explosion(engine_, 650 + bursts * 80, 200, kPlaneHitBurst));
        }
        for (int n = listSize(match_->cannonballs); n < kBullets; ++n) {
            match_->cannonballs->children.append(new Cannonball(
                engine_, n % 2, 600 + n * 20, 150 + n * 5, n * 21, 20, Cannonball::kBullet));
        }
    }

    // One frame without the present and the pacing sleep.
    void processFrame() {
        engine_->back->fill(nullptr, form_->skyColour);
        engine_->input->update();
        engine_->ZefListOwner::process();
        engine_->frameCounter += 1;
    }

    int sparksAlive() const {
        int alive = 0;
        for (ZefBase* m = match_->explosions->children.head; m != nullptr; m = m->next) {
            const Explosion* e = static_cast<const Explosion*>(m);
            for (int i = 0; i < e->count; ++i) alive += e->sparks[i].life > 0;
        }
        return alive;
    }

    bool realData() const { return realData_; }

  private:
    bool realData_ = false;
    std::string dir_;
    std::filesystem::path previous_;
    platform::HeadlessSystem system_;
    std::unique_ptr<TForm1> form_;
    ZefDX* engine_ = nullptr;
    GameController* match_ = nullptr;
};

void BM_BusiestWorldFrame(benchmark::State& state) {
    BusyWorld world;
    world.topUp();
    double sparks = 0;
    for (auto _ : state) {
        state.PauseTiming();
        world.topUp();
        state.ResumeTiming();
        world.processFrame();
        state.PauseTiming();
        sparks += world.sparksAlive();
        state.ResumeTiming();
    }
    state.SetLabel(world.realData() ? "game data" : "test data");
    state.counters["sparks"] = benchmark::Counter(sparks / double(state.iterations()));
}
BENCHMARK(BM_BusiestWorldFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
