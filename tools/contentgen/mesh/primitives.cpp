// Parametric mesh primitives. Winding rule used throughout: for a front face
// (a, b, c), Cross(b - a, c - a) points out of the solid.
#include "mesh/primitives.h"

#include <algorithm>
#include <cmath>

namespace contentgen {

namespace {

const float kPi = 3.14159265358979f;

// Point on the unit circle for segment j of n, exactly repeating at j = n so seams weld.
void RingDirection(int j, int n, float* s, float* c)
{
  const float angle = 2.0f * kPi * static_cast<float>(j % n) / static_cast<float>(n);
  *s = std::sin(angle);
  *c = -std::cos(angle);
}

// Adds one face of a box-like grid: corners p = n*hn + u*s + v*t over the coordinate lists.
struct FaceFrame {
  Vec3 n, u, v;
};

const FaceFrame kBoxFaces[6] = {
    {{0, 0, 1}, {-1, 0, 0}, {0, -1, 0}},  {{0, 0, -1}, {1, 0, 0}, {0, -1, 0}}, {{1, 0, 0}, {0, 0, 1}, {0, -1, 0}},
    {{-1, 0, 0}, {0, 0, -1}, {0, -1, 0}}, {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}},  {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},
};

// Half size measured along a unit axis.
float HalfAlong(Vec3 half, Vec3 axis)
{
  return std::fabs(axis.x) * half.x + std::fabs(axis.y) * half.y + std::fabs(axis.z) * half.z;
}

// Signed area of a polygon (positive when counter-clockwise with y up).
float SignedArea(const std::vector<Vec2>& p)
{
  float area = 0;
  for (size_t i = 0; i < p.size(); ++i) {
    const Vec2 a = p[i], b = p[(i + 1) % p.size()];
    area += a.x * b.y - b.x * a.y;
  }
  return area * 0.5f;
}

// Cross product of (b - a) and (c - a) in 2D.
float Cross2(Vec2 a, Vec2 b, Vec2 c)
{
  return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

// True when p lies inside or on triangle abc (counter-clockwise).
bool InTriangle(Vec2 p, Vec2 a, Vec2 b, Vec2 c)
{
  return Cross2(a, b, p) >= 0 && Cross2(b, c, p) >= 0 && Cross2(c, a, p) >= 0;
}

// Removes triangles whose corners coincide (the fans at a lathe's poles).
void DropDegenerate(CMeshData* mesh)
{
  std::vector<Triangle> kept;
  for (const Triangle& t : mesh->triangles) {
    const Vec3 a = mesh->vertices[t.a].position, b = mesh->vertices[t.b].position;
    const Vec3 c = mesh->vertices[t.c].position;
    if (Length(Cross(b - a, c - a)) > 1e-12f) kept.push_back(t);
  }
  mesh->triangles.swap(kept);
}

}  // namespace

// Six hard faces.
CMeshData MakeBox(float sizeX, float sizeY, float sizeZ)
{
  CMeshData mesh;
  const Vec3 half{sizeX * 0.5f, sizeY * 0.5f, sizeZ * 0.5f};
  for (const FaceFrame& f : kBoxFaces) {
    const Vec3 centre = f.n * HalfAlong(half, f.n);
    const Vec3 u = f.u * HalfAlong(half, f.u), v = f.v * HalfAlong(half, f.v);
    const uint32_t a = mesh.AddVertex(centre - u - v, f.n, {0, 0});
    const uint32_t b = mesh.AddVertex(centre + u - v, f.n, {1, 0});
    const uint32_t c = mesh.AddVertex(centre + u + v, f.n, {1, 1});
    const uint32_t d = mesh.AddVertex(centre - u + v, f.n, {0, 1});
    mesh.AddQuad(a, b, c, d);
  }
  return mesh;
}

// A subdivided box whose points are pulled onto an inner box grown by the bevel radius.
CMeshData MakeBevelBox(float sizeX, float sizeY, float sizeZ, float bevel, int steps)
{
  CMeshData mesh;
  const Vec3 half{sizeX * 0.5f, sizeY * 0.5f, sizeZ * 0.5f};
  bevel = std::min({bevel, half.x, half.y, half.z});
  steps = std::max(steps, 1);
  const Vec3 inner{half.x - bevel, half.y - bevel, half.z - bevel};
  for (const FaceFrame& f : kBoxFaces) {
    // Grid coordinates along u and v: the bevel band in steps, then the flat part.
    std::vector<float> coords[2];
    const Vec3 axes[2] = {f.u, f.v};
    for (int k = 0; k < 2; ++k) {
      const float h = HalfAlong(half, axes[k]), r = bevel;
      for (int i = 0; i <= steps; ++i) coords[k].push_back(-h + r * static_cast<float>(i) / steps);
      if (h - r > 0) coords[k].push_back(h - r);
      for (int i = 1; i <= steps; ++i) coords[k].push_back(h - r + r * static_cast<float>(i) / steps);
    }
    const float hn = HalfAlong(half, f.n);
    const uint32_t base = static_cast<uint32_t>(mesh.vertices.size());
    const int columns = static_cast<int>(coords[0].size());
    for (size_t row = 0; row < coords[1].size(); ++row) {
      for (int col = 0; col < columns; ++col) {
        const Vec3 p = f.n * hn + f.u * coords[0][col] + f.v * coords[1][row];
        const Vec3 clamped{std::clamp(p.x, -inner.x, inner.x), std::clamp(p.y, -inner.y, inner.y),
                           std::clamp(p.z, -inner.z, inner.z)};
        const Vec3 dir = Normalize(p - clamped);
        const float hu = HalfAlong(half, f.u), hv = HalfAlong(half, f.v);
        const Vec2 uv{(coords[0][col] + hu) / (2 * hu), (coords[1][row] + hv) / (2 * hv)};
        mesh.AddVertex(clamped + dir * bevel, dir, uv);
      }
    }
    for (size_t row = 0; row + 1 < coords[1].size(); ++row) {
      for (int col = 0; col + 1 < columns; ++col) {
        const uint32_t a = base + static_cast<uint32_t>(row * columns + col);
        mesh.AddQuad(a, a + 1, a + 1 + columns, a + columns);
      }
    }
  }
  DropDegenerate(&mesh);
  return mesh;
}

// Rings down the profile, doubled at sharp points; quads between rings.
CMeshData MakeLathe(const std::vector<ProfilePoint>& profile, int segments)
{
  CMeshData mesh;
  const int count = static_cast<int>(profile.size());
  if (count < 2 || segments < 3) return mesh;
  // Outward normal of each profile segment in (radius, y).
  std::vector<Vec2> segmentNormal;
  std::vector<float> arc{0};
  for (int k = 0; k + 1 < count; ++k) {
    const float dr = profile[k + 1].radius - profile[k].radius, dy = profile[k + 1].y - profile[k].y;
    const float len = std::sqrt(dr * dr + dy * dy);
    segmentNormal.push_back(len > 0 ? Vec2{-dy / len, dr / len} : Vec2{1, 0});
    arc.push_back(arc.back() + len);
  }
  const float total = arc.back() > 0 ? arc.back() : 1;
  // Each ring: profile index and the 2D normal it carries.
  struct Ring {
    int k;
    Vec2 normal;
  };
  std::vector<Ring> rings;
  for (int k = 0; k < count; ++k) {
    const ProfilePoint& p = profile[k];
    if (k == 0 || k == count - 1) {
      const Vec2 n = segmentNormal[k == 0 ? 0 : k - 1];
      const bool pole = p.radius == 0 && !p.sharp;
      rings.push_back({k, pole ? Vec2{0, n.y >= 0 ? 1.0f : -1.0f} : n});
    } else if (p.sharp) {
      rings.push_back({k, segmentNormal[k - 1]});
      rings.push_back({k, segmentNormal[k]});
    } else {
      const Vec2 a = segmentNormal[k - 1], b = segmentNormal[k];
      const float len = std::sqrt((a.x + b.x) * (a.x + b.x) + (a.y + b.y) * (a.y + b.y));
      rings.push_back({k, len > 0 ? Vec2{(a.x + b.x) / len, (a.y + b.y) / len} : a});
    }
  }
  for (const Ring& ring : rings) {
    const ProfilePoint& p = profile[ring.k];
    for (int j = 0; j <= segments; ++j) {
      float s, c;
      RingDirection(j, segments, &s, &c);
      mesh.AddVertex({p.radius * s, p.y, p.radius * c}, {ring.normal.x * s, ring.normal.y, ring.normal.x * c},
                     {static_cast<float>(j) / segments, arc[ring.k] / total});
    }
  }
  const uint32_t stride = static_cast<uint32_t>(segments + 1);
  for (size_t r = 0; r + 1 < rings.size(); ++r) {
    if (rings[r].k == rings[r + 1].k) continue;  // the two rings of a sharp point
    for (int j = 0; j < segments; ++j) {
      const uint32_t upper = static_cast<uint32_t>(r) * stride + j, lower = upper + stride;
      mesh.AddQuad(upper, upper + 1, lower + 1, lower);
    }
  }
  DropDegenerate(&mesh);
  return mesh;
}

// Lathe of a rectangle.
CMeshData MakeCylinder(float radius, float height, int segments)
{
  const float h = height * 0.5f;
  return MakeLathe({{0, h}, {radius, h, true}, {radius, -h, true}, {0, -h}}, segments);
}

// Lathe of a triangle; the apex keeps the slanted normals.
CMeshData MakeCone(float radius, float height, int segments)
{
  const float h = height * 0.5f;
  return MakeLathe({{0, h, true}, {radius, -h, true}, {0, -h}}, segments);
}

// Lathe of a half circle.
CMeshData MakeSphere(float radius, int rings, int segments)
{
  std::vector<ProfilePoint> profile;
  rings = std::max(rings, 2);
  for (int i = 0; i <= rings; ++i) {
    const float theta = kPi * static_cast<float>(i) / rings;
    const bool pole = i == 0 || i == rings;
    profile.push_back({pole ? 0.0f : radius * std::sin(theta), radius * std::cos(theta)});
  }
  CMeshData mesh = MakeLathe(profile, segments);
  for (Vertex& v : mesh.vertices) v.normal = Normalize(v.position);
  return mesh;
}

// Two half spheres joined by a cylinder.
CMeshData MakeCapsule(float radius, float height, int rings, int segments)
{
  const float straight = std::max(height - 2 * radius, 0.0f) * 0.5f;
  std::vector<ProfilePoint> profile;
  rings = std::max(rings, 2);
  for (int i = 0; i <= rings; ++i) {  // top half sphere, pole first
    const float theta = 0.5f * kPi * static_cast<float>(i) / rings;
    profile.push_back({i == 0 ? 0.0f : radius * std::sin(theta), straight + radius * std::cos(theta)});
  }
  for (int i = 0; i <= rings; ++i) {  // bottom half sphere
    const float theta = 0.5f * kPi + 0.5f * kPi * static_cast<float>(i) / rings;
    profile.push_back({i == rings ? 0.0f : radius * std::sin(theta), -straight + radius * std::cos(theta)});
  }
  if (straight == 0) profile.erase(profile.begin() + rings + 1);  // equator twice
  return MakeLathe(profile, segments);
}

// Tube swept round the y axis with analytic normals.
CMeshData MakeTorus(float ringRadius, float tubeRadius, int segments, int sides)
{
  CMeshData mesh;
  for (int k = 0; k <= sides; ++k) {
    // Start at the top of the tube and go outwards first, so the winding matches the lathe.
    const float alpha = 0.5f * kPi - 2.0f * kPi * static_cast<float>(k % sides) / sides;
    const float nr = std::cos(alpha), ny = std::sin(alpha);
    for (int j = 0; j <= segments; ++j) {
      float s, c;
      RingDirection(j, segments, &s, &c);
      const float r = ringRadius + tubeRadius * nr;
      mesh.AddVertex({r * s, tubeRadius * ny, r * c}, {nr * s, ny, nr * c},
                     {static_cast<float>(j) / segments, static_cast<float>(k) / sides});
    }
  }
  const uint32_t stride = static_cast<uint32_t>(segments + 1);
  for (int k = 0; k < sides; ++k) {
    for (int j = 0; j < segments; ++j) {
      const uint32_t upper = static_cast<uint32_t>(k) * stride + j, lower = upper + stride;
      mesh.AddQuad(upper, upper + 1, lower + 1, lower);
    }
  }
  return mesh;
}

// Ear clipping on a counter-clockwise copy of the outline.
std::vector<int> TriangulatePolygon(const std::vector<Vec2>& outline)
{
  std::vector<int> result, remaining;
  const int n = static_cast<int>(outline.size());
  if (n < 3) return result;
  for (int i = 0; i < n; ++i) remaining.push_back(i);
  if (SignedArea(outline) < 0) std::reverse(remaining.begin(), remaining.end());
  int guard = 0;
  while (remaining.size() > 3 && guard < n * n) {
    ++guard;
    const int m = static_cast<int>(remaining.size());
    bool clipped = false;
    for (int i = 0; i < m; ++i) {
      const int ia = remaining[(i + m - 1) % m], ib = remaining[i], ic = remaining[(i + 1) % m];
      const Vec2 a = outline[ia], b = outline[ib], c = outline[ic];
      if (Cross2(a, b, c) <= 0) continue;  // reflex corner
      bool empty = true;
      for (const int other : remaining) {
        if (other == ia || other == ib || other == ic) continue;
        if (InTriangle(outline[other], a, b, c)) {
          empty = false;
          break;
        }
      }
      if (!empty) continue;
      result.insert(result.end(), {ia, ib, ic});
      remaining.erase(remaining.begin() + i);
      clipped = true;
      break;
    }
    if (!clipped) return {};
  }
  if (remaining.size() == 3) result.insert(result.end(), {remaining[0], remaining[1], remaining[2]});
  return result;
}

// Two caps and a band of hard-edged side quads.
CMeshData MakeExtrusion(const std::vector<Vec2>& outline, float depth)
{
  CMeshData mesh;
  std::vector<Vec2> ccw = outline;
  if (SignedArea(ccw) < 0) std::reverse(ccw.begin(), ccw.end());
  const std::vector<int> tris = TriangulatePolygon(ccw);
  if (tris.empty()) return mesh;
  float minX = ccw[0].x, maxX = ccw[0].x, minY = ccw[0].y, maxY = ccw[0].y;
  for (const Vec2 p : ccw) {
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
  }
  const float w = std::max(maxX - minX, 1e-6f), h = std::max(maxY - minY, 1e-6f);
  const float z0 = -depth * 0.5f, z1 = depth * 0.5f;
  const int n = static_cast<int>(ccw.size());
  // Caps: the back (+z) keeps the counter-clockwise order, the front (-z) reverses it.
  for (int side = 0; side < 2; ++side) {
    const float z = side == 0 ? z0 : z1;
    const Vec3 normal{0, 0, side == 0 ? -1.0f : 1.0f};
    const uint32_t base = static_cast<uint32_t>(mesh.vertices.size());
    for (const Vec2 p : ccw) {
      const float u = side == 0 ? (maxX - p.x) / w : (p.x - minX) / w;
      mesh.AddVertex({p.x, p.y, z}, normal, {u, (maxY - p.y) / h});
    }
    for (size_t t = 0; t + 2 < tris.size(); t += 3) {
      const uint32_t a = base + tris[t], b = base + tris[t + 1], c = base + tris[t + 2];
      if (side == 0) {
        mesh.AddTriangle(a, c, b);
      } else {
        mesh.AddTriangle(a, b, c);
      }
    }
  }
  // Sides: u along the perimeter, v across the depth.
  float perimeter = 0;
  for (int i = 0; i < n; ++i) {
    const Vec2 a = ccw[i], b = ccw[(i + 1) % n];
    perimeter += std::hypot(b.x - a.x, b.y - a.y);
  }
  float walked = 0;
  for (int i = 0; i < n; ++i) {
    const Vec2 a = ccw[i], b = ccw[(i + 1) % n];
    const float len = std::hypot(b.x - a.x, b.y - a.y);
    if (len <= 0) continue;
    const Vec3 normal{(b.y - a.y) / len, -(b.x - a.x) / len, 0};
    const float u0 = walked / perimeter, u1 = (walked + len) / perimeter;
    walked += len;
    const uint32_t p0 = mesh.AddVertex({a.x, a.y, z0}, normal, {u0, 0});
    const uint32_t p1 = mesh.AddVertex({b.x, b.y, z0}, normal, {u1, 0});
    const uint32_t p2 = mesh.AddVertex({b.x, b.y, z1}, normal, {u1, 1});
    const uint32_t p3 = mesh.AddVertex({a.x, a.y, z1}, normal, {u0, 1});
    mesh.AddQuad(p0, p1, p2, p3);
  }
  return mesh;
}

}  // namespace contentgen
