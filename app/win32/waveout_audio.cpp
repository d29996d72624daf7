#include "app/win32/waveout_audio.h"

#include <atomic>

#include "app/win32/win32_shell.h"
#include "sound/mixer.h"

namespace {

// Six buffers of 512 frames: about 70 ms queued at 44100 frames a second.
enum : int32_t { kQueuedBuffers = 6, kBufferFrames = 512 };

// The one open device, its buffers, and the thread that refills them. The
// driver signals bufferDone each time it has played a buffer.
struct WaveOutDevice {
    HWAVEOUT device;
    HANDLE bufferDone;
    HANDLE feeder;
    Mixer* mixer;
    std::atomic<bool> stopping;
    WAVEHDR headers[kQueuedBuffers];
    int16_t samples[kQueuedBuffers][kBufferFrames * kMixerChannels];
};
WaveOutDevice output;

void MixAndQueue(WAVEHDR& header)
{
    MixSound(output.mixer, reinterpret_cast<int16_t*>(header.lpData), kBufferFrames);
    header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
    waveOutWrite(output.device, &header, sizeof header);
}

// The only thread that calls MixSound: fills every buffer once, then each
// buffer again as the driver hands it back.
DWORD WINAPI FeedDevice(void*)
{
    for (WAVEHDR& header : output.headers)
        MixAndQueue(header);
    while (!output.stopping.load()) {
        WaitForSingleObject(output.bufferDone, INFINITE);
        for (WAVEHDR& header : output.headers)
            if ((header.dwFlags & WHDR_DONE) && !output.stopping.load())
                MixAndQueue(header);
    }
    return 0;
}

void ReleaseBuffers()
{
    waveOutReset(output.device);
    for (WAVEHDR& header : output.headers)
        if (header.dwFlags & WHDR_PREPARED)
            waveOutUnprepareHeader(output.device, &header, sizeof header);
    waveOutClose(output.device);
    CloseHandle(output.bufferDone);
    output.device = nullptr;
    output.bufferDone = nullptr;
    output.mixer = nullptr;
}

bool PrepareBuffers()
{
    for (int32_t i = 0; i < kQueuedBuffers; ++i) {
        WAVEHDR& header = output.headers[i];
        header = WAVEHDR{};
        header.lpData = reinterpret_cast<LPSTR>(output.samples[i]);
        header.dwBufferLength = sizeof output.samples[i];
        if (waveOutPrepareHeader(output.device, &header, sizeof header) != MMSYSERR_NOERROR)
            return false;
    }
    return true;
}

bool OpenWaveOut(Mixer* mixer, int32_t sampleRate)
{
    if (output.device)
        return false;
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = kMixerChannels;
    format.nSamplesPerSec = static_cast<DWORD>(sampleRate);
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(kMixerChannels * sizeof(int16_t));
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    output.bufferDone = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!output.bufferDone)
        return false;
    if (waveOutOpen(&output.device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(output.bufferDone), 0,
                    CALLBACK_EVENT) != MMSYSERR_NOERROR) {
        CloseHandle(output.bufferDone);
        output.device = nullptr;
        output.bufferDone = nullptr;
        return false;
    }
    output.mixer = mixer;
    output.stopping.store(false);
    if (!PrepareBuffers()) {
        ReleaseBuffers();
        return false;
    }
    output.feeder = CreateThread(nullptr, 0, FeedDevice, nullptr, 0, nullptr);
    if (!output.feeder) {
        ReleaseBuffers();
        return false;
    }
    SetThreadPriority(output.feeder, THREAD_PRIORITY_HIGHEST);
    return true;
}

// Returns once the feeding thread has ended, so MixSound runs no more.
void CloseWaveOut()
{
    if (!output.device)
        return;
    output.stopping.store(true);
    SetEvent(output.bufferDone);
    WaitForSingleObject(output.feeder, INFINITE);
    CloseHandle(output.feeder);
    output.feeder = nullptr;
    ReleaseBuffers();
}

} // namespace

SoundOutput WaveOutSoundOutput() { return SoundOutput{OpenWaveOut, CloseWaveOut}; }

SoundEngine* MakeWaveOutSoundEngine() { return MakeMixerSoundEngine(WaveOutSoundOutput()); }
