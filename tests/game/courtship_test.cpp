// Whole games, from the title screen to each of the three outcomes and back.
#include "tests/game/game_fixture.h"

#include <fstream>

#include "sound/recording_engine.h"

namespace {

using Sounds = std::vector<std::string>;

int CountVisibleHearts()
{
    int n = 0;
    for (const FallingHeart& heart : game.hearts)
        n += heart.sprite.visible;
    return n;
}

} // namespace

TEST_F(GameRules, WalkingStraightAtHerChasesHerAwayAndTheTitleReturns)
{
    EXPECT_EQ(Hold(kSpace), Sounds{"beep"});
    EXPECT_TRUE(game.playing);
    EXPECT_EQ(Hold(kRight, 29), Sounds{});
    EXPECT_FALSE(game.chasedAway);
    EXPECT_EQ(Hold(kRight), Sounds{"runaway"});
    EXPECT_TRUE(game.chasedAway);
    EXPECT_EQ(game.fear, 4000);
    EXPECT_EQ(game.male.x, 46);

    // She walks right off the screen while he can no longer move.
    Hold(kRight, 60);
    EXPECT_EQ(game.outcomeTicks, 60);
    EXPECT_EQ(game.male.x, 46);
    EXPECT_EQ(game.female.x, 204);
    EXPECT_FLOAT_EQ(game.overlay.alpha, 0.0f);

    // Fifty additions of 0.02 end just below 1; the 51st is clamped.
    Hold(kNoKeys, 50);
    EXPECT_LT(game.overlay.alpha, 1.0f);
    EXPECT_GT(game.overlay.alpha, 0.99f);
    EXPECT_EQ(game.messageTicks, 0);
    Hold(kNoKeys);
    EXPECT_EQ(game.overlay.alpha, 1.0f);
    EXPECT_EQ(game.overlay.red, 0.0f);
    EXPECT_EQ(game.messageTicks, 0);

    Hold(kNoKeys, 240);
    EXPECT_EQ(game.messageTicks, 240);
    EXPECT_TRUE(game.playing);
    EXPECT_EQ(Hold(kNoKeys), Sounds{});
    EXPECT_FALSE(game.playing);

    // The title waits for a press; a new game starts from scratch.
    Hold(kNoKeys, 10);
    EXPECT_FALSE(game.playing);
    EXPECT_EQ(Hold(kSpace), Sounds{"beep"});
    EXPECT_TRUE(game.playing);
    EXPECT_FALSE(game.chasedAway);
    EXPECT_EQ(game.fear, 1000);
    EXPECT_EQ(game.female.x, 144);
    EXPECT_EQ(game.overlay.alpha, 0.0f);
}

TEST_F(GameRules, ComingCloseWithoutEnoughExcitementGetsHimKilled)
{
    StartGame();
    CourtUntil(7000, false, 5000);
    ASSERT_TRUE(game.killed);
    EXPECT_LT(game.excitement, 8000);
    EXPECT_LT(game.female.x - game.male.x, 32);
    EXPECT_FALSE(game.male.dead);

    // She closes in one pixel a tick; within 8 pixels she bites.
    int approach = 0;
    Sounds sounds;
    while (!game.male.dead && approach < 40) {
        sounds = Hold(kNoKeys);
        approach += 1;
    }
    ASSERT_TRUE(game.male.dead);
    EXPECT_EQ(sounds, Sounds{"death"});
    EXPECT_LE(game.female.x - game.male.x, 8);
    EXPECT_EQ(game.overlay.alpha, 1.0f);
    EXPECT_EQ(game.overlay.green, 1.0f);

    // The white flash fades to nothing in 20 ticks, then the red fade runs.
    Hold(kNoKeys, 19);
    EXPECT_GT(game.overlay.alpha, 0.0f);
    EXPECT_EQ(game.outcomeTicks, 0);
    Hold(kNoKeys);
    EXPECT_EQ(game.overlay.alpha, 0.0f);
    EXPECT_EQ(game.outcomeTicks, 20);
    Hold(kNoKeys, 51);
    EXPECT_EQ(game.overlay.alpha, 1.0f);
    EXPECT_EQ(game.overlay.red, 1.0f);
    EXPECT_EQ(game.overlay.green, 0.0f);
    EXPECT_EQ(game.messageTicks, 0);

    // He stays where he died, and she stops where he is.
    EXPECT_TRUE(game.male.dead);
    EXPECT_EQ(game.female.x, game.male.x);

    Hold(kNoKeys, 241);
    EXPECT_FALSE(game.playing);
}

