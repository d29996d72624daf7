#include "render/texture.h"

#include <png.h>

#include <csetjmp>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "render/gl_api.h"
#include "render/gl_state.h"
#include "render/sprite_sheet.h"
#include "render/texel_upload.h"

namespace {
// libpng allocates through these, so every byte it asks for counts against
// the budget; past it an allocation fails and the file is refused like any
// other that libpng cannot read.
struct MemoryBudget {
    size_t used;
    size_t most;
};

const size_t kBlockHeader = alignof(std::max_align_t);

png_voidp BudgetedMalloc(png_structp png, png_alloc_size_t size)
{
    MemoryBudget* budget = static_cast<MemoryBudget*>(png_get_mem_ptr(png));
    if (size > budget->most - budget->used)
        return nullptr;
    unsigned char* block = static_cast<unsigned char*>(malloc(kBlockHeader + size));
    if (!block)
        return nullptr;
    memcpy(block, &size, sizeof size);
    budget->used += size;
    return block + kBlockHeader;
}

void BudgetedFree(png_structp png, png_voidp pointer)
{
    if (!pointer)
        return;
    unsigned char* block = static_cast<unsigned char*>(pointer) - kBlockHeader;
    size_t size;
    memcpy(&size, block, sizeof size);
    static_cast<MemoryBudget*>(png_get_mem_ptr(png))->used -= size;
    free(block);
}

// One output pixel from one decoded 8-bit pixel of colour type 0, 2, 4 or 6.
void ConvertPixel(const png_byte* source, int32_t colourType, uint8_t* out, int32_t channels)
{
    bool isGrey = colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA;
    bool hasAlpha = colourType == PNG_COLOR_TYPE_GRAY_ALPHA || colourType == PNG_COLOR_TYPE_RGB_ALPHA;
    uint8_t red = source[0];
    uint8_t green = isGrey ? source[0] : source[1];
    uint8_t blue = isGrey ? source[0] : source[2];
    uint8_t alpha = hasAlpha ? source[isGrey ? 1 : 3] : 255;
    switch (channels) {
    case 1:
        out[0] = red;
        break;
    case 2:
        out[0] = red;
        out[1] = alpha;
        break;
    case 3:
        out[0] = red;
        out[1] = green;
        out[2] = blue;
        break;
    default:
        out[0] = red;
        out[1] = green;
        out[2] = blue;
        out[3] = alpha;
        break;
    }
}

int32_t SourceChannels(int32_t colourType)
{
    switch (colourType) {
    case PNG_COLOR_TYPE_GRAY:
        return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    case PNG_COLOR_TYPE_RGB:
        return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return 4;
    default:
        return 0;
    }
}

// Far past libpng's own limit on a side, and small enough that no sum below
// overflows.
const uint64_t kMostSide = uint64_t(1) << 24;

uint32_t BigEndian32(const unsigned char* bytes)
{
    return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
}

// What decoding the picture takes, known from its size and header before
// libpng reads it: the file read through, its image data inflated, libpng's
// decoded rows (8-bit samples, palettes made RGB) with their pointers and two
// working rows (at most 8 bytes a pixel), libpng's own state, and the pixels
// handed out. 0 when the file does not start as a PNG does, or claims sides
// no PNG decoder takes: libpng then reads no further and says why.
uint64_t DecodeCost(FILE* file, int32_t channels)
{
    static const unsigned char kStart[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n',
                                           0,    0,   0,   13,  'I',  'H',  'D',  'R'};
    unsigned char header[sizeof kStart + 10];
    bool read = fread(header, 1, sizeof header, file) == sizeof header && fseek(file, 0, SEEK_END) == 0;
    long fileBytes = ftell(file);
    rewind(file);
    if (!read || fileBytes < 0 || memcmp(header, kStart, sizeof kStart) != 0)
        return 0;
    uint64_t width = BigEndian32(header + 16), height = BigEndian32(header + 20);
    if (width > kMostSide || height > kMostSide)
        return 0;
    uint64_t bitDepth = header[24], colourType = header[25];
    uint64_t fileChannels = colourType == PNG_COLOR_TYPE_PALETTE ? 1 : uint64_t(SourceChannels(int32_t(colourType)));
    uint64_t decodedChannels = colourType == PNG_COLOR_TYPE_PALETTE ? 3 : fileChannels;
    uint64_t imageData = ((width * fileChannels * bitDepth + 7) / 8 + 1) * height;
    return uint64_t(fileBytes) + imageData + width * height * (decodedChannels + uint64_t(channels)) +
           height * sizeof(png_bytep) + 2 * (8 * width + 1) + (uint64_t(64) << 10);
}

// Decodes the open file into a new buffer; libpng's errors jump back here.
// Nothing in this function has a destructor, so the jump skips no cleanup.
bool DecodePng(FILE* file, uint8_t*& pixels, int32_t& width, int32_t& height, int32_t channels, size_t most)
{
    MemoryBudget budget = {0, most};
    png_structp png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr, &budget,
                                               BudgetedMalloc, BudgetedFree);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, file);
    // Only the critical chunks count: a tRNS chunk must never add alpha, and
    // no other ancillary chunk changes the pixels.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    static const png_byte kTransparencyChunk[] = "tRNS";
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kTransparencyChunk, 1);
    png_read_png(png, info, PNG_TRANSFORM_STRIP_16 | PNG_TRANSFORM_EXPAND, nullptr);

    png_uint_32 imageWidth = 0, imageHeight = 0;
    int bitDepth = 0, colourType = 0;
    png_get_IHDR(png, info, &imageWidth, &imageHeight, &bitDepth, &colourType, nullptr, nullptr, nullptr);
    int32_t sourceChannels = SourceChannels(colourType);
    uint64_t byteCount = uint64_t(imageWidth) * imageHeight * uint64_t(channels);
    png_bytepp rows = png_get_rows(png, info);
    bool usable = bitDepth == 8 && sourceChannels != 0 && rows && imageWidth >= 1 && imageHeight >= 1 &&
                  png_get_rowbytes(png, info) >= size_t(imageWidth) * size_t(sourceChannels) &&
                  byteCount <= uint64_t(most - budget.used);
    uint8_t* buffer = usable ? static_cast<uint8_t*>(malloc(size_t(byteCount))) : nullptr;
    if (!buffer) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    uint8_t* out = buffer;
    for (png_uint_32 row = 0; row < imageHeight; ++row) {
        const png_byte* source = rows[row];
        // A font page's one channel is each pixel's first sample: taken
        // straight, as its pages may be many and large.
        for (png_uint_32 column = 0; channels == 1 && column < imageWidth; ++column)
            *out++ = source[column * png_uint_32(sourceChannels)];
        for (png_uint_32 column = 0; channels > 1 && column < imageWidth; ++column) {
            ConvertPixel(source, colourType, out, channels);
            source += sourceChannels;
            out += channels;
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    pixels = buffer;
    width = int32_t(imageWidth);
    height = int32_t(imageHeight);
    return true;
}
} // namespace

