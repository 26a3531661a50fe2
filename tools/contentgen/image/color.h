// Colours for the picture tools: straight (not premultiplied) RGBA floats in 0..1.
#pragma once

#include <cstdint>
#include <string>

namespace contentgen {

struct Color {
  float r = 0, g = 0, b = 0, a = 0;
};

// Opaque colour from 0xRRGGBB.
Color HexColor(uint32_t rgb, float alpha = 1.0f);
// Linear blend a..b by t (0..1), alpha included.
Color Mix(Color a, Color b, float t);
// Same colour with another alpha.
Color WithAlpha(Color c, float alpha);
// Multiplies the RGB channels (a shade or a tint).
Color Scale(Color c, float factor);
// Parses "#RRGGBB" or "#RRGGBBAA"; false when it is not one.
bool ParseHexColor(const std::string& text, Color* color);

}  // namespace contentgen
