// Sound on Windows: the mixer's frames played through winmm's waveOut, fed
// by a thread of our own. Null when there is no sound device, so the game
// stays silent.
#pragma once

#include "sound/mixer_engine.h"

SoundEngine* MakeWaveOutSoundEngine();
// The output under that engine: open feeds a mixer to the device until close.
SoundOutput WaveOutSoundOutput();
