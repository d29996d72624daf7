#include "tools/offscreen/offscreen_gl.h"

#include <GL/osmesa.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

// Mesa's offscreen library keeps some of each context's buffers until the
// process ends; the leak checker of sanitized builds is told they are not
// ours.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions()
{
    return "leak:libOSMesa.so\n";
}

struct OffscreenGl {
    OSMesaContext context;
    uint8_t* buffer; // OSMesa draws straight into it
    int32_t width, height;
};

OffscreenGl* CreateOffscreenGl(int32_t width, int32_t height)
{
    if (width < 1 || height < 1 || width > 8192 || height > 8192) {
        fprintf(stderr, "offscreen GL: unusable size %dx%d\n", width, height);
        return nullptr;
    }
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 0, 0, 0, nullptr);
    if (!context) {
        fprintf(stderr, "offscreen GL: OSMesa gave no context\n");
        return nullptr;
    }
    uint8_t* buffer = static_cast<uint8_t*>(calloc(size_t(width) * size_t(height), 4));
    OffscreenGl* offscreen = new (std::nothrow) OffscreenGl{context, buffer, width, height};
    if (!buffer || !offscreen || !OSMesaMakeCurrent(context, buffer, GL_UNSIGNED_BYTE, width, height)) {
        fprintf(stderr, "offscreen GL: cannot make the context current\n");
        delete offscreen;
        free(buffer);
        OSMesaDestroyContext(context);
        return nullptr;
    }
    // When the GL functions resolve to another library than OSMesa, nothing
    // answers here.
    if (!glGetString(GL_RENDERER)) {
        fprintf(stderr, "offscreen GL: GL calls do not reach OSMesa (link order)\n");
        DestroyOffscreenGl(offscreen);
        return nullptr;
    }
    return offscreen;
}

void DestroyOffscreenGl(OffscreenGl* offscreen)
{
    if (!offscreen)
        return;
    if (OSMesaGetCurrentContext() == offscreen->context)
        OSMesaMakeCurrent(nullptr, nullptr, GL_UNSIGNED_BYTE, 0, 0);
    OSMesaDestroyContext(offscreen->context);
    free(offscreen->buffer);
    delete offscreen;
}

int32_t OffscreenWidth(const OffscreenGl* offscreen) { return offscreen->width; }
int32_t OffscreenHeight(const OffscreenGl* offscreen) { return offscreen->height; }

void ReadOffscreenPixels(const OffscreenGl* offscreen, uint8_t* rgba)
{
    int32_t width = offscreen->width, height = offscreen->height;
    size_t rowBytes = size_t(width) * 4;
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    // GL gives the bottom row first.
    uint8_t* row = static_cast<uint8_t*>(malloc(rowBytes));
    if (!row)
        return;
    for (int32_t y = 0; y < height / 2; ++y) {
        uint8_t* upper = rgba + size_t(y) * rowBytes;
        uint8_t* lower = rgba + size_t(height - 1 - y) * rowBytes;
        memcpy(row, upper, rowBytes);
        memcpy(upper, lower, rowBytes);
        memcpy(lower, row, rowBytes);
    }
    free(row);
}
