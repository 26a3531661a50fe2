// 2D shapes for the canvas, each a signed distance in pixels (negative inside), so
// filling, stroking, glowing and shadowing share one anti-aliasing rule.
#pragma once

#include <vector>

#include "mesh/vec.h"

namespace contentgen {

// The mesh and stage types of the stage builder, used here as our own.
using namespace stagebuild;

struct Rect {
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

class CShape {
public:
  virtual ~CShape() = default;
  // Signed distance from (x, y) to the outline; negative inside.
  virtual float Distance(float x, float y) const = 0;
  // A rectangle holding every point with Distance <= 0.
  virtual Rect Bounds() const = 0;
};

class CCircle : public CShape {
public:
  CCircle(float cx, float cy, float radius) : cx(cx), cy(cy), radius(radius) {}
  float Distance(float x, float y) const override;
  Rect Bounds() const override;

private:
  float cx, cy, radius;
};

class CEllipse : public CShape {
public:
  CEllipse(float cx, float cy, float rx, float ry) : cx(cx), cy(cy), rx(rx), ry(ry) {}
  float Distance(float x, float y) const override;
  Rect Bounds() const override;

private:
  float cx, cy, rx, ry;
};

class CRoundedRect : public CShape {
public:
  CRoundedRect(float x0, float y0, float x1, float y1, float radius) : box{x0, y0, x1, y1}, radius(radius) {}
  float Distance(float x, float y) const override;
  Rect Bounds() const override;

private:
  Rect box;
  float radius;
};

// A closed polygon (even-odd inside rule), any winding.
class CPolygon : public CShape {
public:
  explicit CPolygon(std::vector<Vec2> points) : points(std::move(points)) {}
  float Distance(float x, float y) const override;
  Rect Bounds() const override;

private:
  std::vector<Vec2> points;
};

// A segment with round caps, `width` across.
class CLine : public CShape {
public:
  CLine(float x0, float y0, float x1, float y1, float width) : a{x0, y0}, b{x1, y1}, width(width) {}
  float Distance(float x, float y) const override;
  Rect Bounds() const override;

private:
  Vec2 a, b;
  float width;
};

// A shape moved by (dx, dy): the same outline drawn elsewhere (drop shadows).
class COffsetShape : public CShape {
public:
  COffsetShape(const CShape& shape, float dx, float dy) : shape(shape), dx(dx), dy(dy) {}
  float Distance(float x, float y) const override { return shape.Distance(x - dx, y - dy); }
  Rect Bounds() const override;

private:
  const CShape& shape;
  float dx, dy;
};

// The part of one shape inside another (clipping art to a frame).
class CIntersection : public CShape {
public:
  CIntersection(const CShape& a, const CShape& b) : a(a), b(b) {}
  float Distance(float x, float y) const override;
  Rect Bounds() const override;

private:
  const CShape& a;
  const CShape& b;
};

// Polygon helpers for art: a regular star and a regular polygon.
std::vector<Vec2> StarPoints(float cx, float cy, float outer, float inner, int points, float rotationDegrees);
std::vector<Vec2> RegularPolygonPoints(float cx, float cy, float radius, int sides, float rotationDegrees);

}  // namespace contentgen
