// Lettering: white text shaded by a gradient, its alpha grown into an outline, and
// the shared menu button plate.
#include "art/lettering.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace contentgen {

// The outline colour is the palette's; the shadow keeps its usual opacity.
LetteringStyle LightStyle(const CPalette& palette, Color top, Color bottom, float outline, float shadow)
{
  LetteringStyle style;
  style.top = top;
  style.bottom = bottom;
  style.outline = palette.Get("outline");
  style.outlineWidth = outline;
  style.shadowOffset = shadow;
  return style;
}

// A brute-force disc maximum: the pictures are small and built once per run.
CCanvas GrowAlpha(const CCanvas& source, float radius, Color color)
{
  const int reach = static_cast<int>(std::ceil(radius + 1));
  struct Offset {
    int dx, dy;
    float weight;
  };
  std::vector<Offset> offsets;
  for (int dy = -reach; dy <= reach; ++dy) {
    for (int dx = -reach; dx <= reach; ++dx) {
      const float weight = std::clamp(radius + 0.5f - std::sqrt(static_cast<float>(dx * dx + dy * dy)), 0.0f, 1.0f);
      if (weight > 0) offsets.push_back({dx, dy, weight});
    }
  }
  const int width = source.Width(), height = source.Height();
  std::vector<float> alpha(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) alpha[static_cast<size_t>(y) * width + x] = source.Pixel(x, y).a;

  CCanvas grown(width, height);
  grown.Clear({0, 0, 0, 0});
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      float best = 0;
      for (const Offset& o : offsets) {
        const int sx = x + o.dx, sy = y + o.dy;
        if (sx < 0 || sy < 0 || sx >= width || sy >= height) continue;
        best = std::max(best, alpha[static_cast<size_t>(sy) * width + sx] * o.weight);
        if (best >= 1.0f) break;
      }
      if (best > 0) grown.SetPixel(x, y, WithAlpha(color, color.a * best));
    }
  }
  return grown;
}

// Text in white first, so the gradient can be laid over exactly the ink.
bool DrawLettering(const CFont& font, CCanvas* canvas, const std::string& text, Rect box, float maxPixelHeight,
                   const LetteringStyle& style, std::string* error)
{
  CCanvas ink(canvas->Width(), canvas->Height());
  ink.Clear({0, 0, 0, 0});
  Rect bounds;
  if (!font.DrawText(&ink, text, box, maxPixelHeight, TextAlign::Centre, Color{1, 1, 1, 1}, &bounds, error)) {
    return false;
  }
  const float top = bounds.y0, span = std::max(1.0f, bounds.y1 - bounds.y0);
  ink.Shade([&](float, float y, Color current) {
    const Color fill = Mix(style.top, style.bottom, std::clamp((y - top) / span, 0.0f, 1.0f));
    return WithAlpha(fill, current.a);
  });
  const CCanvas outline = GrowAlpha(ink, style.outlineWidth, style.outline);
  if (style.shadowOffset > 0) {
    canvas->Composite(outline, 0, static_cast<int>(style.shadowOffset), style.shadowOpacity);
  }
  canvas->Composite(outline, 0, 0);
  canvas->Composite(ink, 0, 0);
  return true;
}

// The shadow first, then the fill and the rim on top of it.
CRoundedRect DrawPlate(CCanvas* canvas, const CPalette& palette, const PlateLook& look)
{
  const float w = static_cast<float>(canvas->Width()), h = static_cast<float>(canvas->Height());
  const CRoundedRect plate(look.inset, look.inset, w - look.inset, h - look.bottomInset, look.radius);
  canvas->DropShadow(plate, 0, look.shadowOffset, look.shadowBlur, WithAlpha(palette.Get("outline"), 0.5f));
  canvas->Fill(plate, CPaint::Linear(0, look.inset, 0, h - look.bottomInset,
                                     {{0, look.top}, {1, WithAlpha(palette.Get("outline"), look.bottomAlpha)}}));
  canvas->Stroke(plate, look.rim, CPaint::Solid(palette.Get("gold")));
  return plate;
}

// The caption takes the upper two thirds, the Latin line the rest.
bool DrawMenuButton(const CArtContext& context, int width, int height, const std::string& caption,
                    const std::string& latin, CCanvas* canvas, std::string* error)
{
  const CPalette& palette = context.palette;
  const float w = static_cast<float>(width), h = static_cast<float>(height);
  const Color top = WithAlpha(Mix(palette.Get("outline"), palette.Get("robe_dark"), 0.4f), 0.85f);
  DrawPlate(canvas, palette, PlateLook{6, 8, (h - 14) * 0.5f, 3, 4, top, 0.9f, 3});
  const CRoundedRect inner(12, 12, w - 12, h - 14, (h - 26) * 0.5f);
  canvas->Stroke(inner, 1.2f, CPaint::Solid(WithAlpha(palette.Get("light_warm"), 0.35f)));

  const LetteringStyle big = LightStyle(palette, palette.Get("light_warm"), palette.Get("shade_mid"), 4, 3);
  const float captionBottom = h * 0.66f;
  if (!DrawLettering(context.font, canvas, caption, Rect{24, 10, w - 24, captionBottom}, h * 0.5f, big, error)) {
    return false;
  }
  LetteringStyle small = big;
  small.top = palette.Get("gold");
  small.bottom = palette.Get("gold");
  small.outlineWidth = 2.5f;
  small.shadowOffset = 0;
  return DrawLettering(context.font, canvas, latin, Rect{24, captionBottom - 4, w - 24, h - 14}, h * 0.2f, small,
                       error);
}

}  // namespace contentgen
