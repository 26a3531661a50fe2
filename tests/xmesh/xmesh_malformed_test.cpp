// Tests of the .x reader on broken input: truncated, lying, hostile and oversized files
// must fail with a reason and an empty mesh, never crash or read past the end.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "xfile_writer.h"
#include "xmesh_data.h"

namespace {

// A small valid file with every template the reader understands.
CXTestWriter SampleWriter()
{
  XTestMesh m;
  m.positions = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
  m.faces = {{0, 1, 2, 3}, {0, 2, 1}};
  m.normals = {0, 0, 1, 0, 0, -1};
  m.normalFaces = {{0, 0, 0, 0}, {1, 1, 1}};
  m.uvs = {0, 0, 1, 0, 1, 1, 0, 1};
  m.materialCount = 2;
  m.faceMaterials = {1, 0};
  CXTestWriter w;
  w.Begin("Frame", "Root").Begin("FrameTransformMatrix");
  w.Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}).End();
  WriteTestMesh(&w, m, "Sample");
  w.End();
  return w;
}

// Loads and reports success; on failure also checks the mesh is left empty and a reason given.
bool Loads(const std::vector<uint8_t>& bytes, std::string* reason = nullptr)
{
  XMeshData mesh;
  mesh.positions.resize(3);  // must be cleared by the loader either way
  std::string error;
  const bool ok = LoadXMesh(bytes.data(), bytes.size(), &mesh, &error);
  if (!ok) {
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(mesh.VertexCount(), 0u);
    EXPECT_EQ(mesh.FaceCount(), 0u);
    EXPECT_TRUE(mesh.materials.empty());
  }
  if (reason != nullptr) *reason = error;
  return ok;
}

// A text file: the header then the body.
std::vector<uint8_t> TextFile(const std::string& body)
{
  return Bytes("xof 0303txt 0032\n" + body);
}

// ---- headers ------------------------------------------------------------------------------

TEST(XMeshMalformed, BadOrCompressedHeadersFailWithAReason)
{
  const std::string body = SampleWriter().Text().substr(16);
  std::string reason;
  EXPECT_FALSE(Loads(Bytes("xof 0303tzip0032" + body), &reason));
  EXPECT_NE(reason.find("compressed"), std::string::npos) << reason;
  EXPECT_FALSE(Loads(Bytes("xof 0303bzip0032" + body)));
  EXPECT_FALSE(Loads(Bytes("xof 0303txt 0016" + body)));
  EXPECT_FALSE(Loads(Bytes("xof 03a3txt 0032" + body)));
  EXPECT_FALSE(Loads(Bytes("xog 0303txt 0032" + body)));
  EXPECT_FALSE(Loads(Bytes("xof 0303txt")));
  EXPECT_FALSE(Loads({}));
  XMeshData mesh;
  std::string error;
  EXPECT_FALSE(LoadXMesh(nullptr, 0, &mesh, &error));
}

TEST(XMeshMalformed, FileWithoutMeshFails)
{
  std::string reason;
  EXPECT_FALSE(Loads(TextFile("Frame Empty { }\n"), &reason));
  EXPECT_NE(reason.find("no mesh"), std::string::npos) << reason;
  EXPECT_FALSE(Loads(TextFile("")));
}

// ---- truncation -----------------------------------------------------------------------------

TEST(XMeshMalformed, EveryTruncationOfATextFileFails)
{
  const std::string text = SampleWriter().Text();
  ASSERT_TRUE(Loads(Bytes(text)));
  const size_t lastBrace = text.rfind('}');
  for (size_t n = 0; n < lastBrace; ++n) {
    EXPECT_FALSE(Loads(Bytes(text.substr(0, n)))) << "length " << n;
  }
}

TEST(XMeshMalformed, EveryTruncationOfABinaryFileFails)
{
  for (const int bits : {32, 64}) {
    const std::vector<uint8_t> bytes = SampleWriter().Binary(bits);
    ASSERT_TRUE(Loads(bytes));
    for (size_t n = 0; n < bytes.size(); ++n) {
      // Exact-size copies so a read past the end is a read past the allocation.
      const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
      EXPECT_FALSE(Loads(cut)) << bits << "-bit, length " << n;
    }
  }
}

// ---- lying counts ---------------------------------------------------------------------------

