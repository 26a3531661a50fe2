// The toon effect: every lit mesh is drawn through it, subset by subset.
#pragma once

#include <memory>

#include "engine/mesh.h"
#include "engine/texture.h"
#include "shader/shader_base.h"

class CToonShader : public CShaderBase {
public:
  OstrelLibrary::CTexture defaultTexture;                // white: materials without a colour texture
  OstrelLibrary::CTexture defaultNormalTexture;          // flat: materials without a normal map
  std::shared_ptr<OstrelLibrary::CTexture> toonTexture;  // the shading ramp
  std::shared_ptr<OstrelLibrary::CTexture> realTexture;  // the softer ramp of the map and goal
  IDirect3DCubeTexture9* cubeTexture = nullptr;          // the sky metal reflects

  ~CToonShader() override;
  // Loads the effect, the default texels, both ramps and the cube map.
  void Load() override;
  // Releases the effect, the default texels, both ramps and the cube map.
  void ReleaseAll() override;
  // Draws every subset of the mesh with its material; nothing without an effect.
  void DrawMesh(const OstrelLibrary::CMesh& mesh, float refPower, float uvScroll);
  // Writes only the depth of every subset of an opaque mesh, before DrawMesh shades it;
  // nothing while the puddle's reflection is drawn.
  void DrawDepth(const OstrelLibrary::CMesh& mesh);
  // Links the four shading techniques of the quality in force (the other quality's
  // four wait until it is chosen).
  void ReadyQualityTechniques();

private:
  // Releases the cube map and forgets it.
  void ReleaseCubeTexture();
};
