// The texture cache: each image is read once per name and fade, shared by
// pointer and counted; the last ReleaseTexture frees it.
#pragma once

#include <cstdint>

#include "text/string.h"

struct Texture;

enum : uint32_t { kTextureBuckets = 32768 };

uint32_t HashTextureName(const String& name);
// Null when the image cannot be loaded. Each non-null result is matched by
// one ReleaseTexture.
Texture* AcquireTexture(const String& name, int32_t fadeDivisor, int32_t fadeRed, int32_t fadeGreen, int32_t fadeBlue);
void ReleaseTexture(Texture* texture);
// Frees every entry left; run once at exit, after everything that holds a
// cached texture has given it back.
void ClearTextureCache();
