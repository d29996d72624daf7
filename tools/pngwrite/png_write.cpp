// Packs the samples into PNG rows and hands them to libpng.
#include "tools/pngwrite/png_write.h"

#include <png.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

int32_t PngChannelCount(int32_t colourType)
{
    switch (colourType) {
    case 0:
        return 1;
    case 2:
        return 3;
    case 3:
        return 1;
    case 4:
        return 2;
    case 6:
        return 4;
    default:
        return 0;
    }
}

namespace {

bool DepthAllowed(int32_t colourType, int32_t bitDepth)
{
    switch (colourType) {
    case 0:
        return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8 || bitDepth == 16;
    case 3:
        return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8;
    case 2:
    case 4:
    case 6:
        return bitDepth == 8 || bitDepth == 16;
    default:
        return false;
    }
}

bool Refuse(const char* path, const char* reason)
{
    std::fprintf(stderr, "%s: %s\n", path, reason);
    return false;
}

bool CheckImage(const char* path, const PngImage& image)
{
    if (image.width <= 0 || image.height <= 0 || image.width > 65535 || image.height > 65535)
        return Refuse(path, "image size must be 1 to 65535 pixels each way");
    const int32_t channels = PngChannelCount(image.colourType);
    if (channels == 0)
        return Refuse(path, "unknown colour type");
    if (!DepthAllowed(image.colourType, image.bitDepth))
        return Refuse(path, "bit depth not allowed for this colour type");
    if (!image.samples)
        return Refuse(path, "no samples");
    const bool paletted = image.colourType == 3;
    if (paletted) {
        const int32_t maxEntries = 1 << image.bitDepth;
        if (!image.palette || image.paletteSize < 1 || image.paletteSize > 256 || image.paletteSize > maxEntries)
            return Refuse(path, "palette must hold 1 to 2^bitDepth entries (at most 256)");
    }
    const uint32_t limit = paletted ? uint32_t(image.paletteSize) : (1u << image.bitDepth);
    const int64_t count = int64_t(image.width) * image.height * channels;
    for (int64_t i = 0; i < count; ++i)
        if (image.samples[i] >= limit)
            return Refuse(path, paletted ? "palette index past the palette" : "sample too large for the bit depth");
    if (image.transparency || image.transparencyCount != 0) {
        if (!image.transparency)
            return Refuse(path, "transparency count without bytes");
        const int32_t n = image.transparencyCount;
        if (paletted                ? (n < 1 || n > image.paletteSize)
            : image.colourType == 0 ? n != 2
            : image.colourType == 2 ? n != 6
                                    : true)
            return Refuse(path, "transparency does not fit the colour type");
        for (int32_t i = 0; !paletted && i < n; i += 2)
            if (((image.transparency[i] << 8) | image.transparency[i + 1]) >= int32_t(limit))
                return Refuse(path, "transparent colour too large for the bit depth");
    }
    return true;
}

// Packs one row of samples into bytes: several samples to a byte below 8 bits,
// big-endian pairs at 16.
void PackRow(const uint16_t* samples, int32_t count, int32_t bitDepth, uint8_t* out)
{
    if (bitDepth == 16) {
        for (int32_t i = 0; i < count; ++i) {
            out[2 * i] = uint8_t(samples[i] >> 8);
            out[2 * i + 1] = uint8_t(samples[i] & 0xFF);
        }
        return;
    }
    if (bitDepth == 8) {
        for (int32_t i = 0; i < count; ++i)
            out[i] = uint8_t(samples[i]);
        return;
    }
    const int32_t perByte = 8 / bitDepth;
    const int32_t bytes = (count + perByte - 1) / perByte;
    for (int32_t b = 0; b < bytes; ++b)
        out[b] = 0;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t shift = 8 - bitDepth * (i % perByte + 1);
        out[i / perByte] |= uint8_t(samples[i] << shift);
    }
}

png_uint_16 BigEndian16(const uint8_t* bytes) { return png_uint_16((bytes[0] << 8) | bytes[1]); }

struct WriteJob {
    FILE* file;
    png_structp png;
    png_infop info;
    const PngImage* image;
    std::vector<uint8_t>* pixels;
    std::vector<png_bytep>* rows;
};

