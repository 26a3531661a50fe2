// Whole-file reading for the platform layer's loaders (textures, meshes, effects).
#pragma once

#include <cstdint>
#include <vector>

// Reads a regular file whole; false for a missing file, a directory or a read error.
bool PlatformReadFile(const char* path, std::vector<uint8_t>* bytes);