TEST_F(GameRules, EnoughExcitementEndsInMatingUnderAHeartRain)
{
    StartGame();
    CourtUntil(9000, true, 5000);
    ASSERT_TRUE(game.mating);
    EXPECT_GE(game.excitement, 8000);
    EXPECT_EQ(soundLog.back(), "love");
    ASSERT_NE(game.loveVoice, nullptr);
    EXPECT_EQ(game.messageTicks, 0);

    Hold(kNoKeys);
    EXPECT_EQ(game.messageTicks, 240);
    EXPECT_TRUE(game.bigHeart.visible);
    EXPECT_EQ(CountVisibleHearts(), 128);
    for (const FallingHeart& heart : game.hearts) {
        EXPECT_GE(heart.sprite.x, 0);
        EXPECT_LT(heart.sprite.x, 160);
        EXPECT_GE(heart.sprite.y, 136);
        EXPECT_LE(heart.sprite.y, 255);
        EXPECT_GE(heart.fallPeriod, 3);
        EXPECT_LE(heart.fallPeriod, 5);
        EXPECT_EQ(heart.fallTicks, 0);
    }

    // Each heart falls one pixel every fallPeriod ticks.
    int32_t startY = game.hearts[0].sprite.y;
    int32_t period = game.hearts[0].fallPeriod;
    Hold(kNoKeys, period * 4);
    EXPECT_EQ(game.hearts[0].sprite.y, startY - 4);

    // The rain never ends by itself; hearts come back above the screen.
    int wrapped = 0;
    for (int t = 0; t < 2000; ++t) {
        int32_t before = game.hearts[5].sprite.y;
        Hold(kNoKeys);
        wrapped += game.hearts[5].sprite.y > before;
        for (const FallingHeart& heart : game.hearts)
            ASSERT_GE(heart.sprite.y, -16);
    }
    EXPECT_GE(wrapped, 1);
    EXPECT_TRUE(game.playing);
    EXPECT_TRUE(game.mating);
    EXPECT_EQ(game.bigHeart.x, (game.female.x + game.male.x) / 2);
    EXPECT_EQ(game.bigHeart.y, 32);
    EXPECT_EQ(game.female.x, game.male.x);

    // A fresh press dismisses it and stops the love sound; that press does
    // not also start a new game.
    EXPECT_EQ(Hold(kSpace), Sounds{"stop:Data/love.ogg"});
    EXPECT_FALSE(game.playing);
    EXPECT_EQ(game.loveVoice, nullptr);
    EXPECT_EQ(soundRecorder.liveVoices, 0);
    EXPECT_EQ(Hold(kSpace, 30), Sounds{});
    EXPECT_FALSE(game.playing);
    Hold(kNoKeys);
    EXPECT_EQ(Hold(kSpace), Sounds{"beep"});
    EXPECT_TRUE(game.playing);
    EXPECT_FALSE(game.mating);
}

TEST_F(GameRules, SpaceHeldThroughAnOutcomeMustBePressedAgainToDismiss)
{
    StartGame();
    Hold(kRight, 30);
    ASSERT_TRUE(game.chasedAway);
    // Held during the walk-off and fade: it only latches.
    Hold(kSpace, 111);
    EXPECT_EQ(game.messageTicks, 0);
    Hold(kSpace, 20);
    EXPECT_TRUE(game.playing);
    EXPECT_GT(game.messageTicks, 0);
    Hold(kNoKeys);
    Hold(kSpace);
    EXPECT_FALSE(game.playing);
    EXPECT_TRUE(game.spaceLatched);
}

TEST_F(GameRules, OneTickDecidesOneOutcome)
{
    // Standing still within reach of her with Fear and Excitement both high:
    // the chase wins and no love sound is ever started.
    StartGame();
    game.male.x = 112;
    game.fear = 9000;
    game.excitement = 8500;
    Sounds sounds = Hold(kRight);
    EXPECT_TRUE(game.chasedAway);
    EXPECT_FALSE(game.mating);
    EXPECT_FALSE(game.killed);
    EXPECT_EQ(sounds, Sounds{"runaway"});
    Hold(kNoKeys, 60 + 51 + 241);
    EXPECT_FALSE(game.playing);
    EXPECT_EQ(soundRecorder.liveVoices, 0);
}

static std::string KeyScript(const std::vector<HeldKeys>& keys)
{
    std::string script;
    size_t i = 0;
    while (i < keys.size()) {
        size_t j = i;
        auto same = [&](const HeldKeys& a, const HeldKeys& b) {
            return a.left == b.left && a.right == b.right && a.space == b.space;
        };
        while (j < keys.size() && same(keys[j], keys[i]))
            ++j;
        std::string letters = std::string(keys[i].left ? "L" : "") + (keys[i].right ? "R" : "") +
                              (keys[i].space ? "S" : "");
        script += std::to_string(j - i) + " " + (letters.empty() ? "-" : letters) + "\n";
        i = j;
    }
    return script;
}

// Writes the key scripts the replay tool's tests run; kept disabled, run it
// by hand with --gtest_also_run_disabled_tests after changing the rules.
TEST_F(GameRules, DISABLED_WriteReplayScripts)
{
    StartGame();
    CourtUntil(7000, false, 5000);
    Hold(kNoKeys, 400);
    std::ofstream("killed.txt") << "# courts her, then walks up without waving: she bites\n" << KeyScript(keyLog);
    keyLog.clear();
    ResetGameState();
    StartGame();
    CourtUntil(9000, true, 5000);
    Hold(kNoKeys, 300);
    Hold(kSpace, 1);
    std::ofstream("mating.txt") << "# courts her with waves all the way: they mate until space\n" << KeyScript(keyLog);
    system("cp killed.txt mating.txt /tmp/");
}
