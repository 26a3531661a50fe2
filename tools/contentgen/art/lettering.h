// Lettering for the menus and the logo: text set in the game's font with a vertical
// colour gradient, a thick toon outline and a soft shadow, and the button plate the
// menus share. Used by the title and menu picture generators.
#pragma once

#include <string>

#include "art/art_context.h"
#include "image/canvas.h"

namespace contentgen {

struct LetteringStyle {
  Color top;      // fill at the top of the ink
  Color bottom;   // fill at the bottom of the ink
  Color outline;  // the toon line round every glyph
  float outlineWidth = 6;
  float shadowOffset = 4;  // straight down; 0 for none
  float shadowOpacity = 0.45f;
};

// Sets one line of text inside the box (the largest size up to maxPixelHeight that
// fits) in the style; false with the font's message when a glyph is missing.
bool DrawLettering(const CFont& font, CCanvas* canvas, const std::string& text, Rect box, float maxPixelHeight,
                   const LetteringStyle& style, std::string* error);

// Light lettering with the game's dark outline: the style every menu and banner uses.
LetteringStyle LightStyle(const CPalette& palette, Color top, Color bottom, float outline, float shadow);

// A canvas whose alpha is the source's alpha grown by `radius` pixels, in one colour.
CCanvas GrowAlpha(const CCanvas& source, float radius, Color color);

// The dark plate under menus, banners and narration: where it sits on the canvas, its
// corners, its drop shadow, the colour at its top (it darkens to the outline colour at
// the bottom) and the width of its gold rim.
struct PlateLook {
  float inset, bottomInset, radius;
  float shadowOffset, shadowBlur;
  Color top;
  float bottomAlpha, rim;
};

// Draws the plate across the canvas and returns its shape.
CRoundedRect DrawPlate(CCanvas* canvas, const CPalette& palette, const PlateLook& look);

// A menu button: a dark translucent plate with a gold rim, a Japanese caption over a
// small Latin one, all light so the game's yellow hover tint shows on every part.
bool DrawMenuButton(const CArtContext& context, int width, int height, const std::string& caption,
                    const std::string& latin, CCanvas* canvas, std::string* error);

}  // namespace contentgen
