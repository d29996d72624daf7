// Text laid out and drawn with a tiny font of solid glyph blocks: line
// feeds, word wrap, blanks, long words, the outline pass and culling.
#include <gtest/gtest.h>

#include <filesystem>

#include "render/gl_api.h"
#include "render/gl_state.h"
#include "render/renderer.h"
#include "render/virtual_screen.h"
#include "tests/render/gl_fixture.h"
#include "tests/support/test_platform.h"
#include "tests/text/test_font.h"
#include "text/text_draw.h"

namespace {

const TextColour kFaceWhite = {1, 1, 1, 1};
const TextColour kNoOutline = {1, 0, 0, 0};
const TextColour kOutlineRed = {1, 0, 0, 1};

// Height 5, spacing 1, line gap 2. Code 1 is the lowest defined, so it is
// the default glyph: one pixel wide. The blanks have empty cells.
class TextDrawTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        OpenWindow(kScreenWidth, kScreenHeight);
        std::filesystem::create_directory(TempPath("Fonts"));
        WriteTestFont(TempPath("Fonts"), "Tiny.txt", "5\n1\n2\n0\n", 5,
                      {{0, {{1, 1}, {'A', 3}, {'B', 4}, {'W', 6}, {200, 5}, {' ', 2, true}, {'\t', 3, true}}}});
        ASSERT_TRUE(
            InitRenderer(kScreenWidth, kScreenHeight, String(tempFolder.c_str()), String("Fonts"), String("Tiny.txt")));
        ResizeRenderer(kScreenWidth, kScreenHeight);
        ClearScreen();
    }
    // Only the faces, white; x, y is the top-left of the first line.
    std::string Faces(const char* text, int32_t maximumWidth, int32_t width = 24, int32_t height = 16)
    {
        ClearScreen();
        DrawText(String(text), 10, 100, maximumWidth, kFaceWhite, kNoOutline);
        Capture();
        return Picture(10, 100 - height, width, height);
    }
};

TEST_F(TextDrawTest, GlyphsBlanksLineFeedsAndWrapping)
{
    // Rows of the picture by number (0 is the first line's top; each line is
    // 5 + 2 lower); the rows of a line's glyphs are alike.
    struct Case {
        const char* text;
        int32_t maximumWidth;
        std::vector<std::pair<int32_t, std::string>> rows;
    } cases[] = {
        {"", 100, {{0, "........"}, {7, "........"}}},
        {"  \t \n \n", 100, {{0, "........"}, {7, "........"}}},
        // A at x, the space's cell at x + 3 + 1, B at x + 3 + 1 + 2 + 1.
        {"A B", 100, {{0, "###....####."}, {5, "............"}}},
        {"A\tB", 100, {{4, "###.....####."}}},
        {"\xC8"
         "A",
         100,
         {{0, "#####.###."}}},
        {"AZA", 100, {{0, "###.#.###."}}}, // 'Z' is missing: the default glyph stands in
        // An empty line keeps its room; blanks after a line feed count.
        {"A\n\n  B", 100, {{0, "###.."}, {7, "....."}, {14, "####."}}},
        // Words move down when they would pass the width; equal still fits.
        {"AB  AB", 23, {{0, "###.####.......###.####."}}},
        {"AB AB", 20, {{0, "###.####....###.####"}}},
        {"AB AB", 19, {{0, "###.####....."}, {7, "###.####....."}}},
        // A word too long breaks between characters: 3, 7, then 11 passes 10.
        {"AAAA", 10, {{0, "###.###....."}, {7, "###.###....."}}},
        // A glyph wider than the width takes a line of its own.
        {"WA", 4, {{0, "........"}, {7, "######.."}, {14, "###....."}}},
        {"AW", 4, {{0, "###....."}, {7, "######.."}}},
    };
    for (const Case& c : cases) {
        int32_t width = int32_t(c.rows[0].second.size()), height = c.rows.back().first + 1;
        std::string picture = Faces(c.text, c.maximumWidth, width, height);
        for (const auto& row : c.rows)
            EXPECT_EQ(picture.substr(size_t(row.first) * size_t(width + 1), size_t(width)), row.second)
                << c.text << " row " << row.first;
    }
}

TEST_F(TextDrawTest, OutlinePassFramesEveryGlyphByOnePixel)
{
    ClearScreen();
    DrawText(String("AB"), 10, 100, 100, kFaceWhite, kOutlineRed);
    Capture();
    EXPECT_EQ(Picture(8, 94, 12, 7), ".oooooooooo.\n"
                                     ".o###o####o.\n"
                                     ".o###o####o.\n"
                                     ".o###o####o.\n"
                                     ".o###o####o.\n"
                                     ".o###o####o.\n"
                                     ".oooooooooo.\n");
    // Faces take the text colour.
    ClearScreen();
    DrawText(String("A"), 10, 100, 100, TextColour{0, 1, 0, 1}, kNoOutline);
    Capture();
    EXPECT_EQ(At(11, 97), kGreen);
}

TEST_F(TextDrawTest, GlyphsOutsideTheVisibleAreaSendNothing)
{
    // Narrow the visible area without moving the projection, so a culled
    // glyph would still have shown.
    renderer.visibleLeft = 14;
    renderer.visibleBottom = 50;
    SetTexturing(true);
    SetModulate(true);
    SetAlphaTest(true);
    glColor4f(1, 1, 1, 1);
    glState.boundTexture = 0;
    ClearScreen();
    DrawTextPass(String("A"), 10, 60, 100, false); // right edge 13: culled
    DrawTextPass(String("A"), 11, 70, 100, false); // right edge 14: drawn
    DrawTextPass(String("A"), 30, 44, 100, false); // top edge 49: culled
    DrawTextPass(String("A"), 40, 45, 100, false); // top edge 50: drawn
    Capture();
    EXPECT_EQ(At(10, 60), kBlack);
    EXPECT_EQ(At(11, 70), kWhite);
    EXPECT_EQ(At(30, 44), kBlack);
    EXPECT_EQ(At(40, 45), kWhite);
}

TEST_F(TextDrawTest, FontWithAbsurdMetricsDrawsWithoutFault)
{
    renderer.font.height = 2147483000;
    renderer.font.lineGap = 2147483000;
    renderer.font.spacing = -2147483000;
    DrawText(String("AB A\nB\tAAAAAAAAAAAA"), 2147483000, -2147483000, 5, kFaceWhite, kOutlineRed);
    DrawText(String("AB A\nB"), -2147483000, 2147483000, -2147483647, kFaceWhite, kOutlineRed);
}

} // namespace
