// The pictures and meshes of the effects and of the magic: the billboard strips (blast,
// landing dust, water drop, torch flame, the two charges), the two beam textures, the
// particle and ring meshes, the metal block with its two glowing hit shells, and the
// crosshair. Blue is attraction (round, soft, flowing), red repulsion (pointed, sharp).
#pragma once

#include <string>

#include "image/canvas.h"

namespace contentgen {

class CArtContext;
// Writes game/effect/*, game/object/metal_block.x (+ its shells) and game/sprite/alignment.png.
bool GenerateEffectArt(CArtContext& context, std::string* error);
// Writes the magic's pictures and meshes (called by GenerateEffectArt).
bool GenerateMagicArt(CArtContext& context, std::string* error);

// Draws one cell of a strip: t runs from 0 (first cell) to 1 (last).
using CellPainter = void (*)(CCanvas* cell, float t, int index, const void* data);
// Lays cells drawn one by one side by side into a strip `count` cells wide.
CCanvas MakeStrip(int count, int cellWidth, int cellHeight, CellPainter draw, const void* data);

}  // namespace contentgen
