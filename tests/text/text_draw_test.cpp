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
// the default glyph: one pixel wide.
class TextDrawTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        OpenWindow(kScreenWidth, kScreenHeight);
        std::filesystem::create_directory(TempPath("Fonts"));
        std::vector<TestCell> cells = WriteTestFont(TempPath("Fonts"), "Tiny.txt", "5\n1\n2\n0\n", 5,
                                                    {{0, {{1, 1}, {'A', 3}, {'B', 4}, {'W', 6}, {200, 5}}}});
        // The blanks get empty cells of their own widths, after the last one.
        std::string emptyX = std::to_string(cells.back().x + cells.back().width + 4);
        std::string lines = ReadPageFile();
        SetCell(lines, ' ', emptyX + "\t1\t2");
        SetCell(lines, '\t', emptyX + "\t1\t3");
        WriteTextFile(TempPath("Fonts/Tiny 0.txt"), lines);
        ASSERT_TRUE(InitRenderer(kScreenWidth, kScreenHeight, String(tempFolder.c_str()), String("Fonts"), String("Tiny.txt")));
        ResizeRenderer(kScreenWidth, kScreenHeight);
        ClearScreen();
    }
    std::string ReadPageFile() const
    {
        std::string bytes;
        FILE* file = fopen(TempPath("Fonts/Tiny 0.txt").c_str(), "rb");
        for (int c; (c = fgetc(file)) != EOF;)
            bytes += char(c);
        fclose(file);
        return bytes;
    }
    static void SetCell(std::string& lines, int32_t code, const std::string& cell)
    {
        size_t start = 0;
        for (int32_t line = 0; line < code; ++line)
            start = lines.find('\n', start) + 1;
        lines.replace(start, lines.find('\n', start) - start, cell);
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

TEST_F(TextDrawTest, NothingToDrawForEmptyOrBlankText)
{
    std::string blankPicture;
    for (int i = 0; i < 16; ++i)
        blankPicture += std::string(24, '.') + "\n";
    EXPECT_EQ(Faces("", 100), blankPicture);
    EXPECT_EQ(Faces("  \t ", 100), blankPicture);
    EXPECT_EQ(Faces("\n \n", 100), blankPicture);
}

TEST_F(TextDrawTest, GlyphsBlanksAndSpacingOnOneLine)
{
    // A at x, the space's cell at x + 3 + 1, B at x + 3 + 1 + 2 + 1.
    EXPECT_EQ(Faces("A B", 100, 12, 6), "###....####.\n"
                                        "###....####.\n"
                                        "###....####.\n"
                                        "###....####.\n"
                                        "###....####.\n"
                                        "............\n");
    EXPECT_EQ(Faces("A\tB", 100, 13, 5), "###.....####.\n"
                                         "###.....####.\n"
                                         "###.....####.\n"
                                         "###.....####.\n"
                                         "###.....####.\n");
    EXPECT_EQ(Faces("AB", 100, 9, 1), "###.####.\n");
}

TEST_F(TextDrawTest, LineFeedsAndBlanksAfterThem)
{
    // Each line is 5 + 2 lower; an empty line keeps its room.
    EXPECT_EQ(Faces("A\n\n  B", 100, 5, 19), "###..\n###..\n###..\n###..\n###..\n"
                                             ".....\n.....\n"
                                             ".....\n.....\n.....\n.....\n.....\n"
                                             ".....\n.....\n"
                                             "####.\n####.\n####.\n####.\n####.\n");
}

TEST_F(TextDrawTest, WordsMoveToTheNextLineWhenTheyWouldPassTheWidth)
{
    // "AB" is 8 wide; " AB" behind it would make 8 + 3 + 4 + 5 = 20.
    EXPECT_EQ(Faces("AB  AB", 23, 24, 1), "###.####.......###.####.\n");
    EXPECT_EQ(Faces("AB AB", 20, 20, 1), "###.####....###.####\n");
    EXPECT_EQ(Faces("AB AB", 19, 10, 12), "###.####..\n###.####..\n###.####..\n###.####..\n###.####..\n"
                                          "..........\n..........\n"
                                          "###.####..\n###.####..\n###.####..\n###.####..\n###.####..\n");
}

TEST_F(TextDrawTest, WordsTooLongForALineBreakBetweenCharacters)
{
    // 3, 7, then 11 passes 10: the third A starts the next line at x.
    std::string picture = Faces("AAAA", 10, 12, 8);
    EXPECT_EQ(picture.substr(0, 13), "###.###.....\n");
    EXPECT_EQ(picture.substr(13 * 7, 13), "###.###.....\n");
    // A glyph wider than the width takes a line of its own, and when it comes
    // first the first line stays empty.
    picture = Faces("WA", 4, 8, 19);
    EXPECT_EQ(picture.substr(0, 9), "........\n");
    EXPECT_EQ(picture.substr(9 * 7, 9), "######..\n");
    EXPECT_EQ(picture.substr(9 * 14, 9), "###.....\n");
    picture = Faces("AW", 4, 8, 8);
    EXPECT_EQ(picture.substr(0, 9), "###.....\n");
    EXPECT_EQ(picture.substr(9 * 7, 9), "######..\n");
}

TEST_F(TextDrawTest, HighBytesAndUnknownCodes)
{
    EXPECT_EQ(Faces("\xC8" "A", 100, 10, 1), "#####.###.\n");
    // 'Z' is not in the font: the default glyph, one pixel wide, stands in.
    EXPECT_EQ(Faces("AZA", 100, 10, 1), "###.#.###.\n");
}

TEST_F(TextDrawTest, OutlinePassFramesEveryGlyphByOnePixel)
{
    ClearScreen();
    DrawText(String("AB"), 10, 100, 100, kFaceWhite, kOutlineRed);
    Capture();
    SaveCapture("outlined.png");
    EXPECT_EQ(Picture(8, 94, 12, 7), ".oooooooooo.\n"
                                     ".o###o####o.\n"
                                     ".o###o####o.\n"
                                     ".o###o####o.\n"
                                     ".o###o####o.\n"
                                     ".o###o####o.\n"
                                     ".oooooooooo.\n");
    EXPECT_TRUE(glState.alphaTestOn && glState.blendOn && glState.texturingOn && glState.modulateOn);
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST) && glIsEnabled(GL_BLEND) && glIsEnabled(GL_TEXTURE_2D));
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_MODULATE);
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
    renderer.visibleLeft = 100;
    glState.boundTexture = 0;
    DrawTextPass(String("A"), 10, 60, 100, true);
    EXPECT_EQ(glState.boundTexture, renderer.font.pages[0]->outlineTexture);
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
