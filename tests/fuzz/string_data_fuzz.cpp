// Arbitrary bytes as the string data file: it always loads, and only the
// one variable can hold a value.
#include "tests/fuzz/fuzz_files.h"
#include "tests/support/test_platform.h"
#include "text/string_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = FuzzFolder() + "/StringData.txt";
    WriteFuzzFile(path, data, size);
    ResetTestPlatform();
    ClearStringData();
    if (!LoadStringData(String(path.c_str())))
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
