// Sky band colours: a straight blend in two halves, horizon to high to zenith.
#include "stage/stage_sky.h"

#include <string>

#include "stage/stage_geometry.h"

namespace stagebuild {

namespace {

// A palette entry "#rrggbb" as floats.
Rgba FromHex(unsigned rgb)
{
  return {((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f, (rgb & 0xFF) / 255.0f, 1};
}

// a to b by t in 0..1.
Rgba Mix(Rgba a, Rgba b, float t)
{
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

}  // namespace

StageSky DefaultStageSky()
{
  return {FromHex(0xd9f1ff), FromHex(0x74b6ff), FromHex(0x3f8fef)};
}

// Band 0 is the horizon's, the last the zenith's.
void ColourStageSky(const StageSky& sky, CMeshData* map)
{
  const std::string prefix = kSkyMaterialPrefix;
  for (Material& m : map->materials) {
    if (m.name.compare(0, prefix.size(), prefix) != 0) continue;
    const float t = static_cast<float>(std::stoi(m.name.substr(prefix.size()))) / (kSkyBands - 1);
    const Rgba c = t < 0.5f ? Mix(sky.horizon, sky.high, t * 2.0f) : Mix(sky.high, sky.zenith, t * 2.0f - 1.0f);
    m.emissive = {c.r, c.g, c.b, 1};
  }
}

}  // namespace stagebuild
