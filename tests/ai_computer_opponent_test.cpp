// The computer opponent: a cannon's aim, power and fire; a plane's targets,
// pull-up and draws.
#include <cstring>

#include "game/side_keys.h"
#include "match_screen_fixture.h"

namespace {

class ComputerCannonTest : public screen_test::ScreenFixture {
  protected:
    void SetUp() override {
        ScreenFixture::SetUp();
        engine->children.remove(form().menu);
        startMatch(0);  // left plane against the right cannon
        plane = match->vehicles[0];
        cannon = match->vehicles[1];
        clearComputerKeys();
    }

    bool pressed(int code) const { return engine->input->keys[code] == 255; }

    Vehicle* plane = nullptr;
    Vehicle* cannon = nullptr;
    const SideKeys& keys = sideKeys(1);
};

TEST_F(ComputerCannonTest, RaisesPowerToTwentyWithinFortyFramesAndHoldsIt) {
    match->players[1]->computer = true;
    step();  // a new cannon's power of 1.0 becomes 10.0
    EXPECT_DOUBLE_EQ(cannon->speed, 10.0);
    step(12);
    EXPECT_LT(cannon->speed, 20.0);  // one unit every fourth frame, not at once
    step(28);
    EXPECT_DOUBLE_EQ(cannon->speed, 20.0);
    step(40);
    EXPECT_DOUBLE_EQ(cannon->speed, 20.0);
}

TEST_F(ComputerCannonTest, HoldsItsAimWithinThreeSteps) {
    plane->posX = 1500.0;  // up and to the right of the cannon at (1320, 340)
    plane->posY = 100.0;
    cannon->speed = 15.0;
    cannon->think();
    const int32_t aim = cannon->aimHeading;
    ASSERT_GT(aim, 8);
    ASSERT_LT(aim, 60);

    for (int32_t offset : {-3, 0, 3}) {
        clearComputerKeys();
        cannon->heading = aim + offset;
        cannon->think();
        EXPECT_FALSE(pressed(keys.left[0])) << offset;
        EXPECT_FALSE(pressed(keys.right[0])) << offset;
    }
    clearComputerKeys();
    cannon->heading = aim + 4;
    cannon->think();
    EXPECT_TRUE(pressed(keys.left[0]));
    EXPECT_FALSE(pressed(keys.right[0]));
    clearComputerKeys();
    cannon->heading = aim - 4;
    cannon->think();
    EXPECT_TRUE(pressed(keys.right[0]));
}

TEST_F(ComputerCannonTest, AimUnwrapsAcrossStraightUp) {
    plane->posX = 1200.0;  // up and to the left, flying left: an aim in the 200s
    plane->posY = 0.0;
    plane->heading = 192;
    cannon->speed = 15.0;
    cannon->heading = 10;
    cannon->think();
    EXPECT_LT(cannon->aimHeading, 0);  // turned to the left across 0, not round the bottom
    EXPECT_TRUE(pressed(keys.left[0]));
}

TEST_F(ComputerCannonTest, PressesNothingWhenTheEnemyPlaneHasSunk) {
    plane->state = 2;
    const uint64_t before = form().random.state();
    engine->frameCounter = 0;  // a power frame
    cannon->think();
    for (int code = 0; code < 256; ++code) EXPECT_EQ(engine->input->keys[code], 0) << code;
    EXPECT_EQ(form().random.state(), before);
}

TEST_F(ComputerCannonTest, AnswersAFiringEnemyAboutOneFrameInThree) {
    auto countFire = [&](bool enemyFiring) {
        int fired = 0;
        for (int i = 0; i < 600; ++i) {
            clearComputerKeys();
            if (enemyFiring) engine->input->keys[sideKeys(0).fire] = 0x80;
            cannon->think();
            fired += pressed(keys.fire) ? 1 : 0;
        }
        return fired;
    };
    const int answering = countFire(true);
    const int calm = countFire(false);
    EXPECT_GT(answering, 150);
    EXPECT_LT(answering, 250);
    EXPECT_GT(calm, 10);
    EXPECT_LT(calm, 60);
}

class ComputerPlaneTest : public ComputerCannonTest {
  protected:
    // Attacking at y = 300 with the given heading, due to think.
    void attackAt(int32_t heading) {
        plane->posY = 300.0;
        plane->heading = heading;
        plane->speed = 10.0;
        plane->thinkTimer = 50;
        plane->attacking = true;
        plane->think();
    }
    const SideKeys& ownKeys = sideKeys(0);
};

TEST_F(ComputerPlaneTest, PullsUpWhenHeadingDownNearTheSea) {
    attackAt(128);
    EXPECT_FALSE(plane->attacking);
    EXPECT_LE(plane->targetY, 120);
    EXPECT_GE(plane->targetY, -379);
    EXPECT_TRUE(pressed(ownKeys.left[0]) || pressed(ownKeys.right[0]));
}

TEST_F(ComputerPlaneTest, LevelFlightAtTheSameHeightKeepsAttacking) {
    attackAt(64);
    EXPECT_TRUE(plane->attacking);
    EXPECT_EQ(plane->targetX, 1320);  // the enemy cannon itself
    EXPECT_EQ(plane->targetY, 340);
}

TEST_F(ComputerPlaneTest, PullsUpWhenTheEnemyHasSunk) {
    Plane* enemy = replaceVehicle(1, new Plane(engine, 1));
    enemy->state = 2;
    plane->posY = 0.0;
    plane->thinkTimer = 50;
    plane->think();
    EXPECT_FALSE(plane->attacking);
    EXPECT_LE(plane->targetY, 120);
}

TEST_F(ComputerPlaneTest, NewPlaneRoamsToAPointNearTheCannonFirst) {
    Plane* fresh = replaceVehicle(0, new Plane(engine, 0));
    fresh->posY = 100.0;  // level and high: no pull-up
    Random expected = form().random;
    fresh->think();
    EXPECT_FALSE(fresh->attacking);
    EXPECT_GE(fresh->targetX, 1320 - 500);
    EXPECT_LT(fresh->targetX, 1320 + 500);
    EXPECT_GE(fresh->targetY, 340 - 500);
    EXPECT_LT(fresh->targetY, 340 + 500);
    EXPECT_GE(fresh->thinkTimer, 20);
    EXPECT_LT(fresh->thinkTimer, 120);
    // Target x, target y, then the timer.
    EXPECT_EQ(fresh->targetX, expected.next() % 1000 + 1320 - 500);
    EXPECT_EQ(fresh->targetY, expected.next() % 1000 + 340 - 500);
    EXPECT_EQ(fresh->thinkTimer, expected.next() % 100 + 20);
}

TEST_F(ComputerPlaneTest, ComingWithinFiftyPixelsSwitchesToRoamingNextFrame) {
    plane->posX = 1300.0;
    plane->posY = 320.0;
    plane->heading = 64;
    plane->speed = 1.0;
    plane->thinkTimer = 50;
    plane->attacking = true;
    plane->think();
    EXPECT_EQ(plane->thinkTimer, 0);
    clearComputerKeys();
    plane->think();
    EXPECT_FALSE(plane->attacking);
    EXPECT_GE(plane->thinkTimer, 20);
}

}  // namespace
