// Test helper: writes one description of .x data objects as a text file and as a
// binary file (32- or 64-bit floats), so tests can check both readers agree and can
// build large or deliberately broken files. Not a general .x writer: no templates.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CXTestWriter {
public:
  // Opens a data object; name may be empty.
  CXTestWriter& Begin(const std::string& type, const std::string& name = "");
  // Closes the innermost open object.
  CXTestWriter& End();
  // Appends integers (one binary integer list).
  CXTestWriter& Ints(const std::vector<uint32_t>& values);
  // Appends floats (one binary float list).
  CXTestWriter& Floats(const std::vector<double>& values);
  // Appends a quoted string.
  CXTestWriter& String(const std::string& value);
  // Appends a { Name } reference.
  CXTestWriter& Reference(const std::string& name);

  // The whole file in the text format.
  std::string Text() const;
  // The whole file in the binary format with 32- or 64-bit floats.
  std::vector<uint8_t> Binary(int floatBits) const;

private:
  enum class Kind { Begin, End, Ints, Floats, String, Reference };
  struct Item {
    Kind kind;
    std::string a, b;
    std::vector<uint32_t> ints;
    std::vector<double> floats;
  };
  std::vector<Item> items_;
};

// A mesh as tests describe it before writing it out.
struct XTestMesh {
  std::vector<double> positions;             // x y z per vertex
  std::vector<std::vector<uint32_t>> faces;  // corner indices per polygon
  std::vector<double> normals;               // x y z per normal; empty for none
  std::vector<std::vector<uint32_t>> normalFaces;
  std::vector<double> uvs;              // u v per vertex; empty for none
  std::vector<uint32_t> faceMaterials;  // empty for no material list
  uint32_t materialCount = 0;           // inline materials written: Mat0, Mat1, ...
};

// Writes a Mesh object (with its MeshNormals, MeshTextureCoords and MeshMaterialList children).
void WriteTestMesh(CXTestWriter* writer, const XTestMesh& mesh, const std::string& name = "");

// Writes a Material with the given diffuse colour and an optional texture file name.
void WriteTestMaterial(CXTestWriter* writer, const std::string& name, float r, float g, float b,
                       const std::string& texture = "");

// The bytes of a string, for the loader.
std::vector<uint8_t> Bytes(const std::string& text);
