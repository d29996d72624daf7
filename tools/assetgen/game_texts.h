// The texts the game draws and where, so the tool can check that its font
// fits them and draw previews of the screens.
#pragma once

#include "game/scene_texts.h"

using GameText = SceneText;
