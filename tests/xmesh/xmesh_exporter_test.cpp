// The .x reader on files laid out the way common exporters and converters write them:
// open templates ("[...]") and restricted ones, header comments and Header objects,
// Frame hierarchies with FrameTransformMatrix, materials declared at the top and used by
// reference, MeshNormals, MeshTextureCoords, and data objects the game has no use for
// (DeclData, XSkinMeshHeader, SkinWeights, AnimationSet) skipped; compact text with no
// white space at all, other white space, and binary files with open templates.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "xfile_writer.h"
#include "xmesh_data.h"

namespace {

// Loads the bytes, failing the test with the reader's reason.
XMeshData MustLoad(const std::vector<uint8_t>& bytes)
{
  XMeshData mesh;
  std::string error;
  EXPECT_TRUE(LoadXMesh(bytes.data(), bytes.size(), &mesh, &error)) << error;
  return mesh;
}

// A modelling tool's exporter: every standard template declared, most of them open, a
// frame with its matrix round a mesh with normals, UVs and an inline textured material.
const char kModellerExport[] = R"(xof 0303txt 0032
// DirectX - from a modelling package's exporter
// File: crate.x

template Header {
 <3D82AB43-62DA-11cf-AB39-0020AF71E433>
 WORD major;
 WORD minor;
 DWORD flags;
}

template Vector {
 <3D82AB5E-62DA-11cf-AB39-0020AF71E433>
 FLOAT x;
 FLOAT y;
 FLOAT z;
}

template Frame {
 <3D82AB46-62DA-11cf-AB39-0020AF71E433>
 [...]
}

template Matrix4x4 {
 <F6F23F45-7686-11cf-8F52-0040333594A3>
 array FLOAT matrix[16];
}

template FrameTransformMatrix {
 <F6F23F41-7686-11cf-8F52-0040333594A3>
 Matrix4x4 frameMatrix;
}

template Mesh {
 <3D82AB44-62DA-11cf-AB39-0020AF71E433>
 DWORD nVertices;
 array Vector vertices[nVertices];
 DWORD nFaces;
 array MeshFace faces[nFaces];
 [...]
}

template Material {
 <3D82AB4D-62DA-11cf-AB39-0020AF71E433>
 ColorRGBA faceColor;
 FLOAT power;
 ColorRGB specularColor;
 ColorRGB emissiveColor;
 [...]
}

template MeshMaterialList {
 <F6F23F42-7686-11cf-8F52-0040333594A3>
 DWORD nMaterials;
 DWORD nFaceIndexes;
 array DWORD faceIndexes[nFaceIndexes];
 [Material <3D82AB4D-62DA-11cf-AB39-0020AF71E433>]
}

Header{
1;
0;
1;
}

Frame Root {
  FrameTransformMatrix {
     1.000000, 0.000000, 0.000000, 0.000000,
     0.000000, 1.000000, 0.000000, 0.000000,
     0.000000, 0.000000, 1.000000, 0.000000,
     0.000000, 0.000000, 0.000000, 1.000000;;
  }
  Frame Crate {
    FrameTransformMatrix {
       2.000000, 0.000000, 0.000000, 0.000000,
       0.000000, 2.000000, 0.000000, 0.000000,
       0.000000, 0.000000, 2.000000, 0.000000,
       5.000000, 0.000000, 0.000000, 1.000000;;
    }
    Mesh {
      4;
      -0.500000; 0.000000; 0.500000;,
       0.500000; 0.000000; 0.500000;,
       0.500000; 0.000000;-0.500000;,
      -0.500000; 0.000000;-0.500000;;
      2;
      3;0,1,2;,
      3;0,2,3;;
      MeshNormals {
        1;
        0.000000; 1.000000; 0.000000;;
        2;
        3;0,0,0;,
        3;0,0,0;;
      }
      MeshTextureCoords {
        4;
        0.000000; 0.000000;,
        1.000000; 0.000000;,
        1.000000; 1.000000;,
        0.000000; 1.000000;;
      }
      MeshMaterialList {
        1;
        2;
        0,
        0;;
        Material Wood {
          0.640000; 0.400000; 0.200000; 1.000000;;
          96.078431;
          0.500000; 0.500000; 0.500000;;
          0.000000; 0.000000; 0.000000;;
          TextureFilename {"crate.png";}
        }
      }
    }
  }
}
)";

