// CSceneStageSets: the chooser's sprites, its music, starting the chosen set and the way
// back to the title's menu.
#include "scene/scene_stage_sets.h"

#include <cstdio>

#include "app/application.h"
#include "app/input.h"
#include "app/stage_set.h"
#include "scene/scene_game.h"
#include "sprite/sprite_stage_sets.h"

namespace {
const std::string sceneStageSetsName = "CSceneStageSets";

// The reason a set cannot be played, its folder shortened to the set's name.
std::string ShortReason(const std::string& reason, const StageSet& set)
{
  if (reason.compare(0, set.folder.size(), set.folder) != 0) return reason;
  return set.name + reason.substr(set.folder.size());
}
}  // namespace

// "CSceneStageSets".
const std::string& CSceneStageSets::GetName() const
{
  return sceneStageSetsName;
}

std::shared_ptr<CSpriteBase> CSceneStageSets::MakePage()
{
  page = std::make_shared<CStageSetsPage>();
  return page;
}

// A chosen set is checked and its stage built at once; one that cannot be played says
// why on the page and on standard error, and the page stays.
std::shared_ptr<CSceneBase> CSceneStageSets::Update()
{
  if (UpdatePicture()) page->Update();
  if (!leaving && page->chosenSet >= 0) {
    const StageSet& set = page->sets[static_cast<size_t>(page->chosenSet)];
    std::string reason;
    if (BeginStageSet(set, true, &reason)) {
      setStarted = 1;
      Leave();
      SetCursorVisible(false);
    } else {
      std::fprintf(stderr, "solverica: %s\n", reason.c_str());
      page->message = ShortReason(reason, set);
      page->chosenSet = -1;
    }
  }
  if (!leaving && page->backChosen) Leave();
  if (!leaving || !FadedOut()) return shared_from_this();
  const CApplication* application = CApplication::GetInstance();
  SetCursorPos(application->cursorHome.x, application->cursorHome.y);
  if (setStarted) return std::make_shared<CSceneGame>();
  return TitleMenu();
}
