// The game's pictures and sounds by their files in the Data folder. The game
// loads them, the asset tool makes them (a file per name, from the source of
// the same name), and the build reads this list for the files it expects.
#pragma once

#include <cstdint>

enum GameImage : int32_t {
    kTitleImage,
    kSpiderStandImage,
    kLegRaised1Image,
    kLegRaised2Image,
    kLegRaised3Image,
    kWalk1Image, // the eight walking frames in order
    kDying1Image = kWalk1Image + 8,
    kDying2Image,
    kDeadImage,
    kBigHeartImage,
    kHeart1Image, // the three falling hearts in order
    kGameImageCount = kHeart1Image + 3,
};

constexpr const char* kGameImageFiles[kGameImageCount] = {
    "Data/title.png",
    "Data/spider stand.png",
    "Data/spider leg raised 1.png",
    "Data/spider leg raised 2.png",
    "Data/spider leg raised 3.png",
    "Data/spider walk 1.png",
    "Data/spider walk 2.png",
    "Data/spider walk 3.png",
    "Data/spider walk 4.png",
    "Data/spider walk 5.png",
    "Data/spider walk 6.png",
    "Data/spider walk 7.png",
    "Data/spider walk 8.png",
    "Data/spider dying 1.png",
    "Data/spider dying 2.png",
    "Data/spider dead.png",
    "Data/big heart.png",
    "Data/heart 1.png",
    "Data/heart 2.png",
    "Data/heart 3.png",
};

enum GameSound : int32_t { kBeepSound, kRunAwaySound, kDeathSound, kLoveSound, kGameSoundCount };

constexpr const char* kGameSoundFiles[kGameSoundCount] = {
    "Data/beep.ogg",
    "Data/run away.ogg",
    "Data/death.ogg",
    "Data/love.ogg",
};
