// Tests of mesh ray queries: D3DXIntersect's conventions on hand-checked cases, and the
// hierarchy answering exactly as the loop over all faces on thousands of awkward rays.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "test_shapes.h"
#include "xmesh_ray.h"

namespace {

// One triangle in the y = 0 plane: V0 (0,0,0), V1 (1,0,0), V2 (0,0,1).
CXMeshRayIndex OneTriangle()
{
  static const D3DXVECTOR3 p[3] = {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}};
  static const uint32_t i[3] = {0, 1, 2};
  CXMeshRayIndex index;
  index.Build(p, 3, i, 1);
  return index;
}

// Runs both searches and insists they agree exactly; returns the hierarchy's answer.
bool BothNearest(const CXMeshRayIndex& index, const D3DXVECTOR3& o, const D3DXVECTOR3& d, XMeshHit* hit)
{
  XMeshHit fromTree{}, fromLoop{};
  const bool treeHit = index.Nearest(o, d, &fromTree);
  const bool loopHit = index.NearestByLoop(o, d, &fromLoop);
  EXPECT_EQ(treeHit, loopHit);
  if (treeHit && loopHit) {
    EXPECT_EQ(fromTree.faceIndex, fromLoop.faceIndex);
    EXPECT_EQ(fromTree.dist, fromLoop.dist);
    EXPECT_EQ(fromTree.u, fromLoop.u);
    EXPECT_EQ(fromTree.v, fromLoop.v);
  }
  *hit = fromTree;
  return treeHit;
}

// A 4x4 row-vector matrix applied to points and directions, and its inverse.
struct TestMatrix {
  double m[4][4];
  // Point times matrix (translation applies).
  D3DXVECTOR3 Point(const D3DXVECTOR3& p) const
  {
    return D3DXVECTOR3(static_cast<float>(p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0]),
                       static_cast<float>(p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1]),
                       static_cast<float>(p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2]));
  }
  // Direction times matrix (no translation).
  D3DXVECTOR3 Direction(const D3DXVECTOR3& d) const
  {
    return D3DXVECTOR3(static_cast<float>(d.x * m[0][0] + d.y * m[1][0] + d.z * m[2][0]),
                       static_cast<float>(d.x * m[0][1] + d.y * m[1][1] + d.z * m[2][1]),
                       static_cast<float>(d.x * m[0][2] + d.y * m[1][2] + d.z * m[2][2]));
  }
};

// Rotation about an axis scaled per axis and moved: an actor's world matrix.
TestMatrix RandomWorld(std::mt19937* random)
{
  std::uniform_real_distribution<double> angle(0.0, 6.283), scale(0.3, 3.0), move(-5.0, 5.0);
  const double a = angle(*random), b = angle(*random);
  const double sx = scale(*random), sy = scale(*random), sz = scale(*random);
  // Ry(a) * Rx(b), rows scaled.
  const double ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b);
  const double r[3][3] = {{ca, 0, -sa}, {sa * sb, cb, ca * sb}, {sa * cb, -sb, ca * cb}};
  TestMatrix w{};
  const double s[3] = {sx, sy, sz};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) w.m[i][j] = s[i] * r[i][j];
  w.m[3][0] = move(*random);
  w.m[3][1] = move(*random);
  w.m[3][2] = move(*random);
  w.m[3][3] = 1.0;
  return w;
}

// The inverse of RandomWorld's matrices (scaled rotation then translation).
TestMatrix Inverse(const TestMatrix& w)
{
  // Upper 3x3 inverse by cofactors; translation -t * A^-1.
  const double(*m)[4] = w.m;
  double inv[3][3];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      const int i1 = (j + 1) % 3, i2 = (j + 2) % 3, j1 = (i + 1) % 3, j2 = (i + 2) % 3;
      inv[i][j] = m[i1][j1] * m[i2][j2] - m[i1][j2] * m[i2][j1];
    }
  const double det = m[0][0] * inv[0][0] + m[0][1] * inv[1][0] + m[0][2] * inv[2][0];
  TestMatrix r{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) r.m[i][j] = inv[i][j] / det;
  for (int j = 0; j < 3; ++j) r.m[3][j] = -(m[3][0] * r.m[0][j] + m[3][1] * r.m[1][j] + m[3][2] * r.m[2][j]);
  r.m[3][3] = 1.0;
  return r;
}

