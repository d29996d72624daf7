// The asset tool's parsers: good sources parse to what they say, and every
// kind of malformed source is refused with a message naming file and line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "tools/assetgen/font_source.h"
#include "tools/assetgen/pixel_art.h"
#include "tools/assetgen/sound_recipe.h"
#include "tools/assetgen/text_layout.h"

namespace {

// Runs a parser on text and gives back what it printed to stderr.
template <typename Parse>
std::string Refusal(const std::string& text, Parse parse)
{
    ::testing::internal::CaptureStderr();
    const bool parsed = parse(SourceFromString("bad.txt", text));
    const std::string message = ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(parsed) << text;
    return message;
}

Palette TestPalette()
{
    Palette palette;
    EXPECT_TRUE(ParsePalette(SourceFromString("palette.txt", "# test\n.  000000 clear\nr ff0000 red\ng 00ff00\n"), palette));
    return palette;
}

std::string GlyphBlock(const std::string& name, int height, const std::string& row)
{
    std::string block = "glyph " + name + "\n";
    for (int i = 0; i < height; ++i) block += row + "\n";
    return block;
}

// A font with every required glyph, each a 2-pixel-wide bar, space 3 wide.
std::string CompleteFont(int height)
{
    std::string text = "height " + std::to_string(height) + "\nspacing 1\nlineGap 2\nreserved 0\n";
    text += GlyphBlock("tab", height, "........") + GlyphBlock("space", height, "...");
    for (int c = 33; c < 127; ++c) text += "# next\n" + GlyphBlock(std::string(1, char(c)), height, "#.");
    return text;
}

} // namespace

TEST(PaletteSource, MapsCharactersAndKeepsDotTransparent)
{
    const Palette palette = TestPalette();
    EXPECT_TRUE(palette.defined[int('r')]);
    EXPECT_EQ(palette.colour[int('r')][0], 255);
    EXPECT_EQ(palette.colour[int('g')][1], 255);
    EXPECT_TRUE(palette.defined[int('.')]);
    EXPECT_FALSE(palette.defined[int('x')]);
}

TEST(PaletteSource, RefusesMalformedLines)
{
    auto parse = [](const SourceText& source) {
        Palette palette;
        return ParsePalette(source, palette);
    };
    EXPECT_NE(Refusal("r ff0000\nb 000000 black\n", parse).find("bad.txt:2: pure black"), std::string::npos);
    EXPECT_NE(Refusal(". 010101\n", parse).find("bad.txt:1:"), std::string::npos);
    EXPECT_NE(Refusal("r ff0000\nr 00ff00\n", parse).find("defined twice"), std::string::npos);
    EXPECT_NE(Refusal("r ff00\n", parse).find("six hex digits"), std::string::npos);
    EXPECT_NE(Refusal("r gg0000\n", parse).find("six hex digits"), std::string::npos);
    EXPECT_NE(Refusal("rr ff0000\n", parse).find("one printable character"), std::string::npos);
    EXPECT_NE(Refusal("r\n", parse).find("CHAR RRGGBB"), std::string::npos);
}

TEST(PixelArtSource, ReadsRowsIntoColours)
{
    const Palette palette = TestPalette();
    PixelArt art;
    ASSERT_TRUE(ParsePixelArt(SourceFromString("a.txt", "# a comment\nr.g\r\n\n.r.  \n"), palette, art));
    EXPECT_EQ(art.width, 3);
    EXPECT_EQ(art.height, 2);
    EXPECT_EQ(art.rgb[0], 255);
    EXPECT_TRUE(IsTransparentPixel(art, 1, 0));
    EXPECT_EQ(art.rgb[3 * 2 + 1], 255);
    EXPECT_TRUE(IsTransparentPixel(art, 0, 1));
    EXPECT_FALSE(IsTransparentPixel(art, 1, 1));

    const PixelArt big = ScalePixelArt(art, 3);
    EXPECT_EQ(big.width, 9);
    EXPECT_EQ(big.height, 6);
    EXPECT_FALSE(IsTransparentPixel(big, 2, 2));
    EXPECT_TRUE(IsTransparentPixel(big, 3, 2));
}

TEST(PixelArtSource, RefusesRaggedRowsAndUnknownColours)
{
    const Palette palette = TestPalette();
    auto parse = [&palette](const SourceText& source) {
        PixelArt art;
        return ParsePixelArt(source, palette, art);
    };
    EXPECT_NE(Refusal("rrr\nrr\n", parse).find("bad.txt:2: row is 2 pixels wide, the first was 3"), std::string::npos);
    EXPECT_NE(Refusal("rr\nrx\n", parse).find("bad.txt:2: character 'x' at column 2"), std::string::npos);
    EXPECT_NE(Refusal("# nothing but comments\n\n", parse).find("no picture rows"), std::string::npos);
    EXPECT_NE(Refusal("r\tr\n", parse).find("not in the palette"), std::string::npos);
}

