// CMesh through the mesh cache: materials, textures and normal maps per subset, the
// name rule of normal maps, failed loads, and ray queries through D3DXIntersect.
#include "shader_fixture.h"

#include <cstring>
#include <filesystem>
#include <fstream>

using OstrelLibrary::CGraphics;
using OstrelLibrary::InsertBeforeExtension;

namespace {

// Three triangles, one per material: textured, textured with a missing file, bare.
const char* kThreeMaterials =
    "xof 0302txt 0032\n"
    "Mesh {\n"
    " 9;\n"
    " 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;,\n"
    " 2.0;0.0;0.0;, 3.0;0.0;0.0;, 2.0;1.0;0.0;,\n"
    " 4.0;0.0;0.0;, 5.0;0.0;0.0;, 4.0;1.0;0.0;;\n"
    " 3;\n"
    " 3;0,2,1;, 3;3,5,4;, 3;6,8,7;;\n"
    " MeshMaterialList {\n"
    "  3; 3; 0, 1, 2;;\n"
    "  Material { 1.0;0.0;0.0;1.0;; 10.0; 0.5;0.5;0.5;; 0.0;0.0;0.0;; TextureFilename { \"shared.png\"; } }\n"
    "  Material { 0.0;1.0;0.0;1.0;; 20.0; 0.5;0.5;0.5;; 0.0;0.0;0.0;; TextureFilename { \"gone.png\"; } }\n"
    "  Material { 0.0;0.0;1.0;0.5;; 30.0; 0.0;0.0;0.0;; 0.2;0.2;0.2;; }\n"
    " }\n"
    "}\n";

// A second model naming the same texture as the first one's first material.
const char* kSharedTexture =
    "xof 0302txt 0032\n"
    "Mesh {\n"
    " 3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;;\n"
    " 1; 3;0,2,1;;\n"
    " MeshMaterialList { 1; 1; 0;; Material { 1.0;1.0;1.0;1.0;; 1.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;;"
    " TextureFilename { \"shared.png\"; } } }\n"
    "}\n";

using MeshTest = ShaderTest;

TEST_F(MeshTest, EachMaterialGetsItsSubsetTextureAndNormalMapLookup)
{
  const std::string dir = TestScratchDir() + "/models/";
  std::filesystem::create_directories(dir);
  std::ofstream(dir + "three.x") << kThreeMaterials;
  std::ofstream(dir + "other.x") << kSharedTexture;
  ASSERT_TRUE(WriteTga(dir + "shared.png", 2, 2, std::vector<D3DCOLOR>(4, 0xFF336699)));
  ASSERT_TRUE(WriteTga(dir + "shared.normal.png", 2, 2, std::vector<D3DCOLOR>(4, 0xFFB0B0FF)));

  const auto mesh = Mesh(dir + "three.x");
  ASSERT_NE(mesh->mesh, nullptr);
  EXPECT_EQ(mesh->fileName, "three.x");
  ASSERT_EQ(mesh->materials.size(), 3u);
  ASSERT_EQ(mesh->textures.size(), 3u);
  ASSERT_EQ(mesh->normalTextures.size(), 3u);
  EXPECT_FLOAT_EQ(mesh->materials[1].Diffuse.g, 1.0f);
  EXPECT_FLOAT_EQ(mesh->materials[2].Power, 30.0f);
  // Ambient takes the diffuse colour.
  EXPECT_FLOAT_EQ(mesh->materials[0].Ambient.r, 1.0f);
  EXPECT_FLOAT_EQ(mesh->materials[2].Ambient.a, 0.5f);

  EXPECT_NE(mesh->textures[0]->texture, nullptr);
  EXPECT_NE(mesh->normalTextures[0]->texture, nullptr);
  EXPECT_EQ(mesh->textures[1]->texture, nullptr);
  EXPECT_EQ(mesh->normalTextures[1]->texture, nullptr);
  // A material without a texture looked up the bare directory, which is no image.
  EXPECT_EQ(mesh->textures[2]->texture, nullptr);
  CGraphics* graphics = CGraphics::GetInstance();
  EXPECT_EQ(graphics->textureCache.count(dir), 1u);
  EXPECT_EQ(graphics->textureCache.count(dir + "gone.normal.png"), 1u);

  DWORD subsets = 0;
  ASSERT_EQ(mesh->mesh->GetAttributeTable(nullptr, &subsets), D3D_OK);
  EXPECT_EQ(subsets, 3u);
  EXPECT_EQ(mesh->mesh->GetNumFaces(), 3u);
  EXPECT_EQ(mesh->mesh->GetNumBytesPerVertex(), 32u);

  // A texture shared by two models is loaded once.
  const auto other = Mesh(dir + "other.x");
  ASSERT_EQ(other->textures.size(), 1u);
  EXPECT_EQ(other->textures[0].get(), mesh->textures[0].get());
}

TEST_F(MeshTest, FailedLoadsAreCachedEmpty)
{
  const std::string missing = TestScratchDir() + "/nowhere.x";
  const auto first = Mesh(missing);
  const auto second = Mesh(missing);
  EXPECT_EQ(first.get(), second.get());
  EXPECT_EQ(first->mesh, nullptr);
  EXPECT_TRUE(first->materials.empty());
  EXPECT_TRUE(first->textures.empty());

  const std::string broken = TestScratchDir() + "/broken.x";
  std::ofstream(broken) << "xof 0302txt 0032\nMesh { 3; 0.0;0.0;";
  EXPECT_EQ(Mesh(broken)->mesh, nullptr);
}

TEST(InsertBeforeExtension, PutsTheSuffixBeforeTheLastDot)
{
  EXPECT_EQ(InsertBeforeExtension("res/game/wall.png", "normal"), "res/game/wall.normal.png");
  EXPECT_EQ(InsertBeforeExtension("a.b.png", "normal"), "a.b.normal.png");
  // The last dot may sit in a directory name; the rule does not care.
  EXPECT_EQ(InsertBeforeExtension("res/v1.2/wall", "normal"), "res/v1.normal.2/wall");
  EXPECT_EQ(InsertBeforeExtension("res/game/wall", "normal"), "");
  EXPECT_EQ(InsertBeforeExtension("", "normal"), "");
}

TEST_F(MeshTest, IntersectFindsTheNearestFaceInUnitsOfTheDirection)
{
  const auto box = Mesh("res/test/box.x");
  ASSERT_NE(box->mesh, nullptr);
  D3DXVECTOR3 low, high;
  MeshBounds(*box, &low, &high);
  ASSERT_LT(low.y, high.y);

  // Straight down onto the lid from 10 above, with a direction twice unit length, off
  // the middle so that the ray meets no edge shared by two faces.
  const D3DXVECTOR3 origin(0.13f, high.y + 10.0f, 0.29f);
  const D3DXVECTOR3 down(0.0f, -2.0f, 0.0f);
  BOOL hit = FALSE;
  DWORD face = 0;
  float u = 0.0f, v = 0.0f, distance = 0.0f;
  DWORD hits = 0;
  ASSERT_EQ(D3DXIntersect(box->mesh, &origin, &down, &hit, &face, &u, &v, &distance, nullptr, &hits), D3D_OK);
  ASSERT_TRUE(hit);
  EXPECT_NEAR(distance, 5.0f, 0.02f);
  EXPECT_LT(face, box->mesh->GetNumFaces());
  EXPECT_EQ(hits, 2u) << "in through the lid, out through the bottom";

  // The face's corners, read through the index lock, hold the hit point.
  void* indexData = nullptr;
  void* vertexData = nullptr;
  ASSERT_EQ(box->mesh->LockIndexBuffer(D3DLOCK_READONLY, &indexData), D3D_OK);
  ASSERT_EQ(box->mesh->LockVertexBuffer(D3DLOCK_READONLY, &vertexData), D3D_OK);
  const uint16_t* indices = static_cast<const uint16_t*>(indexData);
  D3DXVECTOR3 corner[3];
  for (int k = 0; k < 3; ++k) {
    std::memcpy(&corner[k], static_cast<const char*>(vertexData) + indices[face * 3 + k] * 32, 12);
  }
  box->mesh->UnlockVertexBuffer();
  box->mesh->UnlockIndexBuffer();
  const D3DXVECTOR3 fromCorners = corner[0] + (corner[1] - corner[0]) * u + (corner[2] - corner[0]) * v;
  const D3DXVECTOR3 fromRay = origin + down * distance;
  EXPECT_NEAR(fromCorners.x, fromRay.x, 1e-3f);
  EXPECT_NEAR(fromCorners.y, fromRay.y, 1e-3f);
  EXPECT_NEAR(fromCorners.z, fromRay.z, 1e-3f);

  // Pointing away, nothing.
  const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
  ASSERT_EQ(D3DXIntersect(box->mesh, &origin, &up, &hit, &face, &u, &v, &distance, nullptr, nullptr), D3D_OK);
  EXPECT_FALSE(hit);
}

TEST_F(MeshTest, WrittenVerticesMoveTheRayAnswers)
{
  const auto box = Mesh("res/test/box.x");
  ASSERT_NE(box->mesh, nullptr);
  const D3DXVECTOR3 origin(0.0f, 20.0f, 0.0f);
  const D3DXVECTOR3 down(0.0f, -1.0f, 0.0f);
  BOOL hit = FALSE;
  float before = 0.0f, after = 0.0f;
  D3DXIntersect(box->mesh, &origin, &down, &hit, nullptr, nullptr, nullptr, &before, nullptr, nullptr);
  ASSERT_TRUE(hit);
  // Lift every vertex by 1: the hierarchy must be rebuilt after the write.
  void* data = nullptr;
  ASSERT_EQ(box->mesh->LockVertexBuffer(0, &data), D3D_OK);
  for (DWORD i = 0; i < box->mesh->GetNumVertices(); ++i) {
    reinterpret_cast<float*>(static_cast<char*>(data) + i * 32)[1] += 1.0f;
  }
  box->mesh->UnlockVertexBuffer();
  D3DXIntersect(box->mesh, &origin, &down, &hit, nullptr, nullptr, nullptr, &after, nullptr, nullptr);
  ASSERT_TRUE(hit);
  EXPECT_NEAR(before - after, 1.0f, 1e-4f);
  // Put it back: the mesh is shared through the cache for the rest of this process.
  box->mesh->LockVertexBuffer(0, &data);
  for (DWORD i = 0; i < box->mesh->GetNumVertices(); ++i) {
    reinterpret_cast<float*>(static_cast<char*>(data) + i * 32)[1] -= 1.0f;
  }
  box->mesh->UnlockVertexBuffer();
}

}  // namespace
