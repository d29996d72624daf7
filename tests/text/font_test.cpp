// Loading the bitmap font: descriptor metrics, page files and their images,
// and malformed lines with the exact message they report. Missing and
// damaged game font files are tried in the damaged-files suite.
#include <gtest/gtest.h>

#include <filesystem>

#include "render/gl_api.h"
#include "tests/render/gl_fixture.h"
#include "tests/support/test_platform.h"
#include "tests/text/test_font.h"
#include "text/font.h"

namespace {

typedef std::vector<std::string> Lines;

class FontLoadTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        OpenWindow(16, 16);
        std::filesystem::create_directory(TempPath("Fonts"));
    }
    void TearDown() override
    {
        ClearFont(font);
        GlTest::TearDown();
    }
    // Paths as the font builds them: data folder, font folder, file name.
    std::string GamePath(const std::string& fileName) const { return tempFolder + "\\Fonts\\" + fileName; }
    bool Load(const char* fileName = "Small.txt")
    {
        ResetTestPlatform();
        return LoadFont(font, String(tempFolder.c_str()), String("Fonts"), String(fileName));
    }
    int32_t LiveTextures() const
    {
        int32_t live = 0;
        for (GLuint name = 1; name < 200; ++name)
            live += glIsTexture(name) ? 1 : 0;
        return live;
    }
    Font font;
};

TEST_F(FontLoadTest, DescriptorsGiveTheirMetricsOrTheirMessage)
{
    const std::string bad = "Error loading font " + GamePath("Small.txt");
    struct Case {
        const char* descriptor;
        bool loads;
        int32_t height, spacing, lineGap, reserved;
        Lines log;
    } cases[] = {
        {"8\n1\n2\n0\n", true, 8, 1, 2, 0, {}},
        {"7\n3", true, 7, 3, 0, 0, {}},
        {" -3px\r\nletters\n\n 12 34\n", true, -3, 0, 0, 12, {}},
        {"8\n1\n2\n0\n\n", false, 0, 0, 0, 0, {bad + " (line 5)"}}, // a fifth line, even empty
    };
    for (const Case& c : cases) {
        WriteTestFont(TempPath("Fonts"), "Small.txt", c.descriptor, 8, {{0, {{'A', 5}, {'B', 4}}}});
        EXPECT_EQ(Load(), c.loads) << c.descriptor;
        EXPECT_EQ(testPlatform.logLines, c.log) << c.descriptor;
        EXPECT_EQ(font.height, c.height);
        EXPECT_EQ(font.spacing, c.spacing);
        EXPECT_EQ(font.lineGap, c.lineGap);
        EXPECT_EQ(font.reserved, c.reserved);
    }
    EXPECT_EQ(LiveTextures(), 0); // the failed load kept no page
}

TEST_F(FontLoadTest, PageLinesGiveCellsAndLinesPastCode255AreAnError)
{
    std::string lines;
    for (int line = 1; line <= 65; ++line)
        lines += line == 10 ? "1\t2\n" : "\n";
    lines += "10\t20\t5\n";            // 'A'
    lines += " 3 \t 4x\t 6\t7 more\n"; // 'B': further tabs belong to the width
    lines += "1\t2\t-3\n";             // 'C': the pen steps back
    WriteTestFont(TempPath("Fonts"), "Small.txt", "8\n", 8, {{0, {{'A', 5}}}});
    WriteTextFile(TempPath("Fonts/Small 0.txt"), lines);
    ASSERT_TRUE(Load());
    const FontPage* page = font.pages[0];
    EXPECT_FALSE(page->glyphs[9].defined); // one tab only
    EXPECT_EQ(page->glyphs['A'].x, 10);
    EXPECT_EQ(page->glyphs['A'].y, 20);
    EXPECT_EQ(page->glyphs['A'].width, 5);
    EXPECT_EQ(page->glyphs['B'].x, 3);
    EXPECT_EQ(page->glyphs['B'].y, 4);
    EXPECT_EQ(page->glyphs['B'].width, 6);
    EXPECT_TRUE(page->glyphs['C'].defined);
    EXPECT_EQ(page->glyphs['C'].width, -3);
    EXPECT_EQ(font.defaultGlyph, &page->glyphs['A']);

    lines = "2\t1\t5\n" + std::string(255, '\n');
    WriteTextFile(TempPath("Fonts/Small 0.txt"), lines + std::string(40, '\n'));
    EXPECT_TRUE(Load());                                               // empty lines past the last code are fine
    WriteTextFile(TempPath("Fonts/Small 0.txt"), lines + "1\t2\t3\n"); // code 256
    EXPECT_FALSE(Load());
    EXPECT_EQ(testPlatform.logLines,
              (Lines{"Error loading font page " + GamePath("Small 0.txt") + " (line 257)",
                     "Error loading font " + GamePath("Small.txt") + " - no characters defined"}));
    EXPECT_EQ(LiveTextures(), 0);
}

TEST_F(FontLoadTest, BrokenPagesAreDroppedAndTheirCharactersDrawnWithTheDefault)
{
    WriteTestFont(TempPath("Fonts"), "Small", "8\n", 8,
                  {{0, {{'A', 5}}, true, false}, {1, {{'B', 4}}, false, true}, {3, {{'C', 3}, {'D', 2}}}});
    ASSERT_TRUE(Load("Small")); // no extension: page files have none either
    EXPECT_EQ(testPlatform.logLines, (Lines{"Error loading font page texture " + GamePath("Small 0 outline.png"),
                                            "Error loading font page texture " + GamePath("Small 1.png")}));
    EXPECT_EQ(font.pages[0], nullptr);
    EXPECT_EQ(font.pages[1], nullptr);
    EXPECT_EQ(font.pageCount, 1);
    EXPECT_EQ(LiveTextures(), 2); // a dropped page's textures went with it
    const FontPage* three = font.pages[3];
    struct Case {
        int32_t page, code;
        char shown;
    } cases[] = {{0, 'A', 'C'}, {3, 'D', 'D'}, {3, 'E', 'C'}, {259, 'D' - 256, 'D'}};
    for (const Case& c : cases) {
        const Glyph* glyph = nullptr;
        const FontPage* page = nullptr;
        FindGlyph(font, c.page, c.code, glyph, page);
        EXPECT_EQ(glyph, &three->glyphs[uint8_t(c.shown)]) << c.page << " " << c.code;
        EXPECT_EQ(page, three);
    }
    ClearFont(font);
    EXPECT_EQ(LiveTextures(), 0);
}

} // namespace
