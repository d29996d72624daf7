#include "render/texture_cache.h"

#include <new>

#include "render/texture.h"
#include "text/linked_list.h"

namespace {
struct TextureCacheEntry {
    String name;
    int32_t fadeDivisor = 0;
    int32_t fadeRed = 0, fadeGreen = 0, fadeBlue = 0;
    Texture texture;
    int32_t referenceCount = 0;
    TextureCacheEntry* previous = nullptr;
    TextureCacheEntry* next = nullptr;
};

template <typename Record>
struct TextureBucket {
    Record* first;
    Record* last;
    uint32_t count;
};

typedef TextureBucket<TextureCacheEntry> NameBucket;

struct TextureIdNode {
    NameBucket* nameBucket = nullptr;
    TextureCacheEntry* entry = nullptr;
    TextureIdNode* previous = nullptr;
    TextureIdNode* next = nullptr;
};

typedef TextureBucket<TextureIdNode> IdBucket;

NameBucket nameIndex[kTextureBuckets];
IdBucket idIndex[kTextureBuckets];

template <typename Record>
void Append(TextureBucket<Record>& bucket, Record* record)
{
    AppendToList(bucket.first, bucket.last, bucket.count, record);
}

template <typename Record>
void Unlink(TextureBucket<Record>& bucket, Record* record)
{
    UnlinkFromList(bucket.first, bucket.last, bucket.count, record);
}

IdBucket& IdBucketFor(uint32_t glName) { return idIndex[glName & 0x7FFF]; }

bool Matches(const TextureCacheEntry& entry, const String& name, int32_t fadeDivisor, int32_t fadeRed,
             int32_t fadeGreen, int32_t fadeBlue)
{
    return entry.name.Equals(name, FileNamesIgnoreCase()) && entry.fadeDivisor == fadeDivisor &&
           entry.fadeRed == fadeRed && entry.fadeGreen == fadeGreen && entry.fadeBlue == fadeBlue;
}

TextureIdNode* FindIdNode(const Texture* texture)
{
    if (!texture)
        return nullptr;
    for (TextureIdNode* node = IdBucketFor(texture->glName).first; node; node = node->next)
        if (node->entry->texture.glName == texture->glName)
            return node;
    return nullptr;
}
} // namespace

uint32_t HashTextureName(const String& name) { return HashNameLetters(name, kTextureBuckets); }

Texture* AcquireTexture(const String& name, int32_t fadeDivisor, int32_t fadeRed, int32_t fadeGreen, int32_t fadeBlue)
{
    NameBucket& bucket = nameIndex[HashTextureName(name)];
    for (TextureCacheEntry* entry = bucket.first; entry; entry = entry->next) {
        if (Matches(*entry, name, fadeDivisor, fadeRed, fadeGreen, fadeBlue)) {
            entry->referenceCount += 1;
            return &entry->texture;
        }
    }
    TextureCacheEntry* entry = new (std::nothrow) TextureCacheEntry;
    if (!entry)
        return nullptr;
    Append(bucket, entry);
    TextureIdNode* node = nullptr;
    if (entry->texture.Load(name, fadeDivisor, fadeRed, fadeGreen, fadeBlue))
        node = new (std::nothrow) TextureIdNode;
    if (!node) {
        Unlink(bucket, entry);
        delete entry;
        return nullptr;
    }
    Append(IdBucketFor(entry->texture.glName), node);
    entry->name = name;
    entry->fadeDivisor = fadeDivisor;
    entry->fadeRed = fadeRed;
    entry->fadeGreen = fadeGreen;
    entry->fadeBlue = fadeBlue;
    entry->referenceCount = 1;
    node->nameBucket = &bucket;
    node->entry = entry;
    return &entry->texture;
}

void ReleaseTexture(Texture* texture)
{
    TextureIdNode* node = FindIdNode(texture);
    if (!node)
        return;
    TextureCacheEntry* entry = node->entry;
    entry->referenceCount -= 1;
    if (entry->referenceCount > 0)
        return;
    Unlink(*node->nameBucket, entry);
    IdBucket& idBucket = IdBucketFor(entry->texture.glName);
    delete entry;
    Unlink(idBucket, node);
    delete node;
}

void ClearTextureCache()
{
    for (IdBucket& bucket : idIndex)
        DeleteList(bucket.first, bucket.last, bucket.count);
    for (NameBucket& bucket : nameIndex)
        DeleteList(bucket.first, bucket.last, bucket.count);
}
