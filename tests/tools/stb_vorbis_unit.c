/* The Ogg Vorbis decoder the asset tests check the generated sounds with. */
#include <stb/stb_vorbis.h>
