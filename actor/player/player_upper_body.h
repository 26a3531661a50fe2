// CPlayerUpperBody: the player's head, eyes and torso. The eyes turn happy during the
// orb message and after the goal.
#pragma once

#include "actor/actor_base.h"

class CPlayerUpperBody : public CActorBase {
public:
  std::shared_ptr<OstrelLibrary::CMesh> headMesh;
  D3DXMATRIX headMatrix;
  D3DXMATRIX headOffset;  // the head in the player's frame
  std::shared_ptr<OstrelLibrary::CMesh> defaultEyeMesh;
  std::shared_ptr<OstrelLibrary::CMesh> gleeEyeMesh;
  int glee = 0;
  D3DXMATRIX eyeMatrix;
  std::shared_ptr<OstrelLibrary::CMesh> bodyMesh;
  D3DXMATRIX bodyMatrix;

  // Loads the head, both eyes and the body.
  CPlayerUpperBody();
  // "CPlayerUpperBody".
  const std::string& GetName() const override;
  // The four meshes.
  ~CPlayerUpperBody() override;
  // Follows the player; happy eyes during the orb message and the goal.
  void Update() override;
  // Head, eyes and body, then outlines of the head and the body.
  void Draw() override;
  // Head and body into the shadow map.
  void DrawShadow() override;
};
