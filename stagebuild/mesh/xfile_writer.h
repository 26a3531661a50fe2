// Writes a mesh as a text DirectX .x file ("xof 0302txt 0032") of the shape D3DX's
// loader reads: one Mesh with MeshNormals, MeshTextureCoords and MeshMaterialList.
// The game keeps 16-bit indices, so a mesh over 65,535 vertices is refused.
#pragma once

#include <string>

#include "mesh/mesh.h"

namespace stagebuild {

const size_t kMaxMeshVertices = 65535;

// Formats the mesh; false with a message naming `name` when it cannot be written
// (too many vertices, no triangles, an index or material out of range).
bool FormatXFile(const CMeshData& mesh, const std::string& name, std::string* text, std::string* error);

}  // namespace stagebuild
