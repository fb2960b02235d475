// Replays: a played match is recorded and saved; the saved file replays to
// the same states, seeking lands where straight play does, and recordings
// the game cannot replay exactly are refused with their reason.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "engine/zef_dx.h"
#include "game/mmenu.h"
#include "platform/headless.h"
#include "platform/pixel_surface.h"
#include "services/dik_codes.h"
#include "shell/main_window.h"
#include "shell/playback_system.h"
#include "shell/replay_files.h"
#include "shell/replay_player.h"
#include "shell/replay_run.h"
#include "shell/state_digest.h"
#include "support/scratch_dir.h"

namespace {

struct Tick {
    int read;
    uint64_t digest;
};

// The generated data, in the build folder where the tests run.
class World {
  public:
    World() {
        system.setKeepPixels(false);
        system.setCalendarSeconds(1733650000);
        form.FormCreate();
        form.FormActivate();
        form.loadAssetSet();
        form.assetsLoaded = true;
    }
    platform::HeadlessSystem system;
    TForm1 form{&system};
};

// The game runs beside its data, whatever folder the suite was started in.
class ReplayTest : public kit::InBuildDir {
  protected:
    static void SetUpTestSuite() {
        kit::CurrentDir here(kit::buildDir());
        dir_ = std::filesystem::temp_directory_path() /
               ("kestova-replay-test-" + std::to_string(getpid()));
        std::filesystem::remove_all(dir_);
        // A computer match of one day, started at once from the menu.
        World world;
        MMenu& menu = *world.form.menu;
        menu.isComputer[0] = menu.isComputer[1] = 1;
        menu.warDays = 1;
        menu.palmTrees = 2;
        menu.selectedRow = 4;
        world.system.holdKey(DIK_RETURN, 0, 3);
        Replays replays(nullptr, dir_.string());
        replays.attach(world.form);
        auto recordTop = world.form.onFrameStart;
        world.form.onFrameStart = [&] {
            played_.push_back({0, stateDigest(false)});
            recordTop();
        };
        for (int frames = 0; frames < 4000 && world.form.menu != nullptr; ++frames) {
            if (world.form.endScreen != nullptr) break;
            // Network play would report a desync here.
            if (frames == 200) report_ = replays.saveReport({{26, 5, 5}, {52, 6, 9}});
            world.form.runFrame();
        }
        world.form.runFrame();
        replays.finish();
        path_ = latestReplay(dir_.string());
    }

    static void TearDownTestSuite() { std::filesystem::remove_all(dir_); }

    // Digests at every frame top of a replay of the saved file, from the start.
    static std::vector<Tick> straight(const replay::Recording& r) {
        World world;
        ReplayRun run(world.form, r);
        std::vector<Tick> ticks;
        for (;;) {
            const int read = run.read();
            const uint64_t digest = stateDigest(false);
            if (!run.step()) break;
            ticks.push_back({read, digest});
        }
        EXPECT_EQ(run.problem(), "");
        return ticks;
    }

    static replay::Recording load(const std::string& path = path_) {
        replay::Recording r;
        GameStamp stamp;
        std::string error;
        EXPECT_TRUE(stampOf("Kestova.dat", stamp, error)) << error;
        EXPECT_TRUE(loadReplay(path, stamp, r, error)) << error;
        return r;
    }

