// Scratch files for fuzz targets: one private folder per process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The folder, made on first use and removed when the process exits.
const std::string& FuzzFolder();
void WriteFuzzFile(const std::string& path, const uint8_t* data, size_t size);
