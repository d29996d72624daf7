// The renderer: the 160 by 120 virtual screen fitted to the window with a
// whole-number scale and margins, and the drawing operations of the game.
// Coordinates are virtual pixels, origin bottom-left, y up.
#pragma once

#include <cstdint>

#include "text/font.h"
#include "text/string.h"

struct Texture;

struct Renderer {
    int32_t virtualWidth = 0;
    int32_t virtualHeight = 0;
    float virtualAspect = 0;
    // The part of the virtual plane the window shows, rounded outwards.
    int32_t visibleLeft = 0, visibleRight = 0, visibleBottom = 0, visibleTop = 0;
    int32_t windowWidth = 0, windowHeight = 0; // 0 until the first resize
    Font font;
};

extern Renderer renderer;

// Sets the fixed GL state and loads the font; false when the font fails.
bool InitRenderer(int32_t virtualWidth, int32_t virtualHeight, const String& dataFolder, const String& fontFolder,
                  const String& fontFileName);
void ResizeRenderer(int32_t windowWidth, int32_t windowHeight);
void ClearScreen();
// Draws the whole texture with its bottom-left corner at (x, y); a null
// texture draws nothing.
void DrawSprite(const Texture* texture, int32_t x, int32_t y, bool mirrored);
void FillRect(int32_t left, int32_t right, int32_t bottom, int32_t top, float red, float green, float blue,
              float alpha);
// Fills the whole window, margins included.
void FillVisibleArea(float red, float green, float blue, float alpha);
