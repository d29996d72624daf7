// Composes the preview pictures on a canvas and writes them enlarged.
#include "tools/assetgen/preview.h"

#include "tools/assetgen/asset_build.h"
#include "tools/assetgen/game_texts.h"
#include "tools/assetgen/text_layout.h"

namespace {

struct Canvas {
    PixelArt art;
    void Put(int x, int y, const uint8_t* colour)
    {
        if (x < 0 || y < 0 || x >= art.width || y >= art.height)
            return;
        for (int c = 0; c < 3; ++c)
            art.rgb[size_t(3 * (y * art.width + x) + c)] = colour[c];
    }
};

Canvas MakeCanvas(int width, int height, uint8_t grey)
{
    Canvas canvas;
    canvas.art.width = width;
    canvas.art.height = height;
    canvas.art.rgb.assign(size_t(3 * width * height), grey);
    return canvas;
}

// Draws art with its top-left corner at (left, top), canvas rows downward,
// skipping the colour key as the game does.
void Blit(Canvas& canvas, const PixelArt& art, int left, int top, bool mirrored)
{
    for (int y = 0; y < art.height; ++y)
        for (int x = 0; x < art.width; ++x) {
            const int sourceX = mirrored ? art.width - 1 - x : x;
            if (!IsTransparentPixel(art, sourceX, y))
                canvas.Put(left + x, top + y, &art.rgb[size_t(3 * (y * art.width + sourceX))]);
        }
}

// The screen's y grows upward; the canvas row of screen row y is H - 1 - y.
void BlitCentred(Canvas& screen, const PixelArt& art, int x, int y, bool mirrored)
{
    const int left = x - art.width / 2, bottom = y - art.height / 2;
    Blit(screen, art, left, kScreenHeight - bottom - art.height, mirrored);
}

void FillScreenRect(Canvas& screen, int left, int right, int bottom, int top, const uint8_t* colour)
{
    for (int y = bottom; y < top; ++y)
        for (int x = left; x < right; ++x)
            screen.Put(x, kScreenHeight - 1 - y, colour);
}

void DrawGameText(Canvas& screen, const FontSource& font, const GameText& text)
{
    static const uint8_t white[3] = {255, 255, 255}, outlineBlack[3] = {0, 0, 0};
    const TextLayout layout = LayOutText(font, text.text, text.maximumWidth);
    for (int pass = 0; pass < 2; ++pass)
        for (const PlacedGlyph& placed : layout.glyphs) {
            const GlyphBitmap& glyph = font.glyphs[placed.code];
            if (!glyph.defined)
                continue;
            const int top = kScreenHeight - text.top + placed.line * (font.height + font.lineGap);
            for (int gy = 0; gy < font.height; ++gy)
                for (int gx = 0; gx < glyph.width; ++gx) {
                    if (!glyph.ink[size_t(gy * glyph.width + gx)])
                        continue;
                    const int x = text.x + placed.x + gx, y = top + gy;
                    if (pass == 1) {
                        screen.Put(x, y, white);
                        continue;
                    }
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx)
                            screen.Put(x + dx, y + dy, outlineBlack);
                }
        }
}

const PixelArt* FindArt(const std::vector<NamedArt>& images, GameImage wanted)
{
    const std::string name = AssetName(kGameImageFiles[wanted]);
    for (const NamedArt& image : images)
        if (image.name == name)
            return &image.art;
    return nullptr;
}

Canvas ContactSheet(const std::vector<NamedArt>& images)
{
    const int cellSize = 36, columns = 8;
    int rows = 0;
    for (const NamedArt& image : images)
        if (image.art.width <= 32)
            ++rows;
    Canvas sheet = MakeCanvas(columns * cellSize, ((rows + columns - 1) / columns) * cellSize, 24);
    static const uint8_t groundLine[3] = {60, 60, 70};
    int slot = 0;
    for (const NamedArt& image : images) {
        if (image.art.width > 32)
            continue;
        const int left = (slot % columns) * cellSize, top = (slot / columns) * cellSize;
        for (int x = 0; x < cellSize; ++x)
            sheet.Put(left + x, top + cellSize - 1, groundLine);
        Blit(sheet, image.art, left + (cellSize - image.art.width) / 2, top + (cellSize - image.art.height) / 2, false);
        ++slot;
    }
    return sheet;
}

