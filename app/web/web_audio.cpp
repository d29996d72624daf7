// Sound in a browser: the mixer's 16-bit stereo frames go out through
// OpenAL's queued buffers, which the browser plays with Web Audio. There is
// no audio thread; the main loop refills each buffer the browser has played.
#include <AL/al.h>
#include <AL/alc.h>
#include <emscripten.h>

#include "app/web/web_shell.h"
#include "sound/mixer.h"
#include "sound/mixer_engine.h"

namespace {

// Four buffers of about 23 ms: enough to ride over a late animation frame.
enum : int32_t { kBufferCount = 4, kBufferFrames = 1024 };

ALCdevice* device;
ALCcontext* context;
ALuint source;
ALuint buffers[kBufferCount];
Mixer* playing;
int32_t rate;
int16_t samples[kBufferFrames * kMixerChannels];

void FillBuffer(ALuint buffer)
{
    MixSound(playing, samples, kBufferFrames);
    alBufferData(buffer, AL_FORMAT_STEREO16, samples, sizeof samples, rate);
}

void CloseWebSound();

bool OpenWebSound(Mixer* mixer, int32_t sampleRate)
{
    if (device)
        return false;
    device = alcOpenDevice(nullptr);
    if (!device)
        return false;
    context = alcCreateContext(device, nullptr);
    if (!context || !alcMakeContextCurrent(context)) {
        CloseWebSound();
        return false;
    }
    alGenSources(1, &source);
    alGenBuffers(kBufferCount, buffers);
    playing = mixer;
    rate = sampleRate;
    for (ALuint buffer : buffers)
        FillBuffer(buffer);
    alSourceQueueBuffers(source, kBufferCount, buffers);
    alSourcePlay(source);
    return true;
}

void CloseWebSound()
{
    if (playing) {
        alSourceStop(source);
        alDeleteSources(1, &source);
        alDeleteBuffers(kBufferCount, buffers);
        playing = nullptr;
    }
    // OpenAL leaves the page's audio context open; closing it gives the
    // audio device back to the browser.
    if (context)
        EM_ASM({ if (AL.currentCtx) AL.currentCtx.audioCtx.close(); });
    alcMakeContextCurrent(nullptr);
    if (context)
        alcDestroyContext(context);
    if (device)
        alcCloseDevice(device);
    context = nullptr;
    device = nullptr;
}

} // namespace

void PumpWebSound()
{
    if (!playing)
        return;
    ALint played = 0;
    alGetSourcei(source, AL_BUFFERS_PROCESSED, &played);
    for (; played > 0; --played) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(source, 1, &buffer);
        FillBuffer(buffer);
        alSourceQueueBuffers(source, 1, &buffer);
    }
    // A page that was hidden for a while has run dry; start it again.
    ALint state = AL_PLAYING;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    if (state != AL_PLAYING)
        alSourcePlay(source);
}

SoundEngine* MakeWebSoundEngine() { return MakeMixerSoundEngine(SoundOutput{OpenWebSound, CloseWebSound}); }
