// An RGBA picture in memory and the drawing operations the game's 2D art needs:
// anti-aliased fills and outlines of shapes, soft glows, drop shadows, per-pixel
// shading and compositing of one canvas onto another. Pixels are kept premultiplied
// in floats; pixel (x, y) covers [x, x+1) x [y, y+1), row 0 at the top.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "image/color.h"
#include "image/paint.h"
#include "image/shape.h"

namespace contentgen {

class CCanvas {
public:
  CCanvas(int width, int height);

  int Width() const { return width; }
  int Height() const { return height; }

  // Every pixel set to one colour.
  void Clear(Color color);
  // Straight-alpha colour of a pixel (transparent outside the canvas).
  Color Pixel(int x, int y) const;
  // Overwrites one pixel.
  void SetPixel(int x, int y, Color color);
  // Blends a colour over a pixel with an extra coverage factor.
  void BlendPixel(int x, int y, Color color, float coverage);

  // Fills the inside of the shape, edges anti-aliased over one pixel.
  void Fill(const CShape& shape, const CPaint& paint);
  // Draws a band `width` wide centred on the shape's edge.
  void Stroke(const CShape& shape, float width, const CPaint& paint);
  // Draws an outline `width` wide just outside the edge (what a toon outline is).
  void OutlineOutside(const CShape& shape, float width, Color color);
  // A soft halo fading to nothing `radius` pixels outside the edge (inside stays full).
  void Glow(const CShape& shape, float radius, Color color);
  // The shape's soft shadow moved by (dx, dy), blurred over `softness` pixels.
  void DropShadow(const CShape& shape, float dx, float dy, float softness, Color color);
  // Blends the source canvas over this one at (x, y) with an opacity.
  void Composite(const CCanvas& source, int x, int y, float opacity = 1.0f);
  // Replaces every pixel with shader(x + 0.5, y + 0.5, current straight colour).
  void Shade(const std::function<Color(float x, float y, Color current)>& shader);

  // A canvas `factor` times smaller, each pixel the mean of a factor x factor block
  // (drawing large and shrinking gives small pictures such as the icon clean edges).
  CCanvas Downsample(int factor) const;
  // The canvas shrunk to any smaller size, each pixel the area-weighted mean of the
  // pixels it covers (for sizes the drawing size is not a multiple of, such as 48).
  CCanvas ShrinkTo(int newWidth, int newHeight) const;

  // 8-bit straight RGBA, row 0 first, for image writers.
  std::vector<uint8_t> ToRgba8() const;

private:
  int width, height;
  std::vector<Color> pixels;  // premultiplied

  // Runs coverage(x, y) over the pixels of the rectangle and blends the paint.
  void Cover(Rect bounds, const CPaint& paint, const std::function<float(float, float)>& coverage);
};

// Coverage of a pixel centre at signed distance d from an edge: 1 inside, 0 outside,
// a one-pixel linear ramp across the edge.
float EdgeCoverage(float d);

}  // namespace contentgen
