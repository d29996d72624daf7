// The texts the game draws and where, so the tool can check that its font
// fits them and draw previews of the screens.
#pragma once

struct GameText {
    const char* text;
    int x, top, maximumWidth; // left edge, top edge (y up from the bottom) and wrap width
};

const int kScreenWidth = 160, kScreenHeight = 120;

const GameText kTitleText = {"Velmora\n\n\nTry to seduce the other spider\n\nControls:\nArrow keys to move\n"
                             "Hold space to wave a leg\n\n\nVenomous creatures can be dangerous. Take care.",
                             4, 112, 152};
const GameText kFearLabel = {"Fear", 98, 104, 62};
const GameText kExcitementLabel = {"Excitement", 98, 88, 62};
const GameText kChasedAwayMessage = {"You chased her away!\n\nSuccessful mating requires excitement to outweigh fear", 16, 88, 128};
const GameText kKilledMessage = {"You were killed!\n\nSuccessful mating requires more excitement", 16, 88, 128};
