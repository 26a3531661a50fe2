// The gimmick models' building blocks.
#include "art/gimmick_parts.h"

#include <cmath>

#include "art/model_helpers.h"
#include "mesh/primitives.h"

namespace contentgen {

// Centred on the middle of the two corners.
CMeshData BoxBetween(float x0, float y0, float z0, float x1, float y1, float z1, int material, float bevel)
{
  const float sx = std::fabs(x1 - x0), sy = std::fabs(y1 - y0), sz = std::fabs(z1 - z0);
  CMeshData box = bevel > 0.0f ? MakeBevelBox(sx, sy, sz, bevel, 2) : MakeBox(sx, sy, sz);
  return Placed(box, Translation((x0 + x1) * 0.5f, (y0 + y1) * 0.5f, (z0 + z1) * 0.5f), material);
}

// The cylinder stands on its foot before it is tilted about that foot.
CMeshData TiltedRod(float radius, float length, float y0, float z0, float tilt, int material)
{
  const Transform place = Combine(Translation(0, length * 0.5f, 0), Combine(RotationX(tilt), Translation(0, y0, z0)));
  return Placed(MakeCylinder(radius, length, 16), place, material);
}

// One material, the stripes; the shape is the caller's, already grown.
CMeshData HitShell(CMeshData shape, const std::string& stripeFile)
{
  Material stripes = MakeTexturedMaterial("hit", stripeFile, 0.0f, 1.0f);
  shape.materials = {stripes};
  shape.SetMaterialIndex(0);
  shape.ScaleUv(2, 2);
  return shape;
}

// Soft-edged bands at 45 degrees; the faint glow between them keeps the whole shape lit.
CCanvas DrawHitStripes(Color colour)
{
  CCanvas stripes(64, 64);
  stripes.Shade([&](float x, float y, Color) {
    const float band = std::fmod(x + y, 32.0f) / 32.0f;
    const float strength = 0.5f + 0.5f * std::cos(band * 6.2831853f);
    const float alpha = 0.25f + 0.75f * strength * strength;
    return WithAlpha(Mix(colour, Color{1, 1, 1, 1}, 0.35f * strength), alpha);
  });
  return stripes;
}

}  // namespace contentgen
