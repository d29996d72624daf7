// The game's icon as the Linux window shows it: the 32 by 32 picture of the
// Windows program's icon, made by the asset tool into the build, rows top
// first, each pixel 0xAARRGGBB with alpha 0 where it is transparent. Only a
// build that makes its assets has it (VELMORA_GAME_ICON is then defined).
#pragma once

#include <cstdint>

enum : int32_t { kGameIconSize = 32 };
extern const uint32_t kGameIcon[kGameIconSize * kGameIconSize];
