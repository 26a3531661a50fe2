// CSceneTitle: the first scene and the one every stage and the ending return to. The
// title picture, a blinking prompt, then Start / Continue; Escape asks to quit.
#pragma once

#include <memory>
#include <vector>

#include "engine/sound.h"
#include "scene/scene_base.h"
#include "scene/stage_preload.h"

class CSpriteBase;

class CSceneTitle : public CSceneBase {
public:
  std::vector<std::shared_ptr<CSpriteBase>> backSprites;   // under the dimming overlay
  std::vector<std::shared_ptr<CSpriteBase>> frontSprites;  // over it
  int titleState = 0;                                      // 0 waiting for a click, 1 menu, 2 a choice made, fading out
  std::unique_ptr<OstrelLibrary::CSound> bgm = std::make_unique<OstrelLibrary::CSound>();
  CStagePreload stagePreload;              // what every stage shows, loaded a piece a frame meanwhile
  std::shared_ptr<CSceneBase> chosenPage;  // a page chosen from the menu; none leads to the stage

  // The running title scene, set by Init; the title sprites lock it for one use.
  static std::weak_ptr<CSceneTitle> currentTitleScene;

  CSceneTitle() = default;
  CSceneTitle(const CSceneTitle&) = delete;
  CSceneTitle& operator=(const CSceneTitle&) = delete;

  // "CSceneTitle".
  const std::string& GetName() const override;
  // Empties the sprite lists and deletes the music.
  ~CSceneTitle() override;
  // Builds the seven sprites, starts the music, fades in with the cursor shown.
  void Init() override;
  // Empties both sprite lists.
  void Uninit(std::shared_ptr<CSceneBase> incoming) override;
  // The sprites, the music fade and the switch after a choice, the quit question.
  std::shared_ptr<CSceneBase> Update() override;
  // The title has no 3D pass.
  void Draw() override;
  // Back sprites, the dimming overlay once the menu is up, front sprites.
  void DrawSprite() override;
};
