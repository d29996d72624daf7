// Sound in a browser: the mixer's frames play through Web Audio as buffers
// of whole mixer blocks, each started at its exact frame of the audio clock.
// The page's one thread mixes, and a slow frame or a busy page may hold it up
// for half a second, so sound is queued that far ahead of the clock. What the
// game changes must still be heard at once, so two mixers run: the game's
// own, mixed only up to `committed`, a few blocks ahead of the clock, and a
// copy of it that mixes on to `queued`. When the game changes a voice, what
// was queued past `committed` is taken back and mixed again from a new copy.
#include <emscripten.h>
#include <emscripten/eventloop.h>

#include "app/web/web_shell.h"
#include "sound/mixer.h"
#include "sound/mixer_engine.h"

namespace {

// In mixer blocks of 11.6 ms: a change is heard 3 to 4 blocks after the
// refill that follows it, and 56 more blocks are queued, enough to ride over
// a stall of half a second and a little more. The queue grows by at least 4
// blocks at a time.
enum : int32_t { kLeadBlocks = 3, kQueueBlocks = 56, kRefillBlocks = 4, kMixBlocks = 16 };
// Refills also come from a timer, for pages that get no animation frames.
const double kRefillMilliseconds = 20;

Mixer* mixer;
Mixer* ahead;
double committed; // in frames of the audio clock
double queued;
long refillTimer;
int16_t samples[kMixBlocks * kMixerBlockFrames * kMixerChannels];

// The page's side: an audio context at the mixer's rate whose clock counts
// frames, woken by the player's first gesture, as browsers ask.
EM_JS(int, OpenPageAudio, (int rate), {
    var Context = window.AudioContext || window.webkitAudioContext;
    if (!Context)
        return 0;
    var context;
    try {
        context = new Context({sampleRate : rate, latencyHint : 'interactive'});
    } catch (error) {
        context = new Context();
    }
    var output = context.createGain();
    output.connect(context.destination);
    var sound = Module.sound = {context : context, output : output, rate : rate, playing : []};
    sound.wake = function() {
        if (!document.hidden && context.state == 'suspended')
            context.resume();
    };
    ['keydown', 'mousedown', 'pointerup', 'touchend'].forEach(function(type) {
        addEventListener(type, sound.wake, true);
    });
    return 1;
});

EM_JS(double, AudioClock, (), { return Math.round(Module.sound.context.currentTime * Module.sound.rate); });

// Plays the frames from the given frame of the clock on.
EM_JS(void, QueuePageAudio, (const int16_t* frames, int count, double start), {
    var sound = Module.sound;
    var buffer = sound.context.createBuffer(2, count, sound.rate);
    var left = buffer.getChannelData(0);
    var right = buffer.getChannelData(1);
    for (var i = 0, at = frames >> 1; i < count; ++i, at += 2) {
        left[i] = HEAP16[at] / 32768;
        right[i] = HEAP16[at + 1] / 32768;
    }
    var node = sound.context.createBufferSource();
    node.buffer = buffer;
    node.connect(sound.output);
    node.start(start / sound.rate);
    var heard = Math.round(sound.context.currentTime * sound.rate);
    sound.playing = sound.playing.filter(function(queued) { return queued.end > heard; });
    sound.playing.push({node : node, start : start, end : start + count});
});

// Silences everything queued from the given frame of the clock on.
EM_JS(void, TakeBackPageAudio, (double from), {
    var sound = Module.sound;
    sound.playing = sound.playing.filter(function(queued) {
        if (queued.end <= from)
            return true;
        if (queued.start < from)
            queued.node.stop(from / sound.rate);
        else
            queued.node.disconnect();
        return false;
    });
});

EM_JS(void, PausePageAudio, (int paused), {
    if (paused)
        Module.sound.context.suspend();
    else
        Module.sound.wake();
});

EM_JS(void, ClosePageAudio, (), {
    Module.sound.context.close();
    delete Module.sound;
});

// Mixes the given blocks on the copy and queues them from `queued` on.
void QueueAhead(int32_t blocks)
{
    while (blocks > 0) {
        int32_t count = blocks < kMixBlocks ? blocks : kMixBlocks;
        MixSound(ahead, samples, count * kMixerBlockFrames);
        QueuePageAudio(samples, count * kMixerBlockFrames, queued);
        queued += count * kMixerBlockFrames;
        blocks -= count;
    }
}

// The game's mixer moves on by what has been heard (or queued for good).
void Commit(double frames)
{
    for (; frames > 0; frames -= kMixerBlockFrames, committed += kMixerBlockFrames)
        MixSound(mixer, samples, kMixerBlockFrames);
}

void RefillOnTimer(void*) { RefillWebSound(); }

bool OpenWebSound(Mixer* game, int32_t sampleRate)
{
    if (mixer || !OpenPageAudio(sampleRate))
        return false;
    ahead = MakeMixer(sampleRate);
    if (!ahead) {
        ClosePageAudio();
        return false;
    }
    mixer = game;
    committed = queued = 0;
    refillTimer = emscripten_set_interval(RefillOnTimer, kRefillMilliseconds, nullptr);
    RefillWebSound();
    return true;
}

void CloseWebSound()
{
    if (!mixer)
        return;
    emscripten_clear_interval(refillTimer);
    ClosePageAudio();
    FreeMixer(ahead);
    ahead = nullptr;
    mixer = nullptr;
}

} // namespace

void RefillWebSound()
{
    if (!mixer)
        return;
    double now = AudioClock();
    double lead = now + kLeadBlocks * kMixerBlockFrames;
    if (queued < now + kMixerBlockFrames) {
        // Nothing left to hear (at the start, or after a stall longer than
        // the queue): what was queued has been heard, and the queue starts
        // again a lead ahead of the clock.
        Commit(queued - committed);
        committed = queued = lead;
        CopyMixer(ahead, mixer);
    } else if (MixerChangedSince(mixer, ahead)) {
        // A refill before the ticks keeps `committed` ahead of the clock;
        // should it have fallen behind, the change is heard from now on.
        if (committed < now)
            Commit(now - committed);
        TakeBackPageAudio(committed);
        queued = committed;
        CopyMixer(ahead, mixer);
    }
    if (committed < lead)
        Commit(lead - committed);
    int32_t missing = static_cast<int32_t>((committed - queued) / kMixerBlockFrames) + kQueueBlocks;
    if (missing >= kRefillBlocks)
        QueueAhead(missing);
}

void PauseWebSound(bool paused)
{
    if (mixer)
        PausePageAudio(paused);
}

SoundEngine* MakeWebSoundEngine() { return MakeMixerSoundEngine(SoundOutput{OpenWebSound, CloseWebSound}); }
