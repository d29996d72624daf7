#include "tests/game/game_fixture.h"

#include <sys/stat.h>

#include "app/diagnostics.h"
#include "sound/recording_engine.h"
#include "sound/sound.h"
#include "sound/sound_engine.h"
#include "tests/support/test_platform.h"

namespace {

std::string SoundName(const SoundCallRecord& record)
{
    std::string path = record.source >= 0 ? soundRecorder.sourceNames[record.source] : "";
    if (record.call == SoundCall::Play) {
        if (path == "Data/beep.ogg")
            return "beep";
        if (path == "Data/run away.ogg")
            return "runaway";
        if (path == "Data/death.ogg")
            return "death";
        if (path == "Data/love.ogg")
            return record.looped ? "love" : "love-once";
    }
    if (record.call == SoundCall::Stop)
        return "stop:" + path;
    return "";
}

} // namespace

void GameRules::SetUp()
{
    ASSERT_TRUE(folder.Enter());
    mkdir("Data", 0755);
    for (const char* name : {"Data/beep.ogg", "Data/run away.ogg", "Data/death.ogg", "Data/love.ogg"})
        ASSERT_TRUE(TouchFile(name));
    ResetTestPlatform();
    ShutdownSound();
    ResetSoundRecorder();
    SetSoundEngineFactory(MakeRecordingSoundEngine);
    InitSound();
    LoadGameSounds();
    ResetGameState();
}

void GameRules::TearDown()
{
    ShutdownSound();
    ClearSoundNames();
    SetSoundEngineFactory(nullptr);
    folder.Leave();
}

std::vector<std::string> GameRules::Hold(HeldKeys keys, int ticks)
{
    std::vector<std::string> sounds;
    SetKey(kKeyLeft, keys.left);
    SetKey(kKeyRight, keys.right);
    SetKey(kKeySpace, keys.space);
    for (int i = 0; i < ticks; ++i) {
        ClearSoundCalls();
        UpdateGame();
        keyLog.push_back(keys);
        for (int32_t c = 0; c < soundRecorder.callCount; ++c) {
            std::string name = SoundName(soundRecorder.calls[c]);
            if (!name.empty()) {
                sounds.push_back(name);
                soundLog.push_back(name);
            }
        }
    }
    return sounds;
}

void GameRules::StartGame()
{
    Hold(kSpace);
    Hold(kNoKeys);
}

// Waves: tap space to ask for an answer while she is idle and has none to
// follow up; hold it up through her own wave's window and the boost after.
// Walks right whenever the step cannot make Fear win over Excitement.
void GameRules::CourtUntil(int32_t wantedExcitement, bool waveOnTheWay, int maxTicks)
{
    for (int t = 0; t < maxTicks && game.playing && !game.chasedAway && !game.killed && !game.mating; ++t) {
        HeldKeys keys = kNoKeys;
        bool approaching = game.excitement >= wantedExcitement || game.male.x > 16;
        bool herIdle = game.waveTicks == 0 && game.answerDelay == 0;
        bool waving = !approaching || waveOnTheWay;
        if (waving && (game.boostTicks > 0 || game.responseWindow > 0))
            keys.space = true;
        else if (waving && herIdle && !game.lastWaveAnswered && !game.previousWaveAnswered && !game.male.legRaised)
            keys.space = true;
        int32_t fearAfterStep = game.fear + 100;
        bool safe = fearAfterStep < 4000 || fearAfterStep + 200 < game.excitement;
        if (approaching && safe)
            keys.right = true;
        Hold(keys);
    }
}

void FillAnimation(Animation& animation, std::initializer_list<int32_t> durations)
{
    for (int32_t duration : durations) {
        Frame* frame = new Frame{nullptr, duration, animation.last, nullptr};
        if (animation.last)
            animation.last->next = frame;
        else
            animation.first = frame;
        animation.last = frame;
        animation.count += 1;
    }
}

void FreeAnimation(Animation& animation)
{
    for (Frame* frame = animation.first; frame;) {
        Frame* next = frame->next;
        delete frame;
        frame = next;
    }
    animation = Animation{};
}
