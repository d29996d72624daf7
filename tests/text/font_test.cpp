// Loading the bitmap font: descriptor metrics, page files and their images,
// and every malformed case with the exact message it reports.
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

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
    std::string FontFolder() const { return TempPath("Fonts"); }
    // Paths as the font builds them: data folder, font folder, file name.
    std::string GamePath(const std::string& fileName) const { return tempFolder + "\\Fonts\\" + fileName; }
    bool Load(const char* fileName = "Small.txt")
    {
        ResetTestPlatform();
        return LoadFont(font, String(tempFolder.c_str()), String("Fonts"), String(fileName));
    }
    void WritePage0(const std::string& descriptor = "8\n1\n2\n0\n")
    {
        WriteTestFont(FontFolder(), "Small.txt", descriptor, 8, {{0, {{'A', 5}, {'B', 4}}}});
    }
    // No GL texture is left alive among the first names the GL hands out.
    int32_t LiveTextures() const
    {
        int32_t live = 0;
        for (GLuint name = 1; name < 200; ++name)
            live += glIsTexture(name) ? 1 : 0;
        return live;
    }
    Font font;
};

TEST_F(FontLoadTest, DescriptorMetrics)
{
    WritePage0();
    ASSERT_TRUE(Load());
    EXPECT_EQ(testPlatform.logLines, Lines{});
    EXPECT_EQ(font.height, 8);
    EXPECT_EQ(font.spacing, 1);
    EXPECT_EQ(font.lineGap, 2);
    EXPECT_EQ(font.reserved, 0);
    EXPECT_EQ(font.pageCount, 1);

    WritePage0("7\n3");
    ASSERT_TRUE(Load());
    EXPECT_EQ(font.height, 7);
    EXPECT_EQ(font.spacing, 3);
    EXPECT_EQ(font.lineGap, 0);
    EXPECT_EQ(font.reserved, 0);

    WritePage0(" -3px\r\nletters\n\n 12 34\n");
    ASSERT_TRUE(Load());
    EXPECT_EQ(font.height, -3);
    EXPECT_EQ(font.spacing, 0);
    EXPECT_EQ(font.lineGap, 0);
    EXPECT_EQ(font.reserved, 12);
}

TEST_F(FontLoadTest, FifthDescriptorLineFailsEvenWhenEmpty)
{
    WritePage0("8\n1\n2\n0\n\n");
    EXPECT_FALSE(Load());
    EXPECT_EQ(testPlatform.logLines, Lines{"Error loading font " + GamePath("Small.txt") + " (line 5)"});
    EXPECT_EQ(font.height, 0);
    EXPECT_EQ(font.firstPage, nullptr);
    EXPECT_EQ(font.defaultGlyph, nullptr);
    EXPECT_EQ(LiveTextures(), 0);
}

TEST_F(FontLoadTest, MissingDescriptorOrFolderInsteadOfOne)
{
    EXPECT_FALSE(Load());
    EXPECT_EQ(testPlatform.logLines, Lines{"Error opening file " + GamePath("Small.txt")});
    // An empty descriptor name would name the font folder itself.
    EXPECT_FALSE(Load(""));
    EXPECT_EQ(testPlatform.logLines, Lines{"Error opening file " + tempFolder + "\\Fonts"});
}

TEST_F(FontLoadTest, NoPageDefiningAGlyphFailsTheFont)
{
    WriteTextFile(TempPath("Fonts/Small.txt"), "8\n1\n2\n0\n");
    EXPECT_FALSE(Load());
    EXPECT_EQ(testPlatform.logLines,
              Lines{"Error loading font " + GamePath("Small.txt") + " - no characters defined"});
    WriteTestFont(FontFolder(), "Small.txt", "8\n", 8, {{0, {}}});
    EXPECT_FALSE(Load());
    EXPECT_EQ(testPlatform.logLines,
              Lines{"Error loading font " + GamePath("Small.txt") + " - no characters defined"});
    EXPECT_EQ(LiveTextures(), 0);
}

