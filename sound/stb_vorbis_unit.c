/* The Ogg Vorbis decoder's implementation, compiled once for the mixer, with
   its memory taken from our tracked allocator. The headers it would include
   come first, so the renaming below touches only the decoder's own calls. */
#include <assert.h>
#include <limits.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#if defined(_WIN32)
#include <malloc.h>
#else
#include <alloca.h>
#endif

#include "sound/decoder_memory.h"

#define malloc(size) DecoderAllocate(size)
#define realloc(block, size) DecoderResize(block, size)
#define free(block) DecoderRelease(block)

#include <stb/stb_vorbis.h>
