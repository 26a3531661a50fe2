// The HUD's colour symbols (the colour_symbols setting, asked through
// ColourSymbolsShown in actor/colour_symbols.h): a ring for blue (attraction) and a
// triangle for red (repulsion), drawn beside the crosshair while a colour's ray holds
// a target and beside the orb message for the magic it announces.
#pragma once

#include "d3dx9math.h"

class CSceneGame;

// The colour's symbol centred on (x, y) in back-buffer pixels at an opacity (0..255);
// nothing for a colour without a symbol.
void DrawColourSymbol(int colour, float x, float y, int alpha);

// Beside the crosshair centred on (x, y): the ring to the left while the blue ray holds
// a target, the triangle to the right while the red one does.
void DrawLockSymbols(const CSceneGame& scene, float x, float y);
