// The bitmap font loaded from its descriptor, page files and images, with
// the messages malformed ones report, and text drawn with it: line feeds,
// word wrap, blanks, long words, the outline and the window's edges.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>

#include "render/renderer.h"
#include "tests/render/gl_fixture.h"
#include "tests/support/test_platform.h"
#include "text/font.h"
#include "text/text_draw.h"

namespace {

typedef std::vector<std::string> Lines;

typedef std::vector<std::pair<int32_t, int32_t>> Glyphs; // code and width of each

const TextColour kFaceWhite = {1, 1, 1, 1};
const TextColour kNoOutline = {1, 0, 0, 0};

class FontLoadTest : public GlTest {
protected:
    // Each test starts with the renderer's font "Tiny.txt": height 5, spacing
    // 1, line gap 2. Code 1 is the lowest defined, so it is the default
    // glyph: one pixel wide.
    void SetUp() override
    {
        GlTest::SetUp();
        std::filesystem::create_directory(TempPath("Fonts"));
        WriteFont("Tiny.txt", "5\n1\n2\n0\n", 5,
                  {{0, {{1, 1}, {'A', 3}, {'B', 4}, {'W', 6}, {200, 5}, {' ', 2}, {'\t', 3}}}});
        ASSERT_TRUE(InitRenderer(160, 120, String(tempFolder.c_str()), String("Fonts"), String("Tiny.txt")));
    }
    // Writes "Fonts/<descriptorName>" and for each page "<base> <n><extension>"
    // with its images "<base> <n>.png" and "<base> <n> outline.png", 64 pixels
    // wide: solid glyph blocks three pixels apart from x = 2, y = 1, the
    // outline's one pixel larger all round. Blanks have empty cells.
    void WriteFont(const std::string& descriptorName, const std::string& descriptorText, int32_t height,
                   const std::map<int32_t, Glyphs>& pages)
    {
        std::ofstream(TempPath("Fonts/" + descriptorName), std::ios::binary) << descriptorText;
        size_t dot = std::min(descriptorName.rfind('.'), descriptorName.size());
        for (const auto& page : pages) {
            std::string name = "Fonts/" + descriptorName.substr(0, dot) + " " + std::to_string(page.first), lines;
            std::vector<std::string> cells(256);
            int32_t left = 2;
            TestImage face(64, height + 3, kBlack), outline(face);
            for (const auto& [code, glyphWidth] : page.second) {
                for (int32_t y = 0; code != ' ' && code != '\t' && y < height + 2; ++y)
                    for (int32_t x = left - 1; x <= left + glyphWidth; ++x) {
                        outline.Set(x, y, kWhite);
                        if (y > 0 && y <= height && x >= left && x < left + glyphWidth)
                            face.Set(x, y, kWhite);
                    }
                cells[size_t(code)] = std::to_string(left) + "\t1\t" + std::to_string(glyphWidth);
                left += glyphWidth + 3;
            }
            for (const std::string& cell : cells)
                lines += cell + "\n";
            std::ofstream(TempPath(name + descriptorName.substr(dot)), std::ios::binary) << lines;
            WriteImage(name + ".png", face);
            WriteImage(name + " outline.png", outline);
        }
    }
    // Paths as the font builds them: data folder, font folder, file name.
    std::string GamePath(const std::string& fileName) const { return tempFolder + "\\Fonts\\" + fileName; }
    bool Load(const char* fileName = "Small.txt")
    {
        ResetTestPlatform();
        return LoadFont(font, String(tempFolder.c_str()), String("Fonts"), String(fileName));
    }
    Font& font = renderer.font; // cleared with the window
};

TEST_F(FontLoadTest, DescriptorsGiveTheirMetricsOrTheirMessageAndAnyMetricsDraw)
{
    struct Case {
        const char* descriptor;
        bool loads;
        std::vector<int32_t> metrics; // height, spacing, line gap, reserved
        Lines log;
    } cases[] = {
        {"7\n3", true, {7, 3, 0, 0}, {}},
        // Windows line ends; a carriage return after the last line feed is no fifth line.
        {"8\r\n1\r\n2\r\n0\r\n\r", true, {8, 1, 2, 0}, {}},
        {"\xEF\xBB\xBF 7\n3", true, {7, 3, 0, 0}, {}}, // after a byte-order mark
        {" -3px\r\nletters\n\n 12 34\n", true, {-3, 0, 0, 12}, {}},
        {"8\n1\n2\n0\n\n", false, {0, 0, 0, 0}, {"Error loading font " + GamePath("Small.txt") + " (line 5)"}},
        {"2147483000\n-2147483000\n2147483000\n", true, {2147483000, -2147483000, 2147483000, 0}, {}},
    };
    for (const Case& c : cases) {
        WriteFont("Small.txt", c.descriptor, 8, {{0, {{'A', 5}, {'B', 4}}}});
        EXPECT_EQ(Load(), c.loads) << c.descriptor;
        EXPECT_EQ(testPlatform.logLines, c.log) << c.descriptor;
        EXPECT_EQ((std::vector<int32_t>{font.height, font.spacing, font.lineGap, font.reserved}), c.metrics);
        // Absurd metrics lay out nonsense, but draw without fault.
        DrawText(String("AB A\nB\tAAAAAAAAAAAA"), 2147483000, -2147483000, 5, kFaceWhite, kFaceWhite);
        DrawText(String("AB A\nB"), -2147483000, 2147483000, -2147483647, kFaceWhite, kFaceWhite);
    }
}

TEST_F(FontLoadTest, PageLinesGiveCellsAndLinesPastCode255AreAnError)
{
    std::string lines = "\xEF\xBB\xBF 4\t5\t6\n" + std::string(8, '\n'); // code 0 after a byte-order mark
    lines += "1\t2\n" + std::string(55, '\n');                           // one tab only: no cell
    lines += "10\t20\t5\n";                                              // 'A'
    lines += " 3 \t 4x\t 6\t7 more\n";                                   // 'B': further tabs belong to the width
    lines += "1\t2\t-3\n";                                               // 'C': the pen steps back
    WriteFont("Small.txt", "8\n", 8, {{0, {{'A', 5}}}});
    // Empty lines past the last code are fine, and Windows line ends read as line feeds.
    std::ofstream(TempPath("Fonts/Small 0.txt"), std::ios::binary)
        << std::regex_replace(lines + std::string(300, '\n'), std::regex("\n"), "\r\n");
    ASSERT_TRUE(Load());
    std::string cells;
    for (const Glyph& glyph : {font.pages[0]->glyphs[0], font.pages[0]->glyphs[9], font.pages[0]->glyphs['A'],
                               font.pages[0]->glyphs['B'], font.pages[0]->glyphs['C']})
        cells += glyph.defined
                     ? std::to_string(glyph.x) + "," + std::to_string(glyph.y) + "," + std::to_string(glyph.width) + " "
                     : "- ";
    EXPECT_EQ(cells, "4,5,6 - 10,20,5 3,4,6 1,2,-3 ");

    std::ofstream(TempPath("Fonts/Small 0.txt"), std::ios::binary) << std::string(256, '\n') + "1\t2\t3\n"; // code 256
    EXPECT_FALSE(Load());
    EXPECT_EQ(testPlatform.logLines,
              (Lines{"Error loading font page " + GamePath("Small 0.txt") + " (line 257)",
                     "Error loading font " + GamePath("Small.txt") + " - no characters defined"}));
}

TEST_F(FontLoadTest, BrokenPagesAreDroppedAndTheirCharactersDrawnWithTheDefault)
{
    WriteFont("Small", "8\n", 8, {{0, {{'A', 5}}}, {1, {{'B', 4}}}, {3, {{'C', 3}, {'D', 2}}}});
    std::remove(TempPath("Fonts/Small 0 outline.png").c_str());
    std::remove(TempPath("Fonts/Small 1.png").c_str());
    ASSERT_TRUE(Load("Small")); // no extension: page files have none either
    EXPECT_EQ(testPlatform.logLines, (Lines{"Error loading font page texture " + GamePath("Small 0 outline.png"),
                                            "Error loading font page texture " + GamePath("Small 1.png")}));
    // 'A' lost its page: the lowest code defined, 3 pixels wide 'C', stands in.
    DrawText(String("A"), 10, 100, 100, kFaceWhite, kNoOutline);
    Capture();
    EXPECT_EQ(Picture(10, 99, 5, 1), "###..\n");
}

TEST_F(FontLoadTest, PagePicturesShareOneBudgetAndThosePastItFailUnread)
{
    WriteFont("Small.txt", "8\n", 8, {{0, {{'A', 5}}}, {1, {{'B', 4}}}, {2, {{'C', 3}}}});
    // Each picture file runs to 100 MiB past its end, which is never read but counts: two fit.
    for (const char* name : {"Small 0", "Small 0 outline", "Small 1", "Small 1 outline", "Small 2", "Small 2 outline"})
        std::filesystem::resize_file(TempPath("Fonts/" + std::string(name) + ".png"), 100 << 20);
    ASSERT_TRUE(Load());
    EXPECT_EQ(testPlatform.logLines, (Lines{"Error loading font page texture " + GamePath("Small 1.png"),
                                            "Error loading font page texture " + GamePath("Small 2.png")}));
}

using TextDrawTest = FontLoadTest;

TEST_F(TextDrawTest, GlyphsBlanksLineFeedsAndWrapping)
{
    // Rows of the picture by number (0 is the first line's top; each line is
    // 5 + 2 lower); the rows of a line's glyphs are alike.
    struct Case {
        const char* text;
        int32_t maximumWidth;
        std::vector<std::pair<int32_t, std::string>> rows;
    } cases[] = {
        // A at x, the space's cell at x + 3 + 1, B at x + 3 + 1 + 2 + 1.
        {"A B", 100, {{0, "###....####."}, {5, "............"}}},
        {"\310A", 100, {{0, "#####.###."}}}, // code 200 is a byte above 127
        {"AZA", 100, {{0, "###.#.###."}}},   // 'Z' is missing: the default glyph stands in
        // An empty line keeps its room, each line gap too; blanks after a line feed count.
        {"A\n\n  B", 100, {{0, "###.."}, {7, "....."}, {13, "....."}, {14, "####."}}},
        // Words move down when they would pass the width; equal still fits.
        {"AB  AB", 23, {{0, "###.####.......###.####."}}},
        {"AB AB", 20, {{0, "###.####....###.####"}}},
        {"AB AB", 19, {{0, "###.####....."}, {7, "###.####....."}}},
        // A word too long breaks between characters: 3, 7, then 11 passes 10.
        {"AAAA", 10, {{0, "###.###....."}, {7, "###.###....."}}},
        // A glyph wider than the width takes a line of its own.
        {"WA", 4, {{0, "........"}, {7, "######.."}, {14, "###....."}}},
    };
    for (const Case& c : cases) {
        int32_t width = int32_t(c.rows[0].second.size()), height = c.rows.back().first + 1;
        ClearScreen();
        DrawText(String(c.text), 10, 100, c.maximumWidth, kFaceWhite, kNoOutline);
        Capture();
        std::string picture = Picture(10, 100 - height, width, height);
        for (const auto& row : c.rows)
            EXPECT_EQ(picture.substr(size_t(row.first) * size_t(width + 1), size_t(width)), row.second)
                << c.text << " row " << row.first;
    }
}

TEST_F(TextDrawTest, OutlinesFrameEveryGlyphAndGlyphsAtTheEdgesShowWhatFits)
{
    DrawText(String("AB"), 10, 100, 100, kFaceWhite, TextColour{1, 0, 0, 1});
    // Faces take the text colour; glyphs half off the window show their inside part.
    DrawText(String("A"), -2, 2, 100, TextColour{0, 1, 0, 1}, kNoOutline);
    DrawText(String("A"), 158, 121, 100, kFaceWhite, kNoOutline);
    Capture();
    EXPECT_EQ(Picture(8, 99, 12, 2) + Picture(8, 94, 12, 1), ".oooooooooo.\n.o###o####o.\n.oooooooooo.\n");
    EXPECT_EQ(At(0, 0), kGreen);
    EXPECT_EQ(At(1, 1), kBlack);
    EXPECT_EQ(Picture(157, 115, 3, 5), ".##\n.##\n.##\n.##\n...\n");
}

} // namespace