    static inline std::filesystem::path dir_;
    static inline std::string path_;
    static inline std::vector<Tick> played_;
    static inline std::string report_;
};

TEST_F(ReplayTest, ADesyncReportIsAReplayOfTheMatchSoFarWithTheNetworkDigests) {
    ASSERT_EQ(report_.rfind("report saved in " + dir_.string() + "/kestova-", 0), 0u) << report_;
    const replay::Recording r = load(report_.substr(16));
    ASSERT_EQ(r.netDigests.size(), 2u);
    EXPECT_EQ(r.netDigests[1].partner, 9u);
    EXPECT_EQ(straight(r).size(), 200u);
}

TEST_F(ReplayTest, SavedMatchReplaysToTheSameStates) {
    ASSERT_FALSE(path_.empty()) << "no recording was saved in " << dir_;
    EXPECT_EQ(path_.rfind(dir_.string() + "/kestova-", 0), 0u) << path_;
    const replay::Recording r = load();
    EXPECT_GT(r.digests.size(), 10u);
    const std::vector<Tick> replayed = straight(r);
    ASSERT_GT(replayed.size(), 300u);
    // The match ran from the recording's first frame on, frame for frame.
    ASSERT_GE(played_.size(), replayed.size());
    for (size_t i = 0; i < replayed.size(); ++i) {
        ASSERT_EQ(replayed[i].digest, played_[i].digest) << "frame " << i;
    }
}

TEST_F(ReplayTest, SeekingLandsWhereStraightPlayDoes) {
    const replay::Recording r = load();
    const std::vector<Tick> ticks = straight(r);
    ASSERT_GT(ticks.size(), 300u);
    World world;
    ReplayRun run(world.form, r);
    auto expected = [&](int read) {
        for (const Tick& t : ticks) {
            if (t.read >= read) return t;
        }
        return Tick{-1, 0};
    };
    // Forward, back, forward past the title cards, and to the start.
    for (int target : {ticks[250].read, ticks[40].read, ticks[290].read + 1, 0}) {
        run.seek(target);
        const Tick want = expected(target);
        EXPECT_EQ(run.read(), want.read) << "seek to " << target;
        EXPECT_EQ(stateDigest(false), want.digest) << "seek to " << target;
        EXPECT_FALSE(world.form.engine->drawingOff);
    }
}

TEST_F(ReplayTest, RecordingsThatCannotReplayExactlyAreRefused) {
    const replay::Recording good = load();
    GameStamp stamp;
    std::string error;
    ASSERT_TRUE(stampOf("Kestova.dat", stamp, error));
    const std::string file = (dir_ / "refused.rec").string();
    struct Row {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> damage;
        const char* message;
    };
    auto remade = [&](std::function<void(replay::Recording&)> change) {
        return [change, good](std::vector<uint8_t>& bytes) {
            replay::Recording r = good;
            change(r);
            bytes = replay::serialise(r);
        };
    };
    const Row rows[] = {
        {"other version", remade([](replay::Recording& r) { r.gameVersion = "0.9.1"; }),
         "made by Kestova 0.9.1 with data"},
        {"other data", remade([](replay::Recording& r) { r.dataHash ^= 1; }), ", this is Kestova "},
        {"truncated", [](std::vector<uint8_t>& b) { b.resize(b.size() / 2); }, "damaged"},
        {"one byte changed", [](std::vector<uint8_t>& b) { b[b.size() / 2] ^= 0x10; },
         "damaged: its checksum does not match"},
    };
    for (const Row& row : rows) {
        std::vector<uint8_t> bytes = replay::serialise(good);
        row.damage(bytes);
        std::filesystem::remove(file);
        FILE* f = std::fopen(file.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        replay::Recording r;
        EXPECT_FALSE(loadReplay(file, stamp, r, error)) << row.name;
        EXPECT_NE(error.find(row.message), std::string::npos) << row.name << ": " << error;
        EXPECT_EQ(error.rfind(file, 0), 0u) << row.name << ": " << error;
    }
    // A stored digest that disagrees stops the replay at its tick.
    replay::Recording wrong = good;
    wrong.digests[5].digest ^= 1;
    World world;
    ReplayRun run(world.form, wrong);
    while (run.step()) {
    }
    EXPECT_EQ(run.read(), wrong.digests[5].read);
    EXPECT_NE(run.problem().find("at tick " + std::to_string(wrong.digests[5].read)),
              std::string::npos)
        << run.problem();
}

// A long wait of the game (a title card) comes due at one picture and is slept
// in real time watching the player's keys: Escape cuts it short, another
// press is kept for the replay's controls.
TEST(PlaybackPacingTest, ALongWaitHearsThePlayersKeysAndEscapeCutsIt) {
    const struct {
        int key;
        uint32_t sleptFrom, sleptTo;
    } rows[] = {{DIK_ESCAPE, 500, 540}, {DIK_RIGHT, 10000, 10000}};
    for (const auto& row : rows) {
        platform::HeadlessSystem inner;
        PlaybackSystem playback(inner);
        playback.setReplaying(true);
        const uint32_t start = inner.nowMs();
        inner.onKeyRead = [&](int, uint8_t held[256]) {
            if (inner.nowMs() - start >= 500) held[row.key] = 0x80;
        };
        playback.clock().sleepMs(10000);
        platform::PixelSurface picture(640, 480);
        playback.window().present(picture);
        const uint32_t slept = inner.nowMs() - start;
        EXPECT_GE(slept, row.sleptFrom) << row.key;
        EXPECT_LE(slept, row.sleptTo) << row.key;
        uint8_t hits[256];
        playback.takeHits(hits);
        EXPECT_EQ(hits[row.key], 0x80) << row.key;
        EXPECT_EQ(std::count(hits, hits + 256, 0x80), 1) << row.key;
    }
}

}  // namespace
