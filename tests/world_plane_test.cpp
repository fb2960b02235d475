#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "engine/directions.h"
#include "engine/surface_chain.h"
#include "game/bomb.h"
#include "game/cannonball.h"
#include "game/explosion.h"
#include "game/palm.h"
#include "services/sound.h"
#include "support/match_fixture.h"

namespace {

using world_test::WorldFixture;

using world_test::listSize;

uint32_t rateOf(Sound* sound) {
    uint32_t hz = 0;
    sound->getFrequency(hz);
    return hz;
}

class PlaneTest : public WorldFixture {
  protected:
    Plane* plane(int side) { return static_cast<Plane*>(match->vehicles[side]); }
};

// In the afternoon the generator's 7th and 8th draws of seed 12345 place the
// planes: 270 - 215783996 % 500 = -226 and 270 - 1788323590 % 500 = 180.
TEST_F(PlaneTest, RightPlaneFacesLeftOnItsSide) {
    startMatch(2);
    EXPECT_EQ(plane(1)->posX, 1320.0);
    EXPECT_EQ(plane(1)->posY, 180.0);
    EXPECT_EQ(plane(1)->heading, 192);
    EXPECT_EQ(plane(1)->surface, form().planeChain->getSurf(24));
    EXPECT_EQ(plane(0)->posY, -226.0);
    EXPECT_EQ(plane(0)->heading, 64);
    EXPECT_EQ(rateOf(form().engineLoop[1]), 8704u);
}

TEST_F(PlaneTest, ThirtyTwoFramesOfTurningMakeACircle) {
    startMatch(2);
    hold(DIK_NUMPAD6, 32);
    step(16);
    EXPECT_EQ(plane(1)->heading, 64);
    step(16);
    EXPECT_EQ(plane(1)->heading, 192);
    hold(DIK_A, 1);
    plane(0)->heading = 0;
    step();
    EXPECT_EQ(plane(0)->heading, 248);
}

TEST_F(PlaneTest, EngineRateIsSetBeforeTheSpeedIsClamped) {
    startMatch(2);
    hold(DIK_DOWN, 1);
    step();
    EXPECT_EQ(plane(1)->speed, 1.0);
    EXPECT_EQ(rateOf(form().engineLoop[1]), 7680u);

    plane(0)->speed = 10.0;
    hold(DIK_W, 1);
    step();
    EXPECT_EQ(plane(0)->speed, 10.0);
    EXPECT_EQ(rateOf(form().engineLoop[0]), 14336u);

    hold(DIK_X, 1);  // the second slow-down key
    step();
    EXPECT_EQ(plane(0)->speed, 8.0);
    EXPECT_EQ(rateOf(form().engineLoop[0]), 12288u);
}

TEST_F(PlaneTest, FliesWhereItPointsWithAlternatingPropeller) {
    startMatch(2);
    plane(1)->speed = 4.0;
    plane(1)->heading = 32;
    step();
    EXPECT_DOUBLE_EQ(plane(1)->posX, 1320.0 + 4.0 * dirX[32]);
    EXPECT_DOUBLE_EQ(plane(1)->posY, 180.0 + 4.0 * dirY[32]);
    const int f = (32 + 4) / 8;
    const bool even = engine->frameCounter % 2 == 0;
    Surface* first = plane(1)->surface;
    step();
    Surface* second = plane(1)->surface;
    // The counter went up between the two frames: one of each picture.
    EXPECT_NE(first, second);
    // The second frame ran with the counter read here: even adds 32.
    EXPECT_EQ(even ? first : second, form().planeChain->getSurf(f));
    EXPECT_EQ(even ? second : first, form().planeChain->getSurf(f + 32));
    EXPECT_EQ(Plane::pictureFor(252, 1), 0);
    EXPECT_EQ(Plane::pictureFor(252, 2), 32);
}

TEST_F(PlaneTest, BombStartsWithTheTruncatedSpeed) {
    startMatch(0);
    plane(0)->speed = 7.5;
    plane(0)->heading = 32;
    hold(DIK_LSHIFT, 1);
    step();
    ASSERT_EQ(listSize(match->bombs->children), 1);
    auto* bomb = static_cast<Bomb*>(match->bombs->children.head);
    EXPECT_EQ(bomb->posX, 320.0);
    EXPECT_EQ(bomb->posY, -226.0);
    EXPECT_DOUBLE_EQ(bomb->vx, 7 * dirX[32]);
    EXPECT_DOUBLE_EQ(bomb->vy, 7 * dirY[32]);
    EXPECT_EQ(plane(0)->reload, 80);
    EXPECT_EQ(plane(0)->speed, 7.5);
    step();
    EXPECT_DOUBLE_EQ(bomb->vy, 7 * dirY[32] + 0.25);
    EXPECT_DOUBLE_EQ(bomb->posX, 320.0 + 7 * dirX[32]);
}

TEST_F(PlaneTest, AfternoonFiresBulletsForFifteen) {
    startMatch(2);
    hold(DIK_SPACE, 1);
    step();
    ASSERT_EQ(listSize(match->cannonballs->children), 1);
    auto* bullet = static_cast<Cannonball*>(match->cannonballs->children.head);
    EXPECT_EQ(bullet->kind, Cannonball::kBullet);
    EXPECT_DOUBLE_EQ(bullet->vx, 20 * dirX[192]);
    EXPECT_EQ(plane(1)->reload, 85);
    EXPECT_EQ(match->bombs->children.head, nullptr);
}

TEST_F(PlaneTest, ShotDownPlaneFallsWithSmokeAndScream) {
    startMatch(2);
    plane(1)->health = 20;
    match->cannonballs->children.append(
        new Cannonball(engine, 0, plane(1)->x + 2, plane(1)->y, 0, 0, Cannonball::kShell));
    const int engineListBefore = listSize(engine->children);
    step();
    EXPECT_EQ(plane(1)->health, 0);
    EXPECT_EQ(match->players[0]->points, 1);
    EXPECT_EQ(plane(1)->state, Plane::kFalling);
    // The big burst goes to the engine's own list.
    ASSERT_EQ(listSize(engine->children), engineListBefore + 1);
    auto* burst = static_cast<Explosion*>(engine->children.tail);
    EXPECT_EQ(burst->count, 250);
    // Falling: the scream starts at the file's 11025 Hz and rises 10 a frame.
    EXPECT_EQ(rateOf(form().fallingLoop[1]), 11035u);
    const int heading = plane(1)->heading;
    const int smoke = listSize(match->explosions->children);
    step();
    EXPECT_EQ(rateOf(form().fallingLoop[1]), 11045u);
    EXPECT_EQ(plane(1)->heading, (heading + 8) % 256);
    EXPECT_EQ(listSize(match->explosions->children), smoke + 1);
    EXPECT_EQ(static_cast<Explosion*>(match->explosions->children.tail)->count, 25);

    // A further hit scores nothing and starts nothing.
    match->cannonballs->children.append(
        new Cannonball(engine, 0, plane(1)->x + 2, plane(1)->y, 0, 0, Cannonball::kShell));
    const int engineListNow = listSize(engine->children);
    step();
    EXPECT_EQ(match->players[0]->points, 1);
    EXPECT_EQ(plane(1)->state, Plane::kFalling);
    EXPECT_LE(listSize(engine->children), engineListNow);
}

TEST_F(PlaneTest, SinkingGivesThreePointsAndEndsTheDayPart) {
    startMatch(2);
    plane(0)->posY = 369.5;
    plane(0)->heading = 128;
    step();
    EXPECT_EQ(plane(0)->state, Plane::kSunk);
    EXPECT_EQ(match->players[1]->points, 3);
    EXPECT_TRUE(match->endRequested);
    EXPECT_EQ(match->endCountdown, 35);
    EXPECT_EQ(listSize(match->splashes->children), 1);
    // Sunk: neither moved nor counted again.
    const double y = plane(0)->posY;
    step();
    EXPECT_EQ(plane(0)->posY, y);
    EXPECT_EQ(match->players[1]->points, 3);
}

class BombTest : public WorldFixture {
  protected:
    void SetUp() override {
        WorldFixture::SetUp();
        startMatch(0);
    }
    Bomb* dropAt(int x, int y) {
        auto* bomb = new Bomb(engine, 0, x, y, 0, 0);
        match->bombs->children.append(bomb);
        return bomb;
    }
    Palm* palm(int i) { return match->players[1]->palms[i]; }
};

// A bomb dropped on the right side's palms: which palm it takes, and what
// is left of it. Palms not placed stand where the match put them.
struct BombOnPalms {
    const char* name;
    std::vector<std::array<int, 2>> palmsAt;  // palm i's x and y ({} leaves it)
    int alreadyHit;                           // palm hit before the drop, or -1
    int dropX, dropY;
    std::vector<bool> hitAfter;  // palm i's hit flag after the frame
    int splashes;
};

const BombOnPalms kBombsOnPalms[] = {
    {"DestroysOnlyTheFirstOfTwoPalms", {{1300, 320}, {1300, 320}}, -1, 1300, 320, {true, false}, 0},
    {"HitPalmIsNotHitAgain", {{1300, 320}, {1300, 320}}, 0, 1300, 320, {true, true}, 0},
    {"SplashingBombStillDestroysThePalm",
     {{}, {}, {1250, 380}},
     -1,
     1250,
     370,
     {false, false, true},
     1},
};

class BombOnPalmsTest : public BombTest, public ::testing::WithParamInterface<BombOnPalms> {};

TEST_P(BombOnPalmsTest, ScoresThreePointsForOnePalm) {
    const BombOnPalms& c = GetParam();
    for (size_t i = 0; i < c.palmsAt.size(); ++i) {
        if (c.palmsAt[i] == std::array<int, 2>{}) continue;
        palm(int(i))->x = c.palmsAt[i][0];
        palm(int(i))->y = c.palmsAt[i][1];
    }
    if (c.alreadyHit >= 0) palm(c.alreadyHit)->hit = true;
    dropAt(c.dropX, c.dropY);
    step();
    for (size_t i = 0; i < c.hitAfter.size(); ++i) EXPECT_EQ(palm(int(i))->hit, c.hitAfter[i]) << i;
    EXPECT_EQ(match->players[0]->points, 3);
    EXPECT_EQ(match->bombs->children.head, nullptr);
    EXPECT_EQ(listSize(match->splashes->children), c.splashes);
    auto* burst = static_cast<Explosion*>(match->explosions->children.tail);
    ASSERT_NE(burst, nullptr);
    EXPECT_EQ(burst->count, 200);
}

INSTANTIATE_TEST_SUITE_P(Palms, BombOnPalmsTest, ::testing::ValuesIn(kBombsOnPalms),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BombTest, TurnsItsPictureAlongItsFlight) {
    auto* bomb = new Bomb(engine, 0, 700, -300, 64, 6);
    match->bombs->children.append(bomb);
    step();
    // Velocity (6, 0.25): direction 66, picture (66 + 4) / 8 = 8.
    EXPECT_EQ(bomb->surface, form().bombChain->getSurf(8));
}

TEST_F(BombTest, BurstsOnACannonballWhichFliesOn) {
    dropAt(900, 100);
    auto* ball = new Cannonball(engine, 1, 900, 100, 0, 0, Cannonball::kShell);
    match->cannonballs->children.append(ball);
    step();
    EXPECT_EQ(match->bombs->children.head, nullptr);
    EXPECT_EQ(match->cannonballs->children.head, ball);
    EXPECT_EQ(static_cast<Explosion*>(match->explosions->children.tail)->count, 50);
}

}  // namespace
