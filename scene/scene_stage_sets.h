// CSceneStageSets: the stage sets' chooser, reached from the title's bottom-left corner
// when a set is installed. The title's picture dimmed behind the installed sets;
// choosing one starts it (at its saved stage) behind the fade, Escape or the back
// button return to the title's menu.
#pragma once

#include <memory>
#include <vector>

#include "engine/sound.h"
#include "scene/scene_base.h"

class CSpriteBase;
class CStageSetsPage;

class CSceneStageSets : public CSceneBase {
public:
  std::vector<std::shared_ptr<CSpriteBase>> backSprites;  // the title's picture
  std::shared_ptr<CStageSetsPage> page;
  std::unique_ptr<OstrelLibrary::CSound> bgm = std::make_unique<OstrelLibrary::CSound>();
  int leaving = 0;     // the way back was taken, or a set started; the screen fades out
  int setStarted = 0;  // a set was begun: its first stage follows the fade

  CSceneStageSets() = default;
  CSceneStageSets(const CSceneStageSets&) = delete;
  CSceneStageSets& operator=(const CSceneStageSets&) = delete;

  // "CSceneStageSets".
  const std::string& GetName() const override;
  // The sprites go, then the music.
  ~CSceneStageSets() override;
  // The title's picture, the page and the title's music; fades in with the cursor shown.
  void Init() override;
  // Lets go of the sprites.
  void Uninit(std::shared_ptr<CSceneBase> incoming) override;
  // The page; a chosen set is begun, and at full black its stage or the title follows.
  std::shared_ptr<CSceneBase> Update() override;
  // No 3D pass.
  void Draw() override;
  // The picture, the dimming overlay, the page.
  void DrawSprite() override;
};
