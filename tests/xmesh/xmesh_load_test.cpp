// Tests of the .x reader on well-formed files: both formats agree, frames merge with
// their transforms, materials become ordered subsets, normals land per corner.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "xfile_writer.h"
#include "xmesh_data.h"

namespace {

// Loads text or binary bytes, failing the test with the reader's reason.
XMeshData MustLoad(const std::vector<uint8_t>& bytes)
{
  XMeshData mesh;
  std::string error;
  EXPECT_TRUE(LoadXMesh(bytes.data(), bytes.size(), &mesh, &error)) << error;
  return mesh;
}

// A unit cube: 8 shared corners, 6 quads, one normal per side, UVs per corner.
XTestMesh Cube()
{
  XTestMesh m;
  m.positions = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 0, 0, 1, 1, 0, 1, 1, 1, 1, 0, 1, 1};
  m.faces = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4}, {2, 3, 7, 6}, {0, 4, 7, 3}, {1, 2, 6, 5}};
  m.normals = {0, 0, -1, 0, 0, 1, 0, -1, 0, 0, 1, 0, -1, 0, 0, 1, 0, 0};
  for (uint32_t f = 0; f < 6; ++f) m.normalFaces.push_back({f, f, f, f});
  for (int v = 0; v < 8; ++v) {
    m.uvs.push_back(0.125 * v);
    m.uvs.push_back(1.0 - 0.0625 * v);
  }
  return m;
}

// Field by field equality of two loads.
void ExpectSameMesh(const XMeshData& a, const XMeshData& b)
{
  ASSERT_EQ(a.VertexCount(), b.VertexCount());
  ASSERT_EQ(a.FaceCount(), b.FaceCount());
  for (uint32_t v = 0; v < a.VertexCount(); ++v) {
    EXPECT_EQ(a.positions[v], b.positions[v]) << "vertex " << v;
    EXPECT_EQ(a.normals[v], b.normals[v]) << "vertex " << v;
    EXPECT_EQ(a.uvs[v], b.uvs[v]) << "vertex " << v;
  }
  EXPECT_EQ(a.indices, b.indices);
  EXPECT_EQ(a.attributes, b.attributes);
  ASSERT_EQ(a.materials.size(), b.materials.size());
  for (size_t i = 0; i < a.materials.size(); ++i) {
    EXPECT_EQ(a.materials[i].diffuse.r, b.materials[i].diffuse.r);
    EXPECT_EQ(a.materials[i].power, b.materials[i].power);
    EXPECT_EQ(a.materials[i].emissive.b, b.materials[i].emissive.b);
    EXPECT_EQ(a.materials[i].textureFileName, b.materials[i].textureFileName);
  }
  EXPECT_EQ(a.attributeTable.size(), b.attributeTable.size());
}

// The position of corner k of face f.
D3DXVECTOR3 Corner(const XMeshData& mesh, uint32_t f, int k)
{
  return mesh.positions[mesh.indices[3 * f + k]];
}

// ---- a hand-written text file ---------------------------------------------------------

// What an exporter writes: template declarations, comments, a named material referenced
// from the mesh, semicolon/comma separators, a quad to be fanned.
const char kQuadText[] = R"(xof 0303txt 0032
// exported by hand
template Vector {
 <3d82ab5e-62da-11cf-ab39-0020af71e433>
 FLOAT x;
 FLOAT y;
 FLOAT z;
}
template MeshFace {
 <3d82ab5f-62da-11cf-ab39-0020af71e433>
 DWORD nFaceVertexIndices;
 array DWORD faceVertexIndices[nFaceVertexIndices];
}
Material Stone {
  0.800000;0.700000;0.600000;0.500000;;
  12.000000;
  0.100000;0.200000;0.300000;;
  0.010000;0.020000;0.030000;;
  TextureFileName { "stone.png"; }
}
# a comment in the other style
Mesh Quad {
  4;
  -1.0;0.0;-1.0;,
  -1.0;0.0;1.0;,
  1.0;0.0;1.0;,
  1.0;0.0;-1.0;;
  1;
  4;0,1,2,3;;
  MeshTextureCoords { 4; 0.0;1.0;, 0.0;0.0;, 1.0;0.0;, 1.0;1.0;; }
  MeshMaterialList { 1; 1; 0;; { Stone } }
  VertexDuplicationIndices { 4; 4; 0, 1, 2, 3; }
}
)";

