// The puddle: a render target the nearby actors are drawn into mirrored, its blurred
// copy, the puddle mesh and its wave texture, and the effect that combines them.
#pragma once

#include <memory>

#include "engine/depth_buffer.h"
#include "engine/mesh.h"
#include "engine/texture.h"
#include "shader/shader_base.h"

class CPuddleShader : public CShaderBase {
public:
  OstrelLibrary::CTexture reflectionTarget;    // the mirrored scene
  OstrelLibrary::CDepthBuffer reflectionDepth;
  OstrelLibrary::CTexture blurTarget;          // its blurred copy
  IDirect3DSurface9* savedTarget = nullptr;    // bound before the pass
  IDirect3DSurface9* savedDepth = nullptr;
  D3DCOLOR clearColour = 0xFF281412;           // dark brown under the mirror image
  std::shared_ptr<OstrelLibrary::CMesh> puddleMesh;
  std::shared_ptr<OstrelLibrary::CTexture> waveTexture;

  ~CPuddleShader() override;
  // Loads the effect, the mesh, the wave texture and the targets.
  void Load() override;
  // Starts drawing mirrored actors into the reflection target.
  void BeginReflection(const D3DLIGHT9& light);
  // Restores the saved targets and ends the mirrored drawing.
  void EndReflection();
  // Draws the puddle mesh with the effect; nothing without an effect.
  void DrawMesh();

private:
  bool passRunning = false;  // the pass bound the reflection target and must restore
};