// A random point in a box of half-size h around the origin.
D3DXVECTOR3 RandomPoint(std::mt19937* random, float h)
{
  std::uniform_real_distribution<float> u(-h, h);
  const float x = u(*random), y = u(*random), z = u(*random);
  return D3DXVECTOR3(x, y, z);
}

// A random direction with a random length between 0.01 and 100 (never unit on purpose).
D3DXVECTOR3 RandomDirection(std::mt19937* random)
{
  std::normal_distribution<float> n(0.0f, 1.0f);
  std::uniform_real_distribution<float> logLength(-2.0f, 2.0f);
  D3DXVECTOR3 d(n(*random), n(*random), n(*random));
  const float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
  return d * (std::pow(10.0f, logLength(*random)) / length);
}

// ---- D3DXIntersect's conventions ------------------------------------------------------------

TEST(XMeshRay, DistanceIsInUnitsOfTheDirectionAndBarycentricsWeightV1AndV2)
{
  const CXMeshRayIndex index = OneTriangle();
  XMeshHit hit{};
  ASSERT_TRUE(BothNearest(index, D3DXVECTOR3(0.25f, 2.0f, 0.5f), D3DXVECTOR3(0, -1, 0), &hit));
  EXPECT_EQ(hit.faceIndex, 0u);
  EXPECT_FLOAT_EQ(hit.dist, 2.0f);
  EXPECT_FLOAT_EQ(hit.u, 0.25f);  // weight of V1 = (1,0,0)
  EXPECT_FLOAT_EQ(hit.v, 0.5f);   // weight of V2 = (0,0,1)
  ASSERT_TRUE(BothNearest(index, D3DXVECTOR3(0.25f, 2.0f, 0.5f), D3DXVECTOR3(0, -4, 0), &hit));
  EXPECT_FLOAT_EQ(hit.dist, 0.5f);  // origin + 0.5 * (0,-4,0) lands on the plane
  // A slanted non-unit direction: the hit is origin + dist * direction.
  const D3DXVECTOR3 o(0.0f, 3.0f, 0.0f), d(0.1f, -1.5f, 0.2f);
  ASSERT_TRUE(BothNearest(index, o, d, &hit));
  const D3DXVECTOR3 p = o + d * hit.dist;
  EXPECT_NEAR(p.y, 0.0f, 1e-6f);
  EXPECT_NEAR(p.x, hit.u, 1e-6f);
  EXPECT_NEAR(p.z, hit.v, 1e-6f);
}

TEST(XMeshRay, BackFacesCountAndHitsBehindTheOriginDoNot)
{
  const CXMeshRayIndex index = OneTriangle();
  XMeshHit hit{};
  ASSERT_TRUE(BothNearest(index, D3DXVECTOR3(0.2f, -3.0f, 0.2f), D3DXVECTOR3(0, 1, 0), &hit));
  EXPECT_FLOAT_EQ(hit.dist, 3.0f);
  EXPECT_FALSE(BothNearest(index, D3DXVECTOR3(0.2f, -3.0f, 0.2f), D3DXVECTOR3(0, -1, 0), &hit));
  EXPECT_FALSE(BothNearest(index, D3DXVECTOR3(0.8f, 1.0f, 0.8f), D3DXVECTOR3(0, -1, 0), &hit));  // beside it
}

