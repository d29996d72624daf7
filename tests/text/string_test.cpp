// Strings as the game's data files need them: numbers read and written,
// searches, case folding, Windows paths, and text files read line by line.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <ctime>
#include <string>

#include "text/string.h"

namespace {

std::string Str(const String& s) { return std::string(s.Text(), size_t(s.Length())); }

TEST(String, CopiesAndAppendsAreIndependentValues)
{
    String a("spider"), b(a);
    b.AppendByte('s');
    a = a; // self-assignment keeps the text
    EXPECT_EQ(Str(a), "spider");
    EXPECT_EQ(Str(b), "spiders");
    EXPECT_STREQ(String(static_cast<const char*>(nullptr)).Text(), "");
    String s("abc");
    for (int i = 0; i < 10; ++i)
        s.Append(s); // its own text, through every reallocation
    EXPECT_EQ(s.Length(), 3 * 1024);
    EXPECT_EQ(Str(Substring(s, 3069, 3072)), "abc");
    s = s.Text() + 1;
    EXPECT_EQ(s.Length(), 3 * 1024 - 1);
    String path("Fonts/Small.txt");
    EXPECT_EQ(Str(Substring(path, -3, 2)), "Fo");
    EXPECT_EQ(Str(Substring(path, 6, 1000)), "Small.txt");
    EXPECT_EQ(Str(Substring(path, 5, 2)), "");
}

TEST(String, NumbersAreReadFromTheStartAndWrapModulo2To32)
{
    struct Case {
        const char* text;
        int32_t value;
    } cases[] = {{" - 12", -12},
                 {"12 34", 12},
                 {"px12", 0},
                 {"", 0},
                 {" -3px", -3},
                 {"--3", 0},
                 {"+3", 0},
                 {"\t\r\n8", 8},
                 {"2147483647", INT_MAX},
                 {"-2147483648", INT_MIN},
                 {"4294967301", 5},
                 {"2147483648", INT_MIN},
                 {"-4294967297", -1}};
    for (const Case& c : cases)
        EXPECT_EQ(String(c.text).ToInt(), c.value) << c.text;
    EXPECT_EQ(String(std::string(100, '9').c_str()).ToInt(), -1); // keeps wrapping, no overflow
}

TEST(String, NumbersAreWrittenWithTheirDigitsPadded)
{
    struct Case {
        int32_t value, digits;
        const char* text;
    } cases[] = {{7, 3, "007"},
                 {-7, 3, "-007"},
                 {255, 1, "255"},
                 {0, 0, "0"},
                 {INT_MIN, 1, "-2147483648"},
                 {INT_MAX, -5, "2147483647"}};
    for (const Case& c : cases) {
        String s("old text");
        s.FromInt(c.value, c.digits);
        EXPECT_EQ(Str(s), c.text) << c.value;
    }
    String padded;
    padded.FromInt(7, 1500);
    EXPECT_EQ(padded.Length(), 1500);
    EXPECT_EQ(padded[1499], '7');
    padded.FromInt(-1, INT_MAX); // one byte past the longest String
    EXPECT_TRUE(padded.IsEmpty());
}

TEST(String, SearchesAndComparisonsFoldOnlyAsciiLettersWhenAsked)
{
    String s("Data/beep.ogg");
    EXPECT_EQ(s.Find('e', 7, false), 7);
    EXPECT_EQ(s.Find('x', 0, false), -1);
    EXPECT_EQ(s.Find('d', -1, false), -1);
    EXPECT_EQ(s.Find('d', 0, true), 0);
    EXPECT_EQ(s.FindLast('e', 5, false), -1);
    EXPECT_EQ(s.FindLast('B', s.Length(), true), 5);
    EXPECT_TRUE(String("Data/TITLE.png").Equals(String("data/title.PNG"), true));
    EXPECT_FALSE(String("Data/title.png").Equals(String("data/title.png"), false));
    EXPECT_FALSE(String("abc").Equals(String("abcd"), true));
    EXPECT_FALSE(String("\xe4").Equals(String("\xc4"), true));
    for (int c = 0; c < 256; ++c) {
        EXPECT_EQ(IsSpace(char(c)), c == 9 || c == 10 || c == 13 || c == 32) << c;
        EXPECT_EQ(ToUpperAscii(char(c)), c >= 'a' && c <= 'z' ? char(c - 32) : char(c)) << c;
    }
}

TEST(String, PathsJoinWithBackslashesAndSplitResolvingDotDot)
{
    String data("Data"), none;
    data.AppendPath(String("Fonts"));
    data.AppendPath(String());
    none.AppendPath(String("Fonts"));
    EXPECT_EQ(Str(data), "Data\\Fonts");
    EXPECT_EQ(Str(none), "Fonts");
    String slashes("Fonts/Big/Small.txt");
    slashes.ToBackslashes();
    EXPECT_EQ(Str(slashes), "Fonts\\Big\\Small.txt");
    struct Case {
        const char *folderBefore, *path, *folder, *file;
    } cases[] = {
        {"", "Fonts\\Small.txt", "Fonts", "Small.txt"},
        {"", "a\\..\\b\\c.txt", "b", "c.txt"},
        {"", "..\\c.txt", "", "c.txt"},
        {"Keep", "Small.txt", "Keep", "Small.txt"},
        {"Data", "Fonts\\\\Big\\.\\x.txt", "Data\\Fonts\\Big\\.", "x.txt"},
        {"", "\\lead\\x", "lead", "x"},
        {"A\\B", "..\\..\\..\\f", "", "f"},
        {"", "dir\\", "dir", ""},
    };
    for (const Case& c : cases) {
        String folder(c.folderBefore), file;
        SplitPath(folder, String(c.path), file);
        EXPECT_EQ(Str(folder), c.folder) << c.path;
        EXPECT_EQ(Str(file), c.file) << c.path;
    }
    String same("x\\y.txt"), folder;
    SplitPath(folder, same, same); // the file name may be the path itself
    EXPECT_EQ(Str(same), "y.txt");
    EXPECT_EQ(Str(folder), "x");
    // A million folders down and up again: work that grew with the square
    // of the path would take a minute, not the two seconds allowed here.
    std::string deep;
    for (int i = 0; i < 1000000; ++i)
        deep += "a\\";
    for (int i = 0; i < 1000000; ++i)
        deep += "..\\";
    String deepPath((deep + "b\\c.txt").c_str()), deepFolder;
    std::clock_t start = std::clock();
    SplitPath(deepFolder, deepPath, same);
    EXPECT_LT(std::clock() - start, 2 * CLOCKS_PER_SEC);
    EXPECT_EQ(Str(deepFolder), "b");
}

TEST(InputFile, LinesEndAtLineFeedsWithCarriageReturnsDropped)
{
    std::string path = ::testing::TempDir() + "velmora_input_file.txt";
    std::string longLine(5000, 'q');
    struct Case {
        std::string bytes, lines;
    } cases[] = {{"a\r\nb", "a|b|"}, {"x\n\n\r", "x||"}, {longLine + "\nend", longLine + "|end|"}, {"", ""}};
    for (const Case& c : cases) {
        FILE* f = fopen(path.c_str(), "wb");
        fwrite(c.bytes.data(), 1, c.bytes.size(), f);
        fclose(f);
        std::string backslashed = path; // Windows paths open here too
        for (char& ch : backslashed)
            ch = ch == '/' ? '\\' : ch;
        InputFile file;
        ASSERT_TRUE(file.Open(String(backslashed.c_str())));
        std::string lines;
        for (String line; file.ReadLine(line);)
            lines += Str(line) + "|";
        EXPECT_EQ(lines, c.lines);
        EXPECT_TRUE(file.Close());
        EXPECT_FALSE(file.Close());
    }
    remove(path.c_str());
    InputFile file;
    EXPECT_FALSE(file.Open(String()));
    EXPECT_FALSE(file.Open(String("/no/such/velmora/file")));
    char byte;
    EXPECT_FALSE(file.ReadByte(byte));
}

} // namespace
