// The puddle: a render target the nearby actors are drawn into mirrored, its blurred
// copy, the puddle mesh and its wave texture, and the effect that combines them.
#pragma once

#include <memory>

#include "d3dx9.h"

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
  D3DXVECTOR3 boxMin = D3DXVECTOR3(-0.5f, 0.0f, -0.5f);  // the puddle mesh's bounds
  D3DXVECTOR3 boxMax = D3DXVECTOR3(0.5f, 0.02f, 0.5f);

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
  // The part of the reflection target a puddle placed at `world` reads under the camera
  // in force (see PuddleReadArea); false when none of it is in view.
  bool ReadArea(const D3DXMATRIX& world, RECT* area);
  // Starts drawing mirrored actors into the reflection target, within `area` only.
  void BeginReflection(const D3DLIGHT9& light, const RECT& area);
  // The blur of the reflection's `area` into blurTarget, left out at low quality.
  void BlurReflection(const RECT& area);
  // The picture "g_blur_tex" should show: the blurred copy, or at low quality the
  // reflection itself.
  const OstrelLibrary::CTexture& BlurredReflection() const;
  // Restores the saved targets and ends the mirrored drawing.
  void EndReflection();
  // Draws the puddle mesh with the effect; nothing without an effect.
  void DrawMesh();

private:
  // The mesh's bounds from its vertices, kept as they are when it has none.
  void MeasureMesh();

  bool passRunning = false;  // the pass bound the reflection target and must restore
};

// The rectangle of a width x height target (pixels, rows from the top) that the puddle
// shader can read for a mesh within boxMin..boxMax seen through worldViewProjection: its
// outline on the screen, widened by the waves' bend (2 % of the target) and the blur's
// reach. False when the box is wholly off the screen or behind the eye; the whole
// target when it crosses the eye's plane.
bool PuddleReadArea(const D3DXVECTOR3& boxMin, const D3DXVECTOR3& boxMax, const D3DXMATRIX& worldViewProjection,
                    UINT width, UINT height, RECT* area);
