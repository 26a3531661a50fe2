// CSceneRecords: the records page, reached from the title's menu. The title's picture
// dimmed behind every stage's best time and the whole game's; Escape or the back
// button return to the title's menu behind the fade.
#pragma once

#include <functional>
#include <memory>

#include "scene/scene_title_page.h"

class CRecordsPage;

class CSceneRecords : public CSceneTitlePage {
public:
  std::shared_ptr<CRecordsPage> page;

  // What choosing a row with a time does (stage 1 to 8, 0 for the whole game): the
  // application plays the stage's best run (PlayBestRun). Unset, the rows do nothing.
  static std::function<void(int stage)> playRun;

  // "CSceneRecords".
  const std::string& GetName() const override;
  // The page, then the way back at full black.
  std::shared_ptr<CSceneBase> Update() override;

protected:
  // The records page, its rows playing runs through playRun.
  std::shared_ptr<CSpriteBase> MakePage() override;
};
