// Reads sources into lines and splits them into words and numbers.
#include "tools/assetgen/source_text.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

SourceText SourceFromString(const std::string& path, const std::string& text)
{
    SourceText source;
    source.path = path;
    std::string line;
    for (char c : text) {
        if (c == '\r')
            continue;
        if (c == '\n') {
            source.lines.push_back(line);
            line.clear();
        } else {
            line.push_back(c);
        }
    }
    if (!line.empty())
        source.lines.push_back(line);
    return source;
}

bool ReadSourceText(const std::string& path, SourceText& source)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        std::fprintf(stderr, "%s:0: cannot open: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    std::string text;
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        std::fprintf(stderr, "%s:0: read error\n", path.c_str());
        return false;
    }
    if (text.find('\0') != std::string::npos) {
        std::fprintf(stderr, "%s:0: holds a NUL byte; sources are plain text\n", path.c_str());
        return false;
    }
    source = SourceFromString(path, text);
    return true;
}

bool ReportSourceFault(const SourceText& source, int lineNumber, const std::string& message)
{
    std::fprintf(stderr, "%s:%d: %s\n", source.path.c_str(), lineNumber, message.c_str());
    return false;
}

bool IsCommentOrBlank(const std::string& line)
{
    for (char c : line) {
        if (c == ' ' || c == '\t')
            continue;
        return c == '#';
    }
    return true;
}

std::vector<std::string> SplitWords(const std::string& line)
{
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i >= line.size() || line[i] == '#')
            break;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        words.push_back(line.substr(start, i - start));
    }
    return words;
}

bool ParseNumber(const std::string& word, double& value)
{
    if (word.empty() || word.size() > 32)
        return false;
    for (char c : word)
        if (!(c == '-' || c == '.' || (c >= '0' && c <= '9')))
            return false;
    char* end = nullptr;
    value = std::strtod(word.c_str(), &end);
    return end == word.c_str() + word.size() && std::isfinite(value);
}

bool ParseWholeNumber(const std::string& word, int& value)
{
    double number = 0;
    if (word.find('.') != std::string::npos || !ParseNumber(word, number))
        return false;
    if (number < -1e9 || number > 1e9)
        return false;
    value = int(number);
    return true;
}
