// The texts the scene draws and where each stands: x is the left edge, top
// the top edge of the first line (y up from the bottom of the virtual
// screen), maximumWidth the wrap width. The asset tool checks that the font
// fits them.
#pragma once

#include <cstdint>

#include "render/virtual_screen.h"

struct SceneText {
    const char* text;
    int32_t x, top, maximumWidth;
};

constexpr SceneText kTitleText = {"Velmora\n\n\nTry to seduce the other spider\n\nControls:\nArrow keys to move\n"
                                  "Hold space to wave a leg\n\n\nVenomous creatures can be dangerous. Take care.",
                                  4, kScreenHeight - 8, kScreenWidth - 8};
// Each label stands just right of its bar, its block starting at the bar's top.
constexpr SceneText kFearLabel = {"Fear", 98, kScreenHeight - 16, kScreenWidth - 98};
constexpr SceneText kExcitementLabel = {"Excitement", 98, kScreenHeight - 32, kScreenWidth - 98};
constexpr SceneText kChasedAwayMessage = {
    "You chased her away!\n\nSuccessful mating requires excitement to outweigh fear", 16, kScreenHeight - 32,
    kScreenWidth - 32};
constexpr SceneText kKilledMessage = {"You were killed!\n\nSuccessful mating requires more excitement", 16,
                                      kScreenHeight - 32, kScreenWidth - 32};
