// A headless device with the five shaders loaded from the build's res/, a camera on
// the toon and outline effects, and helpers to place meshes and read pixels.
#pragma once

#include <memory>
#include <string>

#include "../render/render_fixture.h"
#include "engine/mesh.h"
#include "shader/shader_manager.h"

class ShaderTest : public RenderTest {
protected:
  void SetUp() override;
  void TearDown() override;

  // Puts the camera at eye looking at target on every effect that draws meshes.
  void SetCamera(const D3DXVECTOR3& eye, const D3DXVECTOR3& target);
  // The back-buffer pixel a world point lands on.
  POINT Project(const D3DXVECTOR3& world) const;
  // A toon draw of a mesh at a world matrix.
  void DrawToon(const OstrelLibrary::CMesh& mesh, const D3DXMATRIX& world, float refPower = 0.0f);
  // The shadow draw of a mesh at a world matrix.
  void DrawShadow(const OstrelLibrary::CMesh& mesh, const D3DXMATRIX& world);
  // A whole shadow pass of one mesh, the map centred on the origin as the game centres
  // it on the player.
  void CastShadow(const OstrelLibrary::CMesh& mesh, const D3DXMATRIX& world);
  // A mesh from the build's res/.
  std::shared_ptr<OstrelLibrary::CMesh> Mesh(const std::string& path);

  CShaderManager* shaders = nullptr;
  D3DXMATRIX view;
  D3DXMATRIX projection;
};

// Axis-aligned bounds of a mesh's vertices, read through a vertex-buffer lock.
void MeshBounds(const OstrelLibrary::CMesh& mesh, D3DXVECTOR3* low, D3DXVECTOR3* high);

// The folder screenshots go to: $SOLVERICA_SCREENSHOTS when set (to refresh docs/),
// else the test's scratch folder.
std::string ScreenshotDir();
