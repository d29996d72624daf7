// The browser program's shared pieces: the close request, the
// sound pump and the key-script mode that stands in for the keyboard.
#pragma once

#include <cstdint>

#include "app/held_keys.h"
// Set by the game's close request; the main loop ends the game on its next turn.
bool CloseRequested();

// Null, and the game stays silent, when the page has no audio.
struct SoundEngine;
SoundEngine* MakeWebSoundEngine();
// Refills the queued sound buffers the browser has played; once a frame.
void PumpWebSound();

// While a key script drives the game, the timed turn is off and the keys
// are the script's.
bool FollowingKeyScript();
bool ScriptKeyDown(uint8_t key);