TEST(XMeshLoad, HandWrittenTextQuadIsFannedWithItsNamedMaterial)
{
  const XMeshData mesh = MustLoad(Bytes(kQuadText));
  ASSERT_EQ(mesh.VertexCount(), 4u);
  ASSERT_EQ(mesh.FaceCount(), 2u);
  EXPECT_EQ(mesh.indices, (std::vector<uint32_t>{0, 1, 2, 0, 2, 3}));
  EXPECT_EQ(mesh.positions[3], D3DXVECTOR3(1.0f, 0.0f, -1.0f));
  EXPECT_EQ(mesh.uvs[1], D3DXVECTOR2(0.0f, 0.0f));
  EXPECT_EQ(mesh.uvs[3], D3DXVECTOR2(1.0f, 1.0f));
  EXPECT_TRUE(mesh.hasUvs);
  EXPECT_FALSE(mesh.hasNormals);
  ASSERT_EQ(mesh.materials.size(), 1u);
  const XMeshMaterial& m = mesh.materials[0];
  EXPECT_FLOAT_EQ(m.diffuse.r, 0.8f);
  EXPECT_FLOAT_EQ(m.diffuse.a, 0.5f);
  EXPECT_FLOAT_EQ(m.power, 12.0f);
  EXPECT_FLOAT_EQ(m.specular.b, 0.3f);
  EXPECT_FLOAT_EQ(m.emissive.g, 0.02f);
  EXPECT_EQ(m.ambient.r, 0.0f);
  EXPECT_EQ(m.textureFileName, "stone.png");
}

TEST(XMeshLoad, MeshWithoutMaterialListGetsOneDefaultMaterial)
{
  XTestMesh m = Cube();
  CXTestWriter w;
  WriteTestMesh(&w, m);
  const XMeshData mesh = MustLoad(Bytes(w.Text()));
  ASSERT_EQ(mesh.materials.size(), 1u);
  EXPECT_TRUE(mesh.materials[0].textureFileName.empty());
  ASSERT_EQ(mesh.attributeTable.size(), 1u);
  EXPECT_EQ(mesh.attributeTable[0].faceCount, 12u);
}

// ---- text and binary agree -------------------------------------------------------------

TEST(XMeshLoad, TextAndBinaryOfTheSameFileLoadIdentically)
{
  XTestMesh m = Cube();
  m.materialCount = 2;
  m.faceMaterials = {1, 0, 1, 0, 0, 1};
  for (double& p : m.positions) p = p * 1.5 - 0.3;  // values that are not round in binary
  CXTestWriter w;
  w.Begin("Frame", "Root").Begin("FrameTransformMatrix");
  w.Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0.25, -2, 3, 1}).End();
  WriteTestMesh(&w, m, "Box");
  w.End();
  const XMeshData text = MustLoad(Bytes(w.Text()));
  const XMeshData bin32 = MustLoad(w.Binary(32));
  const XMeshData bin64 = MustLoad(w.Binary(64));
  ASSERT_EQ(text.FaceCount(), 12u);
  ExpectSameMesh(text, bin32);
  ExpectSameMesh(text, bin64);
  EXPECT_EQ(text.materials[1].textureFileName, "tex1.png");
}

TEST(XMeshLoad, BinaryStringsEndedByAWordTokenLoadLikeTheDocumentedDwordForm)
{
  XTestMesh m = Cube();
  m.materialCount = 3;
  m.faceMaterials = {0, 1, 2, 0, 1, 2};
  CXTestWriter w;
  WriteTestMesh(&w, m);
  const std::vector<uint8_t> dwordForm = w.Binary(32);
  // Every string record ends "... .png" 14 00 00 00; drop the two high bytes of each.
  std::vector<uint8_t> wordForm;
  int rewritten = 0;
  for (size_t i = 0; i < dwordForm.size(); ++i) {
    wordForm.push_back(dwordForm[i]);
    if (i >= 3 && std::memcmp(&dwordForm[i - 3], ".png", 4) == 0) {
      wordForm.push_back(dwordForm[i + 1]);
      wordForm.push_back(dwordForm[i + 2]);
      i += 4;
      ++rewritten;
    }
  }
  ASSERT_EQ(rewritten, 3);
  ASSERT_EQ(wordForm.size() + 6, dwordForm.size());
  ExpectSameMesh(MustLoad(dwordForm), MustLoad(wordForm));
  EXPECT_EQ(MustLoad(wordForm).materials[2].textureFileName, "tex2.png");
}

