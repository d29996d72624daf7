// Sound recipes: a small text format of tones and noise bursts that the tool
// plays into a buffer of samples.
//
// Header lines: "rate 22050" (or 44100), "length SECONDS", "peak 0.8" (the
// loudest sample after scaling, below 1 so nothing clips), "seed N" for the
// noise, and "loop" for a sound that repeats: its events wrap around the end,
// so whatever rings past the end continues at the start and the seam joins.
//
// Event lines: "tone" or "noise" followed by name value pairs:
//   at S, for S        start and length in seconds (required)
//   volume V           0 to 1, default 1
//   attack S, release S linear fade in and out, defaults 0.005 and 0.02
//   decay S            exponential fall with that time constant, 0 for none
//   wave W             tone only: sine, triangle, square or saw
//   pitch HZ, to HZ    tone only: start pitch and an exponential slide to `to`
//   vibrato HZ, depth SEMITONES   pitch wobble
//   tremolo HZ, swell V           volume wobble, V of the volume at its lowest
//   grain HZ           noise only: how often the noise takes a new value
//   repeat N, every S, fade F, bend F   N copies, S apart, each F times as
//                      loud (fade) and F times the pitch (bend) of the one before
// '#' starts a comment.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/assetgen/source_text.h"

enum class Waveform { Sine, Triangle, Square, Saw, Noise };

struct SoundEvent {
    Waveform wave = Waveform::Sine;
    double at = 0, length = 0, volume = 1;
    double attack = 0.005, release = 0.02, decay = 0;
    double pitch = 440, slideTo = 0; // slideTo 0: no slide
    double vibratoRate = 0, vibratoDepth = 0;
    double tremoloRate = 0, tremoloSwell = 0;
    double grain = 8000;
    int repeat = 1;
    double every = 0, fade = 1, bend = 1;
};

struct SoundRecipe {
    int rate = 22050;
    double length = 0;
    double peak = 0.8;
    uint32_t seed = 1;
    bool loop = false;
    std::vector<SoundEvent> events;
};

bool ParseSoundRecipe(const SourceText& source, SoundRecipe& recipe);
int RecipeSampleCount(const SoundRecipe& recipe);
// Plays every event into a buffer of RecipeSampleCount samples, scaled so its
// loudest sample is `peak`.
std::vector<float> SynthesizeSound(const SoundRecipe& recipe);
