// CGameMetalBlock: the heavy metal cube the player moves with magic. Blue pulls it
// towards the player, red pushes it away along the line of sight or, when the player
// stands on it, throws the player up. It falls, lands with dust and a thud, scrapes
// while it moves, and glows with the colour it holds.
#pragma once

#include "actor/actor_base.h"

class CGameMetalBlock : public CActorBase {
public:
  float reflectPower = 0.45f;
  float cornerOffset = 1.3f;  // corner probes; also the half-width of the ground rays
  float pushSpeed = 0.065f;
  std::unique_ptr<OstrelLibrary::CSound> trailingSound;

  // Placed by the stage file.
  explicit CGameMetalBlock(const D3DXMATRIX& placement);
  // "CGameMetalBlock".
  const std::string& GetName() const override;
  // The trailing sound goes before the base's members.
  ~CGameMetalBlock() override;
  // Magic, gravity, landing and the glow pulse.
  void Update() override;
  // Toon, outline, then the hit overlay of the colour held.
  void Draw() override;

private:
  // Blue: towards the player, stopping 3.0 from it.
  void AttractStep();
  // Red: away along the line of sight, or the player thrown up from on top.
  void RepelStep();
  // Keeps the block out of walls and other actors along its way.
  void ProbeWalls(const D3DXVECTOR3& direction);
  // One push step along the direction.
  void Slide(const D3DXVECTOR3& direction);
};
