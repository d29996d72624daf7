// The rules of one tick: keys, meters, the female's waves and the random
// generator.
#include "tests/game/game_fixture.h"

#include "app/diagnostics.h"
#include "sound/recording_engine.h"
#include "tests/support/test_platform.h"

namespace {

using Sounds = std::vector<std::string>;

// Leaves her idle with nothing to follow up, the window closed.
void Calm()
{
    game.waveTicks = 0;
    game.answerDelay = 0;
    game.responseWindow = 0;
    game.female.legRaised = false;
}

} // namespace

TEST_F(GameRules, RandomGeneratorRepeatsTheSameSequenceEveryRun)
{
    // state = state * 214013 + 2531011, bits 16 to 30, from state 1.
    EXPECT_EQ(NextRandom(), 41);
    EXPECT_EQ(NextRandom(), 18467);
    EXPECT_EQ(NextRandom(), 6334);
    EXPECT_EQ(NextRandom(), 26500);
    for (int i = 0; i < 100000; ++i) {
        int32_t r = NextRandom();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 32767);
    }
    ResetGameState();
    EXPECT_EQ(NextRandom(), 41);
}

TEST_F(GameRules, TitleScreenWaitsForSpaceAndThePressDoesNotWave)
{
    EXPECT_EQ(Hold(kRight, 10), Sounds{});
    EXPECT_FALSE(game.playing);
    EXPECT_EQ(game.fear, 1000);
    EXPECT_EQ(Hold(kSpace), Sounds{"beep"});
    EXPECT_TRUE(game.playing);
    EXPECT_FALSE(game.male.legRaised);
    EXPECT_EQ(game.male.x, 16);
    EXPECT_FALSE(game.male.flipped);
    EXPECT_EQ(game.female.x, 144);
    EXPECT_TRUE(game.female.flipped);
    // Still held: the leg stays down until space is released and pressed.
    Hold(kSpace, 5);
    EXPECT_FALSE(game.male.legRaised);
    Hold(kNoKeys);
    Hold(kSpace);
    EXPECT_TRUE(game.male.legRaised);
}

TEST_F(GameRules, SpaceHeldReportsOnlyAnUnlatchedPress)
{
    SetKey(kKeySpace, true);
    game.spaceLatched = false;
    EXPECT_TRUE(SpaceHeld());
    game.spaceLatched = true;
    EXPECT_FALSE(SpaceHeld());
    SetKey(kKeySpace, false);
    game.spaceLatched = false;
    EXPECT_FALSE(SpaceHeld());
    game.spaceLatched = true;
    Hold(kNoKeys); // releasing space clears the latch
    EXPECT_FALSE(game.spaceLatched);
}

TEST_F(GameRules, ArrowsMoveHimOnePixelATickWithinBounds)
{
    StartGame();
    Hold({true, true, false}, 5); // both arrows: no move
    EXPECT_EQ(game.male.x, 16);
    EXPECT_FALSE(game.male.flipped);
    int32_t excitement = game.excitement = 3000;
    Hold(kLeft, 3); // pushing against the left bound: dx is 0, no loss
    EXPECT_EQ(game.male.x, 16);
    EXPECT_TRUE(game.male.flipped);
    EXPECT_TRUE(game.male.walking);
    EXPECT_EQ(game.excitement, excitement - 3 * 2);
    Hold({true, true, false});
    EXPECT_TRUE(game.male.flipped); // keeps facing the way he last moved
    Hold(kRight, 200);
    // Fear chased her away long before, and then he could not move.
    EXPECT_TRUE(game.chasedAway);
    EXPECT_LE(game.male.x, 144);
}

TEST_F(GameRules, MaleStaysBetween16And144)
{
    StartGame();
    game.excitement = 10000; // keep Fear from winning
    game.fear = 1000;
    for (int i = 0; i < 200; ++i) {
        game.fear = 1000;
        game.excitement = 10000;
        Hold(kRight);
        Calm();
        if (game.mating)
            break;
    }
    EXPECT_TRUE(game.mating);
    EXPECT_EQ(game.male.x, 113);
    ResetGameState();
    StartGame();
    game.male.x = 144;
    game.female.x = 10000; // out of reach, to test the bound alone
    game.excitement = 10000;
    Hold(kRight);
    EXPECT_EQ(game.male.x, 144);
}

