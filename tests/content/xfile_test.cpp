// The .x writer: what it writes must parse back to the same mesh, be byte-for-byte
// repeatable, and refuse what the game's 16-bit index buffers cannot hold.
#include <gtest/gtest.h>

#include "mesh/primitives.h"
#include "mesh/xfile_writer.h"
#include "x_reader.h"

using namespace contentgen;

namespace {

// A two-material mesh: a box (material 0) and a textured sphere (material 1).
CMeshData TwoMaterialMesh()
{
  CMeshData mesh = MakeBox(1, 1, 1);
  CMeshData ball = MakeSphere(0.5f, 6, 8);
  ball.ApplyTransform(Translation(0, 1, 0));
  ball.SetMaterialIndex(1);
  mesh.MergeSharingMaterials(ball);
  Material plain;
  plain.diffuse = {0.25f, 0.5f, 0.75f, 1};
  plain.specular = {0.1f, 0.2f, 0.3f, 1};
  plain.emissive = {0.4f, 0.5f, 0.6f, 1};
  plain.power = 12.5f;
  Material textured = plain;
  textured.textureFile = "ball.png";
  mesh.materials = {plain, textured};
  return mesh;
}

}  // namespace

TEST(XFileWriter, OutputParsesBackToTheSameMesh)
{
  const CMeshData mesh = TwoMaterialMesh();
  std::string text, error;
  ASSERT_TRUE(FormatXFile(mesh, "test.x", &text, &error)) << error;
  contenttest::ParsedX parsed;
  ASSERT_TRUE(contenttest::ParseX(text, &parsed, &error)) << error;

  ASSERT_EQ(parsed.positions.size(), mesh.vertices.size());
  ASSERT_EQ(parsed.normals.size(), mesh.vertices.size());
  ASSERT_EQ(parsed.uvs.size(), mesh.vertices.size());
  ASSERT_EQ(parsed.faces.size(), mesh.triangles.size());
  ASSERT_EQ(parsed.normalFaces, parsed.faces);
  ASSERT_EQ(parsed.faceMaterials.size(), mesh.triangles.size());
  for (size_t i = 0; i < mesh.vertices.size(); ++i) {
    EXPECT_NEAR(parsed.positions[i].y, mesh.vertices[i].position.y, 1e-6);
    EXPECT_NEAR(parsed.normals[i].z, mesh.vertices[i].normal.z, 1e-6);
    EXPECT_NEAR(parsed.uvs[i].x, mesh.vertices[i].uv.x, 1e-6);
  }
  for (size_t i = 0; i < mesh.triangles.size(); ++i) {
    const Triangle& t = mesh.triangles[i];
    EXPECT_EQ(parsed.faces[i], (std::vector<int>{int(t.a), int(t.b), int(t.c)}));
    EXPECT_EQ(parsed.faceMaterials[i], t.material);
  }
  ASSERT_EQ(parsed.materials.size(), 2u);
  EXPECT_FLOAT_EQ(parsed.materials[0].diffuse.b, 0.75f);
  EXPECT_FLOAT_EQ(parsed.materials[0].power, 12.5f);
  EXPECT_FLOAT_EQ(parsed.materials[0].specular.g, 0.2f);
  EXPECT_FLOAT_EQ(parsed.materials[0].emissive.r, 0.4f);
  EXPECT_EQ(parsed.materials[0].textureFile, "");
  EXPECT_EQ(parsed.materials[1].textureFile, "ball.png");
}

TEST(XFileWriter, SameMeshGivesSameBytes)
{
  std::string a, b, error;
  ASSERT_TRUE(FormatXFile(TwoMaterialMesh(), "a.x", &a, &error));
  ASSERT_TRUE(FormatXFile(TwoMaterialMesh(), "a.x", &b, &error));
  EXPECT_EQ(a, b);
  EXPECT_EQ(a.find("-0.000000"), std::string::npos) << "negative zero would make output flicker";
}

TEST(XFileWriter, RefusesMoreVerticesThanSixteenBitIndicesHold)
{
  CMeshData big;
  big.materials.resize(1);
  for (uint32_t i = 0; i < 65536; ++i) big.AddVertex({float(i), 0, 0}, {0, 1, 0}, {0, 0});
  big.AddTriangle(0, 1, 2);
  std::string text, error;
  EXPECT_FALSE(FormatXFile(big, "big.x", &text, &error));
  EXPECT_NE(error.find("big.x"), std::string::npos) << error;
  EXPECT_NE(error.find("65536 vertices"), std::string::npos) << error;
  EXPECT_NE(error.find("65535"), std::string::npos) << error;

  big.vertices.pop_back();  // exactly 65535 is fine
  EXPECT_TRUE(FormatXFile(big, "big.x", &text, &error)) << error;
}

TEST(XFileWriter, RefusesBrokenMeshes)
{
  std::string text, error;
  CMeshData mesh = MakeBox(1, 1, 1);
  EXPECT_FALSE(FormatXFile(mesh, "nomat.x", &text, &error));
  EXPECT_NE(error.find("no material"), std::string::npos);
  mesh.materials.resize(1);
  mesh.triangles[3].material = 1;
  EXPECT_FALSE(FormatXFile(mesh, "badmat.x", &text, &error));
  EXPECT_NE(error.find("material 1"), std::string::npos);
  mesh.triangles[3].material = 0;
  mesh.triangles[5].c = 9999;
  EXPECT_FALSE(FormatXFile(mesh, "badindex.x", &text, &error));
}

TEST(XReader, CatchesMalformedLists)
{
  std::string text, error;
  CMeshData mesh = MakeBox(1, 1, 1);
  mesh.materials.resize(1);
  ASSERT_TRUE(FormatXFile(mesh, "box.x", &text, &error));
  contenttest::ParsedX parsed;
  std::string broken = text;
  broken.replace(broken.find(";;"), 2, ";,");  // last vertex followed by a comma
  EXPECT_FALSE(contenttest::ParseX(broken, &parsed, &error));
  EXPECT_FALSE(contenttest::ParseX(text.substr(0, text.size() - 3), &parsed, &error));
}
