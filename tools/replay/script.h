// The replay tool's key scripts: lines of "COUNT KEYS".
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

struct KeySet {
    bool left, right, space;
};

// Whether the set holds the key, by its Windows virtual-key code; a script
// holds only the arrows and space.
bool KeySetHolds(const KeySet& keys, uint8_t key);

struct ScriptStep {
    int32_t count; // 1 to 1000000 ticks
    KeySet keys;
};

struct ScriptError {
    int64_t line;       // 0 when the script could not be read
    const char* reason; // null when the script could not be read
};

// Parses one line; false with a reason when it is malformed. Empty lines
// and lines starting with '#' give no step and succeed with *hasStep false.
bool ParseScriptLine(const char* text, size_t length, ScriptStep& step, bool& hasStep, const char*& reason);
// Reads the whole script; stops at the first malformed line, at a line
// longer than 4096 bytes and at a read error.
bool ReadKeyScript(FILE* input, std::vector<ScriptStep>& steps, ScriptError& error);
