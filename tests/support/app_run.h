// Ends a test's run of the whole application as the shells end the program,
// then forgets the window's size and the game, so that the next test starts
// as the program does.
#pragma once

#include "app/app.h"
#include "game/game.h"
#include "render/renderer.h"

inline void EndAppRun()
{
    AppShutdown();
    AppRelease();
    renderer.windowWidth = renderer.windowHeight = 0;
    ResetGameState();
}
