#include "sound/mixer.h"

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// The control word of a voice: flags in bits 0-7, generation in bits 8-31,
// the volume's float bits in bits 32-63. One atomic store publishes all of
// it, so the audio thread never sees half a change.
constexpr uint32_t kLooped = 1, kPaused = 2, kStopped = 4, kDropped = 8;
enum : uint32_t { kGenerationMask = 0xFFFFFF, kSlotBits = 8 };
enum : int32_t { kLongestSource = 1 << 29 };

enum class Holder : uint8_t { Free, Game, Mixer };

struct VoiceSlot {
    // Game thread only.
    Holder holder;
    uint32_t generation;
    uint64_t word;
    // Written by the game thread while the slot is free, read by the audio
    // thread once it sees the new generation.
    const MixerSource* source;
    std::atomic<uint64_t> control;
    // Written by the audio thread when it has let go of a generation.
    std::atomic<uint32_t> freedGeneration;
    // Audio thread only.
    uint32_t playingGeneration;
    const MixerSource* playing;
    int32_t position;
    float gain; // the fade's share of the volume, 0 to 1
    bool fadingOut;
    bool active;
    bool ended;
};

uint32_t FlagsOf(uint64_t word) { return static_cast<uint32_t>(word & 0xFF); }
uint32_t GenerationOf(uint64_t word) { return static_cast<uint32_t>(word >> kSlotBits) & kGenerationMask; }

float VolumeOf(uint64_t word)
{
    uint32_t bits = static_cast<uint32_t>(word >> 32);
    float volume;
    static_assert(sizeof volume == sizeof bits, "float is 32 bits");
    memcpy(&volume, &bits, sizeof volume);
    return volume;
}

uint64_t MakeWord(uint32_t flags, uint32_t generation, float volume)
{
    uint32_t bits;
    memcpy(&bits, &volume, sizeof bits);
    return static_cast<uint64_t>(bits) << 32 | static_cast<uint64_t>(generation & kGenerationMask) << kSlotBits | flags;
}

} // namespace

struct Mixer {
    int32_t sampleRate;
    float fadeStep; // the gain's change a frame; 1 fades in one frame
    VoiceSlot slots[kMixerVoices];
    float accumulator[kMixerBlockFrames * kMixerChannels]; // audio thread only
};

MixerSource* MakeMixerSource(int32_t frames)
{
    if (frames <= 0 || frames > kLongestSource)
        return nullptr;
    MixerSource* source = static_cast<MixerSource*>(malloc(sizeof(MixerSource)));
    if (!source)
        return nullptr;
    source->samples = static_cast<int16_t*>(malloc(sizeof(int16_t) * kMixerChannels * static_cast<size_t>(frames)));
    if (!source->samples) {
        free(source);
        return nullptr;
    }
    source->frames = frames;
    return source;
}

void FreeMixerSource(MixerSource* source)
{
    if (!source)
        return;
    free(source->samples);
    free(source);
}

Mixer* MakeMixer(int32_t sampleRate, int32_t fadeFrames)
{
    if (sampleRate <= 0)
        return nullptr;
    Mixer* mixer = new (std::nothrow) Mixer();
    if (!mixer)
        return nullptr;
    mixer->sampleRate = sampleRate;
    mixer->fadeStep = fadeFrames > 1 ? 1.0f / static_cast<float>(fadeFrames) : 1.0f;
    for (VoiceSlot& slot : mixer->slots) {
        slot.holder = Holder::Free;
        slot.generation = 0;
        slot.word = 0;
        slot.source = nullptr;
        slot.control.store(0, std::memory_order_relaxed);
        slot.freedGeneration.store(0, std::memory_order_relaxed);
        slot.playingGeneration = 0;
        slot.playing = nullptr;
        slot.position = 0;
        slot.gain = 1.0f;
        slot.fadingOut = false;
        slot.active = false;
        slot.ended = false;
    }
    return mixer;
}

void FreeMixer(Mixer* mixer) { delete mixer; }

int32_t MixerSampleRate(const Mixer* mixer) { return mixer ? mixer->sampleRate : 0; }

namespace {

// Slots the audio thread has let go of become free again.
void CollectFreedVoices(Mixer* mixer)
{
    for (VoiceSlot& slot : mixer->slots)
        if (slot.holder == Holder::Mixer && slot.freedGeneration.load(std::memory_order_acquire) == slot.generation)
            slot.holder = Holder::Free;
}

VoiceSlot* HeldSlot(Mixer* mixer, MixerVoice voice)
{
    uint32_t index = voice.value & ((1u << kSlotBits) - 1);
    if (!mixer || voice.value == 0 || index >= static_cast<uint32_t>(kMixerVoices))
        return nullptr;
    VoiceSlot& slot = mixer->slots[index];
    if (slot.holder != Holder::Game || slot.generation != voice.value >> kSlotBits)
        return nullptr;
    return &slot;
}

void Publish(VoiceSlot& slot, uint32_t flags, float volume)
{
    slot.word = MakeWord(flags, slot.generation, volume);
    slot.control.store(slot.word, std::memory_order_release);
}

} // namespace

