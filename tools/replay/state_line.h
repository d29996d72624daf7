// Prints the replay tool's line of game state after each tick:
// tick=N playing=B fear=N excitement=N maleX=N maleLeg=B maleDead=B femaleX=N
// femaleLeg=B chasedAway=B killed=B mating=B outcomeTicks=N messageTicks=N
// alpha=F sounds=LIST
#pragma once

#include <cstdint>
#include <cstdio>

struct GameState;
struct SoundRecorder;

class StateLineWriter {
public:
    explicit StateLineWriter(FILE* output) : output(output) {}
    ~StateLineWriter() { Flush(); }
    // Both false once a line could not be written; nothing is written after.
    bool Write(int64_t tick, const GameState& state, const SoundRecorder& sounds);
    bool Flush();
    // The system's error number of that failure, 0 while there is none.
    int Error() const { return error; }

private:
    void Put(const char* text);
    void PutInt(int64_t value);
    void PutBool(bool value) { PutByte(value ? '1' : '0'); }
    void PutByte(char c) { buffer[used++] = c; }
    void PutSounds(const SoundRecorder& sounds);

    FILE* output;
    char buffer[1 << 16];
    size_t used = 0;
    int error = 0;
    float lastAlpha = -1;
    char alphaText[32] = "";
};

// The replay's name for a sound call: beep, runaway, death, love (the looped
// start) or stoplove; null for calls that are neither a start nor a stop.
const char* SoundCallName(const SoundRecorder& sounds, int32_t callIndex);
