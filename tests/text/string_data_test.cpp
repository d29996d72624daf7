// The string data file: entries, quoting and escapes, comments, and every
// malformed case with the exact message it reports.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/test_platform.h"
#include "text/string_data.h"

namespace {

typedef std::vector<std::string> Lines;

const char kNotSet[] = "String variable not set (FONT_FILE_NAME)";

class StringDataTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetTestPlatform();
        ClearStringData();
        std::string pattern = (std::filesystem::temp_directory_path() / "velmora-strings-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override
    {
        ClearStringData();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::string Path() const { return folder + "/StringData.txt"; }
    // Loads a file of exactly these bytes and returns the font name.
    std::string Load(const std::string& bytes)
    {
        FILE* file = fopen(Path().c_str(), "wb");
        fwrite(bytes.data(), 1, bytes.size(), file);
        fclose(file);
        ClearStringData();
        ResetTestPlatform();
        EXPECT_TRUE(LoadStringData(String(Path().c_str())));
        const String& value = GetStringVariable(kFontFileNameVariable);
        return std::string(value.Text(), size_t(value.Length()));
    }
    std::string folder;
};

TEST_F(StringDataTest, EntriesWithAnythingButQuotesBetweenNameAndValue)
{
    EXPECT_EQ(Load("FONT_FILE_NAME \"Fonts/Small.txt\"\n"), "Fonts/Small.txt");
    EXPECT_EQ(testPlatform.logLines, Lines{});
    EXPECT_EQ(Load("FONT_FILE_NAME = \"Fonts/Small.txt\"\n"), "Fonts/Small.txt");
    EXPECT_EQ(Load("FONT_FILE_NAME : \"Fonts/Small.txt\""), "Fonts/Small.txt");
    EXPECT_EQ(Load("\t\r\n  FONT_FILE_NAME\n\n\"a\"   "), "a");
    EXPECT_EQ(testPlatform.logLines, Lines{});
}

TEST_F(StringDataTest, CommentsRunToTheLineEnd)
{
    EXPECT_EQ(Load("# the font\nFONT_FILE_NAME \"x\" # after\n# \"y\"\n"), "x");
    // Between name and value a '#' still starts a comment.
    EXPECT_EQ(Load("FONT_FILE_NAME # \"no\"\n \"yes\""), "yes");
    // Inside quotes it is part of the value; inside a name, part of the name.
    EXPECT_EQ(Load("FONT_FILE_NAME \"a#b\""), "a#b");
    EXPECT_EQ(Load("FONT#FILE \"a\""), "");
    EXPECT_EQ(testPlatform.logLines, (Lines{"String variable unknown (FONT#FILE)", kNotSet}));
}

TEST_F(StringDataTest, EscapesAndLineBreaksInsideQuotes)
{
    EXPECT_EQ(Load("FONT_FILE_NAME \"a\\nb\\tc\\q\\\\d\\\"e\""), "a\nb\tcq\\d\"e");
    EXPECT_EQ(Load("FONT_FILE_NAME \"one\r\ntwo\""), "one\ntwo");
    EXPECT_EQ(Load("FONT_FILE_NAME \"keep\\\rthis\""), "keep\rthis");
    EXPECT_EQ(Load("FONT_FILE_NAME\r\n\"Fonts/Small.txt\"\r\n"), "Fonts/Small.txt");
}

TEST_F(StringDataTest, NameWithoutABlankSwallowsTheLine)
{
    EXPECT_EQ(Load("FONT_FILE_NAME=\"Fonts/Small.txt\"\nOTHER \"x\"\n"), "");
    // The run up to the line end is the name; the next quoted value is its.
    EXPECT_EQ(testPlatform.logLines,
              (Lines{"String variable unknown (FONT_FILE_NAME=\"Fonts/Small.txt\")", kNotSet}));
}

TEST_F(StringDataTest, NamesMatchExactlyWithCase)
{
    EXPECT_EQ(Load("font_file_name \"Fonts/Small.txt\"\n"), "");
    EXPECT_EQ(testPlatform.logLines, (Lines{"String variable unknown (font_file_name)", kNotSet}));
    std::string withNul("FONT_FILE_NAME\0x \"a\"", 20);
    EXPECT_EQ(Load(withNul), "");
    EXPECT_EQ(testPlatform.logLines, (Lines{"String variable unknown (FONT_FILE_NAME)", kNotSet}));
}

TEST_F(StringDataTest, EmptyFilesAndEmptyValuesLeaveTheVariableUnset)
{
    for (const char* bytes : {"", "# only a comment", "   \n\n", "FONT_FILE_NAME \"\"\n"}) {
        EXPECT_EQ(Load(bytes), "") << bytes;
        EXPECT_EQ(testPlatform.logLines, Lines{kNotSet}) << bytes;
    }
}

TEST_F(StringDataTest, RepeatedEntriesAppend)
{
    EXPECT_EQ(Load("FONT_FILE_NAME \"a\"\nFONT_FILE_NAME \"b\"\n"), "ab");
    EXPECT_EQ(testPlatform.logLines, Lines{});
}

TEST_F(StringDataTest, LongValuesAndLongNames)
{
    std::string value;
    for (int i = 0; i < 3000; ++i)
        value += char('a' + i % 26);
    EXPECT_EQ(Load("FONT_FILE_NAME \"" + value + "\""), value);
    std::string exact(1023, 'x');
    EXPECT_EQ(Load("FONT_FILE_NAME \"" + exact + "\""), exact);
    std::string longName(150, 'N');
    EXPECT_EQ(Load(longName + " \"v\""), "");
    EXPECT_EQ(testPlatform.logLines, (Lines{"String variable unknown (" + longName.substr(0, 100) + ")", kNotSet}));
    // An unknown entry's value is dropped however long, then parsing goes on.
    EXPECT_EQ(Load("OTHER \"" + value + "\"\nFONT_FILE_NAME \"f\""), "f");
    EXPECT_EQ(testPlatform.logLines, Lines{"String variable unknown (OTHER)"});
}

TEST_F(StringDataTest, ValueWithoutItsClosingQuoteIsLost)
{
    EXPECT_EQ(Load("FONT_FILE_NAME \"Fonts/Small.txt"), "");
    EXPECT_EQ(testPlatform.logLines, Lines{kNotSet});
    // Only whole 1023-byte pieces reach the variable.
    EXPECT_EQ(Load("FONT_FILE_NAME \"" + std::string(1023 + 500, 'z')), std::string(1023, 'z'));
    EXPECT_EQ(Load("FONT_FILE_NAME"), "");
    EXPECT_EQ(Load("FONT_FILE_NAME \"ab\\"), "");
}

TEST_F(StringDataTest, NulBytesAreLeftOutOfValues)
{
    EXPECT_EQ(Load(std::string("FONT_FILE_NAME \"a\0b\"", 20)), "ab");
}

TEST_F(StringDataTest, MissingFileFailsQuietly)
{
    ResetTestPlatform();
    EXPECT_FALSE(LoadStringData(String((folder + "/absent.txt").c_str())));
    EXPECT_FALSE(LoadStringData(String("")));
    EXPECT_EQ(testPlatform.logLines, Lines{});
    EXPECT_TRUE(GetStringVariable(kFontFileNameVariable).IsEmpty());
}

TEST_F(StringDataTest, IndexesPastTheTableGiveAnEmptyString)
{
    Load("FONT_FILE_NAME \"f\"");
    EXPECT_STREQ(GetStringVariable(0).Text(), "f");
    EXPECT_TRUE(GetStringVariable(1).IsEmpty());
    EXPECT_TRUE(GetStringVariable(1000).IsEmpty());
    EXPECT_TRUE(GetStringVariable(-1).IsEmpty());
    ClearStringData();
    EXPECT_TRUE(GetStringVariable(0).IsEmpty());
}

} // namespace