TEST(XMeshRay, ZeroOrNonFiniteRaysAndEmptyMeshesHitNothing)
{
  const CXMeshRayIndex index = OneTriangle();
  XMeshHit hit{};
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_FALSE(BothNearest(index, D3DXVECTOR3(0.2f, 1, 0.2f), D3DXVECTOR3(0, 0, 0), &hit));
  EXPECT_FALSE(BothNearest(index, D3DXVECTOR3(nan, 1, 0.2f), D3DXVECTOR3(0, -1, 0), &hit));
  EXPECT_FALSE(BothNearest(index, D3DXVECTOR3(0.2f, 1, 0.2f), D3DXVECTOR3(0, -inf, 0), &hit));
  CXMeshRayIndex empty;
  empty.Build(nullptr, 0, nullptr, 0);
  EXPECT_FALSE(BothNearest(empty, D3DXVECTOR3(0, 1, 0), D3DXVECTOR3(0, -1, 0), &hit));
}

TEST(XMeshRay, FacesWithBadIndicesOrNonFiniteCornersAreNeverHit)
{
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const D3DXVECTOR3 p[5] = {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {nan, 0, 0}, {0, -1, 0}};
  // Face 0: index 9 past the vertices; face 1: a NaN corner; face 2: degenerate; face 3: fine, lower.
  const uint32_t i[12] = {0, 1, 9, 3, 1, 2, 0, 0, 1, 0, 1, 2};
  CXMeshRayIndex index;
  index.Build(p, 5, i, 4);
  XMeshHit hit{};
  ASSERT_TRUE(BothNearest(index, D3DXVECTOR3(0.2f, 1, 0.2f), D3DXVECTOR3(0, -1, 0), &hit));
  EXPECT_EQ(hit.faceIndex, 3u);
  std::vector<XMeshHit> all;
  index.All(D3DXVECTOR3(0.2f, 1, 0.2f), D3DXVECTOR3(0, -1, 0), &all);
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].faceIndex, 3u);
}

// ---- ties -------------------------------------------------------------------------------------

TEST(XMeshRay, EqualDistancesGoToTheLowestFaceIndexInBothSearches)
{
  // A terrain with copies of 300 of its triangles appended at the end (same corners, same
  // order): every hit on a copied triangle ties with its original, which has the lower index,
  // wherever the two land in the hierarchy.
  XShape terrain = MakeTerrain(40, 4.0f, 7);
  std::vector<uint32_t> originals;
  for (uint32_t f = 1; f < terrain.FaceCount(); f += 11) originals.push_back(f);
  for (const uint32_t f : originals) {
    for (int k = 0; k < 3; ++k) terrain.indices.push_back(terrain.indices[3 * f + k]);
  }
  CXMeshRayIndex index;
  index.Build(terrain.positions.data(), static_cast<uint32_t>(terrain.positions.size()), terrain.indices.data(),
              terrain.FaceCount());
  for (const uint32_t f : originals) {
    const D3DXVECTOR3 a = terrain.positions[terrain.indices[3 * f]];
    const D3DXVECTOR3 b = terrain.positions[terrain.indices[3 * f + 1]];
    const D3DXVECTOR3 c = terrain.positions[terrain.indices[3 * f + 2]];
    const D3DXVECTOR3 centre = (a + b + c) / 3.0f;
    const D3DXVECTOR3 origin = centre + D3DXVECTOR3(0.01f, 5.0f, 0.02f), direction(-0.002f, -1.0f, -0.004f);
    XMeshHit hit{};
    ASSERT_TRUE(BothNearest(index, origin, direction, &hit));
    EXPECT_EQ(hit.faceIndex, f);
    std::vector<XMeshHit> all;
    index.All(origin, direction, &all);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].dist, all[1].dist);
    EXPECT_LT(all[0].faceIndex, all[1].faceIndex);
  }
}

// ---- the hierarchy against the loop ---------------------------------------------------------

