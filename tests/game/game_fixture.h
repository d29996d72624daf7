// A fixture for the game rules: a folder with the game's sound files (empty,
// the recording engine never reads them), the scripted platform, and helpers
// that hold keys for a number of ticks.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/game.h"
#include "tests/support/scratch_folder.h"

struct HeldKeys {
    bool left, right, space;
};

const HeldKeys kNoKeys = {false, false, false};
const HeldKeys kSpace = {false, false, true};
const HeldKeys kRight = {false, true, false};
const HeldKeys kLeft = {true, false, false};

class GameRules : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs ticks with these keys held; returns the names of the sounds
    // started or stopped meanwhile, in order ("beep", "stoplove"...).
    std::vector<std::string> Hold(HeldKeys keys, int ticks = 1);
    // From the title screen: one tick with space starts a game, then space up.
    void StartGame();
    // Plays until an outcome is set or the tick limit passes: courts her with
    // waves until Excitement reaches wantedExcitement, then walks towards her
    // whenever the step cannot let Fear win, waving on the way or not.
    void CourtUntil(int32_t wantedExcitement, bool waveOnTheWay, int maxTicks);
    // Records every tick's keys, for writing replay scripts.
    std::vector<HeldKeys> keyLog;
    std::vector<std::string> soundLog;

private:
    ScratchFolder folder;
};

// The frames of an animation with the given durations, no images.
void FillAnimation(Animation& animation, std::initializer_list<int32_t> durations);
void FreeAnimation(Animation& animation);