TEST_F(GameRules, FearRisesWithEachStepAndDecaysToAFloorByDistance)
{
    StartGame();
    Hold(kRight);
    EXPECT_EQ(game.fear, 1100);
    Hold(kNoKeys);
    EXPECT_EQ(game.fear, 1090);
    Hold(kNoKeys, 200);
    EXPECT_EQ(game.fear, 1000);

    struct Floor {
        int32_t x, floor;
    } floors[] = {{16, 1000}, {48, 1500}, {80, 3000}, {112, 4500}, {144, 6000}};
    for (const Floor& f : floors) {
        game.male.x = f.x;
        game.fear = 1000;
        game.female.x = 100000; // keep the decision out of reach
        game.excitement = 10000;
        Hold(kNoKeys);
        EXPECT_EQ(game.fear, f.floor) << f.x;
    }
    game.fear = 9995;
    game.excitement = 10000;
    game.male.x = 50;
    Hold(kRight);
    EXPECT_EQ(game.fear, 10000);
}

TEST_F(GameRules, StepsAwayCostExcitementDownToItsMinimum)
{
    StartGame();
    game.male.x = 60;
    game.excitement = 1100;
    Hold(kLeft);
    EXPECT_EQ(game.excitement, 1100 - 50 - 2);
    Hold(kLeft, 5);
    EXPECT_EQ(game.excitement, 1000);
    EXPECT_EQ(game.male.x, 54);
}

TEST_F(GameRules, AnsweredWaveBoostsExcitementWhileTheLegStaysUp)
{
    StartGame();
    game.responseWindow = 50;
    game.lastWaveAnswered = true;
    Hold(kSpace);
    EXPECT_TRUE(game.responseCredited);
    EXPECT_EQ(game.responseWindow, 0);
    EXPECT_EQ(game.boostTicks, 29);
    EXPECT_EQ(game.excitement, 1000 + 50 - 2);
    Hold(kSpace, 29);
    EXPECT_EQ(game.excitement, 1000 + 30 * 48);
    EXPECT_EQ(game.boostTicks, 0);
    Hold(kSpace, 10);
    EXPECT_EQ(game.excitement, 1000 + 30 * 48 - 20);
    // The boost stops when the leg goes down, and is not owed afterwards.
    ResetGameState();
    StartGame();
    game.responseWindow = 50;
    Hold(kSpace, 10);
    Hold(kNoKeys);
    EXPECT_EQ(game.boostTicks, 0);
    EXPECT_FALSE(game.responseCredited);
    Hold(kSpace, 5);
    EXPECT_EQ(game.boostTicks, 0);
}

TEST_F(GameRules, ExcitementNeverPassesItsMaximum)
{
    StartGame();
    game.excitement = 9990;
    game.responseWindow = 10;
    Hold(kSpace, 30);
    EXPECT_EQ(game.excitement, 10000 - 2);
    EXPECT_LE(game.excitement, 10000);
}

TEST_F(GameRules, SheAnswersHisWave20To29TicksLater)
{
    StartGame();
    Hold(kSpace);
    ASSERT_GE(game.answerDelay, 20);
    ASSERT_LE(game.answerDelay, 29);
    int32_t delay = game.answerDelay;
    Hold(kNoKeys, delay - 1);
    EXPECT_FALSE(game.female.legRaised);
    Hold(kNoKeys);
    EXPECT_TRUE(game.female.legRaised);
    EXPECT_TRUE(game.lastWaveAnswered);
    EXPECT_GE(game.waveTicks, 30);
    EXPECT_LE(game.waveTicks, 59);
    int32_t wave = game.waveTicks;
    Hold(kNoKeys, wave - 1);
    EXPECT_TRUE(game.female.legRaised);
    Hold(kNoKeys);
    EXPECT_FALSE(game.female.legRaised);
}

