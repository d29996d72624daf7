// The memory the Ogg decoder takes. Every block is kept on a list, so what
// the decoder forgets to give back after a bad file is freed once the file is
// done with, and the total is bounded, so no file can make it take more than
// kMostDecoderMemory. The list belongs to the thread that decodes.
#pragma once

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

// Null when the size is 0 or would pass the bound.
void* DecoderAllocate(size_t size);
void* DecoderResize(void* block, size_t size);
void DecoderRelease(void* block);

#ifdef __cplusplus
}

#include <cstdint>

enum : int64_t { kMostDecoderMemory = 64 << 20 };

// Frees every block still held on this thread.
void ReleaseAllDecoderMemory();
int64_t DecoderMemoryInUse();
#endif