TEST(XMeshLoad, Version0302SixtyFourBitHeaderAndNonAsciiNamesAreAccepted)
{
  std::string text = kQuadText;
  text.replace(0, 16, "xof 0302txt 0064");
  for (const std::string stone : {"Stone {", "{ Stone }"}) {
    text.replace(text.find(stone), stone.size(), stone == "Stone {" ? "\x90\xCE-1 {" : "{ \x90\xCE-1 }");
  }
  const XMeshData mesh = MustLoad(Bytes(text));
  EXPECT_EQ(mesh.FaceCount(), 2u);
}

// ---- frames ---------------------------------------------------------------------------------

TEST(XMeshLoad, NestedFramesTransformChildFirstAndMergeMeshesInFileOrder)
{
  // Outer frame: scale x by 2 then move +10 in x. Inner frame: rotate 90 degrees about z
  // (x -> y in row-vector form) then move +1 in y. A vertex at (1,0,0) in the inner mesh:
  // inner: (0,1,0) + (0,1,0) = (0,2,0); outer: (0,2,0) scaled (0,2,0) + (10,0,0) = (10,2,0).
  XTestMesh a;
  a.positions = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  a.faces = {{0, 1, 2}};
  a.normals = {1, 0, 0};
  a.normalFaces = {{0, 0, 0}};
  a.materialCount = 1;
  a.faceMaterials = {0};
  XTestMesh b = a;
  b.materialCount = 2;
  b.faceMaterials = {1};

  CXTestWriter w;
  w.Begin("Frame", "Outer").Begin("FrameTransformMatrix");
  w.Floats({2, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 10, 0, 0, 1}).End();
  w.Begin("Frame", "Inner");
  WriteTestMesh(&w, a, "InnerMesh");  // before the matrix: the matrix still applies
  w.Begin("FrameTransformMatrix").Floats({0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 1}).End();
  w.End();
  WriteTestMesh(&w, b, "OuterMesh");
  w.End();
  const XMeshData mesh = MustLoad(Bytes(w.Text()));

  ASSERT_EQ(mesh.VertexCount(), 6u);
  ASSERT_EQ(mesh.FaceCount(), 2u);
  EXPECT_EQ(mesh.positions[0], D3DXVECTOR3(10.0f, 2.0f, 0.0f));
  EXPECT_EQ(mesh.positions[1], D3DXVECTOR3(8.0f, 1.0f, 0.0f));  // (0,1,0) -> (-1,1,0) -> (-2,1,0)+10
  EXPECT_EQ(mesh.positions[2], D3DXVECTOR3(10.0f, 1.0f, 1.0f));
  EXPECT_EQ(mesh.positions[3], D3DXVECTOR3(12.0f, 0.0f, 0.0f));  // outer mesh: scale and move only
  // Normal (1,0,0) rotated to (0,1,0); the x scale does not touch it. Outer: stays along x.
  EXPECT_NEAR(mesh.normals[0].x, 0.0f, 1e-6f);
  EXPECT_NEAR(mesh.normals[0].y, 1.0f, 1e-6f);
  EXPECT_NEAR(mesh.normals[3].x, 1.0f, 1e-6f);
  // Materials appended: 1 from the first mesh, 2 from the second; its face uses its material 1.
  ASSERT_EQ(mesh.materials.size(), 3u);
  EXPECT_EQ(mesh.attributes, (std::vector<uint32_t>{0, 2}));
  EXPECT_EQ(mesh.indices, (std::vector<uint32_t>{0, 1, 2, 3, 4, 5}));
}

