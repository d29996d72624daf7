// SDL's events turned into the application callbacks, as a window procedure
// would: size changes snap the framed window to whole multiples of the
// virtual screen and repaint, focus changes switch the cursor and vertical
// synchronisation, keys update the held-key table, Alt+Enter switches full
// screen, gamepads come and go, and a close request shuts the game down.
// Nothing reaches the game while the window is not ready.
#pragma once

#include <SDL.h>

// True once the window has been closed and the program is to end.
bool HandleShellEvent(const SDL_Event& event);
// The current drawable size to the renderer, then a repaint.
void ResizeAndPaintGameWindow();
