// Solid colours and gradients.
#include "image/paint.h"

#include <cmath>

namespace contentgen {

// One colour everywhere.
CPaint CPaint::Solid(Color color)
{
  CPaint p;
  p.color = color;
  return p;
}

// Linear gradient along a segment.
CPaint CPaint::Linear(float x0, float y0, float x1, float y1, std::vector<GradientStop> stops)
{
  CPaint p;
  p.kind = Kind::Linear;
  p.x0 = x0;
  p.y0 = y0;
  p.x1 = x1;
  p.y1 = y1;
  p.stops = std::move(stops);
  return p;
}

// Radial gradient from a centre.
CPaint CPaint::Radial(float cx, float cy, float radius, std::vector<GradientStop> stops)
{
  CPaint p;
  p.kind = Kind::Radial;
  p.x0 = cx;
  p.y0 = cy;
  p.radius = radius;
  p.stops = std::move(stops);
  return p;
}

// Gradient parameter of the point, then the stop colour.
Color CPaint::At(float x, float y) const
{
  if (kind == Kind::Solid) return color;
  float t = 0;
  if (kind == Kind::Linear) {
    const float ex = x1 - x0, ey = y1 - y0;
    const float len2 = ex * ex + ey * ey;
    t = len2 > 0 ? ((x - x0) * ex + (y - y0) * ey) / len2 : 0;
  } else {
    t = radius > 0 ? std::hypot(x - x0, y - y0) / radius : 0;
  }
  return AtStop(t);
}

// Piecewise-linear interpolation between the stops.
Color CPaint::AtStop(float t) const
{
  if (stops.empty()) return {};
  if (t <= stops.front().position) return stops.front().color;
  for (size_t i = 1; i < stops.size(); ++i) {
    if (t <= stops[i].position) {
      const float span = stops[i].position - stops[i - 1].position;
      return Mix(stops[i - 1].color, stops[i].color, span > 0 ? (t - stops[i - 1].position) / span : 1);
    }
  }
  return stops.back().color;
}

}  // namespace contentgen
