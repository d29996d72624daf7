#include "sound/decoder_memory.h"

#include <cstdlib>
#include <cstring>

namespace {

// Each block starts with its link in the list; the header is padded to keep
// the block as aligned as malloc's.
struct alignas(max_align_t) BlockHeader {
    BlockHeader* previous;
    BlockHeader* next;
    size_t size;
};

thread_local BlockHeader* heldBlocks = nullptr;
thread_local int64_t bytesInUse = 0;

BlockHeader* HeaderOf(void* block) { return static_cast<BlockHeader*>(block) - 1; }

void Unlink(BlockHeader* header)
{
    if (header->previous)
        header->previous->next = header->next;
    else
        heldBlocks = header->next;
    if (header->next)
        header->next->previous = header->previous;
    bytesInUse -= static_cast<int64_t>(header->size);
}

} // namespace

extern "C" void* DecoderAllocate(size_t size)
{
    if (size == 0 || size > static_cast<size_t>(kMostDecoderMemory - bytesInUse))
        return nullptr;
    BlockHeader* header = static_cast<BlockHeader*>(malloc(sizeof(BlockHeader) + size));
    if (!header)
        return nullptr;
    header->previous = nullptr;
    header->next = heldBlocks;
    header->size = size;
    if (heldBlocks)
        heldBlocks->previous = header;
    heldBlocks = header;
    bytesInUse += static_cast<int64_t>(size);
    return header + 1;
}

extern "C" void DecoderRelease(void* block)
{
    if (!block)
        return;
    BlockHeader* header = HeaderOf(block);
    Unlink(header);
    free(header);
}

extern "C" void* DecoderResize(void* block, size_t size)
{
    if (!block)
        return DecoderAllocate(size);
    if (size == 0) {
        DecoderRelease(block);
        return nullptr;
    }
    void* grown = DecoderAllocate(size);
    if (!grown)
        return nullptr;
    size_t kept = HeaderOf(block)->size;
    memcpy(grown, block, kept < size ? kept : size);
    DecoderRelease(block);
    return grown;
}

void ReleaseAllDecoderMemory()
{
    while (heldBlocks)
        DecoderRelease(heldBlocks + 1);
}

int64_t DecoderMemoryInUse() { return bytesInUse; }
