// Affine transforms for mesh building.
#include "mesh/vec.h"

namespace stagebuild {

namespace {
const float kDegrees = 0.017453292f;
}

// a then b.
Transform Combine(const Transform& a, const Transform& b)
{
  Transform r;
  for (int i = 0; i < 3; ++i) r.m[i] = b.Direction(a.m[i]);
  r.t = b.Point(a.t);
  return r;
}

// Moves by (x, y, z).
Transform Translation(float x, float y, float z)
{
  Transform r;
  r.t = {x, y, z};
  return r;
}

// Scales each axis.
Transform Scaling(float x, float y, float z)
{
  Transform r;
  r.m[0] = {x, 0, 0};
  r.m[1] = {0, y, 0};
  r.m[2] = {0, 0, z};
  return r;
}

// D3DXMatrixRotationX: y' = y cos - z sin, z' = y sin + z cos.
Transform RotationX(float degrees)
{
  const float c = std::cos(degrees * kDegrees), s = std::sin(degrees * kDegrees);
  Transform r;
  r.m[1] = {0, c, s};
  r.m[2] = {0, -s, c};
  return r;
}

// D3DXMatrixRotationY: x' = x cos + z sin, z' = -x sin + z cos.
Transform RotationY(float degrees)
{
  const float c = std::cos(degrees * kDegrees), s = std::sin(degrees * kDegrees);
  Transform r;
  r.m[0] = {c, 0, -s};
  r.m[2] = {s, 0, c};
  return r;
}

// D3DXMatrixRotationZ: x' = x cos - y sin, y' = x sin + y cos.
Transform RotationZ(float degrees)
{
  const float c = std::cos(degrees * kDegrees), s = std::sin(degrees * kDegrees);
  Transform r;
  r.m[0] = {c, s, 0};
  r.m[1] = {-s, c, 0};
  return r;
}

// Determinant of the 3x3 part.
float Determinant(const Transform& a)
{
  return Dot(a.m[0], Cross(a.m[1], a.m[2]));
}

// Inverse transpose of the 3x3 part (the translation is dropped).
Transform NormalTransform(const Transform& a)
{
  const float det = Determinant(a);
  Transform r;
  if (det == 0) return r;
  // Rows of the inverse transpose are the cofactor rows divided by the determinant.
  r.m[0] = Cross(a.m[1], a.m[2]) * (1.0f / det);
  r.m[1] = Cross(a.m[2], a.m[0]) * (1.0f / det);
  r.m[2] = Cross(a.m[0], a.m[1]) * (1.0f / det);
  return r;
}

}  // namespace stagebuild
