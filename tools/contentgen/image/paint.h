// What a shape is filled with: one colour, or a linear or radial gradient through
// colour stops, evaluated per pixel in canvas coordinates.
#pragma once

#include <vector>

#include "image/color.h"

namespace contentgen {

struct GradientStop {
  float position = 0;  // 0..1 along the gradient
  Color color;
};

class CPaint {
public:
  // A single colour.
  static CPaint Solid(Color color);
  // From (x0, y0) at position 0 to (x1, y1) at position 1.
  static CPaint Linear(float x0, float y0, float x1, float y1, std::vector<GradientStop> stops);
  // From the centre (position 0) out to the radius (position 1).
  static CPaint Radial(float cx, float cy, float radius, std::vector<GradientStop> stops);

  // Colour at a point.
  Color At(float x, float y) const;

private:
  enum class Kind { Solid, Linear, Radial };
  Kind kind = Kind::Solid;
  Color color;
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0, radius = 1;
  std::vector<GradientStop> stops;

  // Colour of the stops at t, clamped at both ends.
  Color AtStop(float t) const;
};

}  // namespace contentgen
