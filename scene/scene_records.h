// CSceneRecords: the records page, reached from the title's menu. The title's picture
// dimmed behind every stage's best time and the whole game's; Escape or the back
// button return to the title's menu behind the fade.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "engine/sound.h"
#include "scene/scene_base.h"

class CSpriteBase;
class CRecordsPage;

class CSceneRecords : public CSceneBase {
public:
  std::vector<std::shared_ptr<CSpriteBase>> backSprites;  // the title's picture
  std::shared_ptr<CRecordsPage> page;
  std::unique_ptr<OstrelLibrary::CSound> bgm = std::make_unique<OstrelLibrary::CSound>();
  int leaving = 0;  // the way back was taken; the screen fades out

  // What choosing a row with a time does (stage 1 to 8, 0 for the whole game): the
  // application plays the stage's best run (PlayBestRun). Unset, the rows do nothing.
  static std::function<void(int stage)> playRun;

  CSceneRecords() = default;
  CSceneRecords(const CSceneRecords&) = delete;
  CSceneRecords& operator=(const CSceneRecords&) = delete;

  // "CSceneRecords".
  const std::string& GetName() const override;
  // The sprites go, then the music.
  ~CSceneRecords() override;
  // The title's picture, the page and the title's music; fades in with the cursor shown.
  void Init() override;
  // Lets go of the sprites.
  void Uninit(std::shared_ptr<CSceneBase> incoming) override;
  // The page, then the way back at full black.
  std::shared_ptr<CSceneBase> Update() override;
  // No 3D pass.
  void Draw() override;
  // The picture, the dimming overlay, the page.
  void DrawSprite() override;
};
