// CEffectMagicCharge: the charge strip at the casting hand.
#include "effect/effect_magic_charge.h"

#include "actor/actor_base.h"
#include "effect/effect_magic_ray.h"

namespace {
const std::string chargeName = "CEffectMagicCharge";
}  // namespace

// 10 cells of 120 pixels, 3 frames each, standing on the hand point.
CEffectMagicCharge::CEffectMagicCharge(int magicColour) : chargeSound(std::make_unique<OstrelLibrary::CSound>())
{
  colour = magicColour;
  texture =
      LoadEffectTexture(magicColour == Red ? "res/game/effect/red_charge.png" : "res/game/effect/blue_charge.png");
  lastFrame = 9.0f;
  frameWidth = 120.0f;
  frameDelay = 3;
  SetQuad(TextureWidth() / 10.0f / 100.0f, TextureHeight() / 100.0f, true);
  chargeSound->Load("res/sound/magic_charge.wav");
  chargeSound->pan = HandPan(magicColour);
}

// "CEffectMagicCharge".
const std::string& CEffectMagicCharge::GetName() const
{
  return chargeName;
}

// The charge owns its sound.
CEffectMagicCharge::~CEffectMagicCharge()
{
  chargeSound.reset();
}

// Only an active charge animates, and not while the scene is halted.
void CEffectMagicCharge::Update()
{
  if (IsSceneHalted() || !active) return;
  frameTimer += 1;
  if (frameTimer >= frameDelay) {
    frameTimer = 0;
    AnimateLoop();
  }
}

// Billboarded at the hand, mirrored in a puddle like the rest.
void CEffectMagicCharge::Draw()
{
  if (!active) return;
  BillboardReflected();
  DrawQuad();
  RestoreCullAfterReflection();
}

// The point (0, -0.2, 0.2) of the arm's frame is the palm.
void CEffectMagicCharge::SetCharging(int on, const D3DXMATRIX& hand)
{
  active = on;
  if (on) {
    const D3DXVECTOR3 palm(0.0f, -0.2f, 0.2f);
    D3DXVECTOR3 at;
    D3DXVec3TransformCoord(&at, &palm, &hand);
    D3DXMatrixTranslation(&baseMatrix, at.x, at.y, at.z);
    world = baseMatrix;
    chargeSound->Play(0);
  } else {
    frameIndex = 0;
    SetCellCoordinates();
    chargeSound->Stop();
  }
}