TEST(XMeshLoad, NonUniformScaleKeepsNormalsPerpendicularAndUnitLength)
{
  // A slanted face whose normal is (1,1,0)/sqrt2; scaling y by 4 must tilt the normal towards x.
  XTestMesh m;
  m.positions = {1, 0, 0, 0, 1, 0, 0, 1, 1};
  m.faces = {{0, 1, 2}};
  const double s = std::sqrt(0.5);
  m.normals = {s, s, 0};
  m.normalFaces = {{0, 0, 0}};
  CXTestWriter w;
  w.Begin("Frame").Begin("FrameTransformMatrix").Floats({1, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}).End();
  WriteTestMesh(&w, m);
  w.End();
  const XMeshData mesh = MustLoad(Bytes(w.Text()));
  const D3DXVECTOR3 n = mesh.normals[0];
  const D3DXVECTOR3 edge = mesh.positions[1] - mesh.positions[0];
  EXPECT_NEAR(n.x * edge.x + n.y * edge.y + n.z * edge.z, 0.0f, 1e-6f);
  EXPECT_NEAR(std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z), 1.0f, 1e-6f);
  EXPECT_GT(n.x, n.y);
}

// ---- materials and subsets -----------------------------------------------------------------

TEST(XMeshLoad, ThreeMaterialsGiveThreeSubsetsInMaterialOrder)
{
  // Eight triangles in a row, materials scattered; each triangle's x offset says which it was.
  XTestMesh m;
  const std::vector<uint32_t> material = {2, 0, 1, 0, 2, 2, 1, 0};
  for (uint32_t f = 0; f < material.size(); ++f) {
    const double x = f;
    m.positions.insert(m.positions.end(), {x, 0, 0, x, 1, 0, x + 0.5, 0, 1});
    m.faces.push_back({3 * f, 3 * f + 1, 3 * f + 2});
  }
  m.materialCount = 3;
  m.faceMaterials = material;
  CXTestWriter w;
  WriteTestMesh(&w, m);
  const XMeshData mesh = MustLoad(Bytes(w.Text()));

  ASSERT_EQ(mesh.materials.size(), 3u);
  EXPECT_FLOAT_EQ(mesh.materials[0].diffuse.r, 0.125f);
  EXPECT_FLOAT_EQ(mesh.materials[2].diffuse.r, 0.375f);
  EXPECT_EQ(mesh.materials[2].textureFileName, "tex2.png");
  EXPECT_EQ(mesh.attributes, (std::vector<uint32_t>{0, 0, 0, 1, 1, 2, 2, 2}));
  // Within a subset the file's order is kept: material 0 had faces 1, 3, 7.
  const std::vector<float> firstX = {1, 3, 7, 2, 6, 0, 4, 5};
  for (uint32_t f = 0; f < 8; ++f) EXPECT_EQ(Corner(mesh, f, 0).x, firstX[f]) << "face " << f;
  ASSERT_EQ(mesh.attributeTable.size(), 3u);
  for (uint32_t i = 0; i < 3; ++i) EXPECT_EQ(mesh.attributeTable[i].attribId, i);
  EXPECT_EQ(mesh.attributeTable[0].faceStart, 0u);
  EXPECT_EQ(mesh.attributeTable[0].faceCount, 3u);
  EXPECT_EQ(mesh.attributeTable[1].faceStart, 3u);
  EXPECT_EQ(mesh.attributeTable[1].faceCount, 2u);
  EXPECT_EQ(mesh.attributeTable[2].faceStart, 5u);
  EXPECT_EQ(mesh.attributeTable[2].faceCount, 3u);
  // Material 1 had faces 2 and 6: vertices 6..8 and 18..20.
  EXPECT_EQ(mesh.attributeTable[1].vertexStart, 6u);
  EXPECT_EQ(mesh.attributeTable[1].vertexCount, 15u);
}

