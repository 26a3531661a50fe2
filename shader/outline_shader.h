// The outline effect: a mesh drawn again as its coloured silhouette edge.
#pragma once

#include "engine/mesh.h"
#include "shader/shader_base.h"

class COutlineShader : public CShaderBase {
public:
  // Loads "res/shader/OutlineShader.cso".
  void Load() override;
  // Draws the mesh's outline of the given thickness and colour; nothing without an
  // effect or while the puddle reflection is drawn.
  void DrawMesh(const OstrelLibrary::CMesh& mesh, float size, const D3DXVECTOR4* colour);
};
