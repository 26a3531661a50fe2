// Files the shaders read: the two shading ramps, the sky cube map that metal
// reflects, the puddle's ripple texture and the puddle surface mesh.
#include <algorithm>
#include <cmath>

#include "art/art_context.h"
#include "image/canvas.h"
#include "image/image_writers.h"
#include "image/noise.h"
#include "mesh/primitives.h"

namespace contentgen {

namespace {

const float kPi = 3.14159265358979f;

// Smooth 0..1 step.
float SmoothStep(float edge0, float edge1, float x)
{
  const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
  return t * t * (3.0f - 2.0f * t);
}

// The toon ramp: u = N.L * 0.5 + 0.5 from left (facing away) to right (facing the
// light). Three flat bands with a two-texel blend, so bands stay crisp but never alias.
CCanvas ToonRamp(const CPalette& palette)
{
  const Color shadow = palette.Get("shade_cool"), mid = palette.Get("shade_mid"), lit = palette.Get("light_warm");
  CCanvas ramp(256, 4);
  ramp.Shade([&](float x, float, Color) {
    const float u = x / 256.0f;
    Color c = Mix(shadow, mid, SmoothStep(0.44f, 0.45f, u));
    c = Mix(c, lit, SmoothStep(0.58f, 0.59f, u));
    return WithAlpha(c, 1);
  });
  return ramp;
}

// The softer ramp for the map and large stone pieces: one smooth blend from a lighter
// shadow to full light, so big surfaces shade gently.
CCanvas RealRamp(const CPalette& palette)
{
  const Color shadow = palette.Get("real_shade"), lit = palette.Get("light_warm");
  CCanvas ramp(256, 4);
  ramp.Shade([&](float x, float, Color) {
    const float u = x / 256.0f;
    return WithAlpha(Mix(shadow, lit, SmoothStep(0.2f, 0.8f, u)), 1);
  });
  return ramp;
}

// The sky seen along a unit direction: gradient, sun, a high cloud layer, and a sea
// of clouds below the horizon (the tower stands above them).
Color SkyColour(const CPalette& palette, float x, float y, float z)
{
  const Color zenith = palette.Get("sky_zenith"), high = palette.Get("sky_high"), horizon = palette.Get("sky_horizon");
  Color c;
  if (y >= 0) {
    c = Mix(horizon, high, SmoothStep(0.0f, 0.35f, y));
    c = Mix(c, zenith, SmoothStep(0.35f, 1.0f, y));
    // High clouds: noise on a plane above the viewer, thinning towards the horizon.
    const float px = x / (y + 0.15f), pz = z / (y + 0.15f);
    const float n = FractalNoise3(px * 1.3f, pz * 1.3f, 0.5f, 7, 5);
    const float cover = SmoothStep(0.52f, 0.68f, n) * SmoothStep(0.02f, 0.25f, y);
    const float shade = SmoothStep(0.55f, 0.8f, FractalNoise3(px * 1.3f + 0.2f, pz * 1.3f + 0.3f, 0.5f, 7, 5));
    c = Mix(c, Mix(palette.Get("cloud"), palette.Get("cloud_shade"), 0.45f - 0.45f * shade), cover * 0.9f);
  } else {
    // Cloud sea: bright puffs near the horizon, deepening below.
    const float d = -y;
    const float n = FractalNoise3(x * 3.0f, y * 3.0f, z * 3.0f, 11, 5);
    const Color puffs = Mix(palette.Get("cloud_shade"), palette.Get("cloud"), SmoothStep(0.35f, 0.7f, n));
    c = Mix(horizon, puffs, SmoothStep(0.0f, 0.08f, d));
    c = Mix(c, palette.Get("cloud_sea_deep"), SmoothStep(0.25f, 1.0f, d) * 0.85f);
  }
  // The sun, up and to the front right, with a warm halo.
  const float sx = 0.45f, sy = 0.6f, sz = 0.66f;
  const float len = std::sqrt(sx * sx + sy * sy + sz * sz);
  const float cosAngle = (x * sx + y * sy + z * sz) / len;
  const float angle = std::acos(std::clamp(cosAngle, -1.0f, 1.0f));
  c = Mix(c, palette.Get("sun_glow"), std::pow(std::max(cosAngle, 0.0f), 24.0f) * 0.6f);
  c = Mix(c, palette.Get("sun"), 1.0f - SmoothStep(0.05f, 0.07f, angle));
  return WithAlpha(c, 1);
}

// Six faces of the sky in Direct3D's cube face order.
std::vector<CCanvas> SkyCube(const CPalette& palette, int size)
{
  std::vector<CCanvas> faces;
  for (int face = 0; face < 6; ++face) {
    CCanvas canvas(size, size);
    canvas.Shade([&](float px, float py, Color) {
      float x, y, z;
      CubeFaceDirection(face, px / size * 2.0f - 1.0f, py / size * 2.0f - 1.0f, &x, &y, &z);
      const float len = std::sqrt(x * x + y * y + z * z);
      return SkyColour(palette, x / len, y / len, z / len);
    });
    faces.push_back(std::move(canvas));
  }
  return faces;
}

// Distance between two points on a torus of the given size (so ripples wrap).
float WrappedDistance(float ax, float ay, float bx, float by, float size)
{
  float dx = std::fabs(ax - bx), dy = std::fabs(ay - by);
  dx = std::min(dx, size - dx);
  dy = std::min(dy, size - dy);
  return std::sqrt(dx * dx + dy * dy);
}

// Ripple height field: rings spreading from a few drop points plus a gentle swell,
// all periodic over the texture so it tiles when scrolled.
CCanvas RippleHeight(int size)
{
  const float drops[5][3] = {
      {0.25f, 0.3f, 0.9f}, {0.7f, 0.2f, 0.7f}, {0.55f, 0.72f, 1.0f}, {0.12f, 0.8f, 0.6f}, {0.88f, 0.6f, 0.5f}};
  CCanvas height(size, size);
  height.Shade([&](float x, float y, Color) {
    float h = (FractalNoise(x / size * 4.0f, y / size * 4.0f, 21, 3, 4) - 0.5f) * 0.6f;
    for (const auto& drop : drops) {
      const float d = WrappedDistance(x / size, y / size, drop[0], drop[1], 1.0f);
      h += drop[2] * std::sin(d * 2.0f * kPi * 9.0f) * std::exp(-d * 6.0f) * 0.5f;
    }
    const float v = std::clamp(h * 0.5f + 0.5f, 0.0f, 1.0f);
    return Color{v, v, v, 1};
  });
  return height;
}

// The puddle surface: a flat disc facing up, a hair above the floor so it does not
// flicker against it, with planar UVs spanning 0..1 across it (the puddle shader
// fades the rim by the distance from UV (0.5, 0.5)). Its radius matches the reach
// of the splashing footsteps, 1.75.
CMeshData PuddleSurface()
{
  const float radius = 1.75f;
  CMeshData disc = MakeLathe({{0, 0.01f}, {radius, 0.01f}}, 48);
  for (Vertex& v : disc.vertices) v.uv = {0.5f + v.position.x / (2 * radius), 0.5f - v.position.z / (2 * radius)};
  Material water;
  water.name = "puddle";
  disc.materials = {water};
  return disc;
}

}  // namespace

// res/shader/toon.png, real.png, cube_map.dds, puddle_wave.png, puddle.x.
bool GenerateShaderArt(CArtContext& context, std::string* error)
{
  const CPalette& palette = context.palette;
  if (!context.AddPng("shader/toon.png", ToonRamp(palette), error)) return false;
  if (!context.AddPng("shader/real.png", RealRamp(palette), error)) return false;
  const std::vector<uint8_t> dds = EncodeCubeDds(SkyCube(palette, 256));
  if (dds.empty()) {
    *error = context.Res("shader/cube_map.dds") + ": the six sky faces differ in size";
    return false;
  }
  context.AddFile("shader/cube_map.dds", dds);
  // The puddle shader reads red and green as a 2D offset around 0.5.
  const CCanvas wave = HeightToNormalMap(RippleHeight(256), 6.0f, 0.5f);
  if (!context.AddPng("shader/puddle_wave.png", wave, error)) return false;
  return context.AddMesh("shader/puddle.x", PuddleSurface(), error);
}

}  // namespace contentgen
