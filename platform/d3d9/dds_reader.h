// A reader for DDS files: 2D images and cube maps, with their mip levels, in DXT1/3/5 and
// every uncompressed layout texture tools write by masks: 32/24/16-bit RGB(A) (8888, 888,
// 565, 1555, 4444 and their X forms), 8/16-bit luminance with or without alpha, alpha only. A pure function on bytes
// (no GL, no files) so that it can be fuzzed; every image comes out as 32-bit B, G, R, A bytes, rows from the top.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "d3d9.h"

struct DdsImage {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t levels = 0;  // mip levels present in the file (at least 1)
  bool cube = false;    // six faces: +X, -X, +Y, -Y, +Z, -Z
  D3DFORMAT fileFormat = D3DFMT_UNKNOWN;
  bool hasAlpha = false;
  // One entry per face and level: [face * levels + level], each width_l * height_l * 4 bytes.
  std::vector<std::vector<uint8_t>> images;
};

// The sides of mip level `level` of a width x height image.
uint32_t DdsLevelSize(uint32_t size, uint32_t level);

// Parses a whole DDS file. False, with a short reason, for anything malformed or unsupported.
bool ReadDds(const uint8_t* data, size_t size, DdsImage* image, std::string* error);
