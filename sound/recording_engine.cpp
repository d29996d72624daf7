#include "sound/recording_engine.h"

#include <cstring>

#include "sound/sound_engine.h"

SoundRecorder soundRecorder;

namespace {

SoundEngine recordingEngine;

// Sources and voices are handed out as addresses inside these arrays, so the
// recorder never allocates.
char sourceTokens[kRecordedSources];
char voiceTokens[kRecordedVoices];

int32_t SourceIndex(SoundSource* source)
{
    return source ? static_cast<int32_t>(reinterpret_cast<char*>(source) - sourceTokens) : -1;
}

int32_t VoiceIndex(SoundVoice* voice)
{
    return voice ? static_cast<int32_t>(reinterpret_cast<char*>(voice) - voiceTokens) : -1;
}

void Record(SoundCall call, int32_t source, int32_t voice, bool looped = false, bool paused = false, float volume = 0)
{
    SoundRecorder& r = soundRecorder;
    if (r.callCount >= kRecordedCalls) {
        r.lostCalls += 1;
        return;
    }
    r.calls[r.callCount++] = SoundCallRecord{call, source, voice, looped, paused, volume};
}

SoundSource* AddSource(SoundEngine*, const char* path)
{
    SoundRecorder& r = soundRecorder;
    if (r.refuseLoads || r.sourceCount >= kRecordedSources)
        return nullptr;
    int32_t index = r.sourceCount++;
    strncpy(r.sourceNames[index], path, kRecordedNameLength - 1);
    r.sourceNames[index][kRecordedNameLength - 1] = '\0';
    Record(SoundCall::Load, index, -1);
    return reinterpret_cast<SoundSource*>(&sourceTokens[index]);
}

SoundVoice* Play(SoundEngine*, SoundSource* source, bool looped, bool startPaused)
{
    SoundRecorder& r = soundRecorder;
    if (r.refusePlays)
        return nullptr;
    for (int32_t v = 0; v < kRecordedVoices; ++v) {
        if (r.voiceSource[v] >= 0)
            continue;
        r.voiceSource[v] = SourceIndex(source);
        r.liveVoices += 1;
        Record(SoundCall::Play, SourceIndex(source), v, looped, startPaused);
        return reinterpret_cast<SoundVoice*>(&voiceTokens[v]);
    }
    return nullptr;
}

int32_t SourceOf(int32_t voice) { return voice >= 0 ? soundRecorder.voiceSource[voice] : -1; }

void SetVolume(SoundEngine*, SoundVoice* voice, float volume)
{
    Record(SoundCall::SetVolume, SourceOf(VoiceIndex(voice)), VoiceIndex(voice), false, false, volume);
}

void SetPaused(SoundEngine*, SoundVoice* voice, bool paused)
{
    Record(SoundCall::SetPaused, SourceOf(VoiceIndex(voice)), VoiceIndex(voice), false, paused);
}

void Stop(SoundEngine*, SoundVoice* voice) { Record(SoundCall::Stop, SourceOf(VoiceIndex(voice)), VoiceIndex(voice)); }

void DropVoice(SoundEngine*, SoundVoice* voice)
{
    int32_t v = VoiceIndex(voice);
    Record(SoundCall::DropVoice, SourceOf(v), v);
    if (v >= 0 && soundRecorder.voiceSource[v] >= 0) {
        soundRecorder.voiceSource[v] = -1;
        soundRecorder.liveVoices -= 1;
    }
}

void DropEngine(SoundEngine*)
{
    Record(SoundCall::DropEngine, -1, -1);
    soundRecorder.engineAlive = false;
}

const SoundEngineOps kRecordingOps = {AddSource, Play, SetVolume, SetPaused, Stop, DropVoice, DropEngine};

} // namespace

void ClearSoundCalls()
{
    soundRecorder.callCount = 0;
    soundRecorder.lostCalls = 0;
}

void ResetSoundRecorder()
{
    ClearSoundCalls();
    soundRecorder.sourceCount = 0;
    for (int32_t& source : soundRecorder.voiceSource)
        source = -1;
    soundRecorder.liveVoices = 0;
    soundRecorder.engineAlive = false;
    soundRecorder.refuseLoads = false;
    soundRecorder.refusePlays = false;
}

SoundEngine* MakeRecordingSoundEngine()
{
    recordingEngine.ops = &kRecordingOps;
    soundRecorder.engineAlive = true;
    return &recordingEngine;
}