TEST_F(FontLoadTest, PageFileCells)
{
    std::string lines;
    for (int line = 1; line <= 65; ++line)
        lines += line == 10 ? "1\t2\n" : "\n";
    lines += "10\t20\t5\n";            // line 66: 'A'
    lines += " 3 \t 4x\t 6\t7 more\n"; // line 67: 'B', further tabs are the width's
    lines += "1\t2\t-3\n";             // line 68: 'C', the pen steps back
    WriteTextFile(TempPath("Fonts/Small.txt"), "8\n");
    WriteTextFile(TempPath("Fonts/Small 0.txt"), lines);
    WriteTestFont(TempPath("Fonts"), "unused.txt", "", 8, {{0, {{'A', 5}}}});
    std::filesystem::rename(TempPath("Fonts/unused 0.png"), TempPath("Fonts/Small 0.png"));
    std::filesystem::rename(TempPath("Fonts/unused 0 outline.png"), TempPath("Fonts/Small 0 outline.png"));
    ASSERT_TRUE(Load());
    const FontPage* page = font.pages[0];
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(page->glyphs[9].defined); // one tab only
    const Glyph& a = page->glyphs['A'];
    EXPECT_TRUE(a.defined);
    EXPECT_EQ(a.x, 10);
    EXPECT_EQ(a.y, 20);
    EXPECT_EQ(a.width, 5);
    EXPECT_EQ(page->glyphs['B'].x, 3);
    EXPECT_EQ(page->glyphs['B'].y, 4);
    EXPECT_EQ(page->glyphs['B'].width, 6);
    EXPECT_TRUE(page->glyphs['C'].defined);
    EXPECT_EQ(page->glyphs['C'].width, -3);
    EXPECT_EQ(font.defaultGlyph, &a);
    EXPECT_EQ(font.defaultPage, page);
}

TEST_F(FontLoadTest, LinesPastTheLastCode)
{
    WritePage0();
    std::string lines = "2\t1\t5\n";
    for (int line = 2; line <= 300; ++line)
        lines += "\n";
    WriteTextFile(TempPath("Fonts/Small 0.txt"), lines);
    ASSERT_TRUE(Load());
    EXPECT_EQ(testPlatform.logLines, Lines{});

    lines = "2\t1\t5\n";
    for (int line = 2; line <= 256; ++line)
        lines += "\n";
    lines += "one\ttab only\n" "1\t2\t3\n";
    WriteTextFile(TempPath("Fonts/Small 0.txt"), lines);
    EXPECT_FALSE(Load());
    EXPECT_EQ(testPlatform.logLines,
              (Lines{"Error loading font page " + GamePath("Small 0.txt") + " (line 258)",
                     "Error loading font " + GamePath("Small.txt") + " - no characters defined"}));
    EXPECT_EQ(LiveTextures(), 0);
}

TEST_F(FontLoadTest, BrokenPagesAreDroppedAndTheRestLoads)
{
    WriteTestFont(FontFolder(), "Small.txt", "8\n1\n2\n0\n", 8,
                  {{0, {{'A', 5}}, true, false}, {1, {{'B', 4}}, false, true}, {2, {{'C', 3}, {'D', 2}}}});
    ASSERT_TRUE(Load());
    EXPECT_EQ(testPlatform.logLines, (Lines{"Error loading font page texture " + GamePath("Small 0 outline.png"),
                                            "Error loading font page texture " + GamePath("Small 1.png")}));
    EXPECT_EQ(font.pages[0], nullptr);
    EXPECT_EQ(font.pages[1], nullptr);
    ASSERT_NE(font.pages[2], nullptr);
    EXPECT_EQ(font.pageCount, 1);
    EXPECT_EQ(font.firstPage, font.pages[2]);
    EXPECT_EQ(font.lastPage, font.pages[2]);
    // The dropped page's face texture went with it: only page 2's two remain.
    EXPECT_EQ(LiveTextures(), 2);
    // Page 0 is missing, so every character drawn from it is page 2's 'C'.
    const Glyph* glyph = nullptr;
    const FontPage* page = nullptr;
    FindGlyph(font, 0, 'A', glyph, page);
    EXPECT_EQ(glyph, &font.pages[2]->glyphs['C']);
    EXPECT_EQ(page, font.pages[2]);
    FindGlyph(font, 2, 'D', glyph, page);
    EXPECT_EQ(glyph, &font.pages[2]->glyphs['D']);
    FindGlyph(font, 2, 'E', glyph, page);
    EXPECT_EQ(glyph, &font.pages[2]->glyphs['C']);
    // Numbers are taken modulo 256, as a signed byte would give them.
    FindGlyph(font, 258, 'D' - 256, glyph, page);
    EXPECT_EQ(glyph, &font.pages[2]->glyphs['D']);
    ClearFont(font);
    EXPECT_EQ(LiveTextures(), 0);
    EXPECT_EQ(font.pageCount, 0);
    EXPECT_EQ(font.defaultGlyph, nullptr);
}

