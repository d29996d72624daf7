#include "tools/replay/state_line.h"

#include <cerrno>
#include <cstring>

#include "game/game.h"
#include "sound/recording_engine.h"

namespace {

// The longest line is well under 400 bytes; flush before it could overflow.
const size_t kLineRoom = 1024;

const char* SourceToken(const char* path)
{
    if (strcmp(path, "Data/beep.ogg") == 0)
        return "beep";
    if (strcmp(path, "Data/run away.ogg") == 0)
        return "runaway";
    if (strcmp(path, "Data/death.ogg") == 0)
        return "death";
    if (strcmp(path, "Data/love.ogg") == 0)
        return "love";
    return "unknown";
}

} // namespace

const char* SoundCallName(const SoundRecorder& sounds, int32_t callIndex)
{
    const SoundCallRecord& record = sounds.calls[callIndex];
    if (record.source < 0)
        return nullptr;
    const char* token = SourceToken(sounds.sourceNames[record.source]);
    if (record.call == SoundCall::Play)
        return token;
    if (record.call == SoundCall::Stop)
        return strcmp(token, "love") == 0 ? "stoplove" : nullptr;
    return nullptr;
}

void StateLineWriter::Put(const char* text)
{
    size_t length = strlen(text);
    memcpy(buffer + used, text, length);
    used += length;
}

void StateLineWriter::PutInt(int64_t value)
{
    char digits[24];
    int count = 0;
    bool negative = value < 0;
    uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (negative)
        PutByte('-');
    while (count)
        PutByte(digits[--count]);
}

void StateLineWriter::PutSounds(const SoundRecorder& sounds)
{
    bool any = false;
    for (int32_t i = 0; i < sounds.callCount; ++i) {
        const char* name = SoundCallName(sounds, i);
        if (!name)
            continue;
        if (any)
            PutByte(',');
        Put(name);
        any = true;
    }
    if (!any)
        PutByte('-');
}

bool StateLineWriter::Write(int64_t tick, const GameState& state, const SoundRecorder& sounds)
{
    if (sizeof buffer - used < kLineRoom && !Flush())
        return false;
    Put("tick=");
    PutInt(tick);
    Put(" playing=");
    PutBool(state.playing);
    Put(" fear=");
    PutInt(state.fear);
    Put(" excitement=");
    PutInt(state.excitement);
    Put(" maleX=");
    PutInt(state.male.x);
    Put(" maleLeg=");
    PutBool(state.male.legRaised);
    Put(" maleDead=");
    PutBool(state.male.dead);
    Put(" femaleX=");
    PutInt(state.female.x);
    Put(" femaleLeg=");
    PutBool(state.female.legRaised);
    Put(" chasedAway=");
    PutBool(state.chasedAway);
    Put(" killed=");
    PutBool(state.killed);
    Put(" mating=");
    PutBool(state.mating);
    Put(" outcomeTicks=");
    PutInt(state.outcomeTicks);
    Put(" messageTicks=");
    PutInt(state.messageTicks);
    Put(" alpha=");
    // The overlay alpha changes at most once a tick, so format it only then.
    if (state.overlay.alpha != lastAlpha) {
        lastAlpha = state.overlay.alpha;
        snprintf(alphaText, sizeof alphaText, "%.4f", static_cast<double>(lastAlpha));
    }
    Put(alphaText);
    Put(" sounds=");
    PutSounds(sounds);
    PutByte('\n');
    return true;
}

bool StateLineWriter::Flush()
{
    if (error == 0) {
        errno = 0;
        bool written = (used == 0 || fwrite(buffer, 1, used, output) == used) && fflush(output) == 0;
        if (!written)
            error = errno ? errno : EIO;
    }
    used = 0;
    return error == 0;
}
