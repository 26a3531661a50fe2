// Mesh primitives and mesh operations: every primitive must be a closed solid whose
// triangles face outwards (Direct3D's clockwise front faces) with unit normals that
// agree with its faces, and transforms and merges must keep that true.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <tuple>

#include "mesh/primitives.h"

using namespace contentgen;

namespace {

const float kPi = 3.14159265358979f;

// Signed volume from the divergence theorem: positive when faces point out.
double SignedVolume(const CMeshData& mesh)
{
  double volume = 0;
  for (const Triangle& t : mesh.triangles) {
    const Vec3 a = mesh.vertices[t.a].position, b = mesh.vertices[t.b].position, c = mesh.vertices[t.c].position;
    volume += Dot(a, Cross(b, c)) / 6.0;
  }
  return volume;
}

// Every directed edge (between welded positions) must be matched by exactly one
// edge going the other way: no holes, no flipped neighbours, no T-junctions.
std::string ClosedProblems(const CMeshData& mesh)
{
  using Key = std::tuple<float, float, float>;
  std::map<Key, int> weld;
  std::vector<int> id(mesh.vertices.size());
  for (size_t i = 0; i < mesh.vertices.size(); ++i) {
    const Vec3 p = mesh.vertices[i].position;
    // Round away float noise from transforms; primitive seams are exact anyway.
    const Key k(std::round(p.x * 1e5f), std::round(p.y * 1e5f), std::round(p.z * 1e5f));
    id[i] = weld.emplace(k, static_cast<int>(weld.size())).first->second;
  }
  std::map<std::pair<int, int>, int> edges;
  for (const Triangle& t : mesh.triangles) {
    const int c[3] = {id[t.a], id[t.b], id[t.c]};
    for (int k = 0; k < 3; ++k) edges[{c[k], c[(k + 1) % 3]}]++;
  }
  for (const auto& [edge, count] : edges) {
    const auto back = edges.find({edge.second, edge.first});
    if (count != 1) return "an edge is used " + std::to_string(count) + " times in one direction";
    if (back == edges.end() || back->second != 1) return "an edge has no opposite edge";
  }
  return "";
}

// Normals are unit length and on the same side as their triangle's face normal.
std::string NormalProblems(const CMeshData& mesh)
{
  for (const Vertex& v : mesh.vertices) {
    if (std::fabs(Length(v.normal) - 1.0f) > 1e-4f) return "a normal is not unit length";
  }
  for (const Triangle& t : mesh.triangles) {
    const Vec3 a = mesh.vertices[t.a].position, b = mesh.vertices[t.b].position, c = mesh.vertices[t.c].position;
    const Vec3 face = Normalize(Cross(b - a, c - a));
    for (const uint32_t index : {t.a, t.b, t.c}) {
      if (Dot(face, mesh.vertices[index].normal) < 0.1f) return "a vertex normal disagrees with its face";
    }
  }
  return "";
}

// For solids that contain their centroid in a star-shaped way: each face points away from it.
bool FacesPointAwayFromCentre(const CMeshData& mesh)
{
  for (const Triangle& t : mesh.triangles) {
    const Vec3 a = mesh.vertices[t.a].position, b = mesh.vertices[t.b].position, c = mesh.vertices[t.c].position;
    const Vec3 centre = (a + b + c) * (1.0f / 3.0f);
    if (Dot(Cross(b - a, c - a), centre) <= 0) return false;
  }
  return true;
}

bool UvsInUnitSquare(const CMeshData& mesh)
{
  for (const Vertex& v : mesh.vertices) {
    if (v.uv.x < -1e-6f || v.uv.x > 1 + 1e-6f || v.uv.y < -1e-6f || v.uv.y > 1 + 1e-6f) return false;
  }
  return true;
}

struct PrimitiveCase {
  const char* name;
  CMeshData mesh;
  double volume;     // expected (analytic, or of the polygonal approximation's limit)
  double tolerance;  // relative
};

std::vector<PrimitiveCase> AllPrimitives()
{
  const std::vector<Vec2> ell = {{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 3}, {0, 3}};  // concave L, area 4
  return {
      {"box", MakeBox(1, 2, 3), 6, 1e-5},
      // Inner box, six face slabs, twelve quarter cylinders and a sphere's worth of corners.
      {"bevel box", MakeBevelBox(2, 2, 2, 0.3f, 4),
       8 * 0.343 + 2 * 0.3 * 12 * 0.49 + kPi * 0.09 * 2 * 2.1 + 4.0 / 3 * kPi * 0.027, 0.015},
      {"cylinder", MakeCylinder(1, 2, 48), 2 * kPi, 0.01},
      {"cone", MakeCone(1, 3, 48), kPi, 0.01},
      {"sphere", MakeSphere(1, 32, 48), 4.0 / 3 * kPi, 0.01},
      {"capsule", MakeCapsule(0.5f, 2, 16, 48), kPi * 0.25 * 1 + 4.0 / 3 * kPi * 0.125, 0.01},
      {"torus", MakeTorus(2, 0.5f, 64, 32), 2 * kPi * kPi * 2 * 0.25, 0.01},
      {"extrusion", MakeExtrusion(ell, 0.5f), 2, 1e-5},
      {"lathe", MakeLathe({{0, 1}, {0.5f, 1, true}, {1, 0}, {0.5f, -1, true}, {0, -1}}, 64), 0, 0},
  };
}

}  // namespace