// Whether this thread may read files whatever their permissions (as root
// may); false lets permissions apply to it too.
bool OverridePermissions(bool on)
{
    __user_cap_header_struct header = {_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    uint32_t bits = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
    data[0].effective = on ? data[0].effective | (bits & data[0].permitted) : data[0].effective & ~bits;
    return syscall(SYS_capset, &header, data) == 0;
}

bool CanRead(const std::string& path)
{
    FILE* file = fopen(path.c_str(), "rb");
    if (file)
        fclose(file);
    return file != nullptr;
}

TEST_F(FontLoadTest, PageFileThatCannotBeReadIsReported)
{
    WriteTestFont(FontFolder(), "Small.txt", "8\n", 8, {{0, {{'A', 5}}}, {1, {{'B', 4}}}});
    chmod(TempPath("Fonts/Small 1.txt").c_str(), 0);
    OverridePermissions(false);
    bool readable = CanRead(TempPath("Fonts/Small 1.txt"));
    bool loaded = readable ? false : Load();
    OverridePermissions(true);
    if (readable)
        GTEST_SKIP() << "permissions do not stop this user reading";
    ASSERT_TRUE(loaded);
    EXPECT_EQ(testPlatform.logLines, Lines{"Error opening file " + GamePath("Small 1.txt")});
    EXPECT_EQ(font.pages[1], nullptr);
}

TEST_F(FontLoadTest, DescriptorWithoutExtension)
{
    WriteTestFont(FontFolder(), "Small", "8\n", 8, {{0, {{'A', 5}}}, {3, {{'B', 4}}}});
    ASSERT_TRUE(std::filesystem::exists(TempPath("Fonts/Small 3 outline.png")));
    ASSERT_TRUE(Load("Small"));
    EXPECT_NE(font.pages[0], nullptr);
    EXPECT_NE(font.pages[3], nullptr);
    EXPECT_EQ(font.pageCount, 2);
}

TEST_F(FontLoadTest, PageImagesGiveTheirFirstChannelAsCoverage)
{
    WritePage0();
    TestImage colour(4, 2, Rgba{10, 20, 30, 40});
    colour.Set(3, 1, Rgba{200, 0, 0, 0});
    WriteImage("Fonts/Small 0.png", colour);
    ASSERT_TRUE(Load());
    const FontPage* page = font.pages[0];
    EXPECT_EQ(page->faceWidth, 4);
    EXPECT_EQ(page->faceHeight, 2);
    glBindTexture(GL_TEXTURE_2D, page->faceTexture);
    GLint format = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    EXPECT_EQ(format, GL_ALPHA8);
    uint8_t alpha[8] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, alpha);
    EXPECT_EQ(alpha[0], 10);
    EXPECT_EQ(alpha[7], 200);
    EXPECT_NE(page->outlineTexture, 0u);
    EXPECT_NE(page->outlineTexture, page->faceTexture);
}

} // namespace
