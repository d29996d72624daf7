// Lays text out glyph by glyph as the game's text drawing does.
#include "tools/assetgen/text_layout.h"

#include <algorithm>

namespace {

int GlyphWidth(const FontSource& font, int code)
{
    if (font.glyphs[code].defined)
        return font.glyphs[code].width;
    for (const GlyphBitmap& glyph : font.glyphs)
        if (glyph.defined)
            return glyph.width;
    return 0;
}

bool IsBlank(unsigned char c) { return c == ' ' || c == '\t'; }

// The line width after this blank, the blanks after it and the next word.
int MeasureBlankAndWord(const FontSource& font, const std::string& text, size_t start, int lineWidth)
{
    bool inWord = false;
    for (size_t i = start; i < text.size() && text[i] != '\n'; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (IsBlank(c) && inWord)
            break;
        if (!IsBlank(c))
            inWord = true;
        lineWidth += GlyphWidth(font, c) + font.spacing;
    }
    return lineWidth;
}

} // namespace

TextLayout LayOutText(const FontSource& font, const std::string& text, int maximumWidth)
{
    TextLayout layout;
    int pen = 0, lineWidth = 0, line = 0;
    bool lineStarted = false;
    auto newLine = [&]() {
        ++line;
        pen = 0;
        lineWidth = 0;
        lineStarted = false;
    };
    auto place = [&](int code, int width) {
        layout.glyphs.push_back(PlacedGlyph{code, pen, line});
        lineStarted = true;
        pen += width;
        layout.widestLine = std::max(layout.widestLine, pen);
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\n') {
            newLine();
            continue;
        }
        const int width = GlyphWidth(font, c);
        if (!IsBlank(c)) {
            if (lineStarted)
                lineWidth += font.spacing;
            lineWidth += width;
            if (lineWidth > maximumWidth) {
                newLine();
                lineWidth = width;
            }
            if (lineStarted)
                pen += font.spacing;
            place(c, width);
            continue;
        }
        if (!lineStarted)
            continue;
        if (MeasureBlankAndWord(font, text, i, lineWidth) > maximumWidth) {
            newLine();
            continue;
        }
        pen += font.spacing;
        lineWidth += width + font.spacing;
        place(c, width);
    }
    layout.lineCount = text.empty() ? 0 : line + 1;
    return layout;
}

int TextBlockHeight(const FontSource& font, const TextLayout& layout)
{
    if (layout.lineCount == 0)
        return 0;
    return layout.lineCount * font.height + (layout.lineCount - 1) * font.lineGap + 1;
}