TEST(MeshPrimitives, AreClosedOutwardSolidsWithUnitNormals)
{
  for (const PrimitiveCase& p : AllPrimitives()) {
    SCOPED_TRACE(p.name);
    ASSERT_FALSE(p.mesh.triangles.empty());
    EXPECT_EQ(ClosedProblems(p.mesh), "");
    EXPECT_EQ(NormalProblems(p.mesh), "");
    EXPECT_GT(SignedVolume(p.mesh), 0.0) << "faces point inwards";
    EXPECT_TRUE(UvsInUnitSquare(p.mesh));
    if (p.volume > 0) {
      EXPECT_NEAR(SignedVolume(p.mesh), p.volume, p.volume * p.tolerance);
    }
  }
}

TEST(MeshPrimitives, ConvexOnesFaceAwayFromTheirCentre)
{
  EXPECT_TRUE(FacesPointAwayFromCentre(MakeBox(1, 1, 1)));
  EXPECT_TRUE(FacesPointAwayFromCentre(MakeSphere(1, 8, 12)));
  EXPECT_TRUE(FacesPointAwayFromCentre(MakeCylinder(1, 1, 12)));
  EXPECT_TRUE(FacesPointAwayFromCentre(MakeBevelBox(1, 2, 3, 0.2f, 3)));
}

TEST(MeshPrimitives, SizesAndAxesAreAsDocumented)
{
  Vec3 low, high;
  MakeBox(1, 2, 3).Bounds(&low, &high);
  EXPECT_FLOAT_EQ(high.x - low.x, 1);
  EXPECT_FLOAT_EQ(high.y - low.y, 2);
  EXPECT_FLOAT_EQ(high.z - low.z, 3);
  MakeCone(1, 3, 16).Bounds(&low, &high);
  EXPECT_FLOAT_EQ(high.y, 1.5f);  // apex up
  EXPECT_FLOAT_EQ(low.y, -1.5f);
  MakeCapsule(0.5f, 2, 8, 16).Bounds(&low, &high);
  EXPECT_NEAR(high.y - low.y, 2, 1e-5);
  // The sphere's u = 0.5 seam-opposite meridian looks along +z (the face of a head).
  const CMeshData sphere = MakeSphere(1, 8, 16);
  for (const Vertex& v : sphere.vertices) {
    if (std::fabs(v.uv.x - 0.5f) < 1e-6f && std::fabs(v.uv.y - 0.5f) < 1e-6f) {
      EXPECT_NEAR(v.position.z, 1, 1e-5);
    }
  }
}

