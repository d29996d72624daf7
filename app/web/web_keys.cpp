#include "app/web/web_keys.h"

#include <cstring>

namespace {
struct NamedKey {
    const char* code;
    uint8_t virtualKey;
};

const NamedKey kNamedKeys[] = {
    {"Backspace", 0x08},  {"Tab", 0x09},         {"Enter", 0x0D},        {"NumpadEnter", 0x0D}, {"ShiftLeft", 0x10},
    {"ShiftRight", 0x10}, {"ControlLeft", 0x11}, {"ControlRight", 0x11}, {"AltLeft", 0x12},     {"AltRight", 0x12},
    {"Pause", 0x13},      {"CapsLock", 0x14},    {"Escape", 0x1B},       {"Space", 0x20},       {"PageUp", 0x21},
    {"PageDown", 0x22},   {"End", 0x23},         {"Home", 0x24},         {"ArrowLeft", 0x25},   {"ArrowUp", 0x26},
    {"ArrowRight", 0x27}, {"ArrowDown", 0x28},   {"Insert", 0x2D},       {"Delete", 0x2E},
};

// "KeyA".."KeyZ", "Digit0".."Digit9", "Numpad0".."Numpad9", "F1".."F12".
uint8_t NumberedKey(const char* code, const char* prefix, char first, char last, uint8_t base)
{
    size_t length = strlen(prefix);
    if (strncmp(code, prefix, length) != 0)
        return 0;
    const char* rest = code + length;
    if (rest[0] >= first && rest[0] <= last && rest[1] == '\0')
        return static_cast<uint8_t>(base + (rest[0] - first));
    return 0;
}

uint8_t FunctionKey(const char* code)
{
    if (code[0] != 'F' || code[1] < '1' || code[1] > '9')
        return 0;
    int number = code[1] - '0';
    if (code[2] >= '0' && code[2] <= '9' && code[3] == '\0')
        number = number * 10 + (code[2] - '0');
    else if (code[2] != '\0')
        return 0;
    return number <= 12 ? static_cast<uint8_t>(0x70 + number - 1) : 0;
}
} // namespace

uint8_t VirtualKeyFromKeyCode(const char* code)
{
    for (const NamedKey& key : kNamedKeys)
        if (strcmp(code, key.code) == 0)
            return key.virtualKey;
    if (uint8_t key = NumberedKey(code, "Key", 'A', 'Z', 0x41))
        return key;
    if (uint8_t key = NumberedKey(code, "Digit", '0', '9', 0x30))
        return key;
    if (uint8_t key = NumberedKey(code, "Numpad", '0', '9', 0x60))
        return key;
    return FunctionKey(code);
}
