// A font descriptor, a page file and a text from arbitrary bytes: the font
// loads or fails cleanly, the text is laid out with it, and clearing the font
// gives back every texture. Input: descriptor length, text length (one byte
// each), the descriptor, the text, then the page file.
#include "render/renderer.h"
#include "tests/fuzz/fuzz_files.h"
#include "tests/fuzz/gl_stub.h"
#include "tests/support/test_platform.h"
#include "text/font.h"
#include "text/text_draw.h"
#include "tools/pngwrite/png_write.h"

namespace {
void WritePageImages(const std::string& folder)
{
    static uint16_t samples[16 * 8];
    for (int32_t i = 0; i < 16 * 8; ++i)
        samples[i] = uint16_t((i * 37) & 0xFF);
    PngImage image = {16, 8, 0, 8, false, samples, nullptr, 0, nullptr, 0};
    if (!WritePng((folder + "/Font 0.png").c_str(), image) ||
        !WritePng((folder + "/Font 0 outline.png").c_str(), image))
        __builtin_trap();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string folder = FuzzFolder();
    static bool imagesWritten = false;
    if (!imagesWritten) {
        WritePageImages(folder);
        imagesWritten = true;
    }
    if (size < 2)
        return 0;
    size_t descriptorLength = data[0], textLength = data[1];
    data += 2;
    size -= 2;
    if (descriptorLength > size)
        descriptorLength = size;
    WriteFuzzFile(folder + "/Font.txt", data, descriptorLength);
    data += descriptorLength;
    size -= descriptorLength;
    if (textLength > size)
        textLength = size;
    String text;
    text.AppendBytes(reinterpret_cast<const char*>(data), int32_t(textLength));
    data += textLength;
    size -= textLength;
    WriteFuzzFile(folder + "/Font 0.txt", data, size);

    ResetTestPlatform();
    StubResetNames();
    Font& font = renderer.font;
    renderer.visibleLeft = 0;
    renderer.visibleRight = 160;
    renderer.visibleBottom = 0;
    renderer.visibleTop = 120;
    bool loaded = LoadFont(font, String(folder.c_str()), String(""), String("Font.txt"));
    if (loaded != (font.defaultGlyph != nullptr))
        __builtin_trap();
    if (loaded) {
        if (StubLiveTextures() != 2 || font.pageCount != 1)
            __builtin_trap();
        DrawText(text, 3, 110, 150, TextColour{1, 1, 1, 1}, TextColour{0, 0, 0, 1});
        DrawText(text, -20, 5, int32_t(textLength) - 5, TextColour{1, 1, 1, 1}, TextColour{0, 0, 0, 1});
    }
    ClearFont(font);
    if (StubLiveTextures() != 0)
        __builtin_trap();
    return 0;
}