TEST(MeshPrimitives, ConcavePolygonTriangulatesToItsArea)
{
  const std::vector<Vec2> ell = {{0, 0}, {0, 3}, {1, 3}, {1, 1}, {2, 1}, {2, 0}};  // clockwise this time
  const std::vector<int> tris = TriangulatePolygon(ell);
  ASSERT_EQ(tris.size(), 12u);
  double area = 0;
  for (size_t i = 0; i < tris.size(); i += 3) {
    const Vec2 a = ell[tris[i]], b = ell[tris[i + 1]], c = ell[tris[i + 2]];
    const double cross = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    EXPECT_GT(cross, 0) << "triangles come out counter-clockwise";
    area += cross * 0.5;
  }
  EXPECT_NEAR(area, 4.0, 1e-6);
}

TEST(MeshOperations, MirroringKeepsFacesOutward)
{
  CMeshData mesh = MakeCone(1, 2, 16);
  mesh.ApplyTransform(Scaling(-1, 1, 1));
  EXPECT_GT(SignedVolume(mesh), 0.0);
  EXPECT_EQ(NormalProblems(mesh), "");
}

TEST(MeshOperations, NonUniformScaleKeepsNormalsPerpendicular)
{
  CMeshData mesh = MakeSphere(1, 16, 24);
  mesh.ApplyTransform(Combine(Scaling(0.2f, 1, 3), RotationX(30)));
  EXPECT_EQ(NormalProblems(mesh), "");
  EXPECT_EQ(ClosedProblems(mesh), "");
}

TEST(MeshOperations, RotationsFollowD3DXConventions)
{
  // D3DXMatrixRotationX(90) takes +z to -y: the arm modelled along +z hangs down.
  const Vec3 hanging = RotationX(90).Point({0, 0, 1});
  EXPECT_NEAR(hanging.y, -1, 1e-6);
  EXPECT_NEAR(hanging.z, 0, 1e-6);
  const Vec3 y = RotationY(90).Point({1, 0, 0});  // +x to -z
  EXPECT_NEAR(y.z, -1, 1e-6);
  const Vec3 z = RotationZ(90).Point({1, 0, 0});  // +x to +y
  EXPECT_NEAR(z.y, 1, 1e-6);
  const Vec3 moved = Combine(RotationX(90), Translation(0, 5, 0)).Point({0, 0, 1});
  EXPECT_NEAR(moved.y, 4, 1e-6);
}

TEST(MeshOperations, MergeAppendsMaterialsAndRenumbers)
{
  CMeshData a = MakeBox(1, 1, 1), b = MakeSphere(1, 4, 6);
  a.materials.resize(1);
  b.materials.resize(2);
  b.triangles[0].material = 1;
  const size_t aVertices = a.vertices.size(), aTriangles = a.triangles.size();
  a.Merge(b);
  EXPECT_EQ(a.materials.size(), 3u);
  EXPECT_EQ(a.triangles[aTriangles].material, 2);
  EXPECT_EQ(a.triangles[aTriangles + 1].material, 1);
  EXPECT_EQ(a.triangles[aTriangles].a, b.triangles[0].a + aVertices);
}

TEST(MeshOperations, HardAndSmoothNormals)
{
  CMeshData sphere = MakeSphere(1, 6, 8);
  sphere.MakeHardNormals();
  EXPECT_EQ(sphere.vertices.size(), sphere.triangles.size() * 3);
  for (const Triangle& t : sphere.triangles) {
    EXPECT_FLOAT_EQ(Dot(sphere.vertices[t.a].normal, sphere.vertices[t.b].normal), 1.0f);
  }
  EXPECT_EQ(NormalProblems(sphere), "");
  CMeshData box = MakeBox(2, 2, 2);
  box.ComputeSmoothNormals();
  // Corners of a smoothed box point along the diagonal, the same on all three faces.
  for (const Vertex& v : box.vertices) {
    EXPECT_NEAR(std::fabs(v.normal.x), 1 / std::sqrt(3.0f), 1e-5);
  }
}
