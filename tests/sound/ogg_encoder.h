// Test sounds: generated waveforms, encoded as Ogg Vorbis in memory with
// libvorbis, so the decoder is checked against files it never made itself.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Interleaved samples of a sine at the given frequency and peak (0 to 1),
// the same in every channel.
std::vector<float> MakeSine(int channels, int rate, int frames, float frequency, float peak);
// Encodes interleaved samples (-1 to 1), with a TITLE comment when one is
// given; empty when libvorbis refuses.
std::vector<uint8_t> EncodeOgg(const std::vector<float>& samples, int channels, int rate, float quality = 0.5f,
                               const std::string& title = "");
// Sets a byte of the first Ogg page and mends that page's checksum, so the
// change is seen as the file's own.
void PatchFirstPage(std::vector<uint8_t>& ogg, size_t at, uint8_t value);
bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
