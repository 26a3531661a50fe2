// Small vector and affine-matrix helpers for building meshes. Row vectors and a
// left-handed frame, as the game's D3DX math: a point is transformed as p * M.
#pragma once

#include <cmath>

namespace stagebuild {

struct Vec2 {
  float x = 0, y = 0;
};

struct Vec3 {
  float x = 0, y = 0, z = 0;
};

inline Vec3 operator+(Vec3 a, Vec3 b)
{
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b)
{
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(Vec3 a, float s)
{
  return {a.x * s, a.y * s, a.z * s};
}
inline float Dot(Vec3 a, Vec3 b)
{
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 Cross(Vec3 a, Vec3 b)
{
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(Vec3 a)
{
  return std::sqrt(Dot(a, a));
}

// Unit vector along a; a zero vector stays zero.
inline Vec3 Normalize(Vec3 a)
{
  const float len = Length(a);
  return len > 0 ? a * (1.0f / len) : a;
}

// An affine transform: 3x3 linear part in rows m[0..2], translation in row t.
struct Transform {
  Vec3 m[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  Vec3 t;

  // p * M, as D3DXVec3TransformCoord.
  Vec3 Point(Vec3 p) const { return m[0] * p.x + m[1] * p.y + m[2] * p.z + t; }
  // The linear part only, as D3DXVec3TransformNormal (callers renormalise).
  Vec3 Direction(Vec3 d) const { return m[0] * d.x + m[1] * d.y + m[2] * d.z; }
};

// a then b (a * b in row-vector order).
Transform Combine(const Transform& a, const Transform& b);
Transform Translation(float x, float y, float z);
Transform Scaling(float x, float y, float z);
// Rotations by degrees, as D3DXMatrixRotationX/Y/Z.
Transform RotationX(float degrees);
Transform RotationY(float degrees);
Transform RotationZ(float degrees);
// Determinant of the linear part; negative for a mirroring transform.
float Determinant(const Transform& a);
// Inverse transpose of the linear part, for carrying normals.
Transform NormalTransform(const Transform& a);

}  // namespace stagebuild
