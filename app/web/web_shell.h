// The browser program's shared pieces: leaving full screen, the sound queue
// and the key-script mode that stands in for the keyboard.
#pragma once

#include <cstdint>

#include "app/held_keys.h"

// Esc's work in a page, which cannot be quit.
void LeaveFullScreen();

// Null, and the game stays silent, when the page has no audio.
struct SoundEngine;
SoundEngine* MakeWebSoundEngine();
// Keeps the sound queued ahead of the audio clock. Called before the ticks
// of a turn, so what was heard is behind it, and after them, so a sound they
// start is heard at once; a timer calls it too.
void RefillWebSound();
// A hidden page stops its sound where it is, to go on from there when shown.
void PauseWebSound(bool paused);

// While a key script drives the game, the timed turn is off and the keys
// are the script's.
bool FollowingKeyScript();
bool ScriptKeyDown(uint8_t key);