// The play screen half-way through a courtship: him walking, her waving, the meters, a few hearts.
Canvas PlayScreen(const std::vector<NamedArt>& images, const FontSource& font)
{
    Canvas screen = MakeCanvas(kScreenWidth, kScreenHeight, 0);
    const GameImage frames[4] = {GameImage(kWalk1Image + 2), kLegRaised3Image, kBigHeartImage,
                                 GameImage(kHeart1Image + 1)};
    const int places[4][3] = {{60, 32, 0}, {104, 32, 1}, {82, 32, 0}, {30, 70, 0}};
    for (int i = 0; i < 4; ++i)
        if (const PixelArt* art = FindArt(images, frames[i]))
            BlitCentred(screen, *art, places[i][0], places[i][1], places[i][2] != 0);
    for (int i = 0; i < 9; ++i)
        if (const PixelArt* art = FindArt(images, GameImage(kHeart1Image + i % 3)))
            BlitCentred(screen, *art, 10 + i * 17, 50 + (i * 37) % 60, false);
    static const uint8_t red[3] = {255, 0, 0}, green[3] = {32, 255, 32};
    FillScreenRect(screen, 96 - 4000 * 80 / 10000, 96, 96, 104, red);
    FillScreenRect(screen, 96 - 8000 * 80 / 10000, 96, 80, 88, green);
    DrawGameText(screen, font, kFearLabel);
    DrawGameText(screen, font, kExcitementLabel);
    return screen;
}

// An outcome message over the full red fade, and the dead male beside her.
Canvas OutcomeScreen(const std::vector<NamedArt>& images, const FontSource& font)
{
    Canvas screen = MakeCanvas(kScreenWidth, kScreenHeight, 0);
    static const uint8_t fade[3] = {110, 0, 0};
    FillScreenRect(screen, 0, kScreenWidth, 0, kScreenHeight, fade);
    if (const PixelArt* art = FindArt(images, kDeadImage))
        BlitCentred(screen, *art, 60, 32, false);
    if (const PixelArt* art = FindArt(images, kDying2Image))
        BlitCentred(screen, *art, 100, 32, true);
    DrawGameText(screen, font, kKilledMessage);
    return screen;
}

Canvas FontSheet(const FontSource& font)
{
    Canvas sheet = MakeCanvas(kScreenWidth, kScreenHeight, 50);
    const GameText sample = {
        " !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~\n\n"
        "The quick brown fox jumps over the lazy dog. Fear Excitement",
        2, 118, 156};
    DrawGameText(sheet, font, sample);
    return sheet;
}

} // namespace

bool WritePreviews(const std::string& folder, const std::vector<NamedArt>& images, const FontSource& font, int scale)
{
    Canvas title = MakeCanvas(kScreenWidth, kScreenHeight, 0);
    if (const PixelArt* art = FindArt(images, kTitleImage))
        Blit(title, *art, 0, kScreenHeight - art->height, false);
    DrawGameText(title, font, kTitleText);
    bool ok = WritePixelArtPng((folder + "/title screen.png").c_str(), ScalePixelArt(title.art, scale));
    ok = WritePixelArtPng((folder + "/play screen.png").c_str(), ScalePixelArt(PlayScreen(images, font).art, scale)) &&
         ok;
    ok = WritePixelArtPng((folder + "/outcome screen.png").c_str(),
                          ScalePixelArt(OutcomeScreen(images, font).art, scale)) &&
         ok;
    ok = WritePixelArtPng((folder + "/sprites.png").c_str(), ScalePixelArt(ContactSheet(images).art, scale)) && ok;
    ok = WritePixelArtPng((folder + "/font.png").c_str(), ScalePixelArt(FontSheet(font).art, scale)) && ok;
    return ok;
}
