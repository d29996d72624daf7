#include "tools/replay/screenshot.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "app/app.h"
#include "game/game.h"
#include "render/gl_api.h"
#include "render/renderer.h"
#include "tools/offscreen/offscreen_gl.h"
#include "tools/pngwrite/png_write.h"

namespace {

OffscreenGl* surface;
std::vector<uint8_t> rgba;
std::vector<uint16_t> samples;

} // namespace

bool ParseShotRequest(const char* text, ShotRequest& shot)
{
    char* end = nullptr;
    errno = 0;
    long long tick = strtoll(text, &end, 10);
    if (end == text || *end != ':' || errno != 0 || tick < 0 || text[0] == '-' || text[0] == '+')
        return false;
    shot.tick = tick;
    shot.path = end + 1;
    return !shot.path.empty();
}

bool StartScreenshots(int32_t width, int32_t height, FramePath path)
{
    surface = CreateOffscreenGl(width, height);
    if (!surface)
        return false;
    renderer.framePath = path;
    AppInit();
    if (!running) {
        fprintf(stderr, "velmora-replay: the game could not start, so there is nothing to draw\n");
        return false;
    }
    AppResize(static_cast<uint16_t>(width), static_cast<uint16_t>(height));
    rgba.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    samples.resize(rgba.size() / 4 * 3);
    return true;
}

bool TakeScreenshot(const std::string& path)
{
    if (!AppPaint())
        return false;
    glFinish();
    ReadOffscreenPixels(surface, rgba.data());
    for (size_t pixel = 0; pixel < rgba.size() / 4; ++pixel)
        for (size_t channel = 0; channel < 3; ++channel)
            samples[pixel * 3 + channel] = rgba[pixel * 4 + channel];
    PngImage image = {
        OffscreenWidth(surface), OffscreenHeight(surface), 2, 8, false, samples.data(), nullptr, 0, nullptr, 0};
    return WritePng(path.c_str(), image);
}

void StopScreenshots()
{
    if (!surface)
        return;
    AppShutdown();
    AppRelease();
    DestroyOffscreenGl(surface);
    surface = nullptr;
}
