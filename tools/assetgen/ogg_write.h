// Encodes mono samples as an Ogg Vorbis file with libvorbis.
//
// The stream's last granule position is checked against the sample count,
// so a decoder gives back exactly as many samples as were written: a loop
// plays with no gap or overlap at its seam.
#pragma once

#include <vector>

bool WriteOggVorbis(const char* path, const std::vector<float>& samples, int rate, float quality);
