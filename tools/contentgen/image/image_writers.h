// Image file output: PNG through stb_image_write, mip chains and the cube map as
// uncompressed A8R8G8B8 DDS textures, and normal maps made from height fields.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/canvas.h"

namespace contentgen {

// PNG bytes of the canvas (RGBA, 8 bits per channel).
std::vector<uint8_t> EncodePng(const CCanvas& canvas);
// Encodes and writes a PNG atomically.
bool WritePng(const CCanvas& canvas, const std::string& path, std::string* error);

// The next mip level of a picture: sides halved, never below 1.
CCanvas HalfLevel(const CCanvas& level);
// The mip chain of a picture made at build time, below its own top level: a DDS 2D
// texture (A8R8G8B8) from half the picture's size down to 1 x 1, which the game loads
// beside the picture (name.mips.dds next to name.png); empty for a 1 x 1 picture.
std::vector<uint8_t> EncodeMipDds(const CCanvas& picture);

// The picture's own pixels as a one-level A8R8G8B8 DDS, ready to upload and marked
// with the PNG bytes made from the same picture: the game reads it (name.top.dds next
// to name.png) instead of decoding that PNG.
std::vector<uint8_t> EncodeTopDds(const CCanvas& picture, const std::vector<uint8_t>& png);

// DDS cube texture with its full mip chain from six square faces in Direct3D's order
// +X, -X, +Y, -Y, +Z, -Z; empty when the faces are not six squares of one size.
std::vector<uint8_t> EncodeCubeDds(const std::vector<CCanvas>& faces);

// The view direction of texel centre (u, v in -1..1, v down) of cube face 0..5.
void CubeFaceDirection(int face, float u, float v, float* x, float* y, float* z);

// The level a flat surface has in red and green of the game's normal maps: the toon
// shader's default normal texel is 0xB0B0FF, so 0xB0 / 255 means "no tilt".
const float kNormalMapFlat = 176.0f / 255.0f;

// Tangent-space normal map from the red channel of a height canvas (wrapping at the
// borders): red = flat + x / 2 with x along +u, green = flat + y / 2 with y up the
// picture (along -v), blue = z. flat is kNormalMapFlat for material normal maps.
CCanvas HeightToNormalMap(const CCanvas& height, float strength, float flat);

}  // namespace contentgen