TEST_F(GameRules, AWaveWhileSheIsBusyStartsNothing)
{
    StartGame();
    game.waveTicks = 40;
    game.female.legRaised = true;
    Hold(kSpace);
    EXPECT_EQ(game.answerDelay, 0);
    Hold(kSpace, 45); // keeping it up through her wave starts nothing either
    EXPECT_EQ(game.answerDelay, 0);
    Hold(kNoKeys);
    Hold(kSpace);
    EXPECT_GT(game.answerDelay, 0);
    // A second wave while the answer is pending does not restart it.
    int32_t pending = game.answerDelay;
    Hold(kNoKeys);
    Hold(kSpace);
    EXPECT_EQ(game.answerDelay, pending - 2);
}

TEST_F(GameRules, SheWavesByHerselfAtMostTwiceAfterAnAnswerAndOnlyWhileHisLegIsDown)
{
    StartGame();
    game.lastWaveAnswered = true;
    Hold(kNoKeys);
    Hold(kSpace, 1);
    Calm();
    game.answerDelay = 0;
    Hold(kSpace, 3000); // leg held up: she never waves by herself
    EXPECT_EQ(game.responseWindow, 0);
    EXPECT_FALSE(game.female.legRaised);

    ResetGameState();
    StartGame();
    game.lastWaveAnswered = true;
    int ownWaves = 0;
    for (int t = 0; t < 5000; ++t) {
        bool before = game.female.legRaised;
        Hold(kNoKeys);
        if (!before && game.female.legRaised) {
            ownWaves += 1;
            EXPECT_EQ(game.responseWindow, 120 - 0);
            EXPECT_FALSE(game.lastWaveAnswered);
        }
    }
    EXPECT_EQ(ownWaves, 2);
    EXPECT_FALSE(game.previousWaveAnswered);
}

TEST_F(GameRules, BeforeHerFirstAnswerSheNeverWavesByHerself)
{
    StartGame();
    Hold(kNoKeys, 3000);
    EXPECT_FALSE(game.female.legRaised);
    EXPECT_EQ(game.responseWindow, 0);
}

TEST_F(GameRules, RaisingTheLegAfterTheWindowClosedAsksForAnAnswer)
{
    StartGame();
    game.previousWaveAnswered = true;
    game.responseWindow = 2;
    Hold(kNoKeys, 2);
    EXPECT_EQ(game.responseWindow, 0);
    Calm();
    Hold(kSpace);
    EXPECT_EQ(game.boostTicks, 0);
    EXPECT_GT(game.answerDelay, 0);
}

TEST_F(GameRules, FemaleWindowClosesAfter120Ticks)
{
    StartGame();
    game.responseWindow = 120;
    Hold(kNoKeys, 119);
    EXPECT_EQ(game.responseWindow, 1);
    Hold(kNoKeys);
    EXPECT_EQ(game.responseWindow, 0);
}

TEST_F(GameRules, MetersStayInBoundsThroughWholeGames)
{
    // Random key mashing for many games: the rules never break their bounds.
    uint32_t seed = 7;
    auto draw = [&seed]() { return (seed = seed * 1103515245u + 12345u) >> 16; };
    for (int t = 0; t < 100000; ++t) {
        HeldKeys keys = {draw() % 3 == 0, draw() % 2 == 0, draw() % 4 == 0};
        Hold(keys);
        ASSERT_GE(game.fear, 1000);
        ASSERT_LE(game.fear, 10000);
        ASSERT_GE(game.excitement, 1000);
        ASSERT_LE(game.excitement, 10000);
        ASSERT_GE(game.male.x, 16);
        ASSERT_LE(game.male.x, 144);
        ASSERT_GE(game.messageTicks, 0);
        ASSERT_LE(game.messageTicks, 240);
        ASSERT_GE(game.overlay.alpha, 0.0f);
        ASSERT_LE(game.overlay.alpha, 1.0f);
        ASSERT_LE(soundRecorder.liveVoices, 1);
    }
}