bool LoadPngPixels(uint8_t*& pixels, int32_t& width, int32_t& height, const String& fileName, int32_t channels)
{
    size_t bytesLeft = kMostPictureBytes;
    return LoadPngPixelsWithin(pixels, width, height, fileName, channels, bytesLeft);
}

bool LoadPngPixelsWithin(uint8_t*& pixels, int32_t& width, int32_t& height, const String& fileName, int32_t channels,
                         size_t& bytesLeft)
{
    if (channels < 1)
        channels = 1;
    if (channels > 4)
        channels = 4;
    FILE* file = OpenFileForReading(fileName);
    if (!file)
        return false;
    // A picture past what is left is refused before libpng sees it: no
    // decoding, and no complaint of libpng's about memory it was not given.
    uint64_t cost = DecodeCost(file, channels);
    bool decoded = cost <= bytesLeft && DecodePng(file, pixels, width, height, channels, bytesLeft);
    if (cost <= bytesLeft)
        bytesLeft -= size_t(cost);
    fclose(file);
    return decoded;
}

uint32_t CreateGlTexture(const uint8_t* pixels, TexelFormat format, int32_t width, int32_t height, bool clampS,
                         bool clampT, bool linearMin, bool linearMag)
{
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glState.boundTexture = name;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GlWrapMode(clampS, width));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GlWrapMode(clampT, height));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, linearMin ? GL_LINEAR : GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, linearMag ? GL_LINEAR : GL_NEAREST);
    UploadTexels(pixels, format, width, height);
    return name;
}

void DeleteGlTexture(uint32_t glName)
{
    GLuint name = glName;
    glDeleteTextures(1, &name);
}

Texture::~Texture()
{
    if (glName != 0)
        DeleteGlTexture(glName);
}

// A channel pulled from its value towards the fade colour by 1/divisor of the
// distance, truncating towards zero; only the low 8 bits are kept.
static uint8_t FadeChannel(uint8_t value, int32_t fade, int32_t divisor)
{
    int64_t faded = int64_t(fade) + (int64_t(value) - fade) / divisor;
    return uint8_t(uint64_t(faded) & 0xFF);
}

bool Texture::Load(const String& fileName, int32_t fadeDivisor, int32_t fadeRed, int32_t fadeGreen, int32_t fadeBlue)
{
    if (glName != 0)
        DeleteGlTexture(glName);
    width = 0;
    height = 0;
    hasTransparency = false;
    hasTranslucency = false;
    glName = sheetName = 0;

    uint8_t* pixels = nullptr;
    int32_t imageWidth = 0, imageHeight = 0;
    if (!LoadPngPixels(pixels, imageWidth, imageHeight, fileName, 4))
        return false;
    size_t pixelCount = size_t(imageWidth) * size_t(imageHeight);
    for (size_t i = 0; i < pixelCount; ++i) {
        uint8_t* pixel = pixels + i * 4;
        // Pure black is the colour key: fully transparent, never faded.
        if (pixel[0] == 0 && pixel[1] == 0 && pixel[2] == 0) {
            pixel[3] = 0;
            hasTransparency = true;
            continue;
        }
        if (fadeDivisor != 0) {
            pixel[0] = FadeChannel(pixel[0], fadeRed, fadeDivisor);
            pixel[1] = FadeChannel(pixel[1], fadeGreen, fadeDivisor);
            pixel[2] = FadeChannel(pixel[2], fadeBlue, fadeDivisor);
        }
        if (pixel[3] < 255) {
            hasTransparency = true;
            if (pixel[3] > 0)
                hasTranslucency = true;
        }
    }
    width = imageWidth;
    height = imageHeight;
    glName = CreateGlTexture(pixels, TexelFormat::Rgba, width, height, false, false, false, false);
    if (glName != 0)
        PlaceInSpriteSheet(pixels, *this);
    free(pixels);
    return glName != 0;
}
