/* The Ogg Vorbis decoder's implementation, compiled once for the mixer. */
#include <stb/stb_vorbis.h>
