// Pictures of a replayed game: the scene exactly as DrawGame draws it, into
// an offscreen surface of the window's size, saved as PNG.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/renderer.h"

struct ShotRequest {
    int64_t tick; // taken after this tick has run; 0 is before the first
    std::string path;
};

// Reads "TICK:FILE.png"; false when it is malformed.
bool ParseShotRequest(const char* text, ShotRequest& shot);

struct OffscreenGl;

// Starts the game's renderer, font, images and sounds exactly as the program
// does, drawing into a surface of width x height pixels by the frame path
// given. False, with the reason on stderr, when no surface can be made or
// start-up fails.
bool StartScreenshots(int32_t width, int32_t height, FramePath path);
bool TakeScreenshot(const std::string& path);
void StopScreenshots();
