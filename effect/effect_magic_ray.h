// CEffectMagicRay: the magic's projectile and beam, one per colour. A head flies from
// the hand towards the point the camera aimed at when the ray was fired; the first
// magic target it touches receives the ray's colour every frame until the ray is
// released, which clears it again. A beam of crossed ribbons joins hand and head, and
// the ray sheds rings and particles along the way.
#pragma once

#include "effect/effect_base.h"
#include "engine/sound.h"

class CActorBase;

// The stereo pan of a colour's sounds: blue towards the left hand, red the right.
LONG HandPan(int magicColour);

class CEffectMagicRay : public CEffectBase {
public:
  D3DXMATRIX drawMatrix;    // the beam's vertices are in world coordinates
  D3DXMATRIX originMatrix;  // the hand, refreshed every frame
  D3DXMATRIX headMatrix;    // the flying head
  D3DXVECTOR3 target;       // where the head flies
  int ringTimer = 0;
  D3DXMATRIX hitMatrix;  // the point on the held target
  int locked = 0;
  float speed = 0.12f;
  float startSpeed = 0.12f;
  float acceleration = 0.001f;
  float maxSpeed = 0.2f;
  float homingSpeed = 0.09f;
  float probeOffset = 0.1f;  // spacing of the hit probes and half-width of the ribbons
  OstrelLibrary::TexturedVertex ribbons[8][4];
  std::unique_ptr<OstrelLibrary::CSound> raySound;
  std::unique_ptr<OstrelLibrary::CSound> hitSound;
  std::unique_ptr<OstrelLibrary::CSound> cancelSound;

  // colour: 1 red or 2 blue.
  explicit CEffectMagicRay(int magicColour);
  const std::string& GetName() const override;
  ~CEffectMagicRay() override;
  // Flies, locks and holds while active; lets go of the target while inactive.
  void Update() override;
  // The beam, while active.
  void Draw() override;

  // Fires from the start matrix towards the camera's aim point, or releases (on = 0).
  // A second fire while the ray is active changes nothing.
  void SetActive(int on, const D3DXMATRIX& start);
  // True for the five classes a ray can hold.
  static bool IsMagicTarget(const std::string& name);
  // The point a ray aims at in a target's own frame.
  D3DXVECTOR3 AimPointOf(const std::string& name) const;
  // True when one of five probes round the head meets the actor's mesh within a step.
  bool HitTest(const CActorBase& actor) const;

private:
  // The hand of the arm of this colour.
  void UpdateOrigin();
  // Locks on the first qualifying actor, or flies on when nothing blocks the head.
  void SeekOrLock();
  // Brings a locked head onto the held point.
  void Home();
  // Clears the first actor holding this colour; the ray is reset.
  void ReleaseTarget();
  // Two particles a frame, at the head and at the hand.
  void EmitParticles();
  // The ribbons between hand and head, with the texture flowing along them.
  void BuildBeam();
};
