#include "sound/sound.h"

#include <new>

#include "app/diagnostics.h"
#include "sound/sound_engine.h"
#include "text/linked_list.h"

namespace {

struct SoundNameRecord {
    String name;
    uint32_t id;
    SoundNameRecord* previous;
    SoundNameRecord* next;
};

struct SoundNameBucket {
    SoundNameRecord* first;
    SoundNameRecord* last;
    uint32_t count;
};

struct SoundState {
    SoundEngine* engine;
    SoundSource* slots[kSoundSlots];
    uint32_t nextFreeSlot;
    SoundNameBucket names[kSoundNameBuckets];
};

SoundState sound;

SoundEngine* MakeNoEngine() { return nullptr; }
SoundEngineFactory engineFactory = MakeNoEngine;

void AppendRecord(SoundNameBucket& bucket, SoundNameRecord* record)
{
    AppendToList(bucket.first, bucket.last, bucket.count, record);
}

void UnlinkRecord(SoundNameBucket& bucket, SoundNameRecord* record)
{
    UnlinkFromList(bucket.first, bucket.last, bucket.count, record);
}

} // namespace

void SetSoundEngineFactory(SoundEngineFactory factory) { engineFactory = factory ? factory : MakeNoEngine; }

uint32_t HashSoundName(const String& name) { return HashNameLetters(name, kSoundNameBuckets); }

void ClearSoundNames()
{
    for (SoundNameBucket& bucket : sound.names)
        DeleteList(bucket.first, bucket.last, bucket.count);
}

void InitSound()
{
    ClearSoundNames();
    for (SoundSource*& slot : sound.slots)
        slot = nullptr;
    sound.nextFreeSlot = 1;
    if (!sound.engine)
        sound.engine = engineFactory();
}

uint32_t LoadSound(const String& name)
{
    if (!sound.engine)
        return 0;
    SoundNameBucket& bucket = sound.names[HashSoundName(name)];
    for (SoundNameRecord* record = bucket.first; record; record = record->next)
        if (record->name.Equals(name, FileNamesIgnoreCase()))
            return record->id;
    if (sound.nextFreeSlot >= kSoundSlots)
        return 0;
    if (!PathExists(name, false))
        return 0;
    SoundNameRecord* record = new (std::nothrow) SoundNameRecord{};
    if (!record)
        return 0;
    AppendRecord(bucket, record);
    SoundSource* source = sound.engine->ops->addSourceFromFile(sound.engine, name.Text());
    if (!source) {
        UnlinkRecord(bucket, record);
        delete record;
        return 0;
    }
    uint32_t id = sound.nextFreeSlot;
    sound.slots[id] = source;
    record->name = name;
    record->id = id;
    do
        sound.nextFreeSlot += 1;
    while (sound.nextFreeSlot < kSoundSlots && sound.slots[sound.nextFreeSlot]);
    return id;
}

SoundVoice* PlaySoundEffect(uint32_t id, float volume, bool looped)
{
    if (!sound.engine || id >= kSoundSlots || !sound.slots[id])
        return nullptr;
    const SoundEngineOps* ops = sound.engine->ops;
    SoundVoice* voice = ops->play(sound.engine, sound.slots[id], looped, true);
    if (!voice)
        return nullptr;
    ops->setVolume(sound.engine, voice, volume);
    ops->setPaused(sound.engine, voice, false);
    if (looped)
        return voice;
    ops->dropVoice(sound.engine, voice);
    return nullptr;
}

void StopSound(SoundVoice* voice)
{
    if (!sound.engine || !voice)
        return;
    sound.engine->ops->stop(sound.engine, voice);
    // The caller forgets the handle after stopping, so give it back here
    // rather than leak one voice per mating.
    sound.engine->ops->dropVoice(sound.engine, voice);
}

void ShutdownSound()
{
    if (sound.engine)
        sound.engine->ops->dropEngine(sound.engine);
    sound.engine = nullptr;
}
