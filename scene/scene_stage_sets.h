// CSceneStageSets: the stage sets' chooser, reached from the title's bottom-left corner
// when a set is installed. The title's picture dimmed behind the installed sets;
// choosing one starts it (at its saved stage) behind the fade, Escape or the back
// button return to the title's menu.
#pragma once

#include <memory>

#include "scene/scene_title_page.h"

class CStageSetsPage;

class CSceneStageSets : public CSceneTitlePage {
public:
  std::shared_ptr<CStageSetsPage> page;
  int setStarted = 0;  // a set was begun: its first stage follows the fade

  // "CSceneStageSets".
  const std::string& GetName() const override;
  // The page; a chosen set is begun, and at full black its stage or the title follows.
  std::shared_ptr<CSceneBase> Update() override;

protected:
  // The list of installed sets.
  std::shared_ptr<CSpriteBase> MakePage() override;
};
