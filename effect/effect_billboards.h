// The stage's four billboard effects, each a camera-facing quad animated through the
// cells of a horizontal sprite strip: the cannon's blast, the landing dust, the falling
// water drop of a puddle and the flame of a torch.
#pragma once

#include "effect/effect_base.h"
#include "engine/sound.h"

// A burst drawn over everything, once through its 18 cells.
class CEffectBlast : public CEffectBase {
public:
  // Only the translation of the matrix is used.
  explicit CEffectBlast(const D3DXMATRIX& placement);
  const std::string& GetName() const override;
  void Update() override;
  void Draw() override;
};

// The dust of a hard landing and of the cannon's muzzle, once through its 12 cells.
class CEffectFugitiveDust : public CEffectBase {
public:
  float drop = 0.0f;  // how far below the position the cloud stands

  CEffectFugitiveDust(const D3DXVECTOR3& position, float scale, float dropBy);
  const std::string& GetName() const override;
  void Update() override;
  void Draw() override;
};

// A drop that fades in while it falls, splashes on the first surface it meets and fades
// out growing.
class CEffectDropWater : public CEffectBase {
public:
  int fallFrame = 0;
  int splashFrame = 1;
  float fallSpeed = 0.3f;
  float splashLift = 0.18f;
  int alpha = 0;
  int alphaStep = 16;
  D3DXMATRIX splashMatrix;
  float splashGrowth = 1.03f;
  std::unique_ptr<OstrelLibrary::CSound> dropSound;
  float hearingDistance = 15.0f;

  // Only the translation of the matrix is used.
  explicit CEffectDropWater(const D3DXMATRIX& placement);
  const std::string& GetName() const override;
  ~CEffectDropWater() override;
  void Update() override;
  void Draw() override;

  // True when some actor's mesh lies within one fall step below the drop.
  bool HitsSurface() const;

private:
  // The splash, heard only near the player and outside the scene's events.
  void SplashSound();
};

// A torch's flame, looping its 33 cells from a random one, above the torch.
class CEffectTorchFire : public CEffectBase {
public:
  D3DXMATRIX torchMatrix;
  float flameHeight = 1.1f;

  explicit CEffectTorchFire(const D3DXMATRIX& torch);
  const std::string& GetName() const override;
  void Update() override;
  void Draw() override;
};