TEST(FontSource, ParsesMetricsAndGlyphs)
{
    std::string text = CompleteFont(3);
    text += "glyph code 200\n#.#\n.#.\n#.#\n";
    FontSource font;
    ASSERT_TRUE(ParseFontSource(SourceFromString("font.txt", text), font));
    EXPECT_EQ(font.height, 3);
    EXPECT_EQ(font.spacing, 1);
    EXPECT_EQ(font.lineGap, 2);
    EXPECT_EQ(font.glyphs[9].width, 8);
    EXPECT_EQ(font.glyphs[32].width, 3);
    EXPECT_TRUE(font.glyphs[int('#')].defined);
    EXPECT_EQ(font.glyphs[200].ink, std::vector<uint8_t>({1, 0, 1, 0, 1, 0, 1, 0, 1}));
    EXPECT_FALSE(font.glyphs[10].defined);
}

TEST(FontSource, RefusesIncompleteOrMalformedFonts)
{
    auto parse = [](const SourceText& source) {
        FontSource font;
        return ParseFontSource(source, font);
    };
    const std::string full = CompleteFont(2);
    std::string missingQ = full;
    const std::string blockQ = "glyph Q\n#.\n#.\n";
    missingQ.erase(missingQ.find(blockQ), blockQ.size());
    EXPECT_NE(Refusal(missingQ, parse).find("glyph code 81 ('Q') is missing"), std::string::npos);
    EXPECT_NE(Refusal(full + "glyph A\n#.\n#.\n", parse).find("given twice"), std::string::npos);
    EXPECT_NE(Refusal("height 2\nglyph A\n#.\n#\n", parse).find("bad.txt:4: glyph row width differs"), std::string::npos);
    EXPECT_NE(Refusal("height 2\nglyph A\n#x\n##\n", parse).find("only '.' and '#'"), std::string::npos);
    EXPECT_NE(Refusal("height 3\nglyph A\n#.\n", parse).find("glyph needs 3 rows"), std::string::npos);
    EXPECT_NE(Refusal("glyph A\n#\n", parse).find("height must come before"), std::string::npos);
    EXPECT_NE(Refusal("height 0\n", parse).find("height needs one whole number from 1 to 64"), std::string::npos);
    EXPECT_NE(Refusal("height 8\nheight 8\n", parse).find("given twice"), std::string::npos);
    EXPECT_NE(Refusal("height 8\nspacing x\n", parse).find("spacing needs"), std::string::npos);
    EXPECT_NE(Refusal("height 8\nwidth 3\n", parse).find("expected height"), std::string::npos);
    EXPECT_NE(Refusal("height 2\nglyph code 300\n#\n#\n", parse).find("glyph code N"), std::string::npos);
}

TEST(FontPage, CellsAreApartAndTheOutlineIsTheFaceGrownByOne)
{
    FontSource font;
    ASSERT_TRUE(ParseFontSource(SourceFromString("font.txt", CompleteFont(5)), font));
    const FontPage page = LayOutFontPage(font);
    EXPECT_EQ(page.imageWidth & (page.imageWidth - 1), 0);
    EXPECT_EQ(page.imageHeight & (page.imageHeight - 1), 0);
    // The cell of 'A' holds a bar in its first column: the outline covers columns -1..1 of it, rows -1..5.
    const GlyphCell& a = page.cells[int('A')];
    auto face = [&](int x, int y) { return page.face[size_t(y * page.imageWidth + x)]; };
    auto outline = [&](int x, int y) { return page.outline[size_t(y * page.imageWidth + x)]; };
    EXPECT_EQ(face(a.x, a.y), 255);
    EXPECT_EQ(face(a.x + 1, a.y), 0);
    EXPECT_EQ(outline(a.x - 1, a.y - 1), 255);
    EXPECT_EQ(outline(a.x + 1, a.y + 5), 255);
    EXPECT_EQ(outline(a.x + 2, a.y), 0);
    EXPECT_EQ(outline(a.x, a.y + 6), 0);
    const std::string pageText = FontPageText(font, page);
    EXPECT_EQ(std::count(pageText.begin(), pageText.end(), '\n'), 127); // codes 0..126
    EXPECT_EQ(FontDescriptorText(font), "5\n1\n2\n0\n");
}

TEST(TextLayout, WrapsAsTheGameDoes)
{
    FontSource font;
    ASSERT_TRUE(ParseFontSource(SourceFromString("font.txt", CompleteFont(4)), font));
    // Every glyph is 2 wide, the space 3, spacing 1: "AB CD" is 2+1+2 +1+3+1 +2+1+2 = 15.
    TextLayout layout = LayOutText(font, "AB CD", 100);
    ASSERT_EQ(layout.glyphs.size(), 5u);
    EXPECT_EQ(layout.glyphs[3].x, 10);
    EXPECT_EQ(layout.widestLine, 15);
    EXPECT_EQ(layout.lineCount, 1);
    // At 14 the word moves down and its blank is dropped.
    layout = LayOutText(font, "AB CD", 14);
    ASSERT_EQ(layout.glyphs.size(), 4u);
    EXPECT_EQ(layout.glyphs[2].x, 0);
    EXPECT_EQ(layout.glyphs[2].line, 1);
    // A word wider than the line breaks between characters; equal still fits.
    layout = LayOutText(font, "ABCD", 8);
    EXPECT_EQ(layout.lineCount, 2);
    EXPECT_EQ(layout.glyphs[3].x, 0);
    layout = LayOutText(font, "ABC", 8);
    EXPECT_EQ(layout.lineCount, 1);
    layout = LayOutText(font, "A\n\n  B", 100);
    EXPECT_EQ(layout.lineCount, 3);
    EXPECT_EQ(layout.glyphs[1].x, 0);
    EXPECT_EQ(TextBlockHeight(font, layout), 3 * 4 + 2 * 2 + 1);
}

