#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <ctime>
#include <string>

#include "text/string.h"

namespace {

std::string Str(const String& s) { return std::string(s.Text(), static_cast<size_t>(s.Length())); }

TEST(String, EmptyStringsGiveEmptyTextNeverNull)
{
    String empty;
    ASSERT_NE(empty.Text(), nullptr);
    EXPECT_STREQ(empty.Text(), "");
    EXPECT_EQ(empty.Length(), 0);
    String copy(empty);
    EXPECT_STREQ(copy.Text(), "");
    String fromNull(static_cast<const char*>(nullptr));
    EXPECT_EQ(fromNull.Length(), 0);
}

TEST(String, CopiesAreIndependentValues)
{
    String a("spider");
    String b(a);
    b.AppendByte('s');
    EXPECT_EQ(Str(a), "spider");
    EXPECT_EQ(Str(b), "spiders");
    a = b;
    a.Append(" wave");
    EXPECT_EQ(Str(b), "spiders");
    a = a; // self-assignment keeps the text
    EXPECT_EQ(Str(a), "spiders wave");
}

TEST(String, AppendingOwnTextSurvivesReallocation)
{
    String s("abc");
    for (int i = 0; i < 10; ++i)
        s.Append(s);
    EXPECT_EQ(s.Length(), 3 * 1024);
    EXPECT_EQ(Str(Substring(s, 3069, 3072)), "abc");
    s = s.Text() + 1; // assigning from inside its own buffer
    EXPECT_EQ(s.Length(), 3 * 1024 - 1);
}

TEST(String, SubstringClampsBothEnds)
{
    String s("Fonts/Small.txt");
    EXPECT_EQ(Str(Substring(s, 5, 2)), "");
    EXPECT_EQ(Str(Substring(s, -3, 2)), "Fo");
    EXPECT_EQ(Str(Substring(s, 6, 1000)), "Small.txt");
    EXPECT_EQ(Str(Substring(s, 15, 15)), "");
    s = Substring(s, 6, 11);
    EXPECT_EQ(Str(s), "Small");
}

TEST(String, FindAndFindLastRespectStartAndCase)
{
    String s("Data/beep.ogg");
    EXPECT_EQ(s.Find('e', 0, false), 6);
    EXPECT_EQ(s.Find('e', 7, false), 7);
    EXPECT_EQ(s.Find('x', 0, false), -1);
    EXPECT_EQ(s.Find('d', s.Length(), false), -1);
    EXPECT_EQ(s.Find('d', -1, false), -1);
    EXPECT_EQ(s.Find('d', 0, true), 0);
    EXPECT_EQ(s.FindLast('g', s.Length(), false), 12);
    EXPECT_EQ(s.FindLast('e', 6, false), 6);
    EXPECT_EQ(s.FindLast('e', 5, false), -1);
    EXPECT_EQ(s.FindLast('/', s.Length() + 1, false), -1);
    EXPECT_EQ(s.FindLast('B', s.Length(), true), 5);
    EXPECT_EQ(String().FindLast('a', 0, false), -1);
}

TEST(String, EqualsFoldsOnlyAsciiLetters)
{
    EXPECT_TRUE(String("Data/TITLE.png").Equals(String("data/title.PNG"), true));
    EXPECT_FALSE(String("Data/title.png").Equals(String("data/title.png"), false));
    EXPECT_FALSE(String("abc").Equals(String("abcd"), true));
    // Bytes above 127 are never folded.
    EXPECT_FALSE(String("\xe4").Equals(String("\xc4"), true));
}

TEST(String, IsSpaceAndToUpperAscii)
{
    for (int c = 0; c < 256; ++c) {
        char byte = static_cast<char>(c);
        EXPECT_EQ(IsSpace(byte), c == 9 || c == 10 || c == 13 || c == 32) << c;
        char expected = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : byte;
        EXPECT_EQ(ToUpperAscii(byte), expected) << c;
    }
}

TEST(String, ToIntReadsTheLeadingNumber)
{
    EXPECT_EQ(String(" - 12").ToInt(), -12);
    EXPECT_EQ(String("12 34").ToInt(), 12);
    EXPECT_EQ(String("px12").ToInt(), 0);
    EXPECT_EQ(String("").ToInt(), 0);
    EXPECT_EQ(String(" -3px").ToInt(), -3);
    EXPECT_EQ(String("--3").ToInt(), 0);
    EXPECT_EQ(String("+3").ToInt(), 0);
    EXPECT_EQ(String("\t\r\n8").ToInt(), 8);
    EXPECT_EQ(String("2147483647").ToInt(), INT_MAX);
    EXPECT_EQ(String("-2147483648").ToInt(), INT_MIN);
}

TEST(String, ToIntWrapsOverflowModulo2To32)
{
    // 2^32 + 5 wraps to 5; 2^31 wraps to INT_MIN; a long run of digits keeps
    // wrapping without undefined behaviour.
    EXPECT_EQ(String("4294967301").ToInt(), 5);
    EXPECT_EQ(String("2147483648").ToInt(), INT_MIN);
    EXPECT_EQ(String("-4294967297").ToInt(), -1);
    String huge;
    for (int i = 0; i < 100; ++i)
        huge.AppendByte('9');
    uint32_t expected = 0;
    for (int i = 0; i < 100; ++i)
        expected = expected * 10u + 9u;
    EXPECT_EQ(huge.ToInt(), static_cast<int32_t>(expected));
}

TEST(String, FromIntPadsDigitsNotTheSign)
{
    String s("old text");
    s.FromInt(7, 3);
    EXPECT_EQ(Str(s), "007");
    s.FromInt(-7, 3);
    EXPECT_EQ(Str(s), "-007");
    s.FromInt(255, 1);
    EXPECT_EQ(Str(s), "255");
    s.FromInt(0, 0);
    EXPECT_EQ(Str(s), "0");
    s.FromInt(INT_MIN, 1);
    EXPECT_EQ(Str(s), "-2147483648");
    s.FromInt(INT_MAX, -5);
    EXPECT_EQ(Str(s), "2147483647");
    s.FromInt(7, 1500);
    EXPECT_EQ(s.Length(), 1500);
    EXPECT_EQ(s[1499], '7');
    s.FromInt(-1, INT_MAX); // one byte past the longest String
    EXPECT_TRUE(s.IsEmpty());
}

TEST(String, PathsJoinWithBackslashes)
{
    String folder;
    folder.AppendPath(String("Fonts"));
    EXPECT_EQ(Str(folder), "Fonts");
    String data("Data");
    data.AppendPath(String("Fonts"));
    EXPECT_EQ(Str(data), "Data\\Fonts");
    data.AppendPath(String());
    EXPECT_EQ(Str(data), "Data\\Fonts");
    String path("Fonts/Big/Small.txt");
    path.ToBackslashes();
    EXPECT_EQ(Str(path), "Fonts\\Big\\Small.txt");
}

TEST(String, SplitPathResolvesFoldersAndDotDot)
{
    struct Case {
        const char* folderBefore;
        const char* path;
        const char* folder;
        const char* file;
    } cases[] = {
        {"", "Fonts\\Small.txt", "Fonts", "Small.txt"},
        {"", "a\\..\\b\\c.txt", "b", "c.txt"},
        {"", "..\\c.txt", "", "c.txt"},
        {"", "Small.txt", "", "Small.txt"},
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

class InputFileTest : public ::testing::Test {
protected:
    void Write(const std::string& bytes)
    {
        FILE* f = fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
    void TearDown() override { remove(path.c_str()); }
    std::string path = ::testing::TempDir() + "velmora_input_file.txt";
};

TEST_F(InputFileTest, ReadLineDropsCarriageReturnsAndEndsCleanly)
{
    Write("a\r\nb");
    InputFile file;
    ASSERT_TRUE(file.Open(String(path.c_str())));
    String line;
    EXPECT_TRUE(file.ReadLine(line));
    EXPECT_EQ(Str(line), "a");
    EXPECT_TRUE(file.ReadLine(line));
    EXPECT_EQ(Str(line), "b");
    EXPECT_FALSE(file.ReadLine(line));
    EXPECT_TRUE(file.Close());
    EXPECT_FALSE(file.Close());
    EXPECT_FALSE(file.ReadLine(line));
}

TEST_F(InputFileTest, TrailingLineFeedAndEmptyLines)
{
    Write("x\n\n\r");
    InputFile file;
    ASSERT_TRUE(file.Open(String(path.c_str())));
    String line;
    EXPECT_TRUE(file.ReadLine(line));
    EXPECT_EQ(Str(line), "x");
    EXPECT_TRUE(file.ReadLine(line));
    EXPECT_EQ(Str(line), "");
    // A lone carriage return at the end adds no byte, so there is no line.
    EXPECT_FALSE(file.ReadLine(line));
}

TEST_F(InputFileTest, LongLinesHaveNoLimit)
{
    std::string longLine(5000, 'q');
    Write(longLine + "\nend");
    InputFile file;
    ASSERT_TRUE(file.Open(String(path.c_str())));
    String line;
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(Str(line), longLine);
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(Str(line), "end");
}

TEST_F(InputFileTest, OpenFailsForMissingAndEmptyNames)
{
    InputFile file;
    EXPECT_FALSE(file.Open(String()));
    EXPECT_FALSE(file.Open(String("/no/such/velmora/file")));
    char byte;
    EXPECT_FALSE(file.ReadByte(byte));
}

TEST_F(InputFileTest, BackslashPathsOpenOnThisSystem)
{
    Write("z");
    std::string backslashed = path;
    for (char& c : backslashed)
        if (c == '/')
            c = '\\';
    InputFile file;
    ASSERT_TRUE(file.Open(String(backslashed.c_str())));
    char byte = 0;
    EXPECT_TRUE(file.ReadByte(byte));
    EXPECT_EQ(byte, 'z');
}

} // namespace
