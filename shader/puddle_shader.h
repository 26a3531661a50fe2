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
  OstrelLibrary::CTexture reflectionTarget;  // the mirrored scene
  OstrelLibrary::CDepthBuffer reflectionDepth;
  OstrelLibrary::CTexture blurTarget;        // its blurred copy
  IDirect3DSurface9* savedTarget = nullptr;  // bound before the pass
  IDirect3DSurface9* savedDepth = nullptr;
  D3DCOLOR clearColour = 0xFF281412;  // dark brown under the mirror image
  std::shared_ptr<OstrelLibrary::CMesh> puddleMesh;
  std::shared_ptr<OstrelLibrary::CTexture> waveTexture;

  ~CPuddleShader() override;
  // Loads the effect, the mesh and the wave texture; the targets wait for the first
  // reflection, since most stages have no puddle.
  void Load() override;
  // Releases the effect, the targets, the mesh and the wave texture.
  void ReleaseAll() override;
  // Creates the targets if they do not exist yet, at the size the 3D pass draws at
  // (half the back buffer's width and height at low quality, and no blur target).
  void CreateTargets();
  // Lets the targets go; the next reflection makes them again.
  void ReleaseTargets();
  // Starts drawing mirrored actors into the reflection target.
  void BeginReflection(const D3DLIGHT9& light);
  // The blur of the reflection into blurTarget, left out at low quality.
  void BlurReflection();
  // The picture "g_blur_tex" should show: the blurred copy, or at low quality the
  // reflection itself.
  const OstrelLibrary::CTexture& BlurredReflection() const;
  // Restores the saved targets and ends the mirrored drawing.
  void EndReflection();
  // Draws the puddle mesh with the effect; nothing without an effect.
  void DrawMesh();

private:
  bool passRunning = false;  // the pass bound the reflection target and must restore
};
