// The magic's art. Blue (attraction) is round and flowing: a soft orb that draws
// bubbles in, a beam of rolling waves, round particles. Red (repulsion) is pointed and
// sharp: a spiked star that throws sparks out, a zigzag beam, diamond particles. The
// metal block, its two hit shells and the crosshair live here too.
#include <cmath>

#include "art/art_context.h"
#include "art/effect_art.h"
#include "art/model_helpers.h"
#include "image/canvas.h"
#include "image/image_writers.h"
#include "image/noise.h"
#include "mesh/primitives.h"

namespace contentgen {

namespace {

const float kPi = 3.14159265f;

// The two colours of one magic.
struct MagicColours {
  Color main, light, white;
};

// The charge core sits low in the cell: the quad stands on the palm.
const float kChargeX = 60, kChargeY = 84;

// Blue charge: a soft orb with a ring of bubbles spiralling into it.
void DrawBlueChargeCell(CCanvas* cell, float t, int index, const void* data)
{
  const MagicColours& c = *static_cast<const MagicColours*>(data);
  (void)index;
  const float pulse = 0.5f + 0.5f * std::sin(2 * kPi * t);
  const float core = 15 + 4 * pulse;
  cell->Fill(
      CCircle(kChargeX, kChargeY, core * 2.2f),
      CPaint::Radial(kChargeX, kChargeY, core * 2.2f, {{0, WithAlpha(c.main, 0.7f)}, {1, WithAlpha(c.main, 0)}}));
  cell->Fill(CCircle(kChargeX, kChargeY, core),
             CPaint::Radial(kChargeX, kChargeY, core, {{0, c.white}, {0.5f, c.light}, {1, WithAlpha(c.main, 0.6f)}}));
  for (int i = 0; i < 8; ++i) {
    const float k = std::fmod(i / 8.0f + t * 0.9f, 1.0f);
    const float angle = 2 * kPi * i / 8.0f + k * 2.0f;
    const float reach = 34 * (1 - k) + core;
    cell->Fill(CCircle(kChargeX + std::cos(angle) * reach, kChargeY + std::sin(angle) * reach * 0.8f, 3 + 3 * k),
               CPaint::Solid(WithAlpha(c.light, 0.4f + 0.6f * k)));
  }
}

// Red charge: a hot core inside a turning six-pointed star, sparks thrown outwards.
void DrawRedChargeCell(CCanvas* cell, float t, int index, const void* data)
{
  const MagicColours& c = *static_cast<const MagicColours*>(data);
  (void)index;
  const float turn = 60.0f * t;
  const float outer = 30 + 6 * std::sin(2 * kPi * t * 2);
  cell->Fill(CCircle(kChargeX, kChargeY, 36),
             CPaint::Radial(kChargeX, kChargeY, 36, {{0, WithAlpha(c.main, 0.6f)}, {1, WithAlpha(c.main, 0)}}));
  cell->Fill(CPolygon(StarPoints(kChargeX, kChargeY, outer, 9, 6, turn)), CPaint::Solid(WithAlpha(c.main, 0.9f)));
  cell->Fill(CPolygon(StarPoints(kChargeX, kChargeY, outer * 0.6f, 6, 6, turn + 30)), CPaint::Solid(c.light));
  cell->Fill(CCircle(kChargeX, kChargeY, 7), CPaint::Solid(c.white));
  for (int i = 0; i < 6; ++i) {
    const float k = std::fmod(i / 6.0f + t, 1.0f);
    const float angle = 2 * kPi * (i + 0.5f) / 6.0f;
    const float reach = 12 + 38 * k;
    const float x = kChargeX + std::cos(angle) * reach, y = kChargeY + std::sin(angle) * reach;
    cell->Fill(CLine(x, y, x + std::cos(angle) * 7, y + std::sin(angle) * 7, 3),
               CPaint::Solid(WithAlpha(c.light, 1 - k)));
  }
}

// A loop over the strip: the last cell leads back into the first.
template <void (*Draw)(CCanvas*, float, int, const void*)>
void DrawLooped(CCanvas* cell, float t, int index, const void* data)
{
  Draw(cell, t * 9.0f / 10.0f, index, data);
}

// Beams: u runs across (64 pixels), v along (128 pixels = one unit, tiled). The alpha
// gives the shape; every row pattern is periodic in v so the tiles meet.
CCanvas DrawBlueBeam(const MagicColours& c)
{
  CCanvas beam(64, 128);
  beam.Shade([&](float x, float y, Color) {
    const float across = (x - 32) / 32;
    const float wave = std::sin(2 * kPi * y / 128 * 2);
    const float coreWidth = 0.22f + 0.08f * wave;
    const float core = std::exp(-across * across / (coreWidth * coreWidth));
    const float halo = std::exp(-across * across / 0.5f) * (0.45f + 0.2f * std::sin(2 * kPi * y / 64 + 1));
    const float ripple = std::exp(-std::pow(std::fabs(across) - 0.55f - 0.12f * wave, 2) / 0.006f) * 0.6f;
    const float a = 0.8f * std::min(1.0f, core + halo + ripple);
    return WithAlpha(Mix(c.main, c.light, 0.6f * core), a);
  });
  return beam;
}

// Red: a narrow hot core with a zigzag bolt running round it and sharp chevrons.
CCanvas DrawRedBeam(const MagicColours& c)
{
  CCanvas beam(64, 128);
  beam.Shade([&](float x, float y, Color) {
    const float across = (x - 32) / 32;
    const float saw = std::fabs(std::fmod(y / 32.0f, 1.0f) * 2 - 1);  // triangle wave, period 32 px
    const float zig = (saw - 0.5f) * 1.1f;
    const float bolt = std::exp(-std::pow(across - zig, 2) / 0.01f);
    const float core = std::exp(-across * across / 0.03f);
    const float chevron = std::fmod(y + std::fabs(across) * 40.0f, 32.0f) < 6.0f ? 0.35f * (1 - std::fabs(across)) : 0;
    const float a = 0.8f * std::min(1.0f, core + bolt * 0.9f + chevron + 0.15f * (1 - std::fabs(across)));
    return WithAlpha(Mix(c.main, c.light, 0.5f * core), a);
  });
  return beam;
}

// Glowing shells: soft horizontal waves for blue, hard diagonal stripes for red; both
// tile in v, which the overlay scrolls.
CCanvas DrawHitPattern(const MagicColours& c, bool red)
{
  CCanvas pattern(128, 128);
  pattern.Shade([&](float x, float y, Color) {
    float a;
    if (red) {
      a = std::fmod(x + y, 32.0f) < 11.0f ? 0.9f : 0.15f;
    } else {
      const float band = 0.5f + 0.5f * std::sin(2 * kPi * (y / 128 * 3 + 0.08f * std::sin(2 * kPi * x / 128)));
      a = 0.12f + 0.75f * band * band;
    }
    const float edge = std::min(std::min(x, 128 - x), std::min(y, 128 - y));
    if (edge < 6) a = std::max(a, 0.9f);
    // Saturated and at most half strength: added over the block, it tints, not whitens.
    return WithAlpha(Scale(c.main, 0.8f), 0.55f * a);
  });
  return pattern;
}

// Steel plates with a darker frame, rivets and a diamond boss; height for the normal map.
void DrawMetalPanel(const CPalette& palette, CCanvas* colour, CCanvas* height)
{
  // Dark enough that the sky the toon shader reflects in metal does not wash it out.
  // A warm iron grey: the sky adds its blue, and an idle block must not look like blue magic.
  const Color metal = Mix(palette.Get("stone_dark"), palette.Get("outline"), 0.62f);
  const Color dark = Mix(palette.Get("stone_dark"), palette.Get("outline"), 0.85f);
  const Color light = Mix(palette.Get("stone_mid"), palette.Get("outline"), 0.35f);
  auto heightAt = [](float x, float y) {
    const float edge = std::min(std::min(x, 256 - x), std::min(y, 256 - y));
    float h = edge < 22 ? 0.35f : 0.7f;
    if (edge < 22 && edge > 18) h = 0.5f;
    const float dx = std::fabs(x - 128), dy = std::fabs(y - 128);
    if (dx + dy < 46) h = 0.95f - (dx + dy) / 46 * 0.15f;
    const float rivets[8][2] = {{11, 11},   {128, 11}, {245, 11},  {11, 128},
                                {245, 128}, {11, 245}, {128, 245}, {245, 245}};
    for (const auto& r : rivets) {
      const float d = std::hypot(x - r[0], y - r[1]);
      if (d < 6) h = 1.0f - d / 20;
    }
    return h;
  };
  colour->Shade([&](float x, float y, Color) {
    const float h = heightAt(x, y);
    const float brushed = FractalNoise(x / 64.0f, y / 2.0f, 23, 3, 0);
    Color c = Mix(dark, metal, 0.35f + 0.55f * h + 0.1f * brushed);
    if (h > 0.9f) c = Mix(c, light, 0.35f);
    return WithAlpha(c, 1);
  });
  height->Shade([&](float x, float y, Color) {
    const float h = heightAt(x, y);
    return Color{h, h, h, 1};
  });
}

// The crosshair: a white ring with four ticks and a centre dot, outlined dark so it
// reads on light walls; the sprite tints the white red.
CCanvas DrawAlignment(const CPalette& palette)
{
  const Color outline = palette.Get("outline"), white = palette.Get("cloud");
  CCanvas big(256, 256);
  const CCircle ring(128, 128, 72);
  const CLine ticks[4] = {CLine(128, 16, 128, 60, 14), CLine(128, 196, 128, 240, 14), CLine(16, 128, 60, 128, 14),
                          CLine(196, 128, 240, 128, 14)};
  big.Stroke(ring, 30, CPaint::Solid(outline));
  for (const CLine& tick : ticks) big.OutlineOutside(tick, 8, outline);
  big.Fill(CCircle(128, 128, 18), CPaint::Solid(outline));
  big.Stroke(ring, 14, CPaint::Solid(white));
  for (const CLine& tick : ticks) big.Fill(tick, CPaint::Solid(white));
  big.Fill(CCircle(128, 128, 9), CPaint::Solid(white));
  return big.Downsample(4);
}

// A particle: a round bubble for blue, a diamond for red.
CMeshData MakeParticle(const MagicColours& c, bool red)
{
  CMeshData particle = red ? MakeSphere(0.07f, 2, 4) : MakeSphere(0.055f, 8, 12);
  if (red) particle.MakeHardNormals();
  Material material = MakeMaterial("glow", c.light, 0, 0);
  material.emissive = {c.main.r * 0.5f, c.main.g * 0.5f, c.main.b * 0.5f, 1};
  particle.materials = {material};
  return particle;
}

// A thin gold-white hoop standing across the beam (the xy plane of the hand's frame).
CMeshData MakeRing(const CPalette& palette)
{
  CMeshData ring = Placed(MakeTorus(0.28f, 0.025f, 32, 8), RotationX(90), 0);
  ring.materials = {MakeMaterial("ring", palette.Get("sun_glow"), 0, 0)};
  return ring;
}

// The 3-unit cube standing on its origin, bevelled, with the metal panel on each face.
CMeshData MakeMetalBlock()
{
  CMeshData block = Placed(MakeBevelBox(3, 3, 3, 0.12f, 2), Translation(0, 1.5f, 0), 0);
  block.materials = {MakeTexturedMaterial("steel", "metal_block.png", 0.35f, 30)};
  return block;
}

// A shell slightly larger than the block, so the overlay glows over its faces.
CMeshData MakeHitShell(const std::string& texture)
{
  CMeshData shell = Placed(MakeBox(3.08f, 3.08f, 3.08f), Translation(0, 1.5f, 0), 0);
  shell.materials = {MakeTexturedMaterial("glow", texture, 0, 0)};
  return shell;
}

}  // namespace

// Strips, beams, meshes and the crosshair.
bool GenerateMagicArt(CArtContext& context, std::string* error)
{
  const CPalette& p = context.palette;
  const MagicColours blue{p.Get("magic_blue"), p.Get("magic_blue_light"), p.Get("cloud")};
  const MagicColours red{p.Get("magic_red"), p.Get("magic_red_light"), p.Get("light_warm")};
  CCanvas panel(256, 256), panelHeight(256, 256);
  DrawMetalPanel(p, &panel, &panelHeight);
  return context.AddPng("game/effect/blue_charge.png", MakeStrip(10, 120, 120, DrawLooped<DrawBlueChargeCell>, &blue),
                        error) &&
         context.AddPng("game/effect/red_charge.png", MakeStrip(10, 120, 120, DrawLooped<DrawRedChargeCell>, &red),
                        error) &&
         context.AddPng("game/effect/blue_ray.png", DrawBlueBeam(blue), error) &&
         context.AddPng("game/effect/red_ray.png", DrawRedBeam(red), error) &&
         context.AddMesh("game/effect/blue_particle.x", MakeParticle(blue, false), error) &&
         context.AddMesh("game/effect/red_particle.x", MakeParticle(red, true), error) &&
         context.AddMesh("game/effect/ring.x", MakeRing(p), error) &&
         context.AddPng("game/object/metal_block.png", panel, error) &&
         context.AddPng("game/object/metal_block.normal.png", HeightToNormalMap(panelHeight, 3, kNormalMapFlat),
                        error) &&
         context.AddMesh("game/object/metal_block.x", MakeMetalBlock(), error) &&
         context.AddPng("game/object/blue_hit.png", DrawHitPattern(blue, false), error) &&
         context.AddPng("game/object/red_hit.png", DrawHitPattern(red, true), error) &&
         context.AddMesh("game/object/blue_hit_block.x", MakeHitShell("blue_hit.png"), error) &&
         context.AddMesh("game/object/red_hit_block.x", MakeHitShell("red_hit.png"), error) &&
         context.AddPng("game/sprite/alignment.png", DrawAlignment(p), error);
}

}  // namespace contentgen