MixerVoice StartVoice(Mixer* mixer, const MixerSource* source, bool looped, bool paused)
{
    if (!mixer || !source || source->frames <= 0 || !source->samples)
        return MixerVoice{0};
    CollectFreedVoices(mixer);
    for (int32_t index = 0; index < kMixerVoices; ++index) {
        VoiceSlot& slot = mixer->slots[index];
        if (slot.holder != Holder::Free)
            continue;
        slot.generation = (slot.generation + 1) & kGenerationMask;
        if (slot.generation == 0)
            slot.generation = 1;
        slot.holder = Holder::Game;
        slot.source = source;
        Publish(slot, (looped ? kLooped : 0) | (paused ? kPaused : 0), 1.0f);
        return MixerVoice{slot.generation << kSlotBits | static_cast<uint32_t>(index)};
    }
    return MixerVoice{0};
}

void SetVoiceVolume(Mixer* mixer, MixerVoice voice, float volume)
{
    VoiceSlot* slot = HeldSlot(mixer, voice);
    if (!slot)
        return;
    if (!(volume > 0.0f)) // NaN too
        volume = 0.0f;
    else if (volume > 1.0f)
        volume = 1.0f;
    Publish(*slot, FlagsOf(slot->word), volume);
}

void SetVoicePaused(Mixer* mixer, MixerVoice voice, bool paused)
{
    VoiceSlot* slot = HeldSlot(mixer, voice);
    if (!slot)
        return;
    uint32_t flags = FlagsOf(slot->word) & ~kPaused;
    Publish(*slot, flags | (paused ? kPaused : 0), VolumeOf(slot->word));
}

void StopVoice(Mixer* mixer, MixerVoice voice)
{
    VoiceSlot* slot = HeldSlot(mixer, voice);
    if (slot)
        Publish(*slot, FlagsOf(slot->word) | kStopped, VolumeOf(slot->word));
}

void DropVoice(Mixer* mixer, MixerVoice voice)
{
    VoiceSlot* slot = HeldSlot(mixer, voice);
    if (!slot)
        return;
    slot->holder = Holder::Mixer;
    Publish(*slot, FlagsOf(slot->word) | kDropped, VolumeOf(slot->word));
}

int32_t CountFreeVoices(Mixer* mixer)
{
    if (!mixer)
        return 0;
    CollectFreedVoices(mixer);
    int32_t count = 0;
    for (const VoiceSlot& slot : mixer->slots)
        count += slot.holder == Holder::Free;
    return count;
}

namespace {

void ReleaseVoice(VoiceSlot& slot)
{
    slot.active = false;
    slot.playing = nullptr;
    slot.freedGeneration.store(slot.playingGeneration, std::memory_order_release);
}

// Takes up what the game thread asked for since the last call; false when
// the voice has nothing to add to this call.
bool PrepareVoice(VoiceSlot& slot, uint64_t word, float fadeStep)
{
    uint32_t generation = GenerationOf(word);
    if (generation != slot.playingGeneration) {
        slot.playingGeneration = generation;
        slot.playing = slot.source;
        slot.position = 0;
        slot.active = generation != 0 && slot.playing;
        slot.ended = false;
        slot.fadingOut = false;
        // Only a source that starts away from silence needs to fade in.
        slot.gain =
            slot.active && fadeStep < 1.0f && (slot.playing->samples[0] || slot.playing->samples[1]) ? 0.0f : 1.0f;
    }
    if (!slot.active)
        return false;
    uint32_t flags = FlagsOf(word);
    bool paused = (flags & kPaused) != 0;
    // A stopped voice, or a dropped looped one, fades out if it is sounding
    // and the mixer fades at all; otherwise it falls silent at once.
    if (!slot.ended && ((flags & kStopped) || (flags & (kDropped | kLooped)) == (kDropped | kLooped))) {
        if (paused || fadeStep >= 1.0f || slot.gain <= 0.0f)
            slot.ended = true;
        else
            slot.fadingOut = true;
    }
    // A dropped voice that cannot reach its end by itself is let go now.
    if ((flags & kDropped) && (slot.ended || paused)) {
        ReleaseVoice(slot);
        return false;
    }
    return !slot.ended && !paused;
}

// Adds frames of the voice to the accumulator, wrapping a looped source
// without a gap; a one-shot that reaches its end, or a fade out that reaches
// silence, marks the voice ended.
void AddVoice(VoiceSlot& slot, bool looped, float volume, float fadeStep, float* accumulator, int32_t frames)
{
    const MixerSource& source = *slot.playing;
    int32_t done = 0;
    while (done < frames && !slot.ended) {
        int32_t count = source.frames - slot.position;
        if (count > frames - done)
            count = frames - done;
        const int16_t* in = source.samples + static_cast<size_t>(slot.position) * kMixerChannels;
        float* out = accumulator + static_cast<size_t>(done) * kMixerChannels;
        if (slot.gain < 1.0f || slot.fadingOut) {
            // Fading: the gain moves a step every frame.
            int32_t f = 0;
            for (; f < count && !slot.ended; ++f) {
                for (int32_t c = 0; c < kMixerChannels; ++c)
                    out[f * kMixerChannels + c] += static_cast<float>(in[f * kMixerChannels + c]) * volume * slot.gain;
                slot.gain += slot.fadingOut ? -fadeStep : fadeStep;
                if (slot.gain > 1.0f)
                    slot.gain = 1.0f;
                slot.ended = slot.fadingOut && slot.gain <= 0.0f;
            }
            count = f;
        } else {
            for (int32_t i = 0; i < count * kMixerChannels; ++i)
                out[i] += static_cast<float>(in[i]) * volume;
        }
        done += count;
        slot.position += count;
        if (slot.position == source.frames) {
            slot.position = 0;
            slot.ended = slot.ended || !looped;
        }
    }
}

void Saturate(const float* accumulator, int16_t* output, int32_t samples)
{
    for (int32_t i = 0; i < samples; ++i) {
        float s = accumulator[i];
        if (s > 32767.0f)
            s = 32767.0f;
        else if (s < -32768.0f)
            s = -32768.0f;
        output[i] = static_cast<int16_t>(lrintf(s));
    }
}

} // namespace

