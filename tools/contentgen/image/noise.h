// Value noise for textures: a smooth random field from hashed lattice values, with an
// optional period so a texture tiles without a seam. Pure functions of their inputs,
// so every run draws the same picture.
#pragma once

#include <cstdint>

namespace contentgen {

// Noise in 0..1 at (x, y) in lattice units; period > 0 wraps the lattice there.
float ValueNoise(float x, float y, uint32_t seed, int period = 0);
// Sum of octaves (each twice the frequency and half the weight), normalised to 0..1.
float FractalNoise(float x, float y, uint32_t seed, int octaves, int period = 0);
// 3D value noise in 0..1 (for seamless noise on a cube map or a sphere).
float ValueNoise3(float x, float y, float z, uint32_t seed);
// 3D octaves, normalised to 0..1.
float FractalNoise3(float x, float y, float z, uint32_t seed, int octaves);

}  // namespace contentgen