TEST(XMeshMalformed, BinaryListCountsLargerThanTheFileFailWithoutAllocating)
{
  for (const uint32_t count : {0xFFFFFFFFu, 0x40000000u, 1000u}) {
    std::vector<uint8_t> bytes = Bytes("xof 0303bin 0032");
    const uint8_t tokens[] = {1, 0, 4, 0, 0, 0, 'M', 'e', 's', 'h', 10, 0, 7, 0};
    bytes.insert(bytes.end(), std::begin(tokens), std::end(tokens));
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(count >> (8 * i)));
    bytes.insert(bytes.end(), 12, 0);  // three floats where `count` were promised
    EXPECT_FALSE(Loads(bytes)) << count;
    bytes[12] = 6;  // the same as an integer list
    EXPECT_FALSE(Loads(bytes)) << count;
  }
}

TEST(XMeshMalformed, NameAndStringLengthsPastTheEndFail)
{
  std::vector<uint8_t> bytes = Bytes("xof 0303bin 0032");
  const uint8_t name[] = {1, 0, 0xFF, 0xFF, 0xFF, 0x7F, 'M'};
  bytes.insert(bytes.end(), std::begin(name), std::end(name));
  EXPECT_FALSE(Loads(bytes));
  bytes[16] = 2;  // TOKEN_STRING with the same length
  EXPECT_FALSE(Loads(bytes));
}

TEST(XMeshMalformed, TextCountsThatTheNumbersCannotBackFail)
{
  const char* const bodies[] = {
      "Mesh { 1000000000; 0;0;0;; 1; 3;0,0,0;; }",                // vertex count far beyond the numbers
      "Mesh { 3; 0;0;0;,1;0;0;,0;1;0;; 99999999; 3;0,1,2;; }",    // face count
      "Mesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 4000000000;0,1,2;; }",  // corner count
      "Mesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,5;; }",           // index past the vertices
      "Mesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 2;0,1;; }",             // a two-cornered face
      "Mesh { -3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; }",          // negative count
      "Mesh { 2.5; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; }",         // fractional count
      "Mesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; MeshNormals { 500000; 0;0;1;; 1; 3;0,0,0;; } }",
      "Mesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; MeshNormals { 1; 0;0;1;; 1; 3;0,0,1;; } }",
      "Mesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; MeshNormals { 1; 0;0;1;; 1; 4;0,0,0,0;; } }",
      "Mesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; MeshNormals { 1; 0;0;1;; 2; 3;0,0,0;,3;0,0,0;; } }",
      "Mesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; MeshTextureCoords { 700000; 0;0;; } }",
      "Mesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; MeshTextureCoords { 2; 0;0;,1;1;; } }",
      "Mesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; MeshMaterialList { 2000000000; 1; 0;; } }",
      "Mesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; MeshMaterialList { 1; 900000; 0;; Material { 1;1;1;1;; 1; 0;0;0;; "
      "0;0;0;; } } }",
      "Mesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; MeshMaterialList { 1; 1; 1;; Material { 1;1;1;1;; 1; 0;0;0;; "
      "0;0;0;; } } }",
      "Mesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; MeshMaterialList { 1; 1; 0;; Material { 1;1;1;1;; 1; } } }",
      "Mesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; MeshMaterialList { 1; 1; 0;; { Missing } } }",
      "Frame { FrameTransformMatrix { 1;0;0; } Mesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; } }",
      "Frame { FrameTransformMatrix { 1e30,0,0,0, 0,1e30,0,0, 0,0,1e30,0, 0,0,0,1;; } Mesh { 3; "
      "1e30;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; } }",
      "Mesh { 3; 0;0;0;,1;0;0;,0;1;1e999;; 1; 3;0,1,2;; }",  // out of range number
      "Mesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;;",        // unclosed
      "Mesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; } }",    // extra brace
      "Mesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; \"unterminated }",
      "Mesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; <guid }",
      "Mesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; @ }",
      "template Mesh { <3d82ab44-62da-11cf-ab39-0020af71e433> DWORD n;",
      "Mesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; template T { } }",
  };
  const std::string good = "Mesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; }";
  ASSERT_TRUE(Loads(TextFile(good)));
  for (const char* body : bodies) EXPECT_FALSE(Loads(TextFile(body))) << body;
}

TEST(XMeshMalformed, NonFiniteBinaryFloatsFail)
{
  for (const uint32_t bits : {0x7FC00000u, 0x7F800000u, 0xFF800000u}) {
    CXTestWriter w;
    w.Begin("Mesh").Ints({3}).Floats({0, 0, 0, 1, 0, 0, 0, 1, 0}).Ints({1, 3, 0, 1, 2}).End();
    std::vector<uint8_t> bytes = w.Binary(32);
    ASSERT_TRUE(Loads(bytes));
    // The float list starts after: header 16, name 10, brace 2, int list 10, token+count 6.
    std::memcpy(&bytes[16 + 10 + 2 + 10 + 6 + 4], &bits, 4);
    EXPECT_FALSE(Loads(bytes)) << std::hex << bits;
  }
}