void MixSound(Mixer* mixer, int16_t* output, int32_t frames)
{
    if (!output || frames <= 0)
        return;
    if (!mixer) {
        memset(output, 0, sizeof(int16_t) * kMixerChannels * static_cast<size_t>(frames));
        return;
    }
    uint64_t words[kMixerVoices];
    bool sounding[kMixerVoices];
    for (int32_t v = 0; v < kMixerVoices; ++v) {
        words[v] = mixer->slots[v].control.load(std::memory_order_acquire);
        sounding[v] = PrepareVoice(mixer->slots[v], words[v], mixer->fadeStep);
    }
    for (int32_t start = 0; start < frames; start += kMixerBlockFrames) {
        int32_t count = frames - start < kMixerBlockFrames ? frames - start : kMixerBlockFrames;
        for (int32_t i = 0; i < count * kMixerChannels; ++i)
            mixer->accumulator[i] = 0.0f;
        for (int32_t v = 0; v < kMixerVoices; ++v) {
            VoiceSlot& slot = mixer->slots[v];
            if (sounding[v] && !slot.ended)
                AddVoice(slot, (FlagsOf(words[v]) & kLooped) != 0, VolumeOf(words[v]), mixer->fadeStep,
                         mixer->accumulator, count);
        }
        Saturate(mixer->accumulator, output + static_cast<size_t>(start) * kMixerChannels, count * kMixerChannels);
    }
    // A dropped voice that played to its end or faded out in this call is let go.
    for (int32_t v = 0; v < kMixerVoices; ++v) {
        VoiceSlot& slot = mixer->slots[v];
        if (sounding[v] && slot.ended && (FlagsOf(words[v]) & kDropped))
            ReleaseVoice(slot);
    }
}

void CopyMixer(Mixer* copy, const Mixer* mixer)
{
    copy->sampleRate = mixer->sampleRate;
    copy->fadeStep = mixer->fadeStep;
    for (int32_t v = 0; v < kMixerVoices; ++v) {
        VoiceSlot& to = copy->slots[v];
        const VoiceSlot& from = mixer->slots[v];
        to.holder = from.holder;
        to.generation = from.generation;
        to.word = from.word;
        to.source = from.source;
        to.control.store(from.control.load(std::memory_order_acquire), std::memory_order_relaxed);
        to.freedGeneration.store(from.freedGeneration.load(std::memory_order_relaxed), std::memory_order_relaxed);
        to.playingGeneration = from.playingGeneration;
        to.playing = from.playing;
        to.position = from.position;
        to.gain = from.gain;
        to.fadingOut = from.fadingOut;
        to.active = from.active;
        to.ended = from.ended;
    }
}

bool MixerChangedSince(const Mixer* mixer, const Mixer* copy)
{
    for (int32_t v = 0; v < kMixerVoices; ++v)
        if (mixer->slots[v].control.load(std::memory_order_acquire) !=
            copy->slots[v].control.load(std::memory_order_relaxed))
            return true;
    return false;
}
