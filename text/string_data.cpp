#include "text/string_data.h"

#include <cstring>

#include "app/diagnostics.h"

namespace {
const char* const kVariableNames[] = {"FONT_FILE_NAME"};
const int32_t kVariableCount = int32_t(sizeof kVariableNames / sizeof kVariableNames[0]);
const int32_t kNameCapacity = 100;
const int32_t kValueCapacity = 1023;

String variables[kVariableCount];
const String noVariable;

struct StringDataParser {
    bool inComment;
    bool readingName;
    bool escapePending;
    bool inQuotes;
    char name[kNameCapacity + 1];
    int32_t nameLength; // 0: no name started for the coming entry
    char value[kValueCapacity];
    int32_t valueLength;
    String* target; // the variable the current entry fills, or none
};

String* FindVariable(const char* name, int32_t length)
{
    for (int32_t i = 0; i < kVariableCount; ++i)
        if (int32_t(strlen(kVariableNames[i])) == length && memcmp(kVariableNames[i], name, size_t(length)) == 0)
            return &variables[i];
    return nullptr;
}

void FlushValue(StringDataParser& parser)
{
    if (parser.target)
        parser.target->AppendBytes(parser.value, parser.valueLength);
    parser.valueLength = 0;
}

// A value cannot hold a NUL byte, so one in the file is left out.
void StoreValueByte(StringDataParser& parser, char c)
{
    if (c == '\0')
        return;
    parser.value[parser.valueLength++] = c;
    if (parser.valueLength == kValueCapacity)
        FlushValue(parser);
}

void EndEntry(StringDataParser& parser)
{
    if (!parser.target)
        LogError("String variable unknown (%s)", parser.name);
    else if (parser.valueLength > 0)
        FlushValue(parser);
    parser.nameLength = 0;
    parser.valueLength = 0;
    parser.inQuotes = false;
}

void ReadNameByte(StringDataParser& parser, char c)
{
    if (IsSpace(c)) {
        parser.name[parser.nameLength] = '\0';
        parser.target = FindVariable(parser.name, parser.nameLength);
        parser.readingName = false;
    } else if (parser.nameLength < kNameCapacity) {
        parser.name[parser.nameLength++] = c;
    }
}

void ReadQuotedByte(StringDataParser& parser, char c)
{
    if (parser.escapePending) {
        parser.escapePending = false;
        StoreValueByte(parser, c == 'n' ? '\n' : c == 't' ? '\t' : c);
    } else if (c == '\r') {
        return;
    } else if (c == '"') {
        EndEntry(parser);
    } else if (c == '\\') {
        parser.escapePending = true;
    } else {
        StoreValueByte(parser, c);
    }
}

// Between entries, or between a name and its opening quote.
void ReadOutsideByte(StringDataParser& parser, char c)
{
    if (c == '#') {
        parser.inComment = true;
    } else if (IsSpace(c)) {
        return;
    } else if (parser.nameLength == 0) {
        parser.readingName = true;
        ReadNameByte(parser, c);
    } else if (c == '"') {
        parser.inQuotes = true;
    }
}

void ReadByte(StringDataParser& parser, char c)
{
    if (parser.readingName)
        ReadNameByte(parser, c);
    else if (parser.inQuotes)
        ReadQuotedByte(parser, c);
    else if (parser.inComment)
        parser.inComment = c != '\n';
    else
        ReadOutsideByte(parser, c);
}
} // namespace

bool LoadStringData(String fileName)
{
    InputFile file;
    if (!file.Open(fileName))
        return false;
    StringDataParser parser = {};
    char c;
    while (file.ReadByte(c))
        ReadByte(parser, c);
    // A file this long is no string data file: none of it is kept.
    if (file.TooLong()) {
        ClearStringData();
        return false;
    }
    file.Close();
    for (int32_t i = 0; i < kVariableCount; ++i)
        if (variables[i].IsEmpty())
            LogError("String variable not set (%s)", kVariableNames[i]);
    return true;
}

const String& GetStringVariable(int32_t index)
{
    if (index < 0 || index >= kVariableCount)
        return noVariable;
    return variables[index];
}

void ClearStringData()
{
    for (String& variable : variables)
        variable.Clear();
}
