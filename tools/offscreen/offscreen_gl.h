// An offscreen OpenGL context on Mesa's software renderer (OSMesa), for tests
// and screenshots: no window and no display needed.
//
// CreateOffscreenGl makes an RGBA context of the given size current on the
// calling thread; ReadOffscreenPixels copies what has been drawn, 4 bytes a
// pixel, top row first. Programs that use it must resolve the GL functions
// to OSMesa: link velmora_offscreen_gl, which puts OSMesa first. Sanitized
// builds do not report the buffers Mesa itself keeps until exit.
#pragma once

#include <cstdint>

struct OffscreenGl;

// Null when no context could be made (the reason is printed on stderr).
OffscreenGl* CreateOffscreenGl(int32_t width, int32_t height);
void DestroyOffscreenGl(OffscreenGl* context);
int32_t OffscreenWidth(const OffscreenGl* context);
int32_t OffscreenHeight(const OffscreenGl* context);
// Fills `rgba` (width x height x 4 bytes) with the colour buffer, top row
// first.
void ReadOffscreenPixels(const OffscreenGl* context, uint8_t* rgba);
