// The courtship tick by tick: keys, meters, her waves, the three outcomes
// and the way back to the title, with sounds heard through a recording engine.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>
#include <string>
#include <vector>

#include "app/diagnostics.h"
#include "game/asset_names.h"
#include "game/game.h"
#include "sound/recording_engine.h"
#include "sound/sound.h"
#include "sound/sound_engine.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_platform.h"

namespace {

using Sounds = std::vector<std::string>;
enum Keys { kNone = 0, kLeft = 1, kRight = 2, kSpace = 4 };

class GameRules : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.Enter());
        mkdir("Data", 0755);
        for (const char* name : kGameSoundFiles)
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
        folder.Leave();
    }
    // Runs ticks with these keys held; returns the sounds started or stopped.
    Sounds Hold(int keys, int ticks = 1)
    {
        Sounds sounds;
        SetKey(kKeyLeft, keys & kLeft);
        SetKey(kKeyRight, keys & kRight);
        SetKey(kKeySpace, keys & kSpace);
        for (int i = 0; i < ticks; ++i) {
            ClearSoundCalls();
            UpdateGame();
            for (int32_t c = 0; c < soundRecorder.callCount; ++c) {
                const SoundCallRecord& r = soundRecorder.calls[c];
                if (r.call == SoundCall::Play)
                    sounds.push_back(std::string(r.looped ? "loop " : "") + soundRecorder.sourceNames[r.source]);
                else if (r.call == SoundCall::Stop)
                    sounds.push_back("stop");
            }
        }
        return sounds;
    }
    // A fresh game with him at x and the meters as given, space released.
    void StartAt(int32_t x, int32_t fear, int32_t excitement)
    {
        ResetGameState();
        Hold(kSpace);
        Hold(kNone);
        game.male.x = x;
        game.fear = fear;
        game.excitement = excitement;
    }
    ScratchFolder folder;
};

// Fear: +100 a step towards her, else -10 down to a floor that grows with his
// x. Excitement: -50 a step away, -2 every tick, never below 1000.
TEST_F(GameRules, StepsMoveHimWithinBoundsAndMoveTheMeters)
{
    struct Case {
        int32_t x, fear, excitement;
        int keys, ticks;
        int32_t wantX, wantFear, wantExcitement;
    } cases[] = {
        {16, 1000, 1000, kRight, 1, 17, 1100, 1000},         {17, 1100, 1100, kNone, 1, 17, 1090, 1098},
        {40, 1000, 1000, kLeft | kRight, 5, 40, 1125, 1000}, {60, 1000, 1100, kLeft, 1, 59, 2015, 1048},
        {60, 1000, 1100, kLeft, 6, 54, 1965, 1000},          {16, 1000, 1000, kLeft, 3, 16, 1000, 1000},
        {48, 1000, 1000, kNone, 1, 48, 1500, 1000},          {112, 1000, 9000, kNone, 1, 112, 4500, 8998},
        {144, 1000, 9000, kRight, 3, 144, 6000, 8994},       {50, 9995, 10000, kRight, 1, 51, 10000, 9998},
    };
    for (const Case& c : cases) {
        StartAt(c.x, c.fear, c.excitement);
        game.female.x = 100000; // out of reach: nothing is decided
        Hold(c.keys, c.ticks);
        EXPECT_EQ(game.male.x, c.wantX) << "from x " << c.x;
        EXPECT_EQ(game.fear, c.wantFear) << "from x " << c.x;
        EXPECT_EQ(game.excitement, c.wantExcitement) << "from x " << c.x;
    }
}

