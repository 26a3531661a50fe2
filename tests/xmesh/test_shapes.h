// Test and benchmark helper: procedural triangle meshes (a bumpy UV sphere, a noisy
// terrain) as positions and indices, built with a fixed seed so runs repeat.
#pragma once

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "d3dx9math.h"

struct XShape {
  std::vector<D3DXVECTOR3> positions;
  std::vector<uint32_t> indices;  // three per face
  // Number of triangles.
  uint32_t FaceCount() const { return static_cast<uint32_t>(indices.size() / 3); }
};

// A closed UV sphere around the origin with radius 1 +- bump: 2 * segments * (rings - 1) faces.
inline XShape MakeBumpySphere(uint32_t rings, uint32_t segments, float bump, uint32_t seed)
{
  XShape s;
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> noise(-bump, bump);
  s.positions.push_back(D3DXVECTOR3(0.0f, 1.0f, 0.0f));
  for (uint32_t r = 1; r < rings; ++r) {
    const float theta = 3.14159265f * static_cast<float>(r) / static_cast<float>(rings);
    for (uint32_t k = 0; k < segments; ++k) {
      const float phi = 6.2831853f * static_cast<float>(k) / static_cast<float>(segments);
      const float radius = 1.0f + noise(random);
      s.positions.push_back(D3DXVECTOR3(radius * std::sin(theta) * std::cos(phi), radius * std::cos(theta),
                                        radius * std::sin(theta) * std::sin(phi)));
    }
  }
  s.positions.push_back(D3DXVECTOR3(0.0f, -1.0f, 0.0f));
  const uint32_t bottom = static_cast<uint32_t>(s.positions.size() - 1);
  const auto ring = [segments](uint32_t r, uint32_t k) { return 1 + (r - 1) * segments + k % segments; };
  for (uint32_t k = 0; k < segments; ++k) s.indices.insert(s.indices.end(), {0, ring(1, k + 1), ring(1, k)});
  for (uint32_t r = 1; r + 1 < rings; ++r) {
    for (uint32_t k = 0; k < segments; ++k) {
      const uint32_t a = ring(r, k), b = ring(r, k + 1), c = ring(r + 1, k), d = ring(r + 1, k + 1);
      s.indices.insert(s.indices.end(), {a, b, c, b, d, c});
    }
  }
  for (uint32_t k = 0; k < segments; ++k) {
    s.indices.insert(s.indices.end(), {bottom, ring(rings - 1, k), ring(rings - 1, k + 1)});
  }
  return s;
}

// A height field over [-size, size]^2 in x and z: rolling hills plus noise, with a flat
// plateau at y = 0 in one quarter (exactly axis-aligned faces). 2 * cells^2 faces.
inline XShape MakeTerrain(uint32_t cells, float size, uint32_t seed)
{
  XShape s;
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> noise(-0.05f, 0.05f);
  for (uint32_t j = 0; j <= cells; ++j) {
    for (uint32_t i = 0; i <= cells; ++i) {
      const float x = size * (2.0f * static_cast<float>(i) / static_cast<float>(cells) - 1.0f);
      const float z = size * (2.0f * static_cast<float>(j) / static_cast<float>(cells) - 1.0f);
      const bool plateau = x > 0.0f && z > 0.0f;
      const float y = plateau ? 0.0f : 0.3f * std::sin(x * 1.7f) * std::cos(z * 1.3f) + noise(random);
      s.positions.push_back(D3DXVECTOR3(x, y, z));
    }
  }
  for (uint32_t j = 0; j < cells; ++j) {
    for (uint32_t i = 0; i < cells; ++i) {
      const uint32_t a = j * (cells + 1) + i, b = a + 1, c = a + cells + 1, d = c + 1;
      s.indices.insert(s.indices.end(), {a, c, b, b, c, d});
    }
  }
  return s;
}
