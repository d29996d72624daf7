#include "text/text_draw.h"

#include "render/quad_queue.h"
#include "render/renderer.h"
#include "text/font.h"

namespace {
// Layout sums wrap around instead of overflowing, so a font of absurd
// metrics lays out nonsense but never undefined arithmetic.
int32_t Add(int32_t a, int32_t b) { return int32_t(uint32_t(a) + uint32_t(b)); }
int32_t Subtract(int32_t a, int32_t b) { return int32_t(uint32_t(a) - uint32_t(b)); }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

int32_t GlyphWidth(char c)
{
    const Glyph* glyph = nullptr;
    const FontPage* page = nullptr;
    FindGlyph(renderer.font, 0, uint8_t(c), glyph, page);
    return glyph ? glyph->width : 0;
}

// The line width once the blanks from `start` on and the word after them
// are drawn: one spacing and one glyph width per byte.
int32_t MeasureBlanksAndWord(const String& text, int32_t start, int32_t lineWidth)
{
    bool inWord = false;
    for (int32_t i = start; i < text.Length(); ++i) {
        char c = text[i];
        if (c == '\n' || (inWord && IsBlank(c)))
            break;
        if (!IsBlank(c))
            inWord = true;
        lineWidth = Add(lineWidth, Add(GlyphWidth(c), renderer.font.spacing));
    }
    return lineWidth;
}

struct Pen {
    int32_t x;         // where the next glyph goes
    int32_t lineY;     // bottom of the current line's cells
    int32_t lineWidth; // room taken on the current line
    bool lineStarted;
};

void NewLine(Pen& pen, int32_t left)
{
    pen.lineY = Subtract(pen.lineY, Add(renderer.font.lineGap, renderer.font.height));
    pen.x = left;
    pen.lineStarted = false;
}

void DrawGlyph(uint8_t code, int32_t x, int32_t y, bool outline, TextColour colour)
{
    const Glyph* glyph = nullptr;
    const FontPage* page = nullptr;
    FindGlyph(renderer.font, 0, code, glyph, page);
    if (!glyph || !page)
        return;
    int32_t grow = outline ? 1 : 0;
    int32_t imageWidth = outline ? page->outlineWidth : page->faceWidth;
    int32_t imageHeight = outline ? page->outlineHeight : page->faceHeight;
    uint32_t texture = outline ? page->outlineTexture : page->faceTexture;

    int32_t height = renderer.font.height;
    int32_t left = Subtract(x, grow), right = Add(Add(x, glyph->width), grow);
    int32_t bottom = Subtract(y, grow), top = Add(Add(y, height), grow);
    if (!(left < renderer.visibleRight && right >= renderer.visibleLeft && bottom < renderer.visibleTop &&
          top >= renderer.visibleBottom))
        return;
    if (imageWidth < 1 || imageHeight < 1)
        return;
    float cellX = float(glyph->x), cellY = float(glyph->y), border = float(grow);
    float s0 = (cellX - border) / float(imageWidth);
    float s1 = (cellX + float(glyph->width) + border) / float(imageWidth);
    float t0 = (cellY - border) / float(imageHeight);
    float t1 = (cellY + float(height) + border) / float(imageHeight);
    CountFill(left, right, bottom, top);
    QueueQuad(QuadLook{texture, true, true, true, colour.red, colour.green, colour.blue, colour.alpha}, left, right,
              bottom, top, s0, s1, t0, t1);
}
} // namespace

void DrawText(const String& text, int32_t x, int32_t y, int32_t maximumWidth, TextColour textColour,
              TextColour outlineColour)
{
    int32_t firstLineBottom = Subtract(y, renderer.font.height);
    DrawTextPass(text, x, firstLineBottom, maximumWidth, true, outlineColour);
    DrawTextPass(text, x, firstLineBottom, maximumWidth, false, textColour);
}

void DrawTextPass(const String& text, int32_t x, int32_t y, int32_t maximumWidth, bool outline, TextColour colour)
{
    const int32_t spacing = renderer.font.spacing;
    Pen pen = {x, y, 0, false};
    for (int32_t i = 0; i < text.Length(); ++i) {
        char c = text[i];
        if (c == '\n') {
            NewLine(pen, x);
            pen.lineWidth = 0;
            continue;
        }
        int32_t width = GlyphWidth(c);
        if (!IsBlank(c)) {
            if (pen.lineStarted)
                pen.lineWidth = Add(pen.lineWidth, spacing);
            pen.lineWidth = Add(pen.lineWidth, width);
            // A word too long for a line breaks before the glyph that passes it.
            if (pen.lineWidth > maximumWidth) {
                NewLine(pen, x);
                pen.lineWidth = width;
            }
            if (pen.lineStarted)
                pen.x = Add(pen.x, spacing);
            DrawGlyph(uint8_t(c), pen.x, pen.lineY, outline, colour);
            pen.lineStarted = true;
            pen.x = Add(pen.x, width);
            continue;
        }
        // Blanks at the start of a line take no room.
        if (!pen.lineStarted)
            continue;
        if (MeasureBlanksAndWord(text, i, pen.lineWidth) > maximumWidth) {
            NewLine(pen, x);
            pen.lineWidth = 0;
            continue;
        }
        pen.x = Add(pen.x, spacing);
        pen.lineWidth = Add(pen.lineWidth, Add(width, spacing));
        DrawGlyph(uint8_t(c), pen.x, pen.lineY, outline, colour);
        pen.x = Add(pen.x, width);
    }
}