TEST_F(GameRules, AnsweredWaveBoostsExcitementWhileTheLegStaysUp)
{
    StartAt(16, 1000, 1000);
    game.responseWindow = 50;
    Hold(kSpace, 40); // 30 ticks of boost
    EXPECT_EQ(game.excitement, 1000 + 30 * 48 - 20);
    game.responseWindow = 50; // lowering the leg ends the boost; it is not owed afterwards
    Hold(kSpace, 5);
    Hold(kNone);
    Hold(kSpace, 10);
    EXPECT_EQ(game.excitement, 1000 + 30 * 48 - 20 + 5 * 48 - 2 - 20);
    game.excitement = 9990;
    game.responseWindow = 10;
    Hold(kSpace, 30);
    EXPECT_EQ(game.excitement, 10000 - 2);
}

TEST_F(GameRules, SheAnswersHisWave20To29TicksLaterAndThenWavesByHerselfAtMostTwiceWhileHisLegIsDown)
{
    StartAt(16, 1000, 1000);
    Hold(kSpace);
    int32_t pending = game.answerDelay;
    Hold(kNone);
    Hold(kSpace); // a second wave does not restart the wait
    Hold(kNone, pending - 3);
    EXPECT_FALSE(game.female.legRaised);
    Hold(kNone);
    EXPECT_TRUE(game.female.legRaised);
    Hold(kSpace, game.waveTicks - 1); // a wave while she waves starts nothing
    EXPECT_TRUE(game.female.legRaised);
    Hold(kNone);
    EXPECT_FALSE(game.female.legRaised);
    std::set<int32_t> delays;
    for (int i = 0; i < 300; ++i) { // every delay of 20 to 29 comes up, and no other
        StartAt(16, 1000, 1000);
        game.randomState = i;
        Hold(kSpace);
        delays.insert(game.answerDelay);
    }
    EXPECT_EQ(delays, (std::set<int32_t>{20, 21, 22, 23, 24, 25, 26, 27, 28, 29}));
    StartAt(16, 1000, 1000);
    Hold(kNone, 3000);
    EXPECT_FALSE(game.female.legRaised); // never before her first answer
    game.lastWaveAnswered = true;
    game.male.legRaised = true; // already up: no fresh wave for her to answer
    Hold(kSpace, 3000);
    EXPECT_TRUE(game.lastWaveAnswered); // no wave of her own since, which would have reset it
    std::vector<int32_t> windows;       // each of her own waves, at most two, opens a window of 120 ticks
    for (int t = 0; t < 5000; ++t) {
        bool before = game.female.legRaised;
        Hold(kNone);
        if (!before && game.female.legRaised)
            windows.push_back(game.responseWindow);
    }
    EXPECT_EQ(windows, (std::vector<int32_t>{120, 120}));
}

TEST_F(GameRules, WalkingStraightAtHerChasesHerAwayAndTheTitleReturns)
{
    EXPECT_EQ(Hold(kRight, 10), Sounds{}); // the title waits for space
    EXPECT_EQ(Hold(kSpace), Sounds{"Data/beep.ogg"});
    EXPECT_EQ(Hold(kRight | kSpace, 29), Sounds{});
    EXPECT_FALSE(game.male.legRaised); // the press that started the game does not wave
    EXPECT_EQ(Hold(kRight), Sounds{"Data/run away.ogg"});
    Hold(kRight, 60); // she walks off while he can no longer move
    EXPECT_EQ(game.male.x, 46);
    EXPECT_EQ(game.female.x, 204);
    Hold(kSpace, 50); // space held before the message only latches
    EXPECT_TRUE(game.overlay.alpha > 0.99f && game.overlay.alpha < 1.0f) << game.overlay.alpha;
    Hold(kSpace, 241);
    EXPECT_TRUE(game.playing);
    Hold(kNone);
    EXPECT_FALSE(game.playing);
    EXPECT_EQ(Hold(kSpace), Sounds{"Data/beep.ogg"});
    EXPECT_EQ(game.fear, 1000);
    EXPECT_EQ(game.female.x, 144);
}

