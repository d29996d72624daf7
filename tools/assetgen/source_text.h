// The asset sources as lines of text, and how their faults are reported.
//
// Every source is read whole; carriage returns are dropped so sources edited
// on Windows read the same. A fault is printed to stderr as
// "FILE:LINE: message" (LINE 0 for the file as a whole) and the parser that
// met it returns false, which makes the tool exit with status 1.
#pragma once

#include <string>
#include <vector>

struct SourceText {
    std::string path;
    std::vector<std::string> lines; // without their line feeds
};

bool ReadSourceText(const std::string& path, SourceText& source);
// Builds a source from text in memory, for tests and built-in defaults.
SourceText SourceFromString(const std::string& path, const std::string& text);

// Prints "path:line: message" and returns false, so callers can write
// `return ReportSourceFault(...)`.
bool ReportSourceFault(const SourceText& source, int lineNumber, const std::string& message);

// A comment line starts with '#' after optional blanks; a blank line holds
// only spaces and tabs.
bool IsCommentOrBlank(const std::string& line);
// Splits at runs of spaces and tabs; a '#' that starts a word ends the line.
std::vector<std::string> SplitWords(const std::string& line);
// Whole decimal or fractional numbers such as 12, -3 or 0.25, nothing else.
bool ParseNumber(const std::string& word, double& value);
bool ParseWholeNumber(const std::string& word, int& value);
