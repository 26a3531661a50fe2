// Canvas drawing. Every shape operation maps the shape's signed distance to a
// coverage and blends the paint "over" the existing pixels.
#include "image/canvas.h"

#include <algorithm>
#include <cmath>

namespace contentgen {

namespace {

// Straight to premultiplied.
Color Premultiply(Color c)
{
  return {c.r * c.a, c.g * c.a, c.b * c.a, c.a};
}

// Smooth 0..1 step between edge0 and edge1.
float SmoothStep(float edge0, float edge1, float x)
{
  const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
  return t * t * (3.0f - 2.0f * t);
}

// One output pixel's share of the source along one axis: first source pixel and the
// weight of each covered pixel (the part of it inside the output pixel's footprint).
struct Span {
  int first = 0;
  std::vector<float> weights;
};

// The footprints of `outSize` pixels laid evenly over `inSize` source pixels.
std::vector<Span> AreaSpans(int inSize, int outSize)
{
  std::vector<Span> spans(static_cast<size_t>(outSize));
  const double scale = static_cast<double>(inSize) / outSize;
  for (int i = 0; i < outSize; ++i) {
    const double from = i * scale, to = (i + 1) * scale;
    Span& span = spans[static_cast<size_t>(i)];
    span.first = static_cast<int>(from);
    for (int s = span.first; s < inSize && s < to; ++s) {
      span.weights.push_back(static_cast<float>((std::min<double>(s + 1, to) - std::max<double>(s, from)) / scale));
    }
  }
  return spans;
}

}  // namespace

// Linear ramp from 1 at half a pixel inside to 0 at half a pixel outside.
float EdgeCoverage(float d)
{
  return std::clamp(0.5f - d, 0.0f, 1.0f);
}

// A transparent canvas (at least 1 x 1).
CCanvas::CCanvas(int width, int height)
    : width(std::max(width, 1)), height(std::max(height, 1)), pixels(static_cast<size_t>(this->width) * this->height)
{
}

// Fills every pixel.
void CCanvas::Clear(Color color)
{
  std::fill(pixels.begin(), pixels.end(), Premultiply(color));
}

// Un-premultiplied read.
Color CCanvas::Pixel(int x, int y) const
{
  if (x < 0 || y < 0 || x >= width || y >= height) return {};
  const Color p = pixels[static_cast<size_t>(y) * width + x];
  if (p.a <= 0) return {0, 0, 0, 0};
  return {p.r / p.a, p.g / p.a, p.b / p.a, p.a};
}

// Overwrite.
void CCanvas::SetPixel(int x, int y, Color color)
{
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  pixels[static_cast<size_t>(y) * width + x] = Premultiply(color);
}

// Porter-Duff "over" with coverage.
void CCanvas::BlendPixel(int x, int y, Color color, float coverage)
{
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  const float a = std::clamp(color.a * coverage, 0.0f, 1.0f);
  if (a <= 0) return;
  Color& d = pixels[static_cast<size_t>(y) * width + x];
  const float keep = 1.0f - a;
  d = {color.r * a + d.r * keep, color.g * a + d.g * keep, color.b * a + d.b * keep, a + d.a * keep};
}

// Walks the pixels of a rectangle (grown by a pixel for the edge ramp).
void CCanvas::Cover(Rect bounds, const CPaint& paint, const std::function<float(float, float)>& coverage)
{
  const int x0 = std::max(0, static_cast<int>(std::floor(bounds.x0)) - 1);
  const int y0 = std::max(0, static_cast<int>(std::floor(bounds.y0)) - 1);
  const int x1 = std::min(width, static_cast<int>(std::ceil(bounds.x1)) + 1);
  const int y1 = std::min(height, static_cast<int>(std::ceil(bounds.y1)) + 1);
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const float cx = x + 0.5f, cy = y + 0.5f;
      const float c = coverage(cx, cy);
      if (c > 0) BlendPixel(x, y, paint.At(cx, cy), c);
    }
  }
}

// Inside of the shape.
void CCanvas::Fill(const CShape& shape, const CPaint& paint)
{
  Cover(shape.Bounds(), paint, [&](float x, float y) { return EdgeCoverage(shape.Distance(x, y)); });
}

// Band centred on the edge.
void CCanvas::Stroke(const CShape& shape, float strokeWidth, const CPaint& paint)
{
  const float h = strokeWidth * 0.5f;
  const Rect b = shape.Bounds();
  Cover({b.x0 - h, b.y0 - h, b.x1 + h, b.y1 + h}, paint,
        [&](float x, float y) { return EdgeCoverage(std::fabs(shape.Distance(x, y)) - h); });
}