TEST(XMeshMalformed, DeepNestingFailsInsteadOfExhaustingTheStack)
{
  std::string body;
  for (int i = 0; i < 100000; ++i) body += "Frame {";
  EXPECT_FALSE(Loads(TextFile(body)));
  std::string references;
  for (int i = 0; i < 100000; ++i) references += "{";
  EXPECT_FALSE(Loads(TextFile("Mesh " + references)));
}

TEST(XMeshMalformed, RandomByteDamageNeverCrashesAndFailuresLeaveTheMeshEmpty)
{
  std::mt19937 random(1234);
  for (const int bits : {32, 64}) {
    const std::vector<uint8_t> original = SampleWriter().Binary(bits);
    const std::string text = SampleWriter().Text();
    for (int round = 0; round < 3000; ++round) {
      std::vector<uint8_t> bytes = round % 2 ? original : Bytes(text);
      const int hits = 1 + static_cast<int>(random() % 4);
      for (int h = 0; h < hits; ++h) {
        const size_t at = 16 + random() % (bytes.size() - 16);
        bytes[at] = static_cast<uint8_t>(random());
      }
      Loads(bytes);  // the helper checks failures are clean; success is allowed
    }
  }
}

// ---- the 16-bit vertex limit ------------------------------------------------------------------

// A strip of n vertices in a row with faces (i, i+1, i+2); optionally flat normals that
// alternate per face so every vertex is used with two normals.
std::vector<uint8_t> StripFile(uint32_t n, bool alternatingNormals)
{
  CXTestWriter w;
  std::vector<double> positions;
  for (uint32_t i = 0; i < n; ++i) positions.insert(positions.end(), {static_cast<double>(i), (i % 2) * 1.0, 0.0});
  w.Begin("Mesh").Ints({n}).Floats(positions).Ints({n - 2});
  for (uint32_t i = 0; i + 2 < n; ++i) w.Ints({3, i, i + 1, i + 2});
  if (alternatingNormals) {
    w.Begin("MeshNormals").Ints({2}).Floats({0, 0, 1, 0, 0, -1}).Ints({n - 2});
    for (uint32_t i = 0; i + 2 < n; ++i) w.Ints({3, i % 2, i % 2, i % 2});
    w.End();
  }
  w.End();
  return w.Binary(32);
}

TEST(XMeshMalformed, SixtyFiveThousandFiveHundredThirtyFiveVerticesLoad)
{
  XMeshData mesh;
  std::string error;
  const std::vector<uint8_t> bytes = StripFile(65535, false);
  ASSERT_TRUE(LoadXMesh(bytes.data(), bytes.size(), &mesh, &error)) << error;
  EXPECT_EQ(mesh.VertexCount(), 65535u);
  EXPECT_TRUE(mesh.IndicesFitSixteenBits());
}

TEST(XMeshMalformed, SixtyFiveThousandFiveHundredThirtySixVerticesAreRefusedWithAClearReason)
{
  std::string reason;
  EXPECT_FALSE(Loads(StripFile(65536, false), &reason));
  EXPECT_NE(reason.find("65535"), std::string::npos) << reason;
  EXPECT_NE(reason.find("16-bit"), std::string::npos) << reason;
}

TEST(XMeshMalformed, VertexSplittingPastTheLimitIsRefused)
{
  // 40,000 file vertices fit, but alternating normals double nearly all of them.
  std::string reason;
  EXPECT_FALSE(Loads(StripFile(40000, true), &reason));
  EXPECT_NE(reason.find("65535"), std::string::npos) << reason;
  EXPECT_TRUE(Loads(StripFile(30000, true)));
}

TEST(XMeshMalformed, MergedMeshesPastTheLimitAreRefused)
{
  // Two meshes of 40,000 vertices each: fine alone, too many once merged.
  const std::vector<uint8_t> one = StripFile(40000, false);
  std::vector<uint8_t> two = one;
  two.insert(two.end(), one.begin() + 16, one.end());
  EXPECT_TRUE(Loads(one));
  std::string reason;
  EXPECT_FALSE(Loads(two, &reason));
  EXPECT_NE(reason.find("65535"), std::string::npos) << reason;
}

}  // namespace
