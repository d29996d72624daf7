// Feeds arbitrary bytes to the Ogg decoder as a whole sound file, and plays
// whatever it accepts once through a mixer, looped, across its seam.
#include "sound/mixer.h"
#include "sound/ogg_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MixerSource* source = DecodeOggMemory(data, static_cast<int64_t>(size), 44100);
    if (!source)
        return 0;
    if (source->frames <= 0 || source->frames > 44100 * kLongestSoundSeconds + 1)
        __builtin_trap();
    Mixer* mixer = MakeMixer(44100);
    static int16_t output[2 * 4096];
    MixerVoice voice = StartVoice(mixer, source, true, false);
    int32_t frames = source->frames + 1 < 4096 ? source->frames + 1 : 4096;
    MixSound(mixer, output, frames);
    DropVoice(mixer, voice);
    FreeMixer(mixer);
    FreeMixerSource(source);
    return 0;
}