TEST(SoundRecipe, ParsesAndPlaysToTheGivenLengthAndPeak)
{
    SoundRecipe recipe;
    ASSERT_TRUE(ParseSoundRecipe(SourceFromString("s.txt", "rate 22050\nlength 0.5\npeak 0.5\n"
                                                           "tone at 0.1 for 0.2 wave saw pitch 440 to 220 # falls\n"
                                                           "noise at 0 for 0.05 repeat 3 every 0.1 fade 0.5\n"),
                                 recipe));
    ASSERT_EQ(recipe.events.size(), 2u);
    EXPECT_EQ(recipe.events[0].wave, Waveform::Saw);
    EXPECT_EQ(recipe.events[0].slideTo, 220);
    EXPECT_EQ(recipe.events[1].repeat, 3);
    const std::vector<float> samples = SynthesizeSound(recipe);
    ASSERT_EQ(samples.size(), 11025u);
    float loudest = 0;
    for (float s : samples) loudest = std::fmax(loudest, std::fabs(s));
    EXPECT_NEAR(loudest, 0.5f, 1e-6);
    EXPECT_EQ(samples[0], 0.0f); // every event fades in from silence
    EXPECT_EQ(samples[samples.size() - 1], 0.0f);
}

TEST(SoundRecipe, ALoopWrapsItsTailToTheStartWithoutAJump)
{
    SoundRecipe recipe;
    ASSERT_TRUE(ParseSoundRecipe(SourceFromString("s.txt", "length 0.2\nloop\n"
                                                           "tone at 0.15 for 0.1 pitch 300 attack 0.01 release 0.01\n"),
                                 recipe));
    const std::vector<float> samples = SynthesizeSound(recipe);
    // The note starts 0.15 s in and rings 0.05 s past the end, into the start.
    EXPECT_GT(std::fabs(samples[100]), 0.01f);
    EXPECT_EQ(samples[2000], 0.0f);
    float largestStep = 0;
    for (size_t i = 1; i < samples.size(); ++i) largestStep = std::fmax(largestStep, std::fabs(samples[i] - samples[i - 1]));
    EXPECT_LE(std::fabs(samples.front() - samples.back()), largestStep);
}

TEST(SoundRecipe, RefusesMalformedRecipes)
{
    auto parse = [](const SourceText& source) {
        SoundRecipe recipe;
        return ParseSoundRecipe(source, recipe);
    };
    const std::string head = "length 1\n";
    EXPECT_NE(Refusal("tone at 0 for 0.1\n", parse).find("no length given"), std::string::npos);
    EXPECT_NE(Refusal(head, parse).find("no tone or noise"), std::string::npos);
    EXPECT_NE(Refusal(head + "tone at 0\n", parse).find("bad.txt:2: every event needs 'at' and 'for'"), std::string::npos);
    EXPECT_NE(Refusal(head + "tone at 0 for\n", parse).find("a name and a value"), std::string::npos);
    EXPECT_NE(Refusal(head + "tone at 0 for 0.1 colour red\n", parse).find("unknown setting 'colour'"), std::string::npos);
    EXPECT_NE(Refusal(head + "tone at 0 for 0.1 volume 2\n", parse).find("volume needs a number"), std::string::npos);
    EXPECT_NE(Refusal(head + "tone at 0 for 0.1 pitch 1e3\n", parse).find("pitch needs a number"), std::string::npos);
    EXPECT_NE(Refusal(head + "noise at 0 for 0.1 wave sine\n", parse).find("for tones only"), std::string::npos);
    EXPECT_NE(Refusal(head + "tone at 0 for 0.1 repeat 0\n", parse).find("repeat needs"), std::string::npos);
    EXPECT_NE(Refusal(head + "tone at 0.5 for 0.6\n", parse).find("ends after the sound's length"), std::string::npos);
    EXPECT_NE(Refusal(head + "tone at 0 for 0.2 repeat 6 every 0.2\n", parse).find("ends after"), std::string::npos);
    EXPECT_NE(Refusal("rate 48000\n", parse).find("rate is 22050 or 44100"), std::string::npos);
    EXPECT_NE(Refusal("peak 1.5\n", parse).find("peak is"), std::string::npos);
    EXPECT_NE(Refusal("loop 1\n", parse).find("loop takes no value"), std::string::npos);
    EXPECT_NE(Refusal("tempo 120\n", parse).find("unknown line 'tempo'"), std::string::npos);
    EXPECT_NE(Refusal("length 1\nloop\ntone at 0 for 2\n", parse).find("longer than the loop"), std::string::npos);
}
