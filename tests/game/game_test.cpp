// The courtship tick by tick: keys, meters, her waves, the three outcomes
// and the way back to the title, with sounds heard through a recording engine.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>
#include <string>
#include <vector>

#include "app/diagnostics.h"
#include "game/game.h"
#include "sound/recording_engine.h"
#include "sound/sound.h"
#include "sound/sound_engine.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_platform.h"

namespace {

using Sounds = std::vector<std::string>;
struct Keys {
    bool left, right, space;
};
const Keys kNone = {false, false, false}, kSpace = {false, false, true}, kRight = {false, true, false},
           kLeft = {true, false, false};

class GameRules : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.Enter());
        mkdir("Data", 0755);
        for (const char* name : {"Data/beep.ogg", "Data/run away.ogg", "Data/death.ogg", "Data/love.ogg"})
            ASSERT_TRUE(TouchFile(name));
        ResetTestPlatform();
        ResetSoundRecorder();
        SetSoundEngineFactory(MakeRecordingSoundEngine);
        InitSound();
        LoadGameSounds();
        ResetGameState();
    }
    void TearDown() override
    {
        ShutdownSound();
        ClearSoundNames();
        SetSoundEngineFactory(nullptr);
        folder.Leave();
    }
    // Runs ticks with these keys held; returns the sounds started or stopped.
    Sounds Hold(Keys keys, int ticks = 1)
    {
        static const char* const names[] = {"beep", "runaway", "death", "love"};
        Sounds sounds;
        SetKey(kKeyLeft, keys.left);
        SetKey(kKeyRight, keys.right);
        SetKey(kKeySpace, keys.space);
        for (int i = 0; i < ticks; ++i) {
            ClearSoundCalls();
            UpdateGame();
            for (int32_t c = 0; c < soundRecorder.callCount; ++c) {
                const SoundCallRecord& r = soundRecorder.calls[c];
                if (r.call == SoundCall::Play)
                    sounds.push_back(std::string(names[r.source]) + (r.looped ? "-loop" : ""));
                else if (r.call == SoundCall::Stop)
                    sounds.push_back("stop");
            }
        }
        return sounds;
    }
    void Start()
    {
        Hold(kSpace);
        Hold(kNone);
    }
    // Courts her with waves until Excitement reaches `wanted`, then walks up
    // whenever the step cannot let Fear win, waving on the way or not.
    void CourtUntil(int32_t wanted, bool waveOnTheWay)
    {
        for (int t = 0; t < 5000 && !game.chasedAway && !game.killed && !game.mating; ++t) {
            Keys keys = kNone;
            bool approaching = game.excitement >= wanted || game.male.x > 16;
            bool waving = !approaching || waveOnTheWay;
            bool herIdle = game.waveTicks == 0 && game.answerDelay == 0;
            if (waving && (game.boostTicks > 0 || game.responseWindow > 0))
                keys.space = true;
            else if (waving && herIdle && !game.lastWaveAnswered && !game.previousWaveAnswered && !game.male.legRaised)
                keys.space = true;
            int32_t fear = game.fear + 100;
            keys.right = approaching && (fear < 4000 || fear + 200 < game.excitement);
            Hold(keys);
        }
    }
    ScratchFolder folder;
};

TEST_F(GameRules, TitleWaitsForSpaceAndThePressDoesNotWave)
{
    EXPECT_EQ(Hold(kRight, 10), Sounds{});
    EXPECT_FALSE(game.playing);
    EXPECT_EQ(Hold(kSpace), Sounds{"beep"});
    EXPECT_TRUE(game.playing);
    EXPECT_EQ(game.male.x, 16);
    EXPECT_EQ(game.female.x, 144);
    EXPECT_TRUE(game.female.flipped);
    Hold(kSpace, 5);
    EXPECT_FALSE(game.male.legRaised);
    Hold(kNone);
    Hold(kSpace);
    EXPECT_TRUE(game.male.legRaised);
}

TEST_F(GameRules, FearRisesWithEachStepAndDecaysToAFloorByDistance)
{
    Start();
    Hold(kRight);
    EXPECT_EQ(game.fear, 1100);
    Hold(kNone);
    EXPECT_EQ(game.fear, 1090);
    Hold({true, true, false}, 5); // both arrows: no step
    EXPECT_EQ(game.male.x, 17);
    struct {
        int32_t x, floor;
    } floors[] = {{16, 1000}, {48, 1500}, {80, 3000}, {112, 4500}, {144, 6000}};
    for (auto f : floors) {
        game.male.x = f.x;
        game.fear = 1000;
        game.female.x = 100000; // out of reach: nothing is decided
        game.excitement = 10000;
        Hold(kNone);
        EXPECT_EQ(game.fear, f.floor) << f.x;
    }
    game.fear = 9995;
    game.male.x = 50;
    Hold(kRight);
    EXPECT_EQ(game.fear, 10000);
    game.male.x = 144;
    Hold(kRight, 3);
    EXPECT_EQ(game.male.x, 144);
}

