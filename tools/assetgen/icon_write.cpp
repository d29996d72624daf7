// Lays out the icon directory and encodes each picture as a bitmap or PNG.
#include "tools/assetgen/icon_write.h"

#include <cstdint>
#include <cstdio>

#include "tools/pngwrite/png_write.h"

namespace {

void PutU16(std::vector<uint8_t>& out, uint32_t value)
{
    out.push_back(uint8_t(value & 0xFF));
    out.push_back(uint8_t((value >> 8) & 0xFF));
}

void PutU32(std::vector<uint8_t>& out, uint32_t value)
{
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

// BITMAPINFOHEADER, BGRA rows bottom first, then the 1-bit AND mask rows
// (1 where transparent), each padded to 4 bytes.
std::vector<uint8_t> EncodeBitmapEntry(const PixelArt& art)
{
    const int size = art.width;
    const int maskRowBytes = ((size + 31) / 32) * 4;
    std::vector<uint8_t> out;
    PutU32(out, 40);
    PutU32(out, uint32_t(size));
    PutU32(out, uint32_t(size * 2)); // colour rows and mask rows together
    PutU16(out, 1);
    PutU16(out, 32);
    PutU32(out, 0);
    PutU32(out, uint32_t(size * size * 4 + maskRowBytes * size));
    for (int i = 0; i < 4; ++i)
        PutU32(out, 0);
    for (int y = size - 1; y >= 0; --y)
        for (int x = 0; x < size; ++x) {
            const uint8_t* p = &art.rgb[size_t(3 * (y * size + x))];
            const bool clear = IsTransparentPixel(art, x, y);
            out.insert(out.end(), {p[2], p[1], p[0], uint8_t(clear ? 0 : 255)});
        }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> row(size_t(maskRowBytes), 0);
        for (int x = 0; x < size; ++x)
            if (IsTransparentPixel(art, x, y))
                row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

bool EncodePngEntry(const std::string& scratchPath, const PixelArt& art, std::vector<uint8_t>& out)
{
    if (!WriteIconPng(scratchPath, art))
        return false;
    FILE* file = std::fopen(scratchPath.c_str(), "rb");
    if (!file)
        return false;
    uint8_t buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        out.insert(out.end(), buffer, buffer + got);
    std::fclose(file);
    std::remove(scratchPath.c_str());
    return true;
}

} // namespace

bool WriteIconPng(const std::string& path, const PixelArt& picture)
{
    std::vector<uint16_t> samples;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t* p = &picture.rgb[size_t(3 * (y * picture.width + x))];
            samples.insert(samples.end(), {p[0], p[1], p[2], uint16_t(IsTransparentPixel(picture, x, y) ? 0 : 255)});
        }
    const PngImage image = {picture.width, picture.height, 6, 8, false, samples.data(), nullptr, 0, nullptr, 0};
    return WritePng(path.c_str(), image);
}

bool WriteIconFile(const std::string& path, const std::vector<PixelArt>& pictures)
{
    if (pictures.empty() || pictures.size() > 16) {
        std::fprintf(stderr, "%s: an icon holds 1 to 16 pictures\n", path.c_str());
        return false;
    }
    std::vector<std::vector<uint8_t>> entries;
    for (const PixelArt& art : pictures) {
        if (art.width != art.height || art.width < 1 || art.width > 256) {
            std::fprintf(stderr, "%s: icon pictures are square, 1 to 256 pixels\n", path.c_str());
            return false;
        }
        entries.emplace_back();
        if (art.width < 256)
            entries.back() = EncodeBitmapEntry(art);
        else if (!EncodePngEntry(path + ".png", art, entries.back()))
            return false;
    }
    std::vector<uint8_t> out;
    PutU16(out, 0);
    PutU16(out, 1);
    PutU16(out, uint32_t(pictures.size()));
    uint32_t offset = uint32_t(6 + 16 * pictures.size());
    for (size_t i = 0; i < pictures.size(); ++i) {
        const int size = pictures[i].width;
        out.push_back(uint8_t(size == 256 ? 0 : size));
        out.push_back(uint8_t(size == 256 ? 0 : size));
        out.push_back(0);
        out.push_back(0);
        PutU16(out, 1);
        PutU16(out, 32);
        PutU32(out, uint32_t(entries[i].size()));
        PutU32(out, offset);
        offset += uint32_t(entries[i].size());
    }
    for (const std::vector<uint8_t>& entry : entries)
        out.insert(out.end(), entry.begin(), entry.end());
    FILE* file = std::fopen(path.c_str(), "wb");
    const bool written = file && std::fwrite(out.data(), 1, out.size(), file) == out.size();
    if (file && std::fclose(file) != 0)
        return false;
    if (!written)
        std::fprintf(stderr, "%s: cannot write the icon\n", path.c_str());
    return written;
}

bool WriteIconSource(const std::string& path, const PixelArt& picture)
{
    const int count = picture.width * picture.height;
    FILE* file = std::fopen(path.c_str(), "wb");
    bool ok = file != nullptr;
    if (ok) {
        std::fprintf(file,
                     "// Made by velmora-assetgen from the icon art.\n#include <cstdint>\n\n"
                     "extern const uint32_t kGameIcon[%d];\nconst uint32_t kGameIcon[%d] = {\n",
                     count, count);
        for (int i = 0; i < count; ++i) {
            const uint8_t* p = &picture.rgb[size_t(3 * i)];
            const uint32_t alpha = IsTransparentPixel(picture, i % picture.width, i / picture.width) ? 0 : 0xFF;
            std::fprintf(file, "0x%08X,%s", unsigned(alpha << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]),
                         i % 8 == 7 ? "\n" : " ");
        }
        std::fprintf(file, "};\n");
        ok = std::fclose(file) == 0;
    }
    if (!ok)
        std::fprintf(stderr, "%s: cannot write\n", path.c_str());
    return ok;
}
