// CGameCrackWall: a cracked wall blocking a passage until a cannon shell bursts
// against it. It then shatters into 100 tumbling pieces that fall away through the
// floor, and removes itself once nearly all of them are gone.
#pragma once

#include "actor/actor_base.h"

// One fragment of a shattered wall.
struct CrackPiece {
  int visible = 0;
  D3DXMATRIX world;     // the pose drawn
  D3DXMATRIX position;  // its translation
  D3DXVECTOR3 velocity;
  D3DXMATRIX spin;     // its rotation
  D3DXVECTOR3 angles;  // pitch, yaw, roll in degrees
};

class CGameCrackWall : public CActorBase {
public:
  static const int pieceCount = 100;

  CrackPiece pieces[pieceCount];
  int shatterPending = 0;
  std::shared_ptr<OstrelLibrary::CMesh> pieceMesh;
  float vanishHeight = -3.0f;  // a piece below this world height is hidden
  float breakReach = 1.75f;    // times height: how near the wall's centre a shell must burst
  float pieceGravity = 0.008f;
  int broken = 0;
  std::unique_ptr<OstrelLibrary::CSound> landingSound;

  explicit CGameCrackWall(const D3DXMATRIX& placement);
  // "CGameCrackWall".
  const std::string& GetName() const override;
  // The landing sound and the piece mesh.
  ~CGameCrackWall() override;
  // Settling, the shell test, the shatter and the falling pieces.
  void Update() override;
  // The wall while intact, else the visible pieces.
  void Draw() override;
  // Nothing while intact (the map's shadow covers it), else the visible pieces.
  void DrawShadow() override;

  // Breaks the wall when a cannon's shell burst against it near enough its centre.
  void CheckShell();
  // Lays the pieces out over the wall, each with its own random speed.
  void Shatter();
  // One frame of every piece's fall and tumble; removes the wall when 99 have fallen.
  void MovePieces();
};
