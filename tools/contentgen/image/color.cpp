// Colour helpers.
#include "image/color.h"

#include <algorithm>
#include <cctype>

namespace contentgen {

// 0xRRGGBB to floats.
Color HexColor(uint32_t rgb, float alpha)
{
  return {((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f, (rgb & 0xFF) / 255.0f, alpha};
}

// Straight lerp of every channel.
Color Mix(Color a, Color b, float t)
{
  t = std::clamp(t, 0.0f, 1.0f);
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

// Replaces alpha.
Color WithAlpha(Color c, float alpha)
{
  c.a = alpha;
  return c;
}

// Scales RGB, clamped to 1.
Color Scale(Color c, float factor)
{
  return {std::min(c.r * factor, 1.0f), std::min(c.g * factor, 1.0f), std::min(c.b * factor, 1.0f), c.a};
}

// "#RRGGBB[AA]".
bool ParseHexColor(const std::string& text, Color* color)
{
  if (text.size() != 7 && text.size() != 9) return false;
  if (text[0] != '#') return false;
  uint32_t value = 0;
  for (size_t i = 1; i < text.size(); ++i) {
    const char ch = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
    if (ch >= '0' && ch <= '9') {
      value = value * 16 + static_cast<uint32_t>(ch - '0');
    } else if (ch >= 'a' && ch <= 'f') {
      value = value * 16 + static_cast<uint32_t>(ch - 'a' + 10);
    } else {
      return false;
    }
  }
  if (text.size() == 7) {
    *color = HexColor(value);
  } else {
    *color = HexColor(value >> 8, (value & 0xFF) / 255.0f);
  }
  return true;
}

}  // namespace contentgen
