// The renderer: the 160 by 120 virtual screen fitted to the window with a
// whole-number scale and margins, and the drawing operations of the game.
// Coordinates are virtual pixels, origin bottom-left, y up.
//
// A frame scaled by 2 or more whose quads would fill more than the window
// when drawn scaled (the title, the fades) is drawn once at 1x, over the
// whole visible area, in the back buffer's bottom-left corner, copied into a
// texture and shown scaled over the window with one quad. Every edge the game
// draws lies on a whole virtual pixel, so the window shows the same pixels
// either way; a frame is judged by the fill of the one before it.
#pragma once

#include <cstdint>

#include "text/font.h"
#include "text/string.h"

struct Texture;

// How frames reach the window: each the cheaper way, or always one way (the
// replay tool compares the two).
enum class FramePath : int32_t { Cheaper, Straight, Copied };

struct Renderer {
    int32_t virtualWidth = 0;
    int32_t virtualHeight = 0;
    float virtualAspect = 0;
    // The part of the virtual plane the window shows, rounded outwards.
    int32_t visibleLeft = 0, visibleRight = 0, visibleBottom = 0, visibleTop = 0;
    int32_t windowWidth = 0, windowHeight = 0; // 0 until the first resize
    int32_t scale = 0;                         // whole-number scale; 0 when the screen shrinks to fit
    Font font;
    FramePath framePath = FramePath::Cheaper;
    // The 1x picture and the texture it is copied into, made once a size;
    // copyReady when both fit this window, copying while a frame is copied.
    bool copyReady = false, copying = false;
    uint32_t copiedKey = 0;    // the same-picture key of the frame the texture holds; 0 for none
    bool showingCopy = false;  // this frame shows the copy again
    bool drawingFrame = false; // between BeginFrame and EndFrame
    int32_t pictureWidth = 0, pictureHeight = 0;
    uint32_t copyTexture = 0;
    int32_t copyTextureWidth = 0, copyTextureHeight = 0;
    // Virtual pixels the quads of this frame and of the last one covered.
    int64_t frameFill = 0, lastFrameFill = 0;
};

extern Renderer renderer;

// Sets the fixed GL state and loads the font; false when the font fails.
bool InitRenderer(int32_t virtualWidth, int32_t virtualHeight, const String& dataFolder, const String& fontFolder,
                  const String& fontFileName);
void ResizeRenderer(int32_t windowWidth, int32_t windowHeight);
// Deletes the copy texture and the sprite sheet; run while the GL context
// is still current.
void ReleaseRenderer();
// A frame is drawn between these two: BeginFrame points the drawing at the
// 1x picture when the frame is copied, EndFrame shows it scaled and leaves
// the GL drawing straight into the window again. A scene that draws the same
// picture every frame (the title) passes a key other than 0: while the copy
// of a frame of that key lasts, BeginFrame returns false, the scene draws
// nothing and EndFrame shows the copy again.
bool BeginFrame(uint32_t samePictureKey);
void EndFrame();
// Adds a quad's virtual pixels inside the visible area to the frame's fill.
void CountFill(int32_t left, int32_t right, int32_t bottom, int32_t top);
void ClearScreen();
// Draws the whole texture with its bottom-left corner at (x, y); a null
// texture draws nothing. Inside a frame it, the fills and the glyphs may wait
// to be drawn in batches (render/quad_queue.h).
void DrawSprite(const Texture* texture, int32_t x, int32_t y, bool mirrored);
void FillRect(int32_t left, int32_t right, int32_t bottom, int32_t top, float red, float green, float blue,
              float alpha);
// Fills the whole window, margins included.
void FillVisibleArea(float red, float green, float blue, float alpha);
