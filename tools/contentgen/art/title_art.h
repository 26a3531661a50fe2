// The title screen's pictures and the in-game menu pictures.
#pragma once

#include <string>

#include "art/art_context.h"

namespace contentgen {

// A cloud of overlapping puffs centred at (cx, cy), `size` across a puff, composited at
// an opacity; lineWidth 0 draws it without a line (far away).
void DrawCloud(CCanvas* canvas, const CPalette& palette, float cx, float cy, float size, float opacity,
               float lineWidth);
// The title's sky: the sun top-left, far clouds and islands, the cloud sea below.
CCanvas DrawSky(const CPalette& palette);
// The tower, its centre line at cx, its star near the top edge, its body below y 720.
void DrawTower(CCanvas* canvas, const CPalette& palette, float cx);
// The mage's sleeve from (x0, y0) to (x1, y1) and its gloved hand.
void DrawArm(CCanvas* canvas, const CPalette& palette, float x0, float y0, float x1, float y1);
// A four-pointed spark of magic, core and halo named from the palette.
void DrawSpark(CCanvas* canvas, const CPalette& palette, float x, float y, float size, const char* core,
               const char* halo);

// The mage's rock, boots, robe and head, in the title's proportions; oy moves the figure down.
void DrawMageRock(CCanvas* canvas, const CPalette& palette, float cx, float oy);
void DrawMageBoots(CCanvas* canvas, const CPalette& palette, float cx, float oy);
void DrawMageRobe(CCanvas* canvas, const CPalette& palette, float cx, float oy);
void DrawMageHead(CCanvas* canvas, const CPalette& palette, float hx, float hy);

// res/title/picture/*.png and res/title/char/*.png.
bool GenerateTitleArt(CArtContext& context, std::string* error);
// The records page's button, heading and back button under res/title/char/.
bool GenerateRecordsArt(CArtContext& context, std::string* error);
// The stage sets' chooser: its title button and its heading.
bool GenerateStageSetsArt(CArtContext& context, std::string* error);
// The pause and return-to-title menus under res/game/sprite/.
bool GenerateMenuArt(CArtContext& context, std::string* error);

}  // namespace contentgen
