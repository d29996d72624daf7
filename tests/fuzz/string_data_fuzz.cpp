// Arbitrary bytes as the string data file: it always loads, only the one
// variable can hold a value, and no log line passes the game's limit.
#include "tests/fuzz/fuzz_files.h"
#include "tests/support/test_platform.h"
#include "text/string_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WriteFuzzFile("string_data_fuzz.txt", data, size);
    ResetTestPlatform();
    if (!LoadStringData(String("string_data_fuzz.txt")))
        __builtin_trap();
    const String& font = GetStringVariable(kFontFileNameVariable);
    if (int64_t(font.Length()) > int64_t(size) || !GetStringVariable(1).IsEmpty())
        __builtin_trap();
    for (const std::string& line : testPlatform.logLines)
        if (line.size() > 1023)
            __builtin_trap();
    ClearStringData();
    return 0;
}
