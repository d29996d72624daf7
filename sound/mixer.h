// The mixer: a fixed pool of voices, each playing one source at a volume,
// summed into 16-bit stereo frames at one sample rate.
//
// Two threads meet here. The game thread starts voices and changes them
// (StartVoice ... DropVoice, CountFreeVoices); one audio thread calls
// MixSound. They share no lock: each voice has one atomic control word that
// the game thread writes and the audio thread reads at the start of each
// MixSound call, and one atomic "freed" mark that only the audio thread
// writes. Changes made between two MixSound calls therefore take effect
// together, in the order they were made, at the first frame of the next call.
//
// A source is handed to a voice only once it is filled and never changes
// afterwards; it must outlive every voice that plays it (the engine frees
// sources only after the output is closed).
#pragma once

#include <cstdint>

struct Mixer;

// Interleaved stereo frames, left then right.
struct MixerSource {
    int16_t* samples;
    int32_t frames;
};

// A voice handle: slot number and generation, so a handle outliving its
// voice never reaches the voice that reuses the slot. 0 is no voice.
struct MixerVoice {
    uint32_t value;
};

// The mixer sums in blocks of kMixerBlockFrames; an output that queues whole
// blocks asks it for no partial ones.
enum : int32_t { kMixerVoices = 64, kMixerChannels = 2, kMixerBlockFrames = 512 };

// A source of the given length with its samples uninitialised; null when
// memory cannot be had or frames is not above 0.
MixerSource* MakeMixerSource(int32_t frames);
void FreeMixerSource(MixerSource* source);

// Null when memory cannot be had or the rate is not above 0. With fadeFrames
// above 1 no voice clicks: one whose source starts on a non-zero frame fades
// in over that many frames, and a voice stopped (or a looped one dropped)
// while sounding fades out over them before it falls silent.
Mixer* MakeMixer(int32_t sampleRate, int32_t fadeFrames = 0);
// Only once no thread can call MixSound on it any more.
void FreeMixer(Mixer* mixer);
int32_t MixerSampleRate(const Mixer* mixer);

// Game thread. A voice starts at volume 1 and is held by the caller until
// DropVoice. No voice (value 0) when all 64 are taken or the source is empty.
MixerVoice StartVoice(Mixer* mixer, const MixerSource* source, bool looped, bool paused);
// 0 silent to 1 full; values outside are clamped, NaN is silence.
void SetVoiceVolume(Mixer* mixer, MixerVoice voice, float volume);
// A paused voice keeps its place and resumes there.
void SetVoicePaused(Mixer* mixer, MixerVoice voice, bool paused);
// Silences the voice for good; it still has to be dropped.
void StopVoice(Mixer* mixer, MixerVoice voice);
// Gives the handle back. A playing one-shot plays on to its end and is then
// freed; a looped, paused or stopped voice is freed at the next MixSound.
// Every call with a dropped or unknown handle does nothing.
void DropVoice(Mixer* mixer, MixerVoice voice);
// Voices StartVoice could hand out now.
int32_t CountFreeVoices(Mixer* mixer);

// Audio thread: writes frames of interleaved stereo (2 * frames samples),
// the sum of every playing voice, saturated to the 16-bit range. Never
// allocates, locks or waits.
void MixSound(Mixer* mixer, int16_t* output, int32_t frames);

// Mixing ahead, for an output that queues sound long before it plays: copy
// becomes the mixer as it stands, voices, places and fades, and MixSound on
// the copy then gives what the mixer will give without moving it. Both must
// come from MakeMixer; the copy is never handed to the game thread.
void CopyMixer(Mixer* copy, const Mixer* mixer);
// Whether the game thread has changed a voice of the mixer since the copy
// was made: what was mixed ahead on the copy is then out of date.
bool MixerChangedSince(const Mixer* mixer, const Mixer* copy);
