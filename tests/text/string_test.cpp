// Strings as the game's data files need them: numbers read and written,
// Windows paths split, and text files read line by line.
#include <gtest/gtest.h>

#include <climits>
#include <ctime>
#include <string>

#include "text/string.h"

namespace {

std::string Str(const String& s) { return std::string(s.Text(), size_t(s.Length())); }

TEST(String, NumbersAreReadFromTheStartAndWrapModulo2To32)
{
    struct Case {
        const char* text;
        int32_t value;
    } cases[] = {{" - 12", -12},     {"12 34", 12},
                 {"px12", 0},        {" -3px", -3},
                 {"--3", 0},         {"+3", 0},
                 {"\t\r\n8", 8},     {"-2147483648", INT_MIN},
                 {"4294967301", 5},  {"2147483648", INT_MIN},
                 {"-4294967297", -1}};
    for (const Case& c : cases)
        EXPECT_EQ(String(c.text).ToInt(), c.value) << c.text;
    EXPECT_EQ(String(std::string(100, '9').c_str()).ToInt(), -1); // keeps wrapping, no overflow
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

TEST(String, PathsSplitIntoFolderAndFileResolvingDotDot)
{
    struct Case {
        const char *folderBefore, *path, *folder, *file;
    } cases[] = {
        {"", "Fonts\\Small.txt", "Fonts", "Small.txt"},
        {"", "a\\..\\b\\c.txt", "b", "c.txt"},
        {"", "..\\c.txt", "", "c.txt"},
        {"Data", "Fonts\\\\Big\\.\\x.txt", "Data\\Fonts\\Big\\.", "x.txt"},
        {"", "\\lead\\x", "lead", "x"},
        {"A\\B", "..\\..\\..\\f", "", "f"},
    };
    for (const Case& c : cases) {
        String folder(c.folderBefore), file;
        SplitPath(folder, String(c.path), file);
        EXPECT_EQ(Str(folder) + "|" + Str(file), std::string(c.folder) + "|" + c.file) << c.path;
    }
    // A million folders down and up again: work that grew with the square
    // of the path would take a minute, not the two seconds allowed here.
    std::string deep;
    for (int i = 0; i < 1000000; ++i)
        deep += "a\\";
    for (int i = 0; i < 1000000; ++i)
        deep += "..\\";
    String deepFolder, file;
    std::clock_t start = std::clock();
    SplitPath(deepFolder, String((deep + "b\\c.txt").c_str()), file);
    EXPECT_LT(std::clock() - start, 2 * CLOCKS_PER_SEC);
    EXPECT_EQ(Str(deepFolder), "b");
}

} // namespace