TEST_F(GameRules, StepsAwayCostExcitementDownToItsMinimum)
{
    Start();
    game.male.x = 60;
    game.excitement = 1100;
    Hold(kLeft);
    EXPECT_EQ(game.excitement, 1100 - 50 - 2);
    EXPECT_TRUE(game.male.flipped);
    Hold(kLeft, 5);
    EXPECT_EQ(game.excitement, 1000);
    game.male.x = 16;
    Hold(kLeft, 3);
    EXPECT_EQ(game.male.x, 16);
}

TEST_F(GameRules, AnsweredWaveBoostsExcitementWhileTheLegStaysUp)
{
    Start();
    game.responseWindow = 50;
    Hold(kSpace);
    EXPECT_EQ(game.boostTicks, 29);
    EXPECT_EQ(game.excitement, 1000 + 50 - 2);
    Hold(kSpace, 29);
    EXPECT_EQ(game.excitement, 1000 + 30 * 48);
    Hold(kSpace, 10);
    EXPECT_EQ(game.excitement, 1000 + 30 * 48 - 20);
    // Lowering the leg ends the boost; it is not owed afterwards.
    game.responseWindow = 50;
    Hold(kNone);
    Hold(kSpace, 5);
    game.excitement = 9990;
    game.responseWindow = 10;
    Hold(kNone);
    Hold(kSpace, 30);
    EXPECT_EQ(game.excitement, 10000 - 2);
}

TEST_F(GameRules, SheAnswersHisWave20To29TicksLaterForAWaveOf30To59)
{
    Start();
    Hold(kSpace);
    ASSERT_GE(game.answerDelay, 20);
    ASSERT_LE(game.answerDelay, 29);
    int32_t pending = game.answerDelay;
    Hold(kNone);
    Hold(kSpace); // a second wave does not restart the wait
    EXPECT_EQ(game.answerDelay, pending - 2);
    Hold(kNone, pending - 3);
    EXPECT_FALSE(game.female.legRaised);
    Hold(kNone);
    EXPECT_TRUE(game.female.legRaised);
    EXPECT_GE(game.waveTicks, 30);
    EXPECT_LE(game.waveTicks, 59);
    Hold(kSpace, game.waveTicks - 1); // a wave while she waves starts nothing
    EXPECT_TRUE(game.female.legRaised);
    EXPECT_EQ(game.answerDelay, 0);
    Hold(kNone);
    EXPECT_FALSE(game.female.legRaised);
    std::set<int32_t> delays;
    for (int i = 0; i < 300; ++i) { // every delay of 20 to 29 comes up, and no other
        game.answerDelay = game.waveTicks = game.responseWindow = 0;
        game.female.legRaised = game.responseCredited = game.lastWaveAnswered = game.previousWaveAnswered = false;
        Hold(kNone);
        Hold(kSpace);
        delays.insert(game.answerDelay);
    }
    EXPECT_EQ(delays, (std::set<int32_t>{20, 21, 22, 23, 24, 25, 26, 27, 28, 29}));
}

TEST_F(GameRules, SheWavesByHerselfOnlyAfterAnAnswerAtMostTwiceAndWhileHisLegIsDown)
{
    Start();
    Hold(kNone, 3000);
    EXPECT_FALSE(game.female.legRaised); // never before her first answer
    game.lastWaveAnswered = true;
    Hold(kNone);
    Hold(kSpace, 1);
    game.answerDelay = game.waveTicks = 0;
    game.female.legRaised = false;
    Hold(kSpace, 3000);
    EXPECT_FALSE(game.female.legRaised);
    game.lastWaveAnswered = true;
    int ownWaves = 0;
    for (int t = 0; t < 5000; ++t) {
        bool before = game.female.legRaised;
        Hold(kNone);
        if (!before && game.female.legRaised) {
            ownWaves += 1;
            EXPECT_EQ(game.responseWindow, 120);
        }
    }
    EXPECT_EQ(ownWaves, 2);
}

TEST_F(GameRules, WalkingStraightAtHerChasesHerAwayAndTheTitleReturns)
{
    EXPECT_EQ(Hold(kSpace), Sounds{"beep"});
    EXPECT_EQ(Hold(kRight, 29), Sounds{});
    EXPECT_EQ(Hold(kRight), Sounds{"runaway"});
    EXPECT_EQ(game.fear, 4000);
    EXPECT_EQ(game.male.x, 46);
    Hold(kRight, 60); // she walks off while he can no longer move
    EXPECT_EQ(game.male.x, 46);
    EXPECT_EQ(game.female.x, 204);
    EXPECT_EQ(game.overlay.alpha, 0.0f);
    Hold(kSpace, 50); // space held before the message only latches
    EXPECT_GT(game.overlay.alpha, 0.99f);
    EXPECT_LT(game.overlay.alpha, 1.0f);
    Hold(kSpace);
    EXPECT_EQ(game.overlay.alpha, 1.0f);
    EXPECT_EQ(game.messageTicks, 0);
    Hold(kSpace, 240);
    EXPECT_EQ(game.messageTicks, 240);
    EXPECT_TRUE(game.playing);
    Hold(kNone);
    EXPECT_FALSE(game.playing);
    Hold(kNone, 10);
    EXPECT_EQ(Hold(kSpace), Sounds{"beep"});
    EXPECT_EQ(game.fear, 1000);
    EXPECT_EQ(game.female.x, 144);
    EXPECT_EQ(game.overlay.alpha, 0.0f);
}

