// The string data file: entries, quoting and escapes, comments, and every
// malformed case with the exact messages it reports.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/test_platform.h"
#include "text/string_data.h"

namespace {

typedef std::vector<std::string> Lines;
const char kNotSet[] = "String variable not set (FONT_FILE_NAME)";

struct Case {
    std::string bytes, value;
    Lines log;
};

TEST(StringData, EveryEntryFormGivesItsValueOrItsMessages)
{
    std::string longName(150, 'N'), longValue = std::string(1500, 'x') + std::string(1500, 'y');
    const Case cases[] = {
        {"FONT_FILE_NAME = \"Fonts/Small.txt\"\n", "Fonts/Small.txt", {}},
        {"\357\273\277FONT_FILE_NAME \"a\"", "a", {}}, // a UTF-8 byte-order mark is no part of the name
        {"\t\r\n  FONT_FILE_NAME\n\n\"a\"   ", "a", {}},
        {"# the font\nFONT_FILE_NAME \"x\" # after\n# \"y\"\n", "x", {}},
        {"FONT_FILE_NAME # \"no\"\n \"yes\"", "yes", {}},
        {"FONT_FILE_NAME \"a#b\"", "a#b", {}},
        {"FONT_FILE_NAME \"a\\nb\\tc\\q\\\\d\\\"e\"", "a\nb\tcq\\d\"e", {}},
        {"# the font\r\nFONT_FILE_NAME\r\n\"Fonts/Small.txt\"\r\n", "Fonts/Small.txt", {}}, // Windows line ends
        {"FONT_FILE_NAME \"one\r\ntwo\\\r\"", "one\ntwo\r", {}}, // only an escaped carriage return is kept
        {"FONT_FILE_NAME \"a\"\nFONT_FILE_NAME \"b\"\n", "ab", {}},
        {std::string("FONT_FILE_NAME \"a\0b\"", 20), "ab", {}},
        {"FONT_FILE_NAME \"" + longValue + "\"", longValue, {}},
        {"OTHER \"" + longValue + "\"\nFONT_FILE_NAME \"f\"", "f", {"String variable unknown (OTHER)"}},
        {"FONT#FILE \"a\"", "", {"String variable unknown (FONT#FILE)", kNotSet}},
        {"FONT_FILE_NAME=\"Fonts/Small.txt\"\nOTHER \"x\"\n",
         "",
         {"String variable unknown (FONT_FILE_NAME=\"Fonts/Small.txt\")", kNotSet}},
        {"font_file_name \"Fonts/Small.txt\"\n", "", {"String variable unknown (font_file_name)", kNotSet}},
        {longName + " \"v\"", "", {"String variable unknown (" + longName.substr(0, 100) + ")", kNotSet}},
        {"FONT_FILE_NAME \"\"\n", "", {kNotSet}},
        // An unclosed value keeps only its whole 1023-byte pieces.
        {"FONT_FILE_NAME \"" + std::string(1023 + 500, 'z'), std::string(1023, 'z'), {}},
    };
    std::string path = ::testing::TempDir() + "velmora-StringData.txt";
    for (const Case& c : cases) {
        std::ofstream(path, std::ios::binary) << c.bytes;
        ClearStringData();
        ResetTestPlatform();
        EXPECT_TRUE(LoadStringData(String(path.c_str())));
        const String& value = GetStringVariable(kFontFileNameVariable);
        EXPECT_EQ(std::string(value.Text(), size_t(value.Length())), c.value) << c.bytes.substr(0, 60);
        EXPECT_EQ(testPlatform.logLines, c.log) << c.bytes.substr(0, 60);
    }
    remove(path.c_str());
    EXPECT_FALSE(LoadStringData(String(path.c_str()))); // the caller reports a missing file
}

} // namespace
