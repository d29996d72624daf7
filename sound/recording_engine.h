// A sound engine that plays nothing and remembers every call made to it, in
// order. The replay tool prints what it heard; tests check it.
#pragma once

#include <cstdint>

struct SoundEngine;

enum class SoundCall : int32_t { Load, Play, SetVolume, SetPaused, Stop, DropVoice, DropEngine };

struct SoundCallRecord {
    SoundCall call;
    int32_t source; // index into SoundRecorder::sourceNames, -1 when none
    int32_t voice;  // voice number, -1 when none
    bool looped;
    bool paused;
    float volume;
};

enum : int32_t { kRecordedCalls = 4096, kRecordedSources = 1100, kRecordedVoices = 64, kRecordedNameLength = 256 };

struct SoundRecorder {
    SoundCallRecord calls[kRecordedCalls];
    int32_t callCount; // calls kept; later ones are counted in lostCalls
    int32_t lostCalls;
    char sourceNames[kRecordedSources][kRecordedNameLength];
    int32_t sourceCount;
    int32_t voiceSource[kRecordedVoices]; // -1 for a free voice
    int32_t liveVoices;
    bool engineAlive;
    bool refuseLoads; // set by a test to make every load fail
    bool refusePlays;
};

extern SoundRecorder soundRecorder;

// Empties the recorder, sources and voices included.
void ResetSoundRecorder();
// Forgets the calls recorded so far, keeping sources and voices.
void ClearSoundCalls();
SoundEngine* MakeRecordingSoundEngine();
