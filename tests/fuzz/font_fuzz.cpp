// A font descriptor, a page file and a text from arbitrary bytes: the font
// loads or fails cleanly, the text is laid out with it, and clearing the font
// gives back every texture. Input: descriptor length, text length (a byte
// each), the descriptor, the text, then the page; its pictures are a seed.
#include <GL/gl.h>

#include <filesystem>
#include <set>

#include "render/renderer.h"
#include "tests/fuzz/fuzz_files.h"
#include "tests/support/test_platform.h"
#include "text/font.h"
#include "text/text_draw.h"

// Texture names are handed out and tracked here, so one deleted twice or
// never is caught; the other GL calls reach a GL without a context and do
// nothing.
namespace {
std::set<GLuint> liveTextures;
GLuint nextTexture = 1;
} // namespace

extern "C" {
void glGenTextures(GLsizei n, GLuint* textures)
{
    for (GLsizei i = 0; i < n; ++i)
        liveTextures.insert(textures[i] = nextTexture++);
}
void glDeleteTextures(GLsizei n, const GLuint* textures)
{
    for (GLsizei i = 0; i < n; ++i)
        if (textures[i] != 0 && liveTextures.erase(textures[i]) == 0)
            __builtin_trap();
}
void glTexImage2D(GLenum, GLint, GLint, GLsizei width, GLsizei height, GLint, GLenum, GLenum, const GLvoid* pixels)
{
    if (width < 1 || height < 1 || !pixels)
        __builtin_trap();
}
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::error_code failed;
    for (const char* picture : {"font_fuzz 0.png", "font_fuzz 0 outline.png"})
        if (!std::filesystem::copy_file(VELMORA_FONT_PICTURE, picture,
                                        std::filesystem::copy_options::overwrite_existing, failed))
            __builtin_trap();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    size_t descriptorLength = std::min(size_t(data[0]), size - 2);
    size_t textLength = std::min(size_t(data[1]), size - 2 - descriptorLength);
    const uint8_t* text = data + 2 + descriptorLength;
    WriteFuzzFile("font_fuzz.txt", data + 2, descriptorLength);
    WriteFuzzFile("font_fuzz 0.txt", text + textLength, size - 2 - descriptorLength - textLength);

    ResetTestPlatform();
    Font& font = renderer.font;
    renderer.visibleLeft = renderer.visibleBottom = 0;
    renderer.visibleRight = 160;
    renderer.visibleTop = 120;
    bool loaded = LoadFont(font, String(""), String(""), String("font_fuzz.txt"));
    if (loaded != (font.defaultGlyph != nullptr))
        __builtin_trap();
    if (loaded) {
        if (liveTextures.size() != 2 || font.pageCount != 1)
            __builtin_trap();
        String line;
        line.AppendBytes(reinterpret_cast<const char*>(text), int32_t(textLength));
        DrawText(line, 3, 110, 150, TextColour{1, 1, 1, 1}, TextColour{0, 0, 0, 1});
        DrawText(line, -20, 5, int32_t(textLength) - 5, TextColour{1, 1, 1, 1}, TextColour{0, 0, 0, 1});
    }
    ClearFont(font);
    if (!liveTextures.empty())
        __builtin_trap();
    return 0;
}
