// Colour symbols: with the colour_symbols setting, each magic colour also carries a
// shape, so that it is told apart without its hue: blue (attraction) a ring, red
// (repulsion) a triangle. The 3D side lives here: the symbol pattern drawn over a hit
// glow and the marks on the rotation door's two discs. The HUD's symbols are in
// sprite/sprite_symbols.*. The pictures come from the content generator.
#pragma once

#include "d3dx9math.h"

namespace OstrelLibrary {
class CMesh;
}

// Whether the player asked for the symbols (off: the pictures as the game was made).
bool ColourSymbolsShown();

// Draws the colour's symbol pattern over a hit overlay shell (already placed in the
// toon effect's world matrix), opaque and unlit so that the shapes read against the
// glow; nothing for colour None. The caller restores the blend and effect states.
void DrawHitSymbols(const OstrelLibrary::CMesh& overlay, int colour);

// Draws the ring on the blue disc and the triangle on the red disc of a rotation door
// at its world matrix, on both faces.
void DrawDoorSymbols(const D3DXMATRIX& world);