// Within 32 pixels of her the chase is decided first, then her answer to his
// Excitement: mating from 8000, below it she bites.
TEST_F(GameRules, WithinReachTheMetersDecideTheOutcome)
{
    struct Case {
        int32_t x, fear, excitement; // excitement before the tick's decay of 2
        int keys;
        Sounds sounds; // the love loop for mating, the run-away sound for a chase
        bool killed;
    } cases[] = {
        {113, 1000, 8002, kNone, {"loop Data/love.ogg"}, false},
        {113, 1000, 8001, kNone, {}, true},
        {112, 9000, 8500, kRight, {"Data/run away.ogg"}, false},
        {112, 3900, 3997, kRight, {"Data/run away.ogg"}, false},
        {50, 3900, 4003, kRight, {}, false},
    };
    for (const Case& c : cases) {
        StartAt(c.x, c.fear, c.excitement);
        EXPECT_EQ(Hold(c.keys), c.sounds) << "fear " << c.fear << ", excitement " << c.excitement;
        EXPECT_EQ(game.killed, c.killed) << "fear " << c.fear << ", excitement " << c.excitement;
    }
}

TEST_F(GameRules, ComingCloseWithoutEnoughExcitementGetsHimBitten)
{
    StartAt(113, 1000, 7000);
    EXPECT_EQ(Hold(kNone, 23), Sounds{}); // she closes in from 31 pixels away
    EXPECT_EQ(Hold(kNone), Sounds{"Data/death.ogg"});
    EXPECT_TRUE(game.male.dead);
    EXPECT_EQ(game.female.x - game.male.x, 8);
    Hold(kNone, 19); // a flash, gone in 20 ticks
    EXPECT_GT(game.overlay.alpha, 0.0f);
    Hold(kNone);
    EXPECT_EQ(game.overlay.alpha, 0.0f);
    Hold(kNone, 51);
    EXPECT_EQ(game.overlay.alpha, 1.0f);
    EXPECT_EQ(game.female.x, game.male.x);
}

TEST_F(GameRules, EnoughExcitementEndsInMatingUnderAHeartRainUntilAFreshPress)
{
    StartAt(113, 1000, 9000);
    Hold(kSpace, 2);
    ASSERT_TRUE(game.mating);
    EXPECT_TRUE(game.bigHeart.visible);
    for (const FallingHeart& heart : game.hearts) // they start above the screen
        EXPECT_TRUE(heart.sprite.y >= 136 && heart.sprite.y <= 255) << heart.sprite.y;
    // Each heart falls past y -16 and comes back above the screen, at x, y and
    // fall period drawn in that order from the game's random sequence.
    game.answerDelay = game.waveTicks = 0; // her waves draw nothing meanwhile
    int comebacks = 0;
    for (int t = 0; t < 2000; ++t) {
        GameState before = game;
        Hold(kSpace);
        auto draw = [&before](int32_t n) {
            before.randomState = before.randomState * 214013 + 2531011;
            return int32_t(before.randomState >> 16 & 0x7FFF) % n;
        };
        for (int i = 0; i < kHeartCount; ++i) {
            const FallingHeart &was = before.hearts[i], &is = game.hearts[i];
            if (is.sprite.y > was.sprite.y && ++comebacks) {
                EXPECT_EQ((std::vector<int32_t>{was.sprite.y, is.sprite.x, is.sprite.y, is.fallPeriod}),
                          (std::vector<int32_t>{-16, draw(160), 136 + draw(120), 3 + draw(3)}));
            }
        }
        EXPECT_EQ(game.randomState, before.randomState); // nothing else drew
    }
    EXPECT_GE(comebacks, kHeartCount);
    EXPECT_EQ(game.bigHeart.x, (game.male.x + game.female.x) / 2);
    EXPECT_EQ(game.bigHeart.y, 32);
    Hold(kNone);
    EXPECT_EQ(Hold(kSpace), Sounds{"stop"}); // only a fresh press ends it
    EXPECT_EQ(Hold(kSpace, 30), Sounds{});   // the dismissing press starts no game
}

} // namespace
