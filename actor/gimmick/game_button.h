// CGameButton: a floor button. Anything with a mesh standing on it (a metal block), or
// the player, pushes its plate down; at the bottom it switches on, and it switches off
// only once the plate is back at the top. Switch-driven gimmicks near it react.
#pragma once

#include "actor/actor_base.h"

class CGameButton : public CActorBase {
public:
  D3DXMATRIX baseMatrix;                                 // the press test measures from here
  std::unique_ptr<OstrelLibrary::CSound> pressSound;     // click on switching on and off
  std::shared_ptr<OstrelLibrary::CMesh> foundationMesh;  // the base plate
  D3DXMATRIX foundationMatrix;
  std::shared_ptr<OstrelLibrary::CMesh> switchMesh;  // the moving plate
  float pressScale = 1.0f;                           // 0.6 down to 1.0 up
  D3DXMATRIX scaleMatrix;
  D3DXMATRIX switchMatrix;

  explicit CGameButton(const D3DXMATRIX& placement);
  // "CGameButton".
  const std::string& GetName() const override;
  // The click sound.
  ~CGameButton() override;
  // Press or release by one step.
  void Update() override;
  // Both plates, toon-shaded and outlined.
  void Draw() override;
  // Both plates into the shadow map.
  void DrawShadow() override;

  // True when the player within its own radius, or anything else with a mesh within
  // 2.0 (buttons excepted), stands on the button.
  bool IsPressed() const;
  // The plate goes down while pressed; at the bottom the button switches on.
  void PressStep();
  // The plate comes up while not pressed; at the top the button switches off.
  void ReleaseStep();
};