TEST(XMeshLoad, ShortFaceIndexListRepeatsItsLastEntry)
{
  XTestMesh m = Cube();
  m.materialCount = 2;
  m.faceMaterials = {0, 1};  // faces 2..5 also take material 1
  CXTestWriter w;
  WriteTestMesh(&w, m);
  const XMeshData mesh = MustLoad(Bytes(w.Text()));
  ASSERT_EQ(mesh.attributeTable.size(), 2u);
  EXPECT_EQ(mesh.attributeTable[0].faceCount, 2u);
  EXPECT_EQ(mesh.attributeTable[1].faceCount, 10u);
}

TEST(XMeshLoad, MaterialReferencedByNameFromTwoMeshesIsCopiedIntoEach)
{
  XTestMesh m;
  m.positions = {0, 0, 0, 1, 0, 0, 0, 1, 0};
  m.faces = {{0, 1, 2}};
  CXTestWriter v;
  WriteTestMaterial(&v, "Red", 1, 0, 0, "red.png");
  WriteTestMaterial(&v, "Blue", 0, 0, 1);
  for (const char* name : {"Blue", "Red"}) {
    v.Begin("Mesh").Ints({3}).Floats(m.positions).Ints({1}).Ints({3, 0, 1, 2});
    v.Begin("MeshMaterialList").Ints({1, 1, 0}).Reference(name).End();
    v.End();
  }
  for (const std::vector<uint8_t>& bytes : {Bytes(v.Text()), v.Binary(32)}) {
    const XMeshData mesh = MustLoad(bytes);
    ASSERT_EQ(mesh.materials.size(), 2u);
    EXPECT_EQ(mesh.materials[0].diffuse.b, 1.0f);
    EXPECT_TRUE(mesh.materials[0].textureFileName.empty());
    EXPECT_EQ(mesh.materials[1].diffuse.r, 1.0f);
    EXPECT_EQ(mesh.materials[1].textureFileName, "red.png");
  }
}

// ---- normals ----------------------------------------------------------------------------------

TEST(XMeshLoad, PerFaceNormalsSplitSharedCornersSoEveryCornerHasItsFacesNormal)
{
  const XTestMesh m = Cube();
  CXTestWriter w;
  WriteTestMesh(&w, m);
  const XMeshData mesh = MustLoad(Bytes(w.Text()));
  ASSERT_EQ(mesh.FaceCount(), 12u);
  EXPECT_EQ(mesh.VertexCount(), 24u);  // each corner of the cube sits on three sides
  EXPECT_TRUE(mesh.hasNormals);
  for (uint32_t f = 0; f < 12; ++f) {
    const D3DXVECTOR3 a = Corner(mesh, f, 0), b = Corner(mesh, f, 1), c = Corner(mesh, f, 2);
    const D3DXVECTOR3 e1 = b - a, e2 = c - a;
    const D3DXVECTOR3 cross(e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x);
    for (int k = 0; k < 3; ++k) {
      const D3DXVECTOR3 n = mesh.normals[mesh.indices[3 * f + k]];
      // The normal is parallel to the face's geometric normal (sign set by the file).
      EXPECT_FLOAT_EQ(std::fabs(n.x * cross.x + n.y * cross.y + n.z * cross.z),
                      std::sqrt(cross.x * cross.x + cross.y * cross.y + cross.z * cross.z))
          << "face " << f << " corner " << k;
    }
  }
  // The file's vertices keep their slots; split copies carry the same position and UV.
  for (uint32_t v = 0; v < 8; ++v) EXPECT_EQ(mesh.positions[v].x, static_cast<float>(m.positions[3 * v]));
  for (uint32_t v = 8; v < 24; ++v) {
    bool samePlaceAsAnOriginal = false;
    for (uint32_t o = 0; o < 8; ++o) {
      samePlaceAsAnOriginal =
          samePlaceAsAnOriginal || (mesh.positions[v] == mesh.positions[o] && mesh.uvs[v] == mesh.uvs[o]);
    }
    EXPECT_TRUE(samePlaceAsAnOriginal) << "vertex " << v;
  }
}

