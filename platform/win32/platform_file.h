// Whole-file reading for the platform layer's loaders (textures, meshes, effects), and
// PNG writing for screenshots.
#pragma once

#include <cstdint>
#include <vector>

// Reads a regular file whole; false for a missing file, a directory or a read error.
bool PlatformReadFile(const char* path, std::vector<uint8_t>* bytes);

// Writes 8-bit RGBA rows (top row first, no padding) as a PNG; false on any failure.
// Safe to call from any thread.
bool PlatformWritePng(const char* path, int width, int height, const uint8_t* rgba);
