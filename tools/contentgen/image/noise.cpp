// Hash-based value noise with smooth interpolation.
#include "image/noise.h"

#include <cmath>

namespace contentgen {

namespace {

// Integer hash to 0..1.
float Hash(int x, int y, int z, uint32_t seed)
{
  uint32_t h = seed * 0x9E3779B9u;
  h ^= static_cast<uint32_t>(x) * 0x85EBCA6Bu;
  h = (h << 13) | (h >> 19);
  h ^= static_cast<uint32_t>(y) * 0xC2B2AE35u;
  h = (h << 17) | (h >> 15);
  h ^= static_cast<uint32_t>(z) * 0x27D4EB2Fu;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return static_cast<float>(h & 0xFFFFFF) / static_cast<float>(0xFFFFFF);
}

// Wraps a lattice index into 0..period-1.
int Wrap(int i, int period)
{
  if (period <= 0) return i;
  const int m = i % period;
  return m < 0 ? m + period : m;
}

// Quintic fade curve, flat at both ends.
float Fade(float t)
{
  return t * t * t * (t * (t * 6 - 15) + 10);
}

// Linear interpolation.
float Lerp(float a, float b, float t)
{
  return a + (b - a) * t;
}

}  // namespace

// Bilinear blend of the four lattice values with faded weights.
float ValueNoise(float x, float y, uint32_t seed, int period)
{
  const float fx = std::floor(x), fy = std::floor(y);
  const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
  const float tx = Fade(x - fx), ty = Fade(y - fy);
  const int x0 = Wrap(ix, period), x1 = Wrap(ix + 1, period);
  const int y0 = Wrap(iy, period), y1 = Wrap(iy + 1, period);
  const float a = Lerp(Hash(x0, y0, 0, seed), Hash(x1, y0, 0, seed), tx);
  const float b = Lerp(Hash(x0, y1, 0, seed), Hash(x1, y1, 0, seed), tx);
  return Lerp(a, b, ty);
}

// Octaves; the period doubles with the frequency so tiling is kept.
float FractalNoise(float x, float y, uint32_t seed, int octaves, int period)
{
  float sum = 0, weight = 1, total = 0, frequency = 1;
  for (int i = 0; i < octaves; ++i) {
    sum += weight * ValueNoise(x * frequency, y * frequency, seed + static_cast<uint32_t>(i) * 101u,
                               period > 0 ? period * static_cast<int>(frequency) : 0);
    total += weight;
    weight *= 0.5f;
    frequency *= 2;
  }
  return total > 0 ? sum / total : 0;
}

// Trilinear blend of eight lattice values.
float ValueNoise3(float x, float y, float z, uint32_t seed)
{
  const float fx = std::floor(x), fy = std::floor(y), fz = std::floor(z);
  const int ix = static_cast<int>(fx), iy = static_cast<int>(fy), iz = static_cast<int>(fz);
  const float tx = Fade(x - fx), ty = Fade(y - fy), tz = Fade(z - fz);
  float layer[2];
  for (int k = 0; k < 2; ++k) {
    const float a = Lerp(Hash(ix, iy, iz + k, seed), Hash(ix + 1, iy, iz + k, seed), tx);
    const float b = Lerp(Hash(ix, iy + 1, iz + k, seed), Hash(ix + 1, iy + 1, iz + k, seed), tx);
    layer[k] = Lerp(a, b, ty);
  }
  return Lerp(layer[0], layer[1], tz);
}

// 3D octaves.
float FractalNoise3(float x, float y, float z, uint32_t seed, int octaves)
{
  float sum = 0, weight = 1, total = 0, frequency = 1;
  for (int i = 0; i < octaves; ++i) {
    sum += weight * ValueNoise3(x * frequency, y * frequency, z * frequency, seed + static_cast<uint32_t>(i) * 101u);
    total += weight;
    weight *= 0.5f;
    frequency *= 2;
  }
  return total > 0 ? sum / total : 0;
}

}  // namespace contentgen
