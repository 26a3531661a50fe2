// CSceneBlank: a scene that shows an empty (black) screen and never leaves. The
// program starts with it until the title scene exists.
#pragma once

#include "scene/scene_base.h"

class CSceneBlank : public CSceneBase {
public:
  // "CSceneBlank".
  const std::string& GetName() const override;
  // Lets the screen fade in.
  void Init() override;
  // Nothing to release.
  void Uninit(std::shared_ptr<CSceneBase> incoming) override;
  // Stays forever.
  std::shared_ptr<CSceneBase> Update() override;
  // Draws nothing: the frame is already cleared.
  void Draw() override;
  // Draws nothing.
  void DrawSprite() override;
};
