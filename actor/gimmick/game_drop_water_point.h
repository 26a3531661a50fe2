// CGameDropWaterPoint: a puddle on the floor. It mirrors the actors and effects around
// it through the puddle shader's reflection pass, ripples, and lets a water drop fall
// into it every three to six seconds. It has no mesh: nothing collides with it.
#pragma once

#include "actor/actor_base.h"

class CEffectBase;

class CGameDropWaterPoint : public CActorBase {
public:
  int dropTimer = 0;  // frames until the next drop
  D3DXVECTOR2 rippleOffset{0.0f, 0.0f};
  D3DXVECTOR2 rippleSpeed{0.004f, 0.002f};
  int dropInterval = 180;
  float dropHeight = 36.0f;     // world y a drop starts from
  float depthTolerance = 0.5f;  // how far below the surface a thing is still mirrored

  // Placed by the stage file.
  explicit CGameDropWaterPoint(const D3DXMATRIX& placement);
  // "CGameDropWaterPoint".
  const std::string& GetName() const override;
  ~CGameDropWaterPoint() override;
  // Ripples and drops, unless a menu holds the stage.
  void Update() override;
  // The reflection, its blur and the puddle surface; nothing while Q is held.
  void Draw() override;
  // A puddle casts no shadow.
  void DrawShadow() override;

  // The two ripple offsets move and wrap within 0..1.
  void ScrollRipples();
  // Draws the nearby actors and effects mirrored into the reflection target's area.
  void RenderReflection(const RECT& area);
  // Whether the actor is mirrored: near enough, not far below, not the map, the
  // camera, the debug actor or a puddle.
  bool ReflectsActor(const CActorBase& actor) const;
  // Whether the effect is mirrored: not far below, and near enough unless it is a
  // magic ray (rays are mirrored at any distance).
  bool ReflectsEffect(const CEffectBase& effect) const;
};
