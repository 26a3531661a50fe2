// CGameTorch: a wall torch. Once it has settled on the floor or bracket below it, it
// asks the scene for its flickering fire; it crackles while the player stands close.
#pragma once

#include "actor/actor_base.h"

class CGameTorch : public CActorBase {
public:
  int fireRequest = 1;  // the fire effect is still to be created
  std::unique_ptr<OstrelLibrary::CSound> torchSound;
  float hearingDistance = 3.5f;

  // Placed by the stage file.
  explicit CGameTorch(const D3DXMATRIX& placement);
  // "CGameTorch".
  const std::string& GetName() const override;
  // The crackle.
  ~CGameTorch() override;
  // Sound, fire, settling; silent and still while a menu is open.
  void Update() override;
  // The torch with a black outline.
  void Draw() override;

  // Crackles near the player, silent during the opening, the orb message and the goal.
  void TorchSound();
  // The fire, once, in the frame after the torch has settled.
  void LightFire();
};
