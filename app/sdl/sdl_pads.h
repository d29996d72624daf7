// Gamepads on Linux through SDL's game controller API. A pad plugged in
// before the game starts or while it runs takes the first free slot and keeps
// it until it is pulled out, which lets go of everything it held. Once a turn,
// before the ticks, each pad hands what it holds to the game.
#pragma once

#include <SDL.h>

// Starts SDL's game controllers; without them the game plays on without pads.
void StartPads();
// Opens a pad SDL reports added, or closes and releases one removed.
void HandlePadAdded(int deviceIndex);
void HandlePadRemoved(SDL_JoystickID instance);
// What every open pad holds now, to the game.
void HandOverPads();
