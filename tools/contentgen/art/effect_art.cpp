// The billboard strips of the stage effects: an 18-cell blast, a 12-cell landing dust,
// the 2-cell water drop and the 33-cell looping torch flame. Every cell is drawn on its
// own canvas from its place in the animation (t from 0 to 1) and laid into the strip.
#include "art/effect_art.h"

#include <cmath>

#include "art/art_context.h"
#include "image/canvas.h"
#include "image/noise.h"

namespace contentgen {

namespace {

const float kPi = 3.14159265f;

// A colour the palette names, as the drawing functions receive it.
struct EffectColours {
  Color core, mid, edge, smoke;
};

// A fireball growing out of a white core, its sparks flying out, the smoke left behind.
void DrawBlastCell(CCanvas* cell, float t, int index, const void* data)
{
  const EffectColours& c = *static_cast<const EffectColours*>(data);
  const float cx = 64, cy = 64;
  const float radius = 14 + 44 * std::sqrt(t);
  const float fire = std::max(0.0f, 1.0f - t * 1.25f);
  cell->Fill(CCircle(cx, cy, radius + 6),
             CPaint::Radial(cx, cy, radius + 6,
                            {{0, WithAlpha(c.smoke, 0.55f * std::min(1.0f, t * 3))}, {1, WithAlpha(c.smoke, 0)}}));
  if (fire > 0) {
    cell->Fill(
        CCircle(cx, cy, radius),
        CPaint::Radial(cx, cy, radius,
                       {{0, WithAlpha(c.core, fire)}, {0.45f, WithAlpha(c.mid, fire)}, {1, WithAlpha(c.edge, 0)}}));
  }
  for (int i = 0; i < 10; ++i) {
    const float angle = 2 * kPi * (i + 0.3f * ValueNoise(i * 3.1f, 0.5f, 41)) / 10.0f;
    const float reach = radius * (0.9f + 0.5f * t) + 4;
    const float size = 4.5f * (1 - t) + 0.5f;
    cell->Fill(CCircle(cx + std::cos(angle) * reach, cy + std::sin(angle) * reach, size),
               CPaint::Solid(WithAlpha(c.core, 1 - t)));
  }
  (void)index;
}

// Puffs rolling outwards along the floor from the landing point and fading.
void DrawDustCell(CCanvas* cell, float t, int index, const void* data)
{
  const EffectColours& c = *static_cast<const EffectColours*>(data);
  const float fade = 0.85f * (1 - t * t);
  for (int i = 0; i < 7; ++i) {
    const float side = (i - 3) / 3.0f;
    const float x = 90 + side * (20 + 62 * t);
    const float size = (16 + 10 * ValueNoise(i * 1.7f, 2.0f, 7)) * (0.7f + 0.6f * t) * (1.1f - 0.3f * std::fabs(side));
    const float y = 178 - size - std::fabs(side) * 4 - 18 * t * (1 - std::fabs(side));
    cell->Fill(CCircle(x, y, size),
               CPaint::Radial(x, y - size * 0.3f, size * 1.2f,
                              {{0, WithAlpha(c.core, fade)}, {1, WithAlpha(c.smoke, fade * 0.6f)}}));
  }
  (void)index;
}

// Cell 0 a falling drop with its shine, cell 1 the splash crown.
void DrawDropCell(CCanvas* cell, float t, int index, const void* data)
{
  const EffectColours& c = *static_cast<const EffectColours*>(data);
  (void)t;
  const float cx = 185.5f;
  if (index == 0) {
    const CCircle body(cx, 230, 70);
    cell->Fill(CPolygon({{cx, 80}, {cx + 58, 200}, {cx - 58, 200}}), CPaint::Solid(c.mid));
    cell->Fill(body, CPaint::Radial(cx - 20, 210, 90, {{0, c.core}, {1, c.mid}}));
    cell->Fill(CEllipse(cx - 26, 205, 12, 22), CPaint::Solid(WithAlpha(c.core, 0.9f)));
    return;
  }
  cell->Stroke(CEllipse(cx, 300, 150, 40), 14, CPaint::Solid(WithAlpha(c.mid, 0.9f)));
  for (int i = 0; i < 7; ++i) {
    const float angle = kPi * (0.15f + 0.7f * i / 6.0f);
    const float x = cx - std::cos(angle) * 130, y = 290 - std::sin(angle) * 150;
    cell->Fill(CLine(cx - std::cos(angle) * 100, 290 - std::sin(angle) * 60, x, y, 12), CPaint::Solid(c.mid));
    cell->Fill(CCircle(x, y - 8, 13), CPaint::Solid(c.core));
  }
}

// A flame licking upwards: a stack of soft blobs swaying with two noise waves that loop
// over the 33 cells.
void DrawFireCell(CCanvas* cell, float t, int index, const void* data)
{
  const EffectColours& c = *static_cast<const EffectColours*>(data);
  (void)index;
  const float phase = 2 * kPi * t;
  for (int layer = 0; layer < 3; ++layer) {
    const float scale = 1.0f - 0.3f * layer;
    const Color colour = layer == 0 ? c.edge : (layer == 1 ? c.mid : c.core);
    for (int k = 0; k < 6; ++k) {
      const float h = k / 5.0f;
      const float sway = 3.5f * h * std::sin(phase + k * 0.9f) + 1.5f * std::sin(2 * phase + k * 2.1f);
      const float y = 56 - h * 44 * scale - 2.0f * std::sin(phase * 3 + k);
      const float r = (11 - 8.5f * h) * scale;
      cell->Fill(CCircle(15 + sway, y, std::max(r, 0.8f)), CPaint::Solid(WithAlpha(colour, 0.95f - 0.4f * h)));
    }
  }
}

}  // namespace

// Each cell on its own canvas, composited at its place in the strip.
CCanvas MakeStrip(int count, int cellWidth, int cellHeight, CellPainter draw, const void* data)
{
  CCanvas strip(count * cellWidth, cellHeight);
  for (int i = 0; i < count; ++i) {
    CCanvas cell(cellWidth, cellHeight);
    const float t = count > 1 ? static_cast<float>(i) / static_cast<float>(count - 1) : 0.0f;
    draw(&cell, t, i, data);
    strip.Composite(cell, i * cellWidth, 0);
  }
  return strip;
}

// The four stage strips, then the magic's own art.
bool GenerateEffectArt(CArtContext& context, std::string* error)
{
  const CPalette& p = context.palette;
  const EffectColours blast{p.Get("light_warm"), p.Get("sun_glow"), p.Get("magic_red"), p.Get("shade_cool")};
  const EffectColours dust{p.Get("stone_light"), p.Get("stone_mid"), p.Get("stone_mid"), p.Get("stone_dark")};
  const EffectColours drop{p.Get("cloud"), p.Get("water"), p.Get("water"), p.Get("water")};
  const EffectColours fire{p.Get("light_warm"), p.Get("sun_glow"), p.Get("gold_dark"), p.Get("gold_dark")};
  // A loop: the last cell must not repeat the first, so t runs to 32/33.
  struct LoopFire {
    static void Draw(CCanvas* cell, float t, int index, const void* data)
    {
      DrawFireCell(cell, t * 32.0f / 33.0f, index, data);
    }
  };
  return context.AddPng("game/effect/blast.png", MakeStrip(18, 128, 128, DrawBlastCell, &blast), error) &&
         context.AddPng("game/effect/fugitive_dust.png", MakeStrip(12, 180, 180, DrawDustCell, &dust), error) &&
         context.AddPng("game/effect/drop_water.png", MakeStrip(2, 371, 371, DrawDropCell, &drop), error) &&
         context.AddPng("game/effect/fire.png", MakeStrip(33, 30, 60, LoopFire::Draw, &fire), error) &&
         GenerateMagicArt(context, error);
}

}  // namespace contentgen
