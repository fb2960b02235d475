#include <gtest/gtest.h>

#include "game/binding_rules.h"
#include "game/plane.h"
#include "services/zef_input.h"
#include "shell/settings_file.h"
#include "support/match_fixture.h"
#include "support/scratch_dir.h"

namespace {

using kit::ScratchDir;

Settings changedSettings() {
    Settings s;
    s.isComputer[0] = 0;
    s.isComputer[1] = 1;
    s.strength[1] = 5;
    s.warDays = 7;
    s.palmTrees = 9;
    s.fullscreen = false;
    s.windowWidth = 900;
    s.windowHeight = 700;
    s.musicVolume = 30;
    s.effectsVolume = 60;
    s.muted = true;
    bindAction(s.keys[0], SideAction::Up, DIK_I);
    bindAction(s.keys[0], SideAction::Fire, DIK_Q);
    bindAction(s.keys[1], SideAction::Down, DIK_K, DIK_END);
    s.pad.action[int(SideAction::Up)] = platform::PadState::kSouth;
    s.pad.action[int(SideAction::Fire)] = platform::PadState::kEast;
    return s;
}

TEST(SettingsFile, EverySettingAndUnknownEntrySurvivesARestart) {
    ScratchDir dir;
    const std::string path = dir.file("kestova/settings.ini");
    ScratchDir::write(path,
                      "[menu]\nflag_colour = 3\n[display]\ngamma = 2\n[sound]\nreverb = on\n"
                      "[later]\nthing = kept as it is\n");
    SettingsFile first(path);
    Settings s = first.load();
    ASSERT_EQ(s.unknown.size(), 4u);
    Settings changed = changedSettings();
    changed.unknown = s.unknown;
    first.save(changed);

    Settings again = SettingsFile(path).load();
    EXPECT_EQ(settingsText(again), settingsText(changed));
    // The text is made by the writer under test: what it leaves out, it leaves out of both.
    EXPECT_EQ(again.keys[0].up[0], DIK_I);
    EXPECT_EQ(again.keys[1].down[1], DIK_END);
    EXPECT_EQ(again.pad.action[int(SideAction::Up)], platform::PadState::kSouth);
    EXPECT_EQ(again.strength[1], 5);
    for (const char* kept :
         {"flag_colour = 3", "gamma = 2", "reverb = on", "thing = kept as it is"}) {
        EXPECT_NE(ScratchDir::read(path).find(kept), std::string::npos) << kept;
    }
    EXPECT_FALSE(std::filesystem::exists(path + ".new"));
}

TEST(SettingsFile, ADamagedLineKeepsTheRestAndTheFileIsLeftAlone) {
    ScratchDir dir;
    const std::string path = dir.file("settings.ini");
    const std::string text =
        "[menu]\nwar_days = 12\nthis line is damaged\npalm_trees = eleven\n"
        "[left_keys]\nfire = nosuchkey\nup = i\n[sound]\nmusic_volume = 40\n";
    ScratchDir::write(path, text);
    SettingsFile file(path);
    testing::internal::CaptureStderr();
    const Settings s = file.load();
    const std::string warnings = testing::internal::GetCapturedStderr();

    EXPECT_EQ(s.warDays, 12);
    EXPECT_EQ(s.palmTrees, 3);
    EXPECT_EQ(s.keys[0].fire, DIK_LSHIFT);
    EXPECT_EQ(s.keys[0].up[0], DIK_I);
    EXPECT_EQ(s.musicVolume, 40);
    for (const char* where : {":3:", ":4:", ":6:"}) {
        EXPECT_NE(warnings.find(path + where), std::string::npos) << where << " in " << warnings;
    }
    EXPECT_EQ(std::count(warnings.begin(), warnings.end(), '\n'), 3);

    file.save(s);  // nothing the player changed
    EXPECT_EQ(ScratchDir::read(path), text);
    Settings changed = s;
    changed.palmTrees = 4;
    file.save(changed);
    EXPECT_EQ(SettingsFile(path).load().palmTrees, 4);
}

TEST(SettingsFile, AFolderThatCannotBeWrittenGivesOneLineAndTheGameGoesOn) {
    ScratchDir dir;
    ScratchDir::write(dir.file("file"), "a file where the folder would be");
    SettingsFile file(dir.file("file/kestova/settings.ini"));
    const Settings defaults = file.load();
    testing::internal::CaptureStderr();
    file.save(changedSettings());
    file.save(changedSettings());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("file/kestova/settings.ini"), std::string::npos);
    EXPECT_EQ(defaults.warDays, 5);
}

struct RefusalRow {
    int32_t side;
    uint8_t key;
    bool refused;
};

class KeyRefusal : public testing::TestWithParam<RefusalRow> {};

TEST_P(KeyRefusal, TheGamesOwnAndTheOtherSidesKeysAreRefused) {
    const RefusalRow row = GetParam();
    const SideKeys keys[2] = {defaultSideKeys(0), defaultSideKeys(1)};
    EXPECT_EQ(refusedKey(keys, row.side, row.key) != nullptr, row.refused);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyRefusal,
    testing::Values(RefusalRow{0, DIK_ESCAPE, true}, RefusalRow{0, DIK_F10, true},
                    RefusalRow{1, DIK_F12, true}, RefusalRow{0, DIK_P, true},
                    RefusalRow{1, DIK_LMENU, true}, RefusalRow{0, DIK_RMENU, true},
                    RefusalRow{1, DIK_RETURN, true}, RefusalRow{0, DIK_M, true},
                    RefusalRow{0, DIK_UP, true}, RefusalRow{0, DIK_SPACE, true},
                    RefusalRow{1, DIK_X, true}, RefusalRow{1, DIK_LSHIFT, true},
                    RefusalRow{0, DIK_W, false}, RefusalRow{0, DIK_J, false},
                    RefusalRow{1, DIK_NUMPAD8, false}, RefusalRow{1, DIK_K, false}));

class RebindingTest : public world_test::WorldFixture {
  protected:
    Plane* plane(int side) { return static_cast<Plane*>(match->vehicles[side]); }
};

// The settings file's key drives the match; the old key does nothing.
TEST_F(RebindingTest, TheNewKeyTurnsThePlane) {
    ScratchDir dir;
    ScratchDir::write(dir.file("settings.ini"), "[left_keys]\nleft = j\n");
    form().settings = SettingsFile(dir.file("settings.ini")).load();
    form().applyBindings();
    startMatch(2);
    plane(0)->heading = 0;
    hold(DIK_A, 1);
    step();
    EXPECT_EQ(plane(0)->heading, 0);
    hold(DIK_J, 1);
    step();
    EXPECT_EQ(plane(0)->heading, 248);
    form().settings = Settings();
    form().applyBindings();
}

// M is the window's: it mutes, and no key array ever shows it.
TEST_F(RebindingTest, MMutesAndNeverReachesTheKeys) {
    hold(DIK_M, 2);
    step();
    EXPECT_TRUE(form().settings.muted);
    EXPECT_FALSE(engine->input->keyDown(DIK_M));
    step(2);
    hold(DIK_M, 1);
    step();
    EXPECT_FALSE(form().settings.muted);
}

}  // namespace
