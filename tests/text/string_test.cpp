// Strings as the game's data files need them: numbers read and written,
// Windows paths split, and text files read line by line.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <ctime>
#include <limits>
#include <string>

#include "text/string.h"

namespace {

std::string Str(const String& s) { return std::string(s.Text(), size_t(s.Length())); }

TEST(String, NumbersAreReadFromTheStartAndWrapModulo2To32)
{
    struct Case {
        std::string text;
        int32_t value;
    } cases[] = {{" - 12", -12},      {"12 34", 12},
                 {"px12", 0},         {" -3px", -3},
                 {"--3", 0},          {"+3", 0},
                 {"\t\r\n8", 8},      {"-2147483648", INT_MIN},
                 {"4294967301", 5},   {"2147483648", INT_MIN},
                 {"-4294967297", -1}, {std::string(100, '9'), -1}}; // keeps wrapping, no overflow
    for (const Case& c : cases)
        EXPECT_EQ(String(c.text.c_str()).ToInt(), c.value) << c.text;
}

TEST(String, NumbersAreWrittenWithTheirDigitsPadded)
{
    struct Case {
        int32_t value, digits;
        std::string text;
    } cases[] = {{-7, 3, "-007"},
                 {INT_MIN, 1, "-2147483648"},
                 {7, 1500, std::string(1499, '0') + "7"},
                 {-1, INT_MAX, ""}}; // one byte past the longest String: nothing
    for (const Case& c : cases) {
        String s("old text");
        s.FromInt(c.value, c.digits);
        EXPECT_EQ(Str(s), c.text) << c.value << " " << c.digits;
    }
}

// Processor time of splitting a path n folders down and up again, the best
// of five runs, so that whatever else the machine does counts little.
std::clock_t SplitTime(int n)
{
    std::string deep;
    for (int i = 0; i < 2 * n; ++i)
        deep += i < n ? "a\\" : "..\\";
    String path((deep + "b\\c.txt").c_str()), folder, file;
    std::clock_t best = std::numeric_limits<std::clock_t>::max();
    for (int run = 0; run < 5; ++run) {
        folder.Clear();
        std::clock_t start = std::clock();
        SplitPath(folder, path, file);
        best = std::min(best, std::clock() - start + 1);
    }
    EXPECT_EQ(Str(folder) + "|" + Str(file), "b|c.txt");
    return best;
}

TEST(String, PathsSplitIntoFolderAndFileResolvingDotDotInLinearTime)
{
    struct Case {
        std::string folderBefore, path, folder, file;
    } cases[] = {
        {"", "Fonts\\Small.txt", "Fonts", "Small.txt"},
        {"", "..\\c.txt", "", "c.txt"},
        {"Data", "Fonts\\\\Big\\.\\x.txt", "Data\\Fonts\\Big\\.", "x.txt"},
        {"", "\\lead\\x", "lead", "x"},
        {"A\\B", "..\\..\\..\\f", "", "f"},
    };
    for (const Case& c : cases) {
        String folder(c.folderBefore.c_str()), file;
        SplitPath(folder, String(c.path.c_str()), file);
        EXPECT_EQ(Str(folder) + "|" + Str(file), c.folder + "|" + c.file) << c.path;
    }
    // From n folders to 8n, work that grows with the path's length grows 8
    // times; work that grew with its square would grow 64 times.
    std::clock_t shallow = SplitTime(20000), deep = SplitTime(160000);
    EXPECT_LT(deep, 24 * shallow) << deep << " against " << shallow << " clock ticks";
}

} // namespace
