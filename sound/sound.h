// Sound effects: sounds are loaded once by file name into ids 1 to 1023 and
// played one-shot or looped. Without an engine every load gives 0 and every
// play does nothing, and the game runs silently.
#pragma once

#include <cstdint>

#include "text/string.h"

struct SoundVoice;

enum : uint32_t { kSoundSlots = 1024, kSoundNameBuckets = 4096 };

// Resets the sound table and creates the engine if there is none.
void InitSound();
// The id of the sound, loading it on first use; 0 when it cannot be had.
uint32_t LoadSound(const String& name);
// Returns the voice of a looped sound, which the caller stops with StopSound;
// null for one-shots (they play to their end) and on failure.
SoundVoice* PlaySoundEffect(uint32_t id, float volume, bool looped);
// Stops a looped sound and gives its voice back; the handle is then invalid.
void StopSound(SoundVoice* voice);
// Releases the engine; loads and plays then fail until the next InitSound.
void ShutdownSound();
// Frees the name index; run once at exit.
void ClearSoundNames();

// Bucket 0..4095 from the letters A to Z of the name, case-folded.
uint32_t HashSoundName(const String& name);