TEST(XMeshLoad, SmoothNormalsSharedByIndexDoNotSplitVertices)
{
  XTestMesh m = Cube();
  m.normals.clear();
  m.normalFaces = m.faces;  // one normal per vertex, same indices as the faces
  for (uint32_t v = 0; v < 8; ++v) {
    for (int k = 0; k < 3; ++k) m.normals.push_back(m.positions[3 * v + k] - 0.5);
  }
  CXTestWriter w;
  WriteTestMesh(&w, m);
  const XMeshData mesh = MustLoad(w.Binary(32));
  EXPECT_EQ(mesh.VertexCount(), 8u);
  EXPECT_NEAR(mesh.normals[6].x, 1.0f / std::sqrt(3.0f), 1e-6f);  // renormalised
}

// ---- buffers for the device -------------------------------------------------------------

TEST(XMeshLoad, PackedVerticesAreThirtyTwoBytesPositionFirst)
{
  XTestMesh m = Cube();
  CXTestWriter w;
  WriteTestMesh(&w, m);
  const XMeshData mesh = MustLoad(Bytes(w.Text()));
  std::vector<uint8_t> packed;
  mesh.PackVertices(&packed);
  ASSERT_EQ(packed.size(), 24u * 32u);
  for (uint32_t v = 0; v < mesh.VertexCount(); ++v) {
    float f[8];
    std::memcpy(f, packed.data() + 32 * v, sizeof f);
    EXPECT_EQ(D3DXVECTOR3(f[0], f[1], f[2]), mesh.positions[v]);
    EXPECT_EQ(D3DXVECTOR3(f[3], f[4], f[5]), mesh.normals[v]);
    EXPECT_EQ(D3DXVECTOR2(f[6], f[7]), mesh.uvs[v]);
  }
  std::vector<uint16_t> indices;
  ASSERT_TRUE(mesh.CopyIndices16(&indices));
  ASSERT_EQ(indices.size(), mesh.indices.size());
  for (size_t i = 0; i < indices.size(); ++i) EXPECT_EQ(indices[i], mesh.indices[i]);
}

TEST(XMeshLoad, SixteenBitCheckRefusesAnIndexPastTheRange)
{
  XMeshData mesh;
  mesh.indices = {0, 1, 65535};
  EXPECT_TRUE(mesh.IndicesFitSixteenBits());
  mesh.indices.push_back(65536);
  EXPECT_FALSE(mesh.IndicesFitSixteenBits());
  std::vector<uint16_t> out;
  EXPECT_FALSE(mesh.CopyIndices16(&out));
  EXPECT_TRUE(out.empty());
}

}  // namespace

namespace {

// ---- adjacency ----------------------------------------------------------------------------------

TEST(XMeshLoad, AdjacencyJoinsSplitVerticesAndIsSymmetricOnAClosedCube)
{
  CXTestWriter w;
  WriteTestMesh(&w, Cube());
  const XMeshData mesh = MustLoad(Bytes(w.Text()));
  ASSERT_EQ(mesh.VertexCount(), 24u);  // split by normals, yet every edge has a neighbour
  std::vector<uint32_t> adjacency;
  mesh.ComputeAdjacency(&adjacency);
  ASSERT_EQ(adjacency.size(), 36u);
  for (uint32_t f = 0; f < 12; ++f) {
    for (int k = 0; k < 3; ++k) {
      const uint32_t g = adjacency[3 * f + k];
      ASSERT_LT(g, 12u) << "face " << f << " edge " << k;
      EXPECT_NE(g, f);
      const bool pointsBack = adjacency[3 * g] == f || adjacency[3 * g + 1] == f || adjacency[3 * g + 2] == f;
      EXPECT_TRUE(pointsBack) << f << " -> " << g;
    }
  }
}

TEST(XMeshLoad, AdjacencyOfAFannedQuadLinksOnlyTheDiagonal)
{
  const XMeshData mesh = MustLoad(Bytes(kQuadText));
  std::vector<uint32_t> adjacency;
  mesh.ComputeAdjacency(&adjacency);
  // Faces (0 1 2) and (0 2 3) share only the diagonal 0-2: face 0's edge 2 and face 1's edge 0.
  const std::vector<uint32_t> expected = {kXMeshNoNeighbour, kXMeshNoNeighbour, 1, 0,
                                          kXMeshNoNeighbour, kXMeshNoNeighbour};
  EXPECT_EQ(adjacency, expected);
}

}  // namespace
