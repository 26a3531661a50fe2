// CEffectMagicCharge: the glowing sprite at the hand while an arm winds up a cast, one
// per colour, switched on and off by the arm of that colour.
#pragma once

#include "effect/effect_base.h"
#include "engine/sound.h"

class CEffectMagicCharge : public CEffectBase {
public:
  std::unique_ptr<OstrelLibrary::CSound> chargeSound;

  // colour: 1 red or 2 blue.
  explicit CEffectMagicCharge(int magicColour);
  const std::string& GetName() const override;
  ~CEffectMagicCharge() override;
  // Loops the 10 cells while active.
  void Update() override;
  // Faces the camera at the hand while active.
  void Draw() override;

  // On: stands at the hand of the given arm matrix and plays its sound once. Off:
  // rewinds the animation and stops the sound.
  void SetCharging(int on, const D3DXMATRIX& hand);
};
