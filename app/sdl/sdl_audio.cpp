#include "app/sdl/sdl_audio.h"

#include <SDL.h>

#include "app/posix/standard_streams.h"
#include "sound/mixer.h"
#include "sound/mixer_engine.h"

namespace {

SDL_AudioDeviceID device = 0;

// About 23 ms a buffer at 44100 frames a second.
enum : int32_t { kDeviceBufferFrames = 1024 };

void SDLCALL FillAudio(void* mixer, Uint8* stream, int bytes)
{
    MixSound(static_cast<Mixer*>(mixer), reinterpret_cast<int16_t*>(stream),
             bytes / static_cast<int>(sizeof(int16_t) * kMixerChannels));
}

bool OpenDevice(Mixer* mixer, int32_t sampleRate)
{
    // Counted by SDL: the shell's own SDL_Init is left as it was.
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    SDL_AudioSpec wanted{};
    wanted.freq = sampleRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = kMixerChannels;
    wanted.samples = kDeviceBufferFrames;
    wanted.callback = FillAudio;
    wanted.userdata = mixer;
    SDL_AudioSpec obtained;
    // No changes allowed: SDL converts to whatever the device really plays.
    device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (!device) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    SDL_PauseAudioDevice(device, 0);
    return true;
}

bool OpenSdlAudio(Mixer* mixer, int32_t sampleRate)
{
    if (device)
        return false;
    // The sound libraries SDL loads (ALSA's above all) print their own
    // complaints while a device is looked for, say on a machine without a
    // sound card. They are not about the game's data, and no line of the
    // game's own is written meanwhile.
    int saved = QuietStandardError();
    bool opened = OpenDevice(mixer, sampleRate);
    RestoreStandardError(saved);
    return opened;
}

// SDL_CloseAudioDevice waits for the audio thread, so no MixSound follows.
void CloseSdlAudio()
{
    if (!device)
        return;
    SDL_CloseAudioDevice(device);
    device = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

} // namespace

SoundEngine* MakeSdlSoundEngine() { return MakeMixerSoundEngine(SoundOutput{OpenSdlAudio, CloseSdlAudio}); }