// Band from the edge outwards; it meets the fill without a gap.
void CCanvas::OutlineOutside(const CShape& shape, float outlineWidth, Color color)
{
  const Rect b = shape.Bounds();
  Cover({b.x0 - outlineWidth, b.y0 - outlineWidth, b.x1 + outlineWidth, b.y1 + outlineWidth}, CPaint::Solid(color),
        [&](float x, float y) {
          const float d = shape.Distance(x, y);
          return std::min(EdgeCoverage(d - outlineWidth), 1.0f - EdgeCoverage(d + 0.5f));
        });
}

// Quadratic fall-off outside the edge.
void CCanvas::Glow(const CShape& shape, float radius, Color color)
{
  const Rect b = shape.Bounds();
  Cover({b.x0 - radius, b.y0 - radius, b.x1 + radius, b.y1 + radius}, CPaint::Solid(color), [&](float x, float y) {
    const float d = shape.Distance(x, y);
    if (d <= 0) return 1.0f;
    const float t = 1.0f - std::min(d / radius, 1.0f);
    return t * t;
  });
}

// Soft-edged copy of the shape, offset.
void CCanvas::DropShadow(const CShape& shape, float dx, float dy, float softness, Color color)
{
  const COffsetShape moved(shape, dx, dy);
  const Rect b = moved.Bounds();
  softness = std::max(softness, 0.5f);
  Cover({b.x0 - softness, b.y0 - softness, b.x1 + softness, b.y1 + softness}, CPaint::Solid(color),
        [&](float x, float y) { return 1.0f - SmoothStep(-softness, softness, moved.Distance(x, y)); });
}

// Source over destination, clipped to this canvas.
void CCanvas::Composite(const CCanvas& source, int ox, int oy, float opacity)
{
  for (int y = 0; y < source.height; ++y) {
    for (int x = 0; x < source.width; ++x) {
      BlendPixel(ox + x, oy + y, source.Pixel(x, y), opacity);
    }
  }
}

// Per-pixel replacement, for gradients built from noise and other procedural fills.
void CCanvas::Shade(const std::function<Color(float x, float y, Color current)>& shader)
{
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) SetPixel(x, y, shader(x + 0.5f, y + 0.5f, Pixel(x, y)));
  }
}

// Box filter over premultiplied pixels, so transparent edges do not darken.
CCanvas CCanvas::Downsample(int factor) const
{
  factor = std::max(factor, 1);
  CCanvas out(width / factor, height / factor);
  const float weight = 1.0f / static_cast<float>(factor * factor);
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) {
      Color sum;
      for (int dy = 0; dy < factor; ++dy) {
        for (int dx = 0; dx < factor; ++dx) {
          const Color p = pixels[static_cast<size_t>(y * factor + dy) * width + (x * factor + dx)];
          sum = {sum.r + p.r, sum.g + p.g, sum.b + p.b, sum.a + p.a};
        }
      }
      out.pixels[static_cast<size_t>(y) * out.width + x] = {sum.r * weight, sum.g * weight, sum.b * weight,
                                                            sum.a * weight};
    }
  }
  return out;
}

// Premultiplied, so transparent edges do not darken, as in Downsample.
CCanvas CCanvas::ShrinkTo(int newWidth, int newHeight) const
{
  CCanvas out(std::clamp(newWidth, 1, width), std::clamp(newHeight, 1, height));
  const std::vector<Span> columns = AreaSpans(width, out.width);
  const std::vector<Span> rows = AreaSpans(height, out.height);
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) {
      Color sum;
      const Span& row = rows[static_cast<size_t>(y)];
      const Span& column = columns[static_cast<size_t>(x)];
      for (size_t j = 0; j < row.weights.size(); ++j) {
        for (size_t i = 0; i < column.weights.size(); ++i) {
          const float w = row.weights[j] * column.weights[i];
          const Color p = pixels[(row.first + j) * width + column.first + i];
          sum = {sum.r + p.r * w, sum.g + p.g * w, sum.b + p.b * w, sum.a + p.a * w};
        }
      }
      out.pixels[static_cast<size_t>(y) * out.width + x] = sum;
    }
  }
  return out;
}

// Rounds to 8 bits per channel.
std::vector<uint8_t> CCanvas::ToRgba8() const
{
  std::vector<uint8_t> out(pixels.size() * 4);
  for (size_t i = 0; i < pixels.size(); ++i) {
    const Color p = pixels[i];
    const float a = std::clamp(p.a, 0.0f, 1.0f);
    const float inv = a > 0 ? 1.0f / a : 0.0f;
    const float channels[4] = {p.r * inv, p.g * inv, p.b * inv, a};
    for (int k = 0; k < 4; ++k) {
      out[i * 4 + k] = static_cast<uint8_t>(std::lround(std::clamp(channels[k], 0.0f, 1.0f) * 255.0f));
    }
  }
  return out;
}

}  // namespace contentgen
