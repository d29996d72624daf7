#include "tools/replay/script.h"

#include "app/diagnostics.h"

namespace {

const int32_t kMostTicksPerLine = 1000000;
const size_t kLongestLine = 4096;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool ParseKeys(const char* text, size_t length, size_t& at, KeySet& keys, const char*& reason)
{
    keys = KeySet{false, false, false};
    if (at < length && text[at] == '-') {
        at += 1;
        return true;
    }
    size_t start = at;
    for (; at < length && !IsBlank(text[at]); ++at) {
        switch (text[at]) {
        case 'L':
            keys.left = true;
            break;
        case 'R':
            keys.right = true;
            break;
        case 'S':
            keys.space = true;
            break;
        default:
            reason = "unknown key letter (use L, R, S or -)";
            return false;
        }
    }
    if (at == start) {
        reason = "missing keys (use L, R, S or -)";
        return false;
    }
    return true;
}

} // namespace

bool ParseScriptLine(const char* text, size_t length, ScriptStep& step, bool& hasStep, const char*& reason)
{
    hasStep = false;
    if (length > 0 && text[length - 1] == '\r')
        length -= 1;
    size_t at = 0;
    while (at < length && IsBlank(text[at]))
        at += 1;
    if (at == length || text[0] == '#')
        return true;
    at = 0;
    int64_t count = 0;
    size_t digitsStart = at;
    for (; at < length && text[at] >= '0' && text[at] <= '9'; ++at) {
        count = count * 10 + (text[at] - '0');
        if (count > kMostTicksPerLine) {
            reason = "count must be a whole number from 1 to 1000000";
            return false;
        }
    }
    if (at == digitsStart || count < 1) {
        reason = "count must be a whole number from 1 to 1000000";
        return false;
    }
    if (at >= length || !IsBlank(text[at])) {
        reason = "expected a blank after the count";
        return false;
    }
    while (at < length && IsBlank(text[at]))
        at += 1;
    if (!ParseKeys(text, length, at, step.keys, reason))
        return false;
    if (at < length && !IsBlank(text[at])) {
        reason = "trailing text after the keys";
        return false;
    }
    while (at < length && IsBlank(text[at]))
        at += 1;
    if (at < length) {
        reason = "trailing text after the keys";
        return false;
    }
    step.count = static_cast<int32_t>(count);
    hasStep = true;
    return true;
}

bool ReadKeyScript(FILE* input, std::vector<ScriptStep>& steps, ScriptError& error)
{
    std::vector<char> line;
    int64_t number = 0;
    int c = 0;
    while (c != EOF) {
        line.clear();
        number += 1;
        while ((c = fgetc(input)) != EOF && c != '\n') {
            // Refused before it is read whole: an endless line never ends.
            // The CR of a CR LF line end does not count.
            bool lineEnd = c == '\r' && line.size() == kLongestLine;
            if (line.size() >= kLongestLine && !lineEnd) {
                error = ScriptError{number, "line longer than 4096 bytes"};
                return false;
            }
            line.push_back(static_cast<char>(c));
        }
        if (ferror(input)) {
            error = ScriptError{0, nullptr};
            return false;
        }
        if (c == EOF && line.empty())
            break;
        ScriptStep step{};
        bool hasStep = false;
        const char* reason = nullptr;
        if (!ParseScriptLine(line.data(), line.size(), step, hasStep, reason)) {
            error = ScriptError{number, reason};
            return false;
        }
        if (hasStep)
            steps.push_back(step);
    }
    return true;
}

bool KeySetHolds(const KeySet& keys, uint8_t key)
{
    switch (key) {
    case kKeyLeft:
        return keys.left;
    case kKeyRight:
        return keys.right;
    case kKeySpace:
        return keys.space;
    default:
        return false;
    }
}
