// The computer's strengths: chosen per side in the menu and taken by the
// match; each plays the same match again from the same seed. (Strength 3
// being the old opponent is pinned by the golden runs.)
#include "game/computer_strength.h"

#include <string>

#include "longrun_harness.h"
#include "match_runner.h"
#include "match_screen_fixture.h"
#include "options.h"

namespace {

class StrengthMenuTest : public screen_test::ScreenFixture {
  protected:
    void tapFrame(int code) {
        tap(code);
        step(2);
    }
};

TEST_F(StrengthMenuTest, DigitsSetAComputerSidesStrengthAndTheMatchPlaysIt) {
    EXPECT_EQ(menu().strength[0], kUsualStrength);
    tapFrame(DIK_5);  // row 0: the left player, the computer
    EXPECT_EQ(menu().strength[0], 5);
    tapFrame(DIK_DOWN);
    tapFrame(DIK_1);  // the right player is human: no strength to set
    EXPECT_EQ(menu().strength[1], kUsualStrength);
    tapFrame(DIK_RIGHT);
    tapFrame(DIK_1);
    EXPECT_EQ(menu().strength[1], 1);
    tapFrame(DIK_DOWN);
    tapFrame(DIK_4);  // war days: nothing
    EXPECT_EQ(menu().strength[0], 5);
    EXPECT_EQ(menu().strength[1], 1);
    EXPECT_EQ(menu().warDays, 5);

    for (int i = 0; i < 2; ++i) tapFrame(DIK_DOWN);
    tapFrame(DIK_RETURN);
    ASSERT_NE(form().match, nullptr);
    EXPECT_EQ(form().match->players[0]->strength, 5);
    EXPECT_EQ(form().match->players[1]->strength, 1);
    EXPECT_EQ(&skillOf(*form().match->vehicles[0]), &skillOf(5));
    EXPECT_EQ(&skillOf(*form().match->vehicles[1]), &skillOf(1));
}

class StrengthMatchTest : public kit::InBuildDir {};

// Whole one-day matches from seed 77, as `kestova-tournament --matches 1
// --seed 77 --pair L,R` plays them. The outcomes are data: a change to how a
// strength plays changes them on purpose, and then they are taken anew.
TEST_F(StrengthMatchTest, EachStrengthPlaysTheSameMatchFromTheSameSeed) {
    const struct {
        int32_t strength[2];
        int32_t points[2];
        int32_t palms[2];
    } rows[] = {
        {{1, 3}, {3, 25}, {1, 3}}, {{2, 3}, {3, 25}, {0, 3}}, {{4, 3}, {22, 8}, {2, 0}},
        {{5, 3}, {25, 5}, {3, 1}}, {{3, 1}, {20, 5}, {3, 0}},
    };
    for (const auto& row : rows) {
        const MatchResult first = playMatch(77, row.strength, MatchSettings());
        const MatchResult again = playMatch(77, row.strength, MatchSettings());
        const std::string which =
            std::to_string(row.strength[0]) + " vs " + std::to_string(row.strength[1]);
        EXPECT_EQ(again.digest, first.digest) << which;
        EXPECT_EQ(again.frames, first.frames) << which;
        for (int side = 0; side < 2; ++side) {
            EXPECT_EQ(first.points[side], row.points[side]) << which << ", side " << side;
            EXPECT_EQ(first.palms[side], row.palms[side]) << which << ", side " << side;
        }
    }
}

TEST(TournamentOptionsTest, BadOptionsAreNamed) {
    const struct {
        std::vector<const char*> args;
        const char* error;
    } rows[] = {
        {{"--matches", "0"}, "--matches takes a whole number from 1 to 100000"},
        {{"--matches"}, "--matches takes a whole number from 1 to 100000"},
        {{"--palms", "11"}, "--palms takes a whole number from 1 to 10"},
        {{"--days", "2x"}, "--days takes a whole number from 1 to 100000"},
        {{"--seed", "-1"}, "--seed takes a whole number of at least 0"},
        {{"--pair", "3,3"}, "--pair takes two different strengths from 1 to 5, as in 4,3"},
        {{"--pair", "6,1"}, "--pair takes two different strengths from 1 to 5, as in 4,3"},
        {{"--fast"}, "unknown option --fast"},
    };
    for (const auto& row : rows) {
        std::vector<char*> argv = {const_cast<char*>("kestova-tournament")};
        for (const char* a : row.args) argv.push_back(const_cast<char*>(a));
        TournamentOptions options;
        std::string error;
        EXPECT_FALSE(parseOptions(int(argv.size()), argv.data(), options, error)) << row.error;
        EXPECT_EQ(error, row.error);
    }
    TournamentOptions options;
    char* argv[] = {const_cast<char*>("t"), const_cast<char*>("--pair"), const_cast<char*>("4,2")};
    std::string error;
    ASSERT_TRUE(parseOptions(3, argv, options, error)) << error;
    ASSERT_EQ(options.pairs.size(), 1u);
    EXPECT_EQ(options.pairs[0], std::make_pair(4, 2));
    char* none[] = {const_cast<char*>("t")};
    ASSERT_TRUE(parseOptions(1, none, options = TournamentOptions(), error));
    EXPECT_EQ(options.pairs.size(), 10u);
}

}  // namespace
