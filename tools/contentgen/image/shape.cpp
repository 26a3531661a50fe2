// Signed distance functions of the canvas shapes.
#include "image/shape.h"

#include <algorithm>
#include <cmath>

namespace contentgen {

namespace {
const float kPi = 3.14159265358979f;
}

// Distance to the circle.
float CCircle::Distance(float x, float y) const
{
  return std::hypot(x - cx, y - cy) - radius;
}

// Square round the circle.
Rect CCircle::Bounds() const
{
  return {cx - radius, cy - radius, cx + radius, cy + radius};
}

// A close approximation of the ellipse distance (exact on the axes), good for edges.
float CEllipse::Distance(float x, float y) const
{
  const float px = (x - cx), py = (y - cy);
  const float k0 = std::hypot(px / rx, py / ry);
  const float k1 = std::hypot(px / (rx * rx), py / (ry * ry));
  if (k1 == 0) return -std::min(rx, ry);
  return k0 * (k0 - 1.0f) / k1;
}

// Box of the two radii.
Rect CEllipse::Bounds() const
{
  return {cx - rx, cy - ry, cx + rx, cy + ry};
}

// Box distance with the corners rounded.
float CRoundedRect::Distance(float x, float y) const
{
  const float hx = (box.x1 - box.x0) * 0.5f, hy = (box.y1 - box.y0) * 0.5f;
  const float r = std::min({radius, hx, hy});
  const float qx = std::fabs(x - (box.x0 + hx)) - hx + r, qy = std::fabs(y - (box.y0 + hy)) - hy + r;
  const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
  return outside + std::min(std::max(qx, qy), 0.0f) - r;
}

// The rectangle itself.
Rect CRoundedRect::Bounds() const
{
  return box;
}

// Nearest edge distance, signed by the even-odd crossing count.
float CPolygon::Distance(float x, float y) const
{
  if (points.size() < 3) return 1e9f;
  float best = 1e30f;
  bool inside = false;
  const size_t n = points.size();
  for (size_t i = 0, j = n - 1; i < n; j = i++) {
    const Vec2 a = points[j], b = points[i];
    const float ex = b.x - a.x, ey = b.y - a.y, wx = x - a.x, wy = y - a.y;
    const float len2 = ex * ex + ey * ey;
    const float t = len2 > 0 ? std::clamp((wx * ex + wy * ey) / len2, 0.0f, 1.0f) : 0.0f;
    const float dx = wx - ex * t, dy = wy - ey * t;
    best = std::min(best, dx * dx + dy * dy);
    if ((a.y > y) != (b.y > y) && x < a.x + (y - a.y) * ex / ey) inside = !inside;
  }
  const float d = std::sqrt(best);
  return inside ? -d : d;
}

// Box of the corners.
Rect CPolygon::Bounds() const
{
  Rect r{1e30f, 1e30f, -1e30f, -1e30f};
  for (const Vec2 p : points) {
    r.x0 = std::min(r.x0, p.x);
    r.y0 = std::min(r.y0, p.y);
    r.x1 = std::max(r.x1, p.x);
    r.y1 = std::max(r.y1, p.y);
  }
  return r;
}

// Distance to the segment minus half the width.
float CLine::Distance(float x, float y) const
{
  const float ex = b.x - a.x, ey = b.y - a.y, wx = x - a.x, wy = y - a.y;
  const float len2 = ex * ex + ey * ey;
  const float t = len2 > 0 ? std::clamp((wx * ex + wy * ey) / len2, 0.0f, 1.0f) : 0.0f;
  return std::hypot(wx - ex * t, wy - ey * t) - width * 0.5f;
}

// Box of the end points grown by half the width.
Rect CLine::Bounds() const
{
  const float h = width * 0.5f;
  return {std::min(a.x, b.x) - h, std::min(a.y, b.y) - h, std::max(a.x, b.x) + h, std::max(a.y, b.y) + h};
}

// The shape's box, moved.
Rect COffsetShape::Bounds() const
{
  const Rect r = shape.Bounds();
  return {r.x0 + dx, r.y0 + dy, r.x1 + dx, r.y1 + dy};
}

// Inside both: the larger of the two distances.
float CIntersection::Distance(float x, float y) const
{
  return std::max(a.Distance(x, y), b.Distance(x, y));
}

// Overlap of the two boxes.
Rect CIntersection::Bounds() const
{
  const Rect ra = a.Bounds(), rb = b.Bounds();
  return {std::max(ra.x0, rb.x0), std::max(ra.y0, rb.y0), std::min(ra.x1, rb.x1), std::min(ra.y1, rb.y1)};
}

// Alternating outer and inner corners, the first outer one at the rotation (0 = up).
std::vector<Vec2> StarPoints(float cx, float cy, float outer, float inner, int points, float rotationDegrees)
{
  std::vector<Vec2> result;
  for (int i = 0; i < points * 2; ++i) {
    const float angle = rotationDegrees * kPi / 180.0f + kPi * static_cast<float>(i) / points;
    const float r = (i % 2 == 0) ? outer : inner;
    result.push_back({cx + r * std::sin(angle), cy - r * std::cos(angle)});
  }
  return result;
}

// Corners of a regular polygon, the first at the rotation (0 = up).
std::vector<Vec2> RegularPolygonPoints(float cx, float cy, float radius, int sides, float rotationDegrees)
{
  std::vector<Vec2> result;
  for (int i = 0; i < sides; ++i) {
    const float angle = rotationDegrees * kPi / 180.0f + 2.0f * kPi * static_cast<float>(i) / sides;
    result.push_back({cx + radius * std::sin(angle), cy - radius * std::cos(angle)});
  }
  return result;
}

}  // namespace contentgen
