#include <gtest/gtest.h>

#include "engine/surface_chain.h"
#include "game/island.h"
#include "game/palm.h"
#include "support/match_fixture.h"

namespace {

using world_test::WorldFixture;

class IslandPalmTest : public WorldFixture {};

TEST_F(IslandPalmTest, IslandsStandCentredAtTheirSides) {
    startMatch(0);
    EXPECT_EQ(match->players[0]->island->x, 320);
    EXPECT_EQ(match->players[0]->island->y, 360);
    EXPECT_EQ(match->players[1]->island->x, 1320);
    EXPECT_EQ(match->players[1]->island->surface, form().island);
}

// Seed 12345 draws 4271370, 1382990846, 2021515706 for the left player and
// 1387358403, 189252802, 2074748309 for the right. Modulo 64, minus 32:
// steps 234, 30, 26 and 227, 226, 245; then x = island + dirX * 150 and
// y = 360 + dirY * 60, truncated.
TEST_F(IslandPalmTest, PalmsOfAKnownSeedStandOnTheArc) {
    startMatch(0);
    struct Expected {
        int x, y;
        bool mirrored;
    };
    const Expected expected[2][3] = {
        {{242, 308, true}, {420, 315, false}, {409, 311, false}},
        {{1221, 314, true}, {1219, 315, true}, {1279, 302, true}},
    };
    for (int side = 0; side < 2; ++side) {
        Player* player = match->players[side];
        ASSERT_EQ(player->palmCount, 3);
        for (int i = 0; i < 3; ++i) {
            Palm* palm = player->palms[i];
            ASSERT_NE(palm, nullptr);
            EXPECT_EQ(palm->x, expected[side][i].x) << side << " " << i;
            EXPECT_EQ(palm->y, expected[side][i].y) << side << " " << i;
            EXPECT_EQ(palm->blitFx.mirrorLeftRight, expected[side][i].mirrored);
            EXPECT_FALSE(palm->hit);
        }
        for (int i = 3; i < Player::kMaxPalms; ++i) EXPECT_EQ(player->palms[i], nullptr);
    }
}

// A draw of 32 modulo 64 is the step straight up: the palm stands at the top
// of the arc, not mirrored (step 0 must not wrap round to 256).
TEST_F(IslandPalmTest, PalmStraightUpStandsAtTheTopOfTheArc) {
    startMatch(0, 1);
    uint64_t seed = 1;
    for (;; ++seed) {
        Random probe;
        probe.seed(seed);
        if (probe.next() % 64 == 32) break;
    }
    form().random.seed(seed);
    Player* player = match->players[0];
    player->plantPalms();
    Palm* palm = player->palms[0];
    ASSERT_NE(palm, nullptr);
    EXPECT_EQ(palm->x, player->island->x);
    EXPECT_EQ(palm->y, player->island->y - 60);
    EXPECT_FALSE(palm->blitFx.mirrorLeftRight);
}

TEST_F(IslandPalmTest, HitPalmWalksItsChainOnceAndStays) {
    startMatch(2);
    Palm* palm = match->players[1]->palms[1];
    SurfaceChain* chain = form().palmChain;
    step(3);
    EXPECT_EQ(palm->pictureIndex, 0);
    EXPECT_EQ(palm->surface, chain->getSurf(0));
    palm->hit = true;
    // Six pictures: 1..5 in consecutive frames, then 5 for good.
    for (int expected : {1, 2, 3, 4, 5, 5, 5}) {
        step();
        EXPECT_EQ(palm->pictureIndex, expected);
        EXPECT_EQ(palm->surface, chain->getSurf(expected));
    }
    EXPECT_FALSE(match->players[1]->palms[0]->hit);
    EXPECT_EQ(match->players[1]->palms[0]->surface, chain->getSurf(0));
}

TEST_F(IslandPalmTest, ReplantingMakesFreshStandingPalms) {
    startMatch(0, 10);
    Player* player = match->players[1];
    ASSERT_EQ(player->palmCount, 10);
    for (int i = 0; i < 10; ++i) {
        ASSERT_NE(player->palms[i], nullptr);
        player->palms[i]->hit = true;
    }
    form().menu->palmTrees = 4;
    player->plantPalms();
    EXPECT_EQ(player->palmCount, 4);
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(player->palms[i]->hit);
    for (int i = 4; i < 10; ++i) EXPECT_EQ(player->palms[i], nullptr);
}

TEST_F(IslandPalmTest, MenuChangeAfterPlantingIsHarmless) {
    startMatch(0, 2);
    // The menu may grow its count while an old match still holds its players.
    form().menu->palmTrees = 10;
    step(2);
    EXPECT_EQ(match->players[0]->palmCount, 2);
    EXPECT_EQ(match->players[0]->palms[2], nullptr);
}

class PlayerPalmsGoneTest : public WorldFixture {};

TEST_F(PlayerPalmsGoneTest, DefenderWithoutPalmsAsksForTheEndInTheMorning) {
    startMatch(0);
    for (int i = 0; i < 3; ++i) match->players[1]->palms[i]->hit = true;
    step();
    EXPECT_TRUE(match->endRequested);
    EXPECT_EQ(match->endCountdown, 50);
    step();
    // The request does not restart a running count.
    EXPECT_EQ(match->endCountdown, 49);
}

TEST_F(PlayerPalmsGoneTest, AttackerPalmsDoNotEndTheMorning) {
    startMatch(0);
    for (int i = 0; i < 3; ++i) match->players[0]->palms[i]->hit = true;
    step();
    EXPECT_FALSE(match->endRequested);
}

TEST_F(PlayerPalmsGoneTest, OneStandingPalmKeepsTheDayGoing) {
    startMatch(0);
    match->players[1]->palms[0]->hit = true;
    match->players[1]->palms[2]->hit = true;
    step(2);
    EXPECT_FALSE(match->endRequested);
}

TEST_F(PlayerPalmsGoneTest, SinglePalmHitAtNoonEndsTheNoon) {
    startMatch(1, 1);
    match->players[0]->palms[0]->hit = true;
    step();
    EXPECT_EQ(match->endCountdown, 50);
}

TEST_F(PlayerPalmsGoneTest, NoPalmRuleInTheAfternoon) {
    startMatch(2);
    for (int side = 0; side < 2; ++side)
        for (int i = 0; i < 3; ++i) match->players[side]->palms[i]->hit = true;
    step(3);
    EXPECT_FALSE(match->endRequested);
    EXPECT_EQ(match->endCountdown, 0);
}

TEST_F(PlayerPalmsGoneTest, RunningPlaneCountIsLeftAlone) {
    startMatch(0);
    match->requestDayPartEnd(0, 0);
    step(5);
    for (int i = 0; i < 3; ++i) match->players[1]->palms[i]->hit = true;
    step();
    EXPECT_EQ(match->endCountdown, 29);
}

}  // namespace