TEST_F(GameRules, ComingCloseWithoutEnoughExcitementGetsHimBitten)
{
    Start();
    CourtUntil(7000, false);
    ASSERT_TRUE(game.killed);
    EXPECT_LT(game.female.x - game.male.x, 32);
    Sounds sounds;
    for (int t = 0; t < 40 && !game.male.dead; ++t)
        sounds = Hold(kNone);
    ASSERT_TRUE(game.male.dead);
    EXPECT_EQ(sounds, Sounds{"death"});
    EXPECT_EQ(game.female.x - game.male.x, 8);
    EXPECT_EQ(game.overlay.green, 1.0f); // a white flash, gone in 20 ticks
    Hold(kNone, 19);
    EXPECT_GT(game.overlay.alpha, 0.0f);
    Hold(kNone);
    EXPECT_EQ(game.overlay.alpha, 0.0f);
    Hold(kNone, 51);
    EXPECT_EQ(game.overlay.alpha, 1.0f);
    EXPECT_EQ(game.overlay.red, 1.0f);
    EXPECT_EQ(game.overlay.green, 0.0f);
    EXPECT_EQ(game.female.x, game.male.x);
    Hold(kNone, 240);
    EXPECT_TRUE(game.playing);
    Hold(kNone);
    EXPECT_FALSE(game.playing);
}

TEST_F(GameRules, EnoughExcitementEndsInMatingUnderAHeartRainUntilAFreshPress)
{
    Start();
    CourtUntil(9000, true);
    ASSERT_TRUE(game.mating);
    EXPECT_GE(game.excitement, 8000);
    ASSERT_NE(game.loveVoice, nullptr);
    Hold(kNone);
    EXPECT_TRUE(game.bigHeart.visible);
    for (const FallingHeart& heart : game.hearts) {
        EXPECT_TRUE(heart.sprite.visible);
        EXPECT_TRUE(heart.sprite.x >= 0 && heart.sprite.x < 160) << heart.sprite.x;
        EXPECT_TRUE(heart.sprite.y >= 136 && heart.sprite.y <= 255) << heart.sprite.y;
        EXPECT_TRUE(heart.fallPeriod >= 3 && heart.fallPeriod <= 5) << heart.fallPeriod;
    }
    int32_t y = game.hearts[0].sprite.y;
    Hold(kNone, game.hearts[0].fallPeriod * 4);
    EXPECT_EQ(game.hearts[0].sprite.y, y - 4);
    int wrapped = 0;
    for (int t = 0; t < 2000; ++t) {
        int32_t before = game.hearts[5].sprite.y;
        Hold(kNone);
        wrapped += game.hearts[5].sprite.y > before;
        ASSERT_GE(game.hearts[5].sprite.y, -16);
    }
    EXPECT_GE(wrapped, 1);
    EXPECT_TRUE(game.playing);
    EXPECT_EQ(game.bigHeart.x, game.male.x);
    EXPECT_EQ(game.bigHeart.y, 32);
    EXPECT_EQ(Hold(kSpace), Sounds{"stop"});
    EXPECT_FALSE(game.playing);
    EXPECT_EQ(soundRecorder.liveVoices, 0);
    EXPECT_EQ(Hold(kSpace, 30), Sounds{}); // the dismissing press starts no game
    Hold(kNone);
    EXPECT_EQ(Hold(kSpace), Sounds{"beep"});
}

TEST_F(GameRules, WithinReachAndFearfulTheChaseWinsAndNoLoveSoundStarts)
{
    Start();
    game.male.x = 112;
    game.fear = 9000;
    game.excitement = 8500;
    EXPECT_EQ(Hold(kRight), Sounds{"runaway"});
    EXPECT_FALSE(game.mating || game.killed);
}

TEST_F(GameRules, WithinReachAnExcitementOf8000MatesAndLessBites)
{
    struct Case {
        int32_t excitement; // before the tick's decay of 2
        bool mating;
    } cases[] = {{8002, true}, {8001, false}};
    for (const Case& c : cases) {
        ResetGameState();
        Start();
        game.male.x = 113; // 31 pixels from her
        game.excitement = c.excitement;
        Hold(kNone);
        EXPECT_EQ(game.mating, c.mating) << c.excitement;
        EXPECT_EQ(game.killed, !c.mating) << c.excitement;
    }
}

} // namespace
