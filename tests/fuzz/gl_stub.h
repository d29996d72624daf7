// A stand-in for the GL in fuzz targets: texture names are counted.
#pragma once

#include <cstdint>

int32_t StubLiveTextures();
void StubResetNames();
