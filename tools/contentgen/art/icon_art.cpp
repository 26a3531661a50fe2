// The window icon ("MYICON"): the tower under a bright sky with a blue and a red
// spark, drawn four times larger and shrunk to 64 x 64 so the small shapes stay clean;
// and the same picture in the sizes desktops look for, under res/icons/ (installed into
// the hicolor theme, not read by the game).
#include "art/art_context.h"
#include "image/canvas.h"

#include <string>

namespace contentgen {

namespace {

// A four-pointed sparkle with a halo.
void DrawSpark(CCanvas* canvas, float cx, float cy, float size, Color core, Color halo)
{
  const CPolygon star(StarPoints(cx, cy, size, size * 0.3f, 4, 0));
  canvas->Glow(CCircle(cx, cy, size * 0.35f), size * 0.9f, WithAlpha(halo, 0.8f));
  canvas->OutlineOutside(star, 5, Color{0.11f, 0.09f, 0.14f, 1});
  canvas->Fill(star, CPaint::Radial(cx, cy, size, {{0, Color{1, 1, 1, 1}}, {0.45f, core}, {1, core}}));
}

// The whole icon at 256 x 256.
CCanvas DrawIconLarge(const CPalette& palette)
{
  const Color outline = palette.Get("outline");
  CCanvas canvas(256, 256);
  canvas.Clear({0, 0, 0, 0});
  // Sky tile with a cloud bank at the bottom.
  const CRoundedRect tile(8, 8, 248, 248, 44);
  canvas.DropShadow(tile, 0, 6, 6, WithAlpha(outline, 0.5f));
  canvas.Fill(
      tile, CPaint::Linear(
                0, 8, 0, 248,
                {{0, palette.Get("sky_zenith")}, {0.7f, palette.Get("sky_horizon")}, {1, palette.Get("sky_horizon")}}));
  const CCircle clouds[3] = {CCircle(50, 250, 46), CCircle(110, 262, 50), CCircle(196, 252, 52)};
  for (const CCircle& cloud : clouds) canvas.Fill(CIntersection(cloud, tile), CPaint::Solid(palette.Get("cloud")));
  // The tower: a tapering stone body, a gold band, a violet pointed roof.
  const CPolygon body({{88, 236}, {168, 236}, {158, 104}, {98, 104}});
  const CPolygon roof({{80, 110}, {176, 110}, {128, 30}});
  const CRoundedRect band(90, 98, 166, 116, 5);
  const CRoundedRect door(114, 192, 142, 236, 12);
  const CRoundedRect window(119, 140, 137, 164, 8);
  for (const CShape* shape : std::initializer_list<const CShape*>{&body, &roof, &band}) {
    canvas.OutlineOutside(*shape, 7, outline);
  }
  canvas.Fill(body,
              CPaint::Linear(
                  88, 0, 168, 0,
                  {{0, palette.Get("stone_light")}, {0.6f, palette.Get("stone_mid")}, {1, palette.Get("stone_dark")}}));
  canvas.Fill(door, CPaint::Solid(palette.Get("wood_dark")));
  canvas.Glow(window, 10, WithAlpha(palette.Get("sun_glow"), 0.7f));
  canvas.Fill(window, CPaint::Solid(palette.Get("sun")));
  canvas.Fill(roof, CPaint::Linear(
                        80, 0, 176, 0,
                        {{0, palette.Get("robe_light")}, {0.55f, palette.Get("robe")}, {1, palette.Get("robe_dark")}}));
  canvas.Fill(band, CPaint::Solid(palette.Get("gold")));
  // Attraction on the left, repulsion on the right.
  DrawSpark(&canvas, 52, 96, 34, palette.Get("magic_blue"), palette.Get("magic_blue_light"));
  DrawSpark(&canvas, 206, 132, 34, palette.Get("magic_red"), palette.Get("magic_red_light"));
  return canvas;
}

}  // namespace

// res/icon.png, and res/icons/N.png for each desktop size N.
bool GenerateIcon(CArtContext& context, std::string* error)
{
  const CCanvas large = DrawIconLarge(context.palette);
  if (!context.AddPng("icon.png", large.Downsample(4), error)) return false;
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const CCanvas icon = size == large.Width() ? large : large.ShrinkTo(size, size);
    if (!context.AddPng("icons/" + std::to_string(size) + ".png", icon, error)) return false;
  }
  return true;
}

}  // namespace contentgen
