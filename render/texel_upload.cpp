#include "render/texel_upload.h"

#include <cstdlib>

#include "render/gl_api.h"

namespace {

struct GlTexelFormat {
    GLint internalFormat;
    GLenum pixelFormat;
};

#if defined(__EMSCRIPTEN__)
GlTexelFormat FormatFor(TexelFormat format)
{
    switch (format) {
    case TexelFormat::Alpha:
    case TexelFormat::LuminanceAlpha:
        return {GL_LUMINANCE_ALPHA, GL_LUMINANCE_ALPHA};
    case TexelFormat::Luminance:
        return {GL_LUMINANCE, GL_LUMINANCE};
    case TexelFormat::Rgb:
        return {GL_RGB, GL_RGB};
    default:
        return {GL_RGBA, GL_RGBA};
    }
}

// White with the mask's alpha, so GL_MODULATE gives the current colour.
uint8_t* WhiteWithAlpha(const uint8_t* alpha, int32_t width, int32_t height)
{
    size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    uint8_t* pairs = static_cast<uint8_t*>(malloc(count * 2 > 0 ? count * 2 : 1));
    if (!pairs)
        return nullptr;
    for (size_t i = 0; i < count; ++i) {
        pairs[i * 2] = 255;
        pairs[i * 2 + 1] = alpha[i];
    }
    return pairs;
}
#else
GlTexelFormat FormatFor(TexelFormat format)
{
    switch (format) {
    case TexelFormat::Alpha:
        return {GL_ALPHA8, GL_ALPHA};
    case TexelFormat::Luminance:
        return {GL_LUMINANCE8, GL_LUMINANCE};
    case TexelFormat::LuminanceAlpha:
        return {GL_LUMINANCE8_ALPHA8, GL_LUMINANCE_ALPHA};
    case TexelFormat::Rgb:
        return {GL_RGB8, GL_RGB};
    default:
        return {GL_RGBA8, GL_RGBA};
    }
}
#endif

} // namespace

int32_t GlWrapMode(bool clamp, int32_t length)
{
#if defined(__EMSCRIPTEN__)
    bool powerOfTwo = length > 0 && (length & (length - 1)) == 0;
    return clamp || !powerOfTwo ? GL_CLAMP_TO_EDGE : GL_REPEAT;
#else
    (void)length;
    return clamp ? GL_CLAMP : GL_REPEAT;
#endif
}

void UploadTexels(const uint8_t* pixels, TexelFormat format, int32_t width, int32_t height)
{
    GlTexelFormat gl = FormatFor(format);
#if defined(__EMSCRIPTEN__)
    if (format == TexelFormat::Alpha && pixels) {
        uint8_t* pairs = WhiteWithAlpha(pixels, width, height);
        glTexImage2D(GL_TEXTURE_2D, 0, gl.internalFormat, width, height, 0, gl.pixelFormat, GL_UNSIGNED_BYTE, pairs);
        free(pairs);
        return;
    }
#endif
    glTexImage2D(GL_TEXTURE_2D, 0, gl.internalFormat, width, height, 0, gl.pixelFormat, GL_UNSIGNED_BYTE, pixels);
}

void UploadRgbaTexelsAt(const uint8_t* rgba, int32_t x, int32_t y, int32_t width, int32_t height)
{
    glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}
