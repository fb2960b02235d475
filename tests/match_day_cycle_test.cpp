// The match: day parts and their vehicles, banners, end countdowns, the
// transition, Escape, the view and the hand-over to the end screen.
#include <string>
#include <vector>

#include "game/palm.h"
#include "match_screen_fixture.h"

namespace {

class DayCycleTest : public screen_test::ScreenFixture {
  protected:
    void SetUp() override {
        ScreenFixture::SetUp();
        engine->children.remove(form().menu);
    }

    // As the menu starts a match: the match, then the banner, in the list.
    GameController* begin(int32_t warDays) {
        menu().warDays = warDays;
        form().match = new GameController(engine);
        engine->children.append(form().match);
        engine->children.append(form().messenger);
        return form().match;
    }

    // A plane sinks: the day part ends 35 frames later.
    void endDayPart() {
        form().match->requestDayPartEnd(0, 0);
        step(35);
    }

    bool isPlane(int side) { return dynamic_cast<Plane*>(form().match->vehicles[side]) != nullptr; }
    bool isCannon(int side) {
        return dynamic_cast<Cannon*>(form().match->vehicles[side]) != nullptr;
    }
    const std::string& banner() { return form().messenger->text; }
};

TEST_F(DayCycleTest, DayPartsFollowEachOtherWithTheirVehiclesAndBanners) {
    GameController* game = begin(2);
    EXPECT_EQ(banner(), "morning of day 1");
    EXPECT_EQ(form().messenger->framesLeft, 50);
    EXPECT_TRUE(isPlane(0) && isCannon(1));
    endDayPart();
    EXPECT_EQ(banner(), "noon of day 1");
    EXPECT_TRUE(isCannon(0) && isPlane(1));
    endDayPart();
    EXPECT_EQ(banner(), "afternoon of day 1");
    EXPECT_TRUE(isPlane(0) && isPlane(1));
    endDayPart();
    EXPECT_EQ(banner(), "morning of day 2");
    EXPECT_EQ(game->day, 2);
    EXPECT_EQ(game->dayPart, 0);
    EXPECT_TRUE(listed(game));
}

TEST_F(DayCycleTest, NewWarDayReplantsThePalms) {
    GameController* game = begin(2);
    endDayPart();
    endDayPart();
    game->players[0]->palms[0]->hit = true;
    endDayPart();
    EXPECT_FALSE(game->players[0]->palms[0]->hit);
}

TEST_F(DayCycleTest, LastAfternoonEndsOnTheEndScreenWithoutReplanting) {
    GameController* game = begin(1);
    endDayPart();
    endDayPart();
    game->players[0]->points = 4;
    game->players[1]->points = 9;
    Palm* palm = game->players[1]->palms[0];
    palm->hit = true;
    endDayPart();
    EXPECT_FALSE(listed(game));
    EXPECT_FALSE(listed(form().messenger));
    ASSERT_NE(form().endScreen, nullptr);
    EXPECT_TRUE(listed(form().endScreen));
    EXPECT_EQ(form().endScreen->leftPoints, 4);
    EXPECT_EQ(form().endScreen->rightPoints, 9);
    EXPECT_EQ(game->players[1]->palms[0], palm);
    EXPECT_TRUE(palm->hit);
    EXPECT_EQ(banner(), "afternoon of day 1");
}

TEST_F(DayCycleTest, PalmRequestNeverRestartsACountdownButASinkingPlaneDoes) {
    GameController* game = begin(1);
    game->requestDayPartEnd(1, 1);
    EXPECT_EQ(game->endCountdown, 50);
    step(10);
    EXPECT_EQ(game->endCountdown, 40);
    game->requestDayPartEnd(1, 1);
    EXPECT_EQ(game->endCountdown, 40);
    game->requestDayPartEnd(0, 0);
    EXPECT_EQ(game->endCountdown, 35);
    step(5);
    game->requestDayPartEnd(1, 0);
    EXPECT_EQ(game->endCountdown, 35);
    game->requestDayPartEnd(0, 7);
    EXPECT_EQ(game->endCountdown, 35);
}

TEST_F(DayCycleTest, DefenderWithoutPalmsEndsTheMorningButNotTheAfternoon) {
    GameController* game = begin(1);
    for (int i = 0; i < menu().palmTrees; ++i) game->players[1]->palms[i]->hit = true;
    step();
    EXPECT_EQ(game->endCountdown, 50);
    step(50);
    EXPECT_EQ(banner(), "noon of day 1");
    endDayPart();
    ASSERT_EQ(game->dayPart, 2);
    for (int side = 0; side < 2; ++side) {
        for (int i = 0; i < menu().palmTrees; ++i) game->players[side]->palms[i]->hit = true;
    }
    step(60);
    EXPECT_EQ(game->endCountdown, 0);
    EXPECT_EQ(game->dayPart, 2);
}

TEST_F(DayCycleTest, EscapeEndsTheMatchWithThePointsOfTheMoment) {
    GameController* game = begin(3);
    game->players[0]->points = 7;
    tap(DIK_ESCAPE);
    step();
    EXPECT_FALSE(listed(game));
    ASSERT_NE(form().endScreen, nullptr);
    EXPECT_EQ(form().endScreen->leftPoints, 7);
    EXPECT_EQ(form().endScreen->rightPoints, 0);
}

TEST_F(DayCycleTest, EscapeThatCutsALaterTitleCardShortEndsTheMatch) {
    GameController* game = begin(3);
    int readsInCard = 0;  // pressed for two reads of the noon title card
    system().onKeyRead = [&](int, uint8_t held[256]) {
        if (banner() == "noon of day 1" && readsInCard++ < 2) held[DIK_ESCAPE] = 0x80;
    };
    const uint32_t before = system().nowMs();
    endDayPart();
    EXPECT_FALSE(listed(game));
    EXPECT_TRUE(listed(form().endScreen));
    // Curtain and the 1000 ms wait, but not the whole 2000 ms card.
    EXPECT_LT(system().nowMs() - before, 35 * 38 + 1000 + 1500);
}

TEST_F(DayCycleTest, SpaceOnlyShortensTheTitleCard) {
    GameController* game = begin(3);
    int readsInCard = 0;  // pressed for two reads of the noon title card
    system().onKeyRead = [&](int, uint8_t held[256]) {
        if (banner() == "noon of day 1" && readsInCard++ < 2) held[DIK_SPACE] = 0x80;
    };
    endDayPart();
    system().onKeyRead = nullptr;
    step();
    EXPECT_TRUE(listed(game));
    EXPECT_EQ(game->dayPart, 1);
}

TEST_F(DayCycleTest, ViewFollowsBothVehiclesWithinItsLimits) {
    GameController* game = begin(1);
    Vehicle* plane = game->vehicles[0];
    Vehicle* cannon = game->vehicles[1];
    EXPECT_EQ(engine->viewX, int32_t((plane->posX + cannon->posX) * 0.5 - 320));
    plane->posX = cannon->posX = -30000.0;
    plane->posY = 200.0;
    step();
    EXPECT_EQ(engine->viewX, -6400);
    plane->posX = 800.0;
    plane->posY = -1000.0;
    step();
    EXPECT_EQ(engine->viewY, int32_t((plane->posY + cannon->posY) * 0.5 - 240));
    plane->posY = 330.0;
    cannon->posY = 360.0;
    step();
    EXPECT_EQ(engine->viewY, 0);
}

}  // namespace
