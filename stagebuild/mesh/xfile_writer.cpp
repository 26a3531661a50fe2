// Text .x output. Numbers are printed with fixed precision so the same mesh always
// gives the same bytes.
#include "mesh/xfile_writer.h"

#include <cmath>
#include <cstdio>

namespace stagebuild {

namespace {

// Appends a float with six decimals; values that would print as -0.000000 print as 0.
void AppendFloat(std::string* out, float value)
{
  if (std::fabs(value) < 5e-7f) value = 0;
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.6f", static_cast<double>(value));
  out->append(buffer);
}

// Appends "a;b;c;" for a vector.
void AppendVec3(std::string* out, Vec3 v)
{
  AppendFloat(out, v.x);
  out->push_back(';');
  AppendFloat(out, v.y);
  out->push_back(';');
  AppendFloat(out, v.z);
  out->push_back(';');
}

// Appends the face list "3;a,b,c;," ... "3;a,b,c;;".
void AppendFaces(std::string* out, const CMeshData& mesh)
{
  out->append(std::to_string(mesh.triangles.size()) + ";\n");
  for (size_t i = 0; i < mesh.triangles.size(); ++i) {
    const Triangle& t = mesh.triangles[i];
    out->append("  3;" + std::to_string(t.a) + "," + std::to_string(t.b) + "," + std::to_string(t.c) + ";");
    out->append(i + 1 < mesh.triangles.size() ? ",\n" : ";\n");
  }
}

// Appends the body Mesh and MeshNormals share: the count, each vertex's position (or
// normal), then the faces, which index positions and normals alike.
void AppendVectorsAndFaces(std::string* out, const CMeshData& mesh, bool normals)
{
  out->append(" " + std::to_string(mesh.vertices.size()) + ";\n");
  for (size_t i = 0; i < mesh.vertices.size(); ++i) {
    out->append("  ");
    AppendVec3(out, normals ? mesh.vertices[i].normal : mesh.vertices[i].position);
    out->append(i + 1 < mesh.vertices.size() ? ",\n" : ";\n");
  }
  out->append(" ");
  AppendFaces(out, mesh);
}

// Appends one Material block.
void AppendMaterial(std::string* out, const Material& m)
{
  out->append("  Material {\n   ");
  for (const float value : {m.diffuse.r, m.diffuse.g, m.diffuse.b, m.diffuse.a}) {
    AppendFloat(out, value);
    out->push_back(';');
  }
  out->append(";\n   ");
  AppendFloat(out, m.power);
  out->append(";\n   ");
  AppendVec3(out, {m.specular.r, m.specular.g, m.specular.b});
  out->append(";\n   ");
  AppendVec3(out, {m.emissive.r, m.emissive.g, m.emissive.b});
  out->append(";\n");
  if (!m.textureFile.empty()) out->append("   TextureFilename {\n    \"" + m.textureFile + "\";\n   }\n");
  out->append("  }\n");
}

// Checks what the format and the game's 16-bit index buffers need.
bool Validate(const CMeshData& mesh, const std::string& name, std::string* error)
{
  if (mesh.vertices.size() > kMaxMeshVertices) {
    *error = name + ": " + std::to_string(mesh.vertices.size()) +
             " vertices, more than the 65535 a mesh with 16-bit indices can hold";
    return false;
  }
  if (mesh.triangles.empty()) {
    *error = name + ": the mesh has no triangles";
    return false;
  }
  if (mesh.materials.empty()) {
    *error = name + ": the mesh has no material";
    return false;
  }
  for (const Triangle& t : mesh.triangles) {
    const size_t count = mesh.vertices.size();
    if (t.a >= count || t.b >= count || t.c >= count) {
      *error = name + ": a triangle refers to a vertex that does not exist";
      return false;
    }
    if (t.material < 0 || static_cast<size_t>(t.material) >= mesh.materials.size()) {
      *error = name + ": a triangle refers to material " + std::to_string(t.material) + " of " +
               std::to_string(mesh.materials.size());
      return false;
    }
  }
  for (const Material& m : mesh.materials) {
    if (m.textureFile.find('"') != std::string::npos) {
      *error = name + ": texture name contains a quote: " + m.textureFile;
      return false;
    }
  }
  return true;
}

}  // namespace

// Whole file text.
bool FormatXFile(const CMeshData& mesh, const std::string& name, std::string* text, std::string* error)
{
  if (!Validate(mesh, name, error)) return false;
  std::string& out = *text;
  out = "xof 0302txt 0032\n\n";
  out += "Mesh {\n";
  AppendVectorsAndFaces(&out, mesh, false);

  out += "\n MeshNormals {\n";
  AppendVectorsAndFaces(&out, mesh, true);
  out += " }\n";

  out += "\n MeshTextureCoords {\n " + std::to_string(mesh.vertices.size()) + ";\n";
  for (size_t i = 0; i < mesh.vertices.size(); ++i) {
    out += "  ";
    AppendFloat(&out, mesh.vertices[i].uv.x);
    out += ";";
    AppendFloat(&out, mesh.vertices[i].uv.y);
    out += ";";
    out += i + 1 < mesh.vertices.size() ? ",\n" : ";\n";
  }
  out += " }\n";

  out += "\n MeshMaterialList {\n " + std::to_string(mesh.materials.size()) + ";\n " +
         std::to_string(mesh.triangles.size()) + ";\n";
  for (size_t i = 0; i < mesh.triangles.size(); ++i) {
    out += "  " + std::to_string(mesh.triangles[i].material);
    out += i + 1 < mesh.triangles.size() ? ",\n" : ";\n";
  }
  for (const Material& m : mesh.materials) AppendMaterial(&out, m);
  out += " }\n}\n";
  return true;
}

}  // namespace stagebuild
