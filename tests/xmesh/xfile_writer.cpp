// Test helper: the text and binary .x writers (see xfile_writer.h).
#include "xfile_writer.h"

#include <cstdio>
#include <cstring>

namespace {

// Appends a little-endian 16-bit value.
void PutWord(std::vector<uint8_t>* out, uint16_t v)
{
  out->push_back(static_cast<uint8_t>(v));
  out->push_back(static_cast<uint8_t>(v >> 8));
}

// Appends a little-endian 32-bit value.
void PutDword(std::vector<uint8_t>* out, uint32_t v)
{
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Appends raw bytes.
void PutBytes(std::vector<uint8_t>* out, const std::string& s)
{
  out->insert(out->end(), s.begin(), s.end());
}

// Appends a TOKEN_NAME record.
void PutName(std::vector<uint8_t>* out, const std::string& name)
{
  PutWord(out, 1);
  PutDword(out, static_cast<uint32_t>(name.size()));
  PutBytes(out, name);
}

// A float spelled so it reads back as the same float.
std::string FloatText(double v)
{
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.17g", v);
  return buffer;
}

}  // namespace

// Records an object opening.
CXTestWriter& CXTestWriter::Begin(const std::string& type, const std::string& name)
{
  items_.push_back(Item{Kind::Begin, type, name, {}, {}});
  return *this;
}

// Records an object closing.
CXTestWriter& CXTestWriter::End()
{
  items_.push_back(Item{Kind::End, "", "", {}, {}});
  return *this;
}

// Records an integer group.
CXTestWriter& CXTestWriter::Ints(const std::vector<uint32_t>& values)
{
  items_.push_back(Item{Kind::Ints, "", "", values, {}});
  return *this;
}

// Records a float group.
CXTestWriter& CXTestWriter::Floats(const std::vector<double>& values)
{
  items_.push_back(Item{Kind::Floats, "", "", {}, values});
  return *this;
}

// Records a string.
CXTestWriter& CXTestWriter::String(const std::string& value)
{
  items_.push_back(Item{Kind::String, value, "", {}, {}});
  return *this;
}

// Records a reference.
CXTestWriter& CXTestWriter::Reference(const std::string& name)
{
  items_.push_back(Item{Kind::Reference, name, "", {}, {}});
  return *this;
}

// Numbers are separated by commas and each group ends with a semicolon, as exporters write.
std::string CXTestWriter::Text() const
{
  std::string out = "xof 0303txt 0032\n";
  int depth = 0;
  for (const Item& item : items_) {
    const std::string indent(2 * static_cast<size_t>(depth), ' ');
    switch (item.kind) {
    case Kind::Begin:
      out += indent + item.a + (item.b.empty() ? "" : " " + item.b) + " {\n";
      ++depth;
      break;
    case Kind::End:
      --depth;
      out += std::string(2 * static_cast<size_t>(depth), ' ') + "}\n";
      break;
    case Kind::Ints:
      out += indent;
      for (size_t i = 0; i < item.ints.size(); ++i) out += (i ? "," : "") + std::to_string(item.ints[i]);
      out += ";\n";
      break;
    case Kind::Floats:
      out += indent;
      for (size_t i = 0; i < item.floats.size(); ++i) out += (i ? "," : "") + FloatText(item.floats[i]);
      out += ";\n";
      break;
    case Kind::String:
      out += indent + "\"" + item.a + "\";\n";
      break;
    case Kind::Reference:
      out += indent + "{ " + item.a + " }\n";
      break;
    }
  }
  return out;
}

// Tokens as the binary format lays them out; strings end with a DWORD semicolon token.
std::vector<uint8_t> CXTestWriter::Binary(int floatBits) const
{
  std::vector<uint8_t> out;
  PutBytes(&out, floatBits == 64 ? "xof 0303bin 0064" : "xof 0303bin 0032");
  for (const Item& item : items_) {
    switch (item.kind) {
    case Kind::Begin:
      PutName(&out, item.a);
      if (!item.b.empty()) PutName(&out, item.b);
      PutWord(&out, 10);
      break;
    case Kind::End:
      PutWord(&out, 11);
      break;
    case Kind::Ints:
      PutWord(&out, 6);
      PutDword(&out, static_cast<uint32_t>(item.ints.size()));
      for (const uint32_t v : item.ints) PutDword(&out, v);
      break;
    case Kind::Floats:
      PutWord(&out, 7);
      PutDword(&out, static_cast<uint32_t>(item.floats.size()));
      for (const double v : item.floats) {
        if (floatBits == 64) {
          uint64_t bits = 0;
          std::memcpy(&bits, &v, 8);
          PutDword(&out, static_cast<uint32_t>(bits));
          PutDword(&out, static_cast<uint32_t>(bits >> 32));
        } else {
          const float f = static_cast<float>(v);
          uint32_t bits = 0;
          std::memcpy(&bits, &f, 4);
          PutDword(&out, bits);
        }
      }
      break;
    case Kind::String:
      PutWord(&out, 2);
      PutDword(&out, static_cast<uint32_t>(item.a.size()));
      PutBytes(&out, item.a);
      PutDword(&out, 20);
      break;
    case Kind::Reference:
      PutWord(&out, 10);
      PutName(&out, item.a);
      PutWord(&out, 11);
      break;
    }
  }
  return out;
}

// Mesh, then its children in the order exporters write them.
void WriteTestMesh(CXTestWriter* writer, const XTestMesh& mesh, const std::string& name)
{
  writer->Begin("Mesh", name);
  writer->Ints({static_cast<uint32_t>(mesh.positions.size() / 3)});
  writer->Floats(mesh.positions);
  writer->Ints({static_cast<uint32_t>(mesh.faces.size())});
  for (const std::vector<uint32_t>& face : mesh.faces) {
    std::vector<uint32_t> record{static_cast<uint32_t>(face.size())};
    record.insert(record.end(), face.begin(), face.end());
    writer->Ints(record);
  }
  if (!mesh.normals.empty()) {
    writer->Begin("MeshNormals");
    writer->Ints({static_cast<uint32_t>(mesh.normals.size() / 3)});
    writer->Floats(mesh.normals);
    writer->Ints({static_cast<uint32_t>(mesh.normalFaces.size())});
    for (const std::vector<uint32_t>& face : mesh.normalFaces) {
      std::vector<uint32_t> record{static_cast<uint32_t>(face.size())};
      record.insert(record.end(), face.begin(), face.end());
      writer->Ints(record);
    }
    writer->End();
  }
  if (!mesh.uvs.empty()) {
    writer->Begin("MeshTextureCoords");
    writer->Ints({static_cast<uint32_t>(mesh.uvs.size() / 2)});
    writer->Floats(mesh.uvs);
    writer->End();
  }
  if (!mesh.faceMaterials.empty()) {
    writer->Begin("MeshMaterialList");
    writer->Ints({mesh.materialCount, static_cast<uint32_t>(mesh.faceMaterials.size())});
    writer->Ints(mesh.faceMaterials);
    for (uint32_t i = 0; i < mesh.materialCount; ++i) {
      WriteTestMaterial(writer, "", 0.125f * static_cast<float>(i + 1), 0.25f, 0.5f,
                        "tex" + std::to_string(i) + ".png");
    }
    writer->End();
  }
  writer->End();
}

// faceColor (r g b 1), power 8, specular (0.5 0.5 0.5), emissive (0 0 0.25), then the texture.
void WriteTestMaterial(CXTestWriter* writer, const std::string& name, float r, float g, float b,
                       const std::string& texture)
{
  writer->Begin("Material", name);
  writer->Floats({r, g, b, 1.0});
  writer->Floats({8.0});
  writer->Floats({0.5, 0.5, 0.5});
  writer->Floats({0.0, 0.0, 0.25});
  if (!texture.empty()) {
    writer->Begin("TextureFilename");
    writer->String(texture);
    writer->End();
  }
  writer->End();
}

// Copies the characters into a byte vector.
std::vector<uint8_t> Bytes(const std::string& text)
{
  return std::vector<uint8_t>(text.begin(), text.end());
}