// Checks the hierarchy against the loop on many rays of several kinds; returns how many hit.
int CompareOnAwkwardRays(const XShape& shape, float extent, uint32_t seed, int raysPerKind)
{
  CXMeshRayIndex index;
  index.Build(shape.positions.data(), static_cast<uint32_t>(shape.positions.size()), shape.indices.data(),
              shape.FaceCount());
  std::mt19937 random(seed);
  std::uniform_int_distribution<uint32_t> anyFace(0, shape.FaceCount() - 1);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  int hits = 0;
  XMeshHit hit{};
  const auto corner = [&shape](uint32_t f, int k) { return shape.positions[shape.indices[3 * f + k]]; };
  for (int i = 0; i < raysPerKind; ++i) {
    // Anywhere to anywhere, origins often inside the shape.
    hits += BothNearest(index, RandomPoint(&random, extent), RandomDirection(&random), &hit);
    // Aimed exactly at a vertex, from outside, with a non-unit direction.
    const uint32_t f = anyFace(random);
    const D3DXVECTOR3 from = RandomPoint(&random, 3.0f * extent);
    hits += BothNearest(index, from, (corner(f, 0) - from) * 0.37f, &hit);
    // Aimed at a point on an edge (shared by two faces: a tie or a near tie).
    const D3DXVECTOR3 onEdge = corner(f, 1) + (corner(f, 2) - corner(f, 1)) * unit(random);
    hits += BothNearest(index, from, onEdge - from, &hit);
    // Lying in a face's plane along its edge, starting before it: grazing.
    const D3DXVECTOR3 along = corner(f, 1) - corner(f, 0);
    hits += BothNearest(index, corner(f, 0) - along * 0.5f, along * 3.0f, &hit);
    // Starting exactly on a face and leaving through the back side.
    const D3DXVECTOR3 inFace =
        corner(f, 0) + (corner(f, 1) - corner(f, 0)) * 0.25f + (corner(f, 2) - corner(f, 0)) * 0.25f;
    hits += BothNearest(index, inFace, RandomDirection(&random), &hit);
    // An actor's world ray taken into object space: transformed origin, transformed non-unit direction.
    const TestMatrix world = RandomWorld(&random);
    const TestMatrix toObject = Inverse(world);
    const D3DXVECTOR3 worldOrigin = world.Point(RandomPoint(&random, 2.0f * extent));
    const D3DXVECTOR3 worldTarget = world.Point(corner(f, 2) * 0.5f + corner(f, 1) * 0.5f);
    const D3DXVECTOR3 worldDir = (worldTarget - worldOrigin) * 0.2f;
    const D3DXVECTOR3 o = toObject.Point(worldOrigin), d = toObject.Direction(worldDir);
    if (BothNearest(index, o, d, &hit)) {
      ++hits;
      // The distance is a world distance too: world origin + dist * world direction is the hit.
      const D3DXVECTOR3 a = corner(hit.faceIndex, 0), b = corner(hit.faceIndex, 1), c = corner(hit.faceIndex, 2);
      const D3DXVECTOR3 onMesh = world.Point(a + (b - a) * hit.u + (c - a) * hit.v);
      const D3DXVECTOR3 onRay = worldOrigin + worldDir * hit.dist;
      const D3DXVECTOR3 gap = onMesh - onRay;
      EXPECT_LT(std::sqrt(gap.x * gap.x + gap.y * gap.y + gap.z * gap.z), 1e-3f * (1.0f + extent));
    }
  }
  // Every hit, in face order, from a smaller sample.
  for (int i = 0; i < raysPerKind / 4; ++i) {
    const D3DXVECTOR3 o = RandomPoint(&random, extent), d = RandomDirection(&random);
    std::vector<XMeshHit> fromTree, fromLoop;
    index.All(o, d, &fromTree);
    index.AllByLoop(o, d, &fromLoop);
    EXPECT_EQ(fromTree.size(), fromLoop.size());
    if (fromTree.size() != fromLoop.size()) continue;
    for (size_t k = 0; k < fromTree.size(); ++k) {
      EXPECT_EQ(fromTree[k].faceIndex, fromLoop[k].faceIndex);
      EXPECT_EQ(fromTree[k].dist, fromLoop[k].dist);
      EXPECT_EQ(fromTree[k].u, fromLoop[k].u);
      EXPECT_EQ(fromTree[k].v, fromLoop[k].v);
    }
  }
  return hits;
}

