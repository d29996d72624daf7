// Sound through SDL2's audio device: the mixer's 16-bit stereo frames are
// pulled by SDL's audio thread. Pass MakeSdlSoundEngine to
// SetSoundEngineFactory before InitSound; call ShutdownSound before SDL_Quit.
#pragma once

struct SoundEngine;

// Null, and the game stays silent, when no audio device can be opened. What
// the system's sound libraries print while the device opens is kept off
// standard error.
SoundEngine* MakeSdlSoundEngine();