TEST(XMeshExporters, ModellerExportWithOpenTemplatesLoadsWithItsFrameTransform)
{
  const XMeshData mesh = MustLoad(Bytes(kModellerExport));
  ASSERT_EQ(mesh.VertexCount(), 4u);
  ASSERT_EQ(mesh.FaceCount(), 2u);
  EXPECT_EQ(mesh.positions[0], D3DXVECTOR3(4.0f, 0.0f, 1.0f)) << "scaled by 2, moved by 5 along x";
  EXPECT_EQ(mesh.positions[2], D3DXVECTOR3(6.0f, 0.0f, -1.0f));
  EXPECT_TRUE(mesh.hasNormals);
  EXPECT_EQ(mesh.normals[1], D3DXVECTOR3(0.0f, 1.0f, 0.0f));
  EXPECT_EQ(mesh.uvs[2], D3DXVECTOR2(1.0f, 1.0f));
  ASSERT_EQ(mesh.materials.size(), 1u);
  EXPECT_FLOAT_EQ(mesh.materials[0].diffuse.g, 0.4f);
  EXPECT_EQ(mesh.materials[0].textureFileName, "crate.png");
}

// A converter's output: materials declared once at the top and used by reference from the
// mesh's list (one of them by name and guid), skinning headers, vertex declarations,
// duplication indices and an animation set that the reader must step over.
const char kConverterExport[] = R"(xof 0303txt 0032
template XSkinMeshHeader {
 <3CF169CE-FF7C-44ab-93C0-F78F62D172E2>
 WORD nMaxSkinWeightsPerVertex;
 WORD nMaxSkinWeightsPerFace;
 WORD nBones;
}
template DeclData {
 <BF22E553-292C-4781-9FEA-62BD554BDD93>
 DWORD nElements;
 array VertexElement Elements[nElements];
 DWORD nDWords;
 array DWORD data[nDWords];
}
template AnimTicksPerSecond {
 <9E415A43-7BA6-4a73-8743-B73D47E88476>
 DWORD AnimTicksPerSecond;
}
AnimTicksPerSecond {
 4800;
}
Material Red {
 1.000000;0.000000;0.000000;1.000000;;
 0.000000;
 0.000000;0.000000;0.000000;;
 0.000000;0.000000;0.000000;;
}
Material Blue {
 0.000000;0.000000;1.000000;1.000000;;
 0.000000;
 0.000000;0.000000;0.000000;;
 0.000000;0.000000;0.000000;;
}
Frame Scene_Root {
 FrameTransformMatrix {
  1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0;;
 }
 Frame Body {
  FrameTransformMatrix {
   1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,3.0,0.0,1.0;;
  }
  Mesh Body_mesh {
   3;
   0.0;0.0;0.0;,
   1.0;0.0;0.0;,
   0.0;0.0;1.0;;
   1;
   3;0,2,1;;
   XSkinMeshHeader {
    1;
    3;
    1;
   }
   SkinWeights {
    "Bone01";
    3;
    0,1,2;
    1.0,1.0,1.0;
    1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0;;
   }
   DeclData {
    1;
    2;0;5;1;;
    6;
    0,0,0,0,0,0;
   }
   VertexDuplicationIndices {
    3;
    3;
    0,
    1,
    2;
   }
   MeshMaterialList {
    2;
    1;
    1;;
    {Red}
    { Blue <3D82AB4D-62DA-11cf-AB39-0020AF71E433> }
   }
  }
 }
}
AnimationSet Idle {
 Animation {
  {Body}
  AnimationKey {
   0;
   1;
   0;4;1.0,0.0,0.0,0.0;;;
  }
 }
}
)";

TEST(XMeshExporters, ConverterExportUsesMaterialsByReferenceAndSkipsWhatItDoesNotNeed)
{
  const XMeshData mesh = MustLoad(Bytes(kConverterExport));
  ASSERT_EQ(mesh.VertexCount(), 3u);
  ASSERT_EQ(mesh.FaceCount(), 1u);
  EXPECT_EQ(mesh.positions[1], D3DXVECTOR3(1.0f, 3.0f, 0.0f));
  ASSERT_EQ(mesh.materials.size(), 2u);
  EXPECT_FLOAT_EQ(mesh.materials[0].diffuse.r, 1.0f);
  EXPECT_FLOAT_EQ(mesh.materials[1].diffuse.b, 1.0f);
  EXPECT_EQ(mesh.attributes, std::vector<uint32_t>{1}) << "the face uses the second material";
}

