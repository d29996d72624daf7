// The sound engine behind the game's sound effects: it may fail to start,
// loads sources from files, and plays them on voices that can start paused.
// Engines are plain structs that begin with a table of operations, so the
// game can run on the real mixer, on no engine at all, or on a recorder in
// tests.
#pragma once

struct SoundEngine;
struct SoundSource;
struct SoundVoice;

struct SoundEngineOps {
    // Decodes a whole file into memory; null when it cannot be loaded.
    SoundSource* (*addSourceFromFile)(SoundEngine* engine, const char* path);
    // A new voice on the source; null when none can be had. The caller holds
    // one reference to the voice and gives it back with dropVoice.
    SoundVoice* (*play)(SoundEngine* engine, SoundSource* source, bool looped, bool startPaused);
    void (*setVolume)(SoundEngine* engine, SoundVoice* voice, float volume);
    void (*setPaused)(SoundEngine* engine, SoundVoice* voice, bool paused);
    void (*stop)(SoundEngine* engine, SoundVoice* voice);
    // Gives the caller's reference back; a voice that is still playing and
    // not looped plays on to its end.
    void (*dropVoice)(SoundEngine* engine, SoundVoice* voice);
    // Stops everything and frees the engine with all its sources.
    void (*dropEngine)(SoundEngine* engine);
};

struct SoundEngine {
    const SoundEngineOps* ops;
};

// Makes an engine, or returns null when no sound can be played.
using SoundEngineFactory = SoundEngine* (*)();

// The factory InitSound uses; the default one makes no engine, so a program
// that sets none is silent.
void SetSoundEngineFactory(SoundEngineFactory factory);