void ReportPngError(png_structp png, png_const_charp message)
{
    std::fprintf(stderr, "libpng: %s\n", message);
    png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

// Everything libpng may jump out of lives here, with no objects that need destroying.
bool WriteWithLibpng(WriteJob& job)
{
    if (setjmp(png_jmpbuf(job.png)))
        return false;
    const PngImage& image = *job.image;
    png_init_io(job.png, job.file);
    png_set_IHDR(job.png, job.info, png_uint_32(image.width), png_uint_32(image.height), image.bitDepth,
                 image.colourType, image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color entries[256];
    if (image.colourType == 3) {
        for (int32_t i = 0; i < image.paletteSize; ++i) {
            entries[i].red = image.palette[3 * i];
            entries[i].green = image.palette[3 * i + 1];
            entries[i].blue = image.palette[3 * i + 2];
        }
        png_set_PLTE(job.png, job.info, entries, image.paletteSize);
    }
    if (image.transparency) {
        png_color_16 key = {};
        if (image.colourType == 0)
            key.gray = BigEndian16(image.transparency);
        if (image.colourType == 2) {
            key.red = BigEndian16(image.transparency);
            key.green = BigEndian16(image.transparency + 2);
            key.blue = BigEndian16(image.transparency + 4);
        }
        if (image.colourType == 3)
            png_set_tRNS(job.png, job.info, image.transparency, image.transparencyCount, nullptr);
        else
            png_set_tRNS(job.png, job.info, nullptr, 0, &key);
    }
    png_write_info(job.png, job.info);
    if (image.interlaced)
        png_set_interlace_handling(job.png);
    png_write_image(job.png, job.rows->data());
    png_write_end(job.png, job.info);
    return true;
}

// Where the picture finally lands: a link is followed, so that the link
// itself stays. Empty when the target is not a regular file we may write (a
// device, a pipe, a read-only file): such a target is written straight into,
// as far as it lets us, and never replaced. `mode` gets the permission bits
// of a file already there, or -1.
std::string ReplaceableTarget(const char* path, int& mode)
{
    mode = -1;
#if defined(_WIN32)
    return path;
#else
    struct stat info;
    if (lstat(path, &info) != 0)
        return path;
    std::string target = path;
    if (S_ISLNK(info.st_mode)) {
        char* resolved = realpath(path, nullptr);
        if (!resolved)
            return std::string();
        target = resolved;
        free(resolved);
        if (stat(target.c_str(), &info) != 0)
            return std::string();
    }
    if (!S_ISREG(info.st_mode) || access(target.c_str(), W_OK) != 0)
        return std::string();
    mode = int(info.st_mode & 07777);
    return target;
#endif
}

// Windows files have no permission bits to keep.
bool TakeMode(int fd, int mode)
{
#if defined(_WIN32)
    (void)fd;
    (void)mode;
    return true;
#else
    return mode < 0 || fchmod(fd, mode_t(mode)) == 0;
#endif
}

#if defined(_WIN32)
const char kFolderSeparators[] = "\\/";
#else
const char kFolderSeparators[] = "/";
#endif

// A new file of our own beside the target, never one that already exists,
// with the target's permission bits when it replaces one. Its name is short,
// whatever the target's: a target's name may already be as long as the
// system allows.
FILE* CreateScratchFile(const std::string& target, int mode, std::string& scratch)
{
    size_t slash = target.find_last_of(kFolderSeparators);
    std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        scratch = folder + ".velmora-" + std::to_string(attempt) + ".part";
#if defined(_WIN32)
        int fd = _open(scratch.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
        int fd = open(scratch.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
#endif
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return nullptr;
        FILE* file = TakeMode(fd, mode) ? fdopen(fd, "wb") : nullptr;
        if (!file) {
            close(fd);
            std::remove(scratch.c_str());
        }
        return file;
    }
    return nullptr;
}

bool PutInPlace(const std::string& scratch, const std::string& target)
{
#if defined(_WIN32)
    return MoveFileExA(scratch.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
    return std::rename(scratch.c_str(), target.c_str()) == 0;
#endif
}

// A special file is opened without waiting for a reader, so a pipe nobody
// reads fails at once instead of hanging.
FILE* OpenSpecialFile(const char* path)
{
#if defined(_WIN32)
    return std::fopen(path, "wb");
#else
    int fd = open(path, O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE* file = fdopen(fd, "wb");
    if (!file)
        close(fd);
    return file;
#endif
}

bool Encode(FILE* file, const PngImage& image, std::vector<uint8_t>& pixels, std::vector<png_bytep>& rows)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, ReportPngError, IgnoreWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool written = false;
    if (png && info) {
        WriteJob job = {file, png, info, &image, &pixels, &rows};
        written = WriteWithLibpng(job);
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

} // namespace

// The picture goes to a scratch file beside its target and replaces the
// target only once it is whole; a failure removes only that scratch file.
bool WritePng(const char* path, const PngImage& image)
{
    if (!path)
        return false;
    if (!CheckImage(path, image))
        return false;
    const int32_t channels = PngChannelCount(image.colourType);
    const int32_t rowSamples = image.width * channels;
    const size_t rowBytes = (size_t(rowSamples) * size_t(image.bitDepth) + 7) / 8;
    std::vector<uint8_t> pixels(rowBytes * size_t(image.height));
    std::vector<png_bytep> rows(size_t(image.height));
    for (int32_t y = 0; y < image.height; ++y) {
        rows[size_t(y)] = pixels.data() + rowBytes * size_t(y);
        PackRow(image.samples + size_t(rowSamples) * size_t(y), rowSamples, image.bitDepth, rows[size_t(y)]);
    }
    int mode = -1;
    const std::string target = ReplaceableTarget(path, mode);
    if (target.empty()) {
        FILE* file = OpenSpecialFile(path);
        if (!file)
            return Refuse(path, "cannot open for writing");
        return Encode(file, image, pixels, rows) || Refuse(path, "writing failed");
    }
    std::string scratch;
    FILE* file = CreateScratchFile(target, mode, scratch);
    if (!file)
        return Refuse(path, "cannot open for writing");
    if (!Encode(file, image, pixels, rows) || !PutInPlace(scratch, target)) {
        std::remove(scratch.c_str());
        return Refuse(path, "writing failed");
    }
    return true;
}