// The same triangle with no white space between tokens, and with tabs, form feeds and
// CR LF line ends between them: both load alike.
TEST(XMeshExporters, NoWhiteSpaceOrAnyWhiteSpaceBetweenTokensLoadsAlike)
{
  const std::string compact =
      "xof 0303txt 0032template Frame{<3D82AB46-62DA-11cf-AB39-0020AF71E433>[...]}"
      "Frame F{FrameTransformMatrix{1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,-2.5,1.0;;}"
      "Mesh M{3;0.0;0.0;0.0;,1.0;0.0;0.0;,0.0;1.0;0.0;;1;3;0,1,2;;"
      "MeshMaterialList{1;1;0;;Material{0.5;0.5;0.5;1.0;;1.0;0.0;0.0;0.0;;0.0;0.0;0.0;;}}}}";
  std::string spaced = "xof 0303txt 0032\r\n";
  for (size_t i = 16; i < compact.size(); ++i) {
    spaced += compact[i];
    if (compact[i] == ';' || compact[i] == '{' || compact[i] == '}') spaced += "\t\r\n\f ";
  }
  const XMeshData a = MustLoad(Bytes(compact));
  const XMeshData b = MustLoad(Bytes(spaced));
  ASSERT_EQ(a.VertexCount(), 3u);
  ASSERT_EQ(b.VertexCount(), 3u);
  EXPECT_EQ(a.positions[2], D3DXVECTOR3(0.0f, 1.0f, -2.5f));
  EXPECT_EQ(b.positions[2], a.positions[2]);
  EXPECT_EQ(a.indices, b.indices);
  ASSERT_EQ(a.materials.size(), 1u);
  EXPECT_FLOAT_EQ(b.materials[0].diffuse.g, 0.5f);
}

// Number lists are stored without their separators, but a bare word's separator is
// kept: "Flat; MeshNormals {" is a word and then the normals, not an object of type
// Flat named MeshNormals.
TEST(XMeshExporters, BareWordBeforeAChildObjectStaysAWord)
{
  const std::string text =
      "xof 0303txt 0032\n"
      "Mesh M { 3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;; 1; 3;0,1,2;;\n"
      " Flat;\n"
      " MeshNormals { 1; 0.0;0.0;-1.0;; 1; 3;0,0,0;; }\n"
      "}\n";
  const XMeshData mesh = MustLoad(Bytes(text));
  ASSERT_EQ(mesh.VertexCount(), 3u);
  EXPECT_TRUE(mesh.hasNormals);
  EXPECT_EQ(mesh.normals[1], D3DXVECTOR3(0.0f, 0.0f, -1.0f));
  EXPECT_EQ(mesh.positions[1], D3DXVECTOR3(1.0f, 0.0f, 0.0f));
}

// Binary files carry open templates as bracket and dot tokens, 32- or 64-bit floats.
TEST(XMeshExporters, BinaryFilesWithOpenTemplatesLoadInBothFloatSizes)
{
  for (const int floatBits : {32, 64}) {
    std::vector<uint8_t> bytes;
    const char* header = floatBits == 32 ? "xof 0303bin 0032" : "xof 0303bin 0064";
    bytes.insert(bytes.end(), header, header + 16);
    auto word = [&bytes](uint16_t v) {
      bytes.push_back((uint8_t)v);
      bytes.push_back((uint8_t)(v >> 8));
    };
    auto dword = [&](uint32_t v) {
      word((uint16_t)v);
      word((uint16_t)(v >> 16));
    };
    auto name = [&](const char* text) {
      word(1);
      dword((uint32_t)std::strlen(text));
      bytes.insert(bytes.end(), text, text + std::strlen(text));
    };
    // template Mesh { <guid> [...] }
    word(31);
    name("Mesh");
    word(10);
    word(5);
    bytes.insert(bytes.end(), 16, 0x44);
    word(14);
    for (int i = 0; i < 3; ++i) word(18);
    word(15);
    word(11);
    // Mesh { 3 vertices, 1 face }
    name("Mesh");
    word(10);
    word(6);
    dword(1);
    dword(3);
    word(7);
    dword(9);
    const double corners[9] = {0, 0, 0, 0, 0, 2, 2, 0, 0};
    for (double c : corners) {
      if (floatBits == 32) {
        const float f = (float)c;
        uint32_t raw;
        std::memcpy(&raw, &f, 4);
        dword(raw);
      } else {
        uint64_t raw;
        std::memcpy(&raw, &c, 8);
        dword((uint32_t)raw);
        dword((uint32_t)(raw >> 32));
      }
    }
    word(6);
    dword(5);
    for (uint32_t v : {1u, 3u, 0u, 1u, 2u}) dword(v);
    word(11);
    const XMeshData mesh = MustLoad(bytes);
    ASSERT_EQ(mesh.VertexCount(), 3u) << floatBits;
    EXPECT_EQ(mesh.positions[1], D3DXVECTOR3(0.0f, 0.0f, 2.0f)) << floatBits;
    EXPECT_EQ(mesh.indices, (std::vector<uint32_t>{0, 1, 2})) << floatBits;
  }
}

}  // namespace