TEST(XMeshRay, HierarchyMatchesTheLoopOnABumpySphereIncludingRaysFromInside)
{
  const XShape sphere = MakeBumpySphere(30, 48, 0.05f, 11);  // 2,784 faces
  const int rays = 6 * 1000;
  const int hits = CompareOnAwkwardRays(sphere, 1.2f, 3, rays / 6);
  EXPECT_GT(hits, rays / 2);  // most rays must actually hit for the comparison to mean much
}

TEST(XMeshRay, HierarchyMatchesTheLoopOnATerrainWithAxisAlignedFaces)
{
  const XShape terrain = MakeTerrain(50, 5.0f, 5);  // 5,000 faces, a quarter of them flat at y = 0
  const int rays = 6 * 1000;
  const int hits = CompareOnAwkwardRays(terrain, 5.0f, 9, rays / 6);
  EXPECT_GT(hits, rays / 3);
}

TEST(XMeshRay, HierarchyMatchesTheLoopOnStraightDownRaysOntoTheFlatPlateau)
{
  // Axis-aligned rays onto axis-aligned faces: the boxes are flat, the direction has zero components.
  const XShape terrain = MakeTerrain(50, 5.0f, 5);
  CXMeshRayIndex index;
  index.Build(terrain.positions.data(), static_cast<uint32_t>(terrain.positions.size()), terrain.indices.data(),
              terrain.FaceCount());
  std::mt19937 random(21);
  std::uniform_real_distribution<float> inside(0.5f, 4.9f);
  int hits = 0;
  for (int i = 0; i < 2000; ++i) {
    XMeshHit hit{};
    // Every fifth ray lands on a grid line: edges shared by two faces.
    const float x = i % 5 == 0 ? 1.0f + static_cast<float>((i / 5) % 4) : inside(random);
    const D3DXVECTOR3 o(x, 3.0f, inside(random));
    if (BothNearest(index, o, D3DXVECTOR3(0.0f, -0.5f, 0.0f), &hit)) {
      ++hits;
      EXPECT_FLOAT_EQ(hit.dist, 6.0f);
    }
  }
  EXPECT_EQ(hits, 2000);
}

}  // namespace

namespace {

TEST(XMeshRay, FlatFacesAtAwkwardHeightsAreHitByEverySlantedRayThatCrossesThem)
{
  // A grid at y = 0.1 (not representable exactly): the face boxes have no thickness of their
  // own, so a distance rounded differently from the box's would lose hits if the boxes and
  // intervals were not widened.
  XShape grid = MakeTerrain(20, 1.0f, 3);
  for (D3DXVECTOR3& p : grid.positions) p.y = 0.1f;
  CXMeshRayIndex index;
  index.Build(grid.positions.data(), static_cast<uint32_t>(grid.positions.size()), grid.indices.data(),
              grid.FaceCount());
  std::mt19937 random(77);
  std::uniform_real_distribution<float> across(-0.9f, 0.9f), height(0.0f, 50.0f), scale(0.01f, 20.0f);
  int hits = 0;
  for (int i = 0; i < 3000; ++i) {
    const D3DXVECTOR3 target(across(random), 0.1f, across(random));
    const D3DXVECTOR3 origin(across(random) * 30.0f, 0.1f + height(random) * (i % 2 ? 1.0f : -1.0f), across(random));
    XMeshHit hit{};
    hits += BothNearest(index, origin, (target - origin) * scale(random), &hit);
  }
  EXPECT_EQ(hits, 3000);
}

}  // namespace
