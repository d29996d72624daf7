#include "sound/mixer_engine.h"

#include <new>

#include "sound/mixer.h"
#include "sound/ogg_decode.h"
#include "sound/sound_engine.h"

// A loaded sound: its decoded frames, kept on the engine's list until the
// engine is dropped.
struct SoundSource {
    MixerSource* decoded;
    SoundSource* next;
};

namespace {

struct MixerEngine {
    SoundEngine base; // first, so a SoundEngine* is the MixerEngine*
    Mixer* mixer;
    SoundOutput output;
    SoundSource* sources;
};

MixerEngine* EngineOf(SoundEngine* engine) { return reinterpret_cast<MixerEngine*>(engine); }

// Voice handles travel as pointers that are really the mixer's handle
// numbers; they are never dereferenced.
SoundVoice* ToSoundVoice(MixerVoice voice)
{
    return reinterpret_cast<SoundVoice*>(static_cast<uintptr_t>(voice.value));
}
MixerVoice ToMixerVoice(SoundVoice* voice)
{
    uintptr_t value = reinterpret_cast<uintptr_t>(voice);
    return MixerVoice{value <= UINT32_MAX ? static_cast<uint32_t>(value) : 0};
}

SoundSource* AddSourceFromFile(SoundEngine* engine, const char* path)
{
    if (!path)
        return nullptr;
    MixerEngine* self = EngineOf(engine);
    MixerSource* decoded = DecodeOggFile(String(path), MixerSampleRate(self->mixer));
    if (!decoded)
        return nullptr;
    SoundSource* source = new (std::nothrow) SoundSource{decoded, self->sources};
    if (!source) {
        FreeMixerSource(decoded);
        return nullptr;
    }
    self->sources = source;
    return source;
}

SoundVoice* Play(SoundEngine* engine, SoundSource* source, bool looped, bool startPaused)
{
    if (!source)
        return nullptr;
    MixerVoice voice = StartVoice(EngineOf(engine)->mixer, source->decoded, looped, startPaused);
    return voice.value ? ToSoundVoice(voice) : nullptr;
}

void SetVolume(SoundEngine* engine, SoundVoice* voice, float volume)
{
    SetVoiceVolume(EngineOf(engine)->mixer, ToMixerVoice(voice), volume);
}

void SetPaused(SoundEngine* engine, SoundVoice* voice, bool paused)
{
    SetVoicePaused(EngineOf(engine)->mixer, ToMixerVoice(voice), paused);
}

void Stop(SoundEngine* engine, SoundVoice* voice) { StopVoice(EngineOf(engine)->mixer, ToMixerVoice(voice)); }

void Drop(SoundEngine* engine, SoundVoice* voice) { DropVoice(EngineOf(engine)->mixer, ToMixerVoice(voice)); }

void DropEngine(SoundEngine* engine)
{
    MixerEngine* self = EngineOf(engine);
    self->output.close(); // no MixSound runs after this
    for (SoundSource* source = self->sources; source;) {
        SoundSource* next = source->next;
        FreeMixerSource(source->decoded);
        delete source;
        source = next;
    }
    FreeMixer(self->mixer);
    delete self;
}

const SoundEngineOps kMixerOps = {AddSourceFromFile, Play, SetVolume, SetPaused, Stop, Drop, DropEngine};

} // namespace

SoundEngine* MakeMixerSoundEngine(const SoundOutput& output, int32_t sampleRate)
{
    if (!output.open || !output.close)
        return nullptr;
    Mixer* mixer = MakeMixer(sampleRate, sampleRate / 1000 * kVoiceFadeMilliseconds);
    if (!mixer)
        return nullptr;
    MixerEngine* engine = new (std::nothrow) MixerEngine{SoundEngine{&kMixerOps}, mixer, output, nullptr};
    if (!engine || !output.open(mixer, sampleRate)) {
        delete engine;
        FreeMixer(mixer);
        return nullptr;
    }
    return &engine->base;
}
