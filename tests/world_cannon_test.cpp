#include <gtest/gtest.h>

#include <vector>

#include "engine/directions.h"
#include "engine/surface_chain.h"
#include "game/cannonball.h"
#include "game/explosion.h"
#include "support/match_fixture.h"

namespace {

using world_test::frameColour;
using world_test::WorldFixture;

int listSize(const ZefListOwner* list) {
    return world_test::listSize(list->children);
}

// The morning: the right side's cannon (numeric pad keys, Space fires)
// against the left plane.
class CannonTest : public WorldFixture {
  protected:
    Cannon* cannon() { return static_cast<Cannon*>(match->vehicles[1]); }
    void SetUp() override {
        WorldFixture::SetUp();
        startMatch(0);
    }
};

TEST_F(CannonTest, StandsOnItsIslandPointingUp) {
    EXPECT_EQ(cannon()->posX, 1320.0);
    EXPECT_EQ(cannon()->posY, 340.0);
    EXPECT_EQ(cannon()->heading, 0);
    EXPECT_EQ(cannon()->surface, form().cannonChain->getSurf(16));
}

TEST_F(CannonTest, FirstFrameRaisesPowerToTen) {
    EXPECT_EQ(cannon()->speed, 1.0);
    step();
    EXPECT_EQ(cannon()->speed, 10.0);
}

TEST_F(CannonTest, PowerStaysBetweenTenAndTwenty) {
    hold(DIK_NUMPAD8, 15);
    step(15);
    EXPECT_EQ(cannon()->speed, 20.0);
    hold(DIK_DOWN, 3);
    step(3);
    EXPECT_EQ(cannon()->speed, 17.0);
    hold(DIK_NUMPAD2, 20);
    step(20);
    EXPECT_EQ(cannon()->speed, 10.0);
}

TEST_F(CannonTest, TurningLimits) {
    hold(DIK_NUMPAD4, 1);
    step();
    EXPECT_EQ(cannon()->heading, 252);

    cannon()->heading = 64;
    hold(DIK_RIGHT, 1);
    step();
    EXPECT_EQ(cannon()->heading, 64);  // 68 is below the horizon

    cannon()->heading = 192;
    hold(DIK_LEFT, 1);
    step();
    EXPECT_EQ(cannon()->heading, 192);

    // Both turn keys held: no change.
    cannon()->heading = 20;
    hold(DIK_NUMPAD4, 1);
    hold(DIK_NUMPAD6, 1);
    step();
    EXPECT_EQ(cannon()->heading, 20);
}

TEST_F(CannonTest, PictureFollowsTheHeading) {
    EXPECT_EQ(Cannon::pictureFor(0), 16);
    EXPECT_EQ(Cannon::pictureFor(64), 32);
    EXPECT_EQ(Cannon::pictureFor(192), 0);
    EXPECT_EQ(Cannon::pictureFor(252), 15);
    // (190 + 2) / 4 = 48, past the last picture, wraps to 15.
    EXPECT_EQ(Cannon::pictureFor(126), 15);
    cannon()->heading = 32;
    step();
    EXPECT_EQ(cannon()->surface, form().cannonChain->getSurf(24));
}

TEST_F(CannonTest, BurstFromAFullGaugeThenOneShotPerTenFrames) {
    std::vector<int> shots;
    for (int frame = 1; frame <= 60; ++frame) {
        // A new press every other frame.
        if (frame % 2 == 1) hold(DIK_SPACE, 1);
        const int before = cannon()->reload;
        step();
        if (cannon()->reload < before) shots.push_back(frame);
    }
    const std::vector<int> expected = {1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 21, 23, 31, 41, 51};
    EXPECT_EQ(shots, expected);
}

TEST_F(CannonTest, HeldFireShootsOnce) {
    hold(DIK_SPACE, 10);
    step(10);
    EXPECT_EQ(listSize(match->cannonballs), 1);
    EXPECT_EQ(cannon()->reload, 99);
}

TEST_F(CannonTest, ShotLeavesTheMuzzleWithFlash) {
    step();  // power 10
    cannon()->heading = 32;
    hold(DIK_SPACE, 1);
    step();
    ASSERT_EQ(listSize(match->cannonballs), 1);
    auto* ball = static_cast<Cannonball*>(match->cannonballs->children.head);
    EXPECT_EQ(ball->kind, Cannonball::kShell);
    EXPECT_EQ(ball->side, 1);
    EXPECT_EQ(ball->posX, double(int(1320 + dirX[32] * 35.0)));
    EXPECT_EQ(ball->posY, double(int(350 + dirY[32] * 35.0)));
    EXPECT_DOUBLE_EQ(ball->vx, 10 * dirX[32]);
    EXPECT_EQ(ball->surface, form().cannonballChain->getSurf(0));
    // The muzzle flash: 25 sparks without gravity.
    auto* flash = static_cast<Explosion*>(match->explosions->children.tail);
    ASSERT_NE(flash, nullptr);
    EXPECT_EQ(flash->count, 25);
    EXPECT_FALSE(flash->gravity);
}

// Straight up at power 20 from (1320, 315): the shell climbs to about
// y = -475 and is in the sea at the 162nd frame of its flight.
// In the sea means below 370.0: a shell exactly on the line flies on.
TEST_F(CannonTest, ShellExactlyOnTheSeaLineSplashesOnlyBelowIt) {
    auto* ball = new Cannonball(engine, 0, 800, 360, 0, 0, Cannonball::kShell);
    ball->vx = 0.0;
    ball->vy = 9.75;  // gravity makes it 10: the next step lands on 370.0
    match->cannonballs->children.append(ball);
    step();
    ASSERT_EQ(listSize(match->cannonballs), 1);
    EXPECT_EQ(ball->posY, 370.0);
    EXPECT_EQ(listSize(match->splashes), 0);
    step();
    EXPECT_EQ(listSize(match->cannonballs), 0);
    EXPECT_EQ(listSize(match->splashes), 1);
}

TEST_F(CannonTest, ShellStraightUpFallsBackAndSplashes) {
    hold(DIK_NUMPAD8, 12);
    step(12);
    ASSERT_EQ(cannon()->speed, 20.0);
    hold(DIK_SPACE, 1);
    step();
    auto* ball = static_cast<Cannonball*>(match->cannonballs->children.head);
    ASSERT_NE(ball, nullptr);
    EXPECT_EQ(ball->posY, 315.0);
    double highest = ball->posY;
    int frames = 0;
    while (match->cannonballs->children.head != nullptr && frames < 400) {
        const double y = ball->posY;
        step();
        ++frames;
        if (match->cannonballs->children.head != nullptr) {
            EXPECT_LE(ball->posY, 370.0);
            if (ball->posY < highest) highest = ball->posY;
        } else {
            EXPECT_LE(y, 370.0);
        }
    }
    EXPECT_EQ(frames, 162);
    EXPECT_NEAR(highest, -475.0, 1.0);
    ASSERT_EQ(listSize(match->splashes), 1);
    auto* splash = static_cast<Sprite*>(match->splashes->children.head);
    EXPECT_EQ(splash->x, 1320);
    EXPECT_EQ(splash->y, 375);
}

// One of the right side's shots, on its own for a frame: what it hits.
struct ShotCase {
    const char* name;
    bool atPlane;  // placed just ahead of the plane (moved to y = 100), else at x, y
    int x, y, heading, speed, kind;
    int planeHealth, cannonHealth, points, shotsLeft;
    int burst;  // the new explosion's sparks, 0: none
};

const ShotCase kShots[] = {
    {"ShellHitsThePlaneForAPoint", true, 0, 100, 0, 0, Cannonball::kShell, 80, 100, 1, 0, 100},
    {"OwnSideIsNeverHit", false, 1320, 340, 0, 0, Cannonball::kShell, 100, 100, 0, 1, 0},
    {"BulletOffScreenVanishes", false, 5000, 100, 64, 20, Cannonball::kBullet, 100, 100, 0, 0, 0},
};

class ShotTest : public CannonTest, public ::testing::WithParamInterface<ShotCase> {};

TEST_P(ShotTest, HitsOnlyTheOtherSide) {
    const ShotCase& c = GetParam();
    Plane* plane = static_cast<Plane*>(match->vehicles[0]);
    int x = c.x;
    if (c.atPlane) {
        plane->posY = 100.0;
        plane->y = 100;  // collisions read the sprite's position
        x = int(plane->posX) + 1;
    }
    engine->viewX = 0;
    const ZefBase* lastBurst = match->explosions->children.tail;
    match->cannonballs->children.append(
        new Cannonball(engine, 1, x, c.y, c.heading, c.speed, c.kind));
    step();
    EXPECT_EQ(plane->health, c.planeHealth);
    EXPECT_EQ(cannon()->health, c.cannonHealth);
    EXPECT_EQ(match->players[1]->points, c.points);
    EXPECT_EQ(listSize(match->cannonballs), c.shotsLeft);
    EXPECT_EQ(listSize(match->splashes), 0);
    auto* burst = static_cast<Explosion*>(match->explosions->children.tail);
    if (c.burst == 0) {
        EXPECT_EQ(burst, lastBurst);
    } else {
        ASSERT_NE(burst, lastBurst);
        EXPECT_EQ(burst->count, c.burst);
        EXPECT_TRUE(burst->gravity);
    }
}

INSTANTIATE_TEST_SUITE_P(Shots, ShotTest, ::testing::ValuesIn(kShots),
                         [](const auto& info) { return std::string(info.param.name); });

class VehicleDamageTest : public WorldFixture {};

TEST_F(VehicleDamageTest, HitAtZeroHealthScoresNothing) {
    startMatch(0);
    Vehicle* cannon = match->vehicles[1];
    cannon->health = 30;
    cannon->takeDamage(20);
    cannon->takeDamage(20);
    EXPECT_EQ(cannon->health, 0);
    cannon->takeDamage(20);
    EXPECT_EQ(match->players[0]->points, 2);
    EXPECT_EQ(cannon->health, 0);
}

class StatusPanelTest : public WorldFixture {};

TEST_F(StatusPanelTest, RightPanelIconsAndGauges) {
    startMatch(0);
    match->vehicles[1]->health = 50;
    step();
    EXPECT_EQ(screenPixel(635, 10), pixelOf(frameColour(0)));
    EXPECT_EQ(screenPixel(635, 25), pixelOf(frameColour(1)));
    const uint16_t gradient = pixelOf(0x000040);
    EXPECT_EQ(screenPixel(525, 9), gradient);
    EXPECT_EQ(screenPixel(574, 9), gradient);
    EXPECT_NE(screenPixel(576, 9), gradient);   // health 50: half a bar
    EXPECT_EQ(screenPixel(624, 24), gradient);  // reload full
    // Left panel: icons at x = 5.
    EXPECT_EQ(screenPixel(5, 10), pixelOf(frameColour(0)));
}

TEST_F(StatusPanelTest, OffScreenVehicleShowsItsInsetAtHalfSize) {
    startMatch(0);
    step();
    // Far below the view: the left plane is off screen.
    Plane* plane = static_cast<Plane*>(match->vehicles[0]);
    plane->posY = -3000.0;
    plane->speed = 1.0;
    step();
    ASSERT_FALSE(plane->isOnScreen());
    // The plane picture (30 by 14) at half size: its unscaled hotspot (15, 7)
    // lands on (46, 60), so the 15 by 7 picture ends there.
    const uint16_t planePixel = plane->surface->ddSurface->getPixel(0, 0);
    EXPECT_EQ(screenPixel(31, 53), planePixel);
    EXPECT_EQ(screenPixel(45, 59), planePixel);
    EXPECT_NE(screenPixel(46, 59), planePixel);
    EXPECT_NE(screenPixel(45, 60), planePixel);
    EXPECT_NE(screenPixel(30, 53), planePixel);
}

}  // namespace
