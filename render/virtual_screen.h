// The virtual screen: the 160 by 120 pixel picture the game draws, shown
// scaled by a whole factor. The renderer, the window sizes, the scene's
// texts and the asset tool all take its size from here.
#pragma once

#include <cstdint>

constexpr int32_t kScreenWidth = 160;
constexpr int32_t kScreenHeight = 120;
