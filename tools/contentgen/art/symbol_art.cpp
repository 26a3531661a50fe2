// The colour symbols, for players who tell the magic colours apart by shape: a ring for
// blue (attraction) and a solid triangle pointing up for red (repulsion), each light
// with the game's dark outline so that the silhouette reads on any background. They
// come as HUD pictures, as tiles the hit glow lays over a held object, and as marks
// on the rotation door's two discs.
#include <cmath>

#include "art/art_context.h"
#include "art/model_helpers.h"
#include "image/canvas.h"
#include "image/shape.h"

namespace contentgen {

namespace {

enum class Symbol { Ring, Triangle };

// The two colours of a symbol: a pale tint of the magic colour inside the outline.
struct SymbolInk {
  Color fill;
  Color outline;
};

// One symbol centred on (cx, cy), `size` pixels across its outline.
void DrawSymbol(CCanvas* canvas, Symbol symbol, float cx, float cy, float size, const SymbolInk& ink)
{
  const float unit = size / 100.0f;
  if (symbol == Symbol::Ring) {
    const CCircle ring(cx, cy, 34.0f * unit);
    canvas->Stroke(ring, 30.0f * unit, CPaint::Solid(ink.outline));
    canvas->Stroke(ring, 17.0f * unit, CPaint::Solid(ink.fill));
    return;
  }
  // The triangle's centroid sits on the centre, so both symbols balance alike.
  const CPolygon triangle(RegularPolygonPoints(cx, cy + 4.0f * unit, 40.0f * unit, 3, 0.0f));
  canvas->OutlineOutside(triangle, 7.0f * unit, ink.outline);
  canvas->Fill(triangle, CPaint::Solid(ink.fill));
}

// A single symbol on a clear square picture `pixels` wide, drawn four times larger first.
CCanvas DrawSymbolPicture(Symbol symbol, int pixels, const SymbolInk& ink)
{
  CCanvas big(pixels * 4, pixels * 4);
  const float middle = pixels * 2.0f;
  DrawSymbol(&big, symbol, middle, middle, pixels * 4.0f, ink);
  return big.Downsample(4);
}

// A 128-pixel tile of two by two symbols for the hit glow; `mixed` alternates the two
// shapes (the rotation door held by both colours), otherwise all are `symbol`.
CCanvas DrawSymbolTile(Symbol symbol, bool mixed, const SymbolInk& ring, const SymbolInk& triangle)
{
  CCanvas big(512, 512);
  for (int row = 0; row < 2; ++row) {
    for (int column = 0; column < 2; ++column) {
      Symbol here = symbol;
      if (mixed) here = (row + column) % 2 == 0 ? Symbol::Ring : Symbol::Triangle;
      const SymbolInk& ink = here == Symbol::Ring ? ring : triangle;
      DrawSymbol(&big, here, 128.0f + 256.0f * column, 128.0f + 256.0f * row, 150.0f, ink);
    }
  }
  return big.Downsample(4);
}

// A unit square facing -z in the xy plane, centred on the origin, UVs 0..1 from its top left.
CMeshData MakeDecal(float size)
{
  CMeshData decal;
  const float h = size * 0.5f;
  const Vec3 facing{0, 0, -1};
  const uint32_t topLeft = decal.AddVertex({-h, h, 0}, facing, {0, 0});
  const uint32_t topRight = decal.AddVertex({h, h, 0}, facing, {1, 0});
  const uint32_t bottomRight = decal.AddVertex({h, -h, 0}, facing, {1, 1});
  const uint32_t bottomLeft = decal.AddVertex({-h, -h, 0}, facing, {0, 1});
  decal.AddQuad(topLeft, topRight, bottomRight, bottomLeft, 0);
  return decal;
}

// The marks on the door's discs (red at +1.5, blue at -1.5, 2.5 up), on both faces,
// standing just off the discs' faces at |z| = 0.35.
CMeshData MakeDoorSymbols()
{
  CMeshData marks;
  Material blue = MakeTexturedMaterial("blue_symbol", "symbol_blue.png", 0.0f, 1.0f);
  Material red = MakeTexturedMaterial("red_symbol", "symbol_red.png", 0.0f, 1.0f);
  // A little light of their own keeps them readable on the door's shaded side.
  blue.emissive = red.emissive = {0.35f, 0.35f, 0.35f, 1};
  marks.materials = {blue, red};
  for (int side = 0; side < 2; ++side) {
    const Transform face = side == 0 ? Translation(0, 0, -0.365f) : Combine(RotationY(180), Translation(0, 0, 0.365f));
    marks.MergeSharingMaterials(Placed(MakeDecal(1.0f), Combine(face, Translation(-1.5f, 2.5f, 0)), 0));
    marks.MergeSharingMaterials(Placed(MakeDecal(1.0f), Combine(face, Translation(1.5f, 2.5f, 0)), 1));
  }
  return marks;
}

}  // namespace

// HUD pictures, hit glow tiles, the door's marks and their pictures.
bool GenerateSymbolArt(CArtContext& context, std::string* error)
{
  const CPalette& p = context.palette;
  const Color outline = p.Get("outline");
  const SymbolInk ring{Mix(p.Get("cloud"), p.Get("magic_blue_light"), 0.35f), outline};
  const SymbolInk triangle{Mix(p.Get("cloud"), p.Get("magic_red_light"), 0.35f), outline};
  return context.AddPng("game/sprite/symbol_blue.png", DrawSymbolPicture(Symbol::Ring, 40, ring), error) &&
         context.AddPng("game/sprite/symbol_red.png", DrawSymbolPicture(Symbol::Triangle, 40, triangle), error) &&
         context.AddPng("game/object/symbol_blue.png", DrawSymbolPicture(Symbol::Ring, 128, ring), error) &&
         context.AddPng("game/object/symbol_red.png", DrawSymbolPicture(Symbol::Triangle, 128, triangle), error) &&
         context.AddPng("game/object/blue_symbol_hit.png", DrawSymbolTile(Symbol::Ring, false, ring, triangle),
                        error) &&
         context.AddPng("game/object/red_symbol_hit.png", DrawSymbolTile(Symbol::Triangle, false, ring, triangle),
                        error) &&
         context.AddPng("game/object/both_symbol_hit.png", DrawSymbolTile(Symbol::Ring, true, ring, triangle), error) &&
         context.AddMesh("game/object/rotation_door_symbols.x", MakeDoorSymbols(), error);
}

}  // namespace contentgen
