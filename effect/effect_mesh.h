// The two glowing mesh effects an active magic ray sheds: the particle, a small blob
// that swells and fades where it was born, and the ring, which slides once along the
// beam turning from one end's orientation to the other's and fades out.
#pragma once

#include "effect/effect_base.h"
#include "engine/mesh.h"

class CEffectParticle : public CEffectBase {
public:
  std::shared_ptr<OstrelLibrary::CMesh> mesh;
  float alpha = 1.0f;
  float fadeStep = 0.04f;
  float growth = 1.04f;
  float glowStrength = 1.5f;

  CEffectParticle(const D3DXMATRIX& placement, int magicColour);
  const std::string& GetName() const override;
  // Grows by 4 % and fades by 0.04 a frame; done when faded.
  void Update() override;
  // Unlit and glowing in its colour.
  void Draw() override;
};

class CEffectRing : public CEffectBase {
public:
  std::shared_ptr<OstrelLibrary::CMesh> mesh;
  float alpha = 1.0f;
  float progress = 0.0f;
  D3DXQUATERNION startRotation{0.0f, 0.0f, 0.0f, 1.0f};
  D3DXQUATERNION endRotation{0.0f, 0.0f, 0.0f, 1.0f};
  D3DXQUATERNION rotation{0.0f, 0.0f, 0.0f, 1.0f};
  D3DXVECTOR3 startPosition{0.0f, 0.0f, 0.0f};
  D3DXVECTOR3 endPosition{0.0f, 0.0f, 0.0f};
  D3DXVECTOR3 position{0.0f, 0.0f, 0.0f};

  // Takes its two ends from the scene's ray of the colour, once.
  explicit CEffectRing(int magicColour);
  const std::string& GetName() const override;
  // 1 % of the way a frame; done past the end.
  void Update() override;
  // Unlit with a warm glow, whatever the colour.
  void Draw() override;
};
