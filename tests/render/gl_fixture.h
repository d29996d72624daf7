// What the drawing tests share: an OSMesa context standing in for the
// window, the renderer started on it, a temporary folder for PNG and font
// files, and the drawn pixels read back.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "tools/offscreen/offscreen_gl.h"

struct Rgba {
    uint8_t red, green, blue, alpha;
    bool operator==(Rgba o) const { return red == o.red && green == o.green && blue == o.blue && alpha == o.alpha; }
};
inline void PrintTo(const Rgba& c, std::ostream* out)
{
    *out << "(" << int(c.red) << "," << int(c.green) << "," << int(c.blue) << "," << int(c.alpha) << ")";
}

// An RGBA image of 8-bit samples, rows top first, for writing test PNGs.
struct TestImage {
    int32_t width, height;
    std::vector<Rgba> pixels;
    TestImage(int32_t width, int32_t height, Rgba fill) : width(width), height(height), pixels(width * height, fill) {}
    void Set(int32_t x, int32_t y, Rgba colour) { pixels[size_t(y * width + x)] = colour; }
};

// Each test starts with a window the size of the virtual screen.
class GlTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A window of this size, the renderer started with no font and resized
    // to it. Replaces any earlier window of the test.
    void OpenWindow(int32_t width, int32_t height);
    // Reads the drawn window; At gives a window pixel's colour (alpha 255)
    // with y counted upward from the bottom row, as GL counts it.
    void Capture();
    Rgba At(int32_t x, int32_t y) const;
    // Rows of the captured window from top to bottom, one character per
    // pixel: '#' white, 'o' red, '.' black, '?' anything else.
    std::string Picture(int32_t left, int32_t bottom, int32_t width, int32_t height) const;

    std::string TempPath(const std::string& name) const { return tempFolder + "/" + name; }
    std::string WriteImage(const std::string& name, const TestImage& image) const;

    OffscreenGl* window = nullptr;
    std::vector<uint8_t> captured;
    std::string tempFolder;
};

const Rgba kBlack = {0, 0, 0, 255};
const Rgba kWhite = {255, 255, 255, 255};
const Rgba kRed = {255, 0, 0, 255};
const Rgba kGreen = {0, 255, 0, 255};
const Rgba kBlue = {0, 0, 255, 255};
