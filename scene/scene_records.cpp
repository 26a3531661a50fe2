// CSceneRecords: the records page and the way back to the title's menu.
#include "scene/scene_records.h"

#include "replay/replay_run.h"
#include "sprite/sprite_records.h"

std::function<void(int stage)> CSceneRecords::playRun;

namespace {
const std::string sceneRecordsName = "CSceneRecords";
}  // namespace

// "CSceneRecords".
const std::string& CSceneRecords::GetName() const
{
  return sceneRecordsName;
}

std::shared_ptr<CSpriteBase> CSceneRecords::MakePage()
{
  page = std::make_shared<CRecordsPage>();
  page->playRun = playRun;
  return page;
}

// Back lands on the title's menu rather than its click-to-start prompt.
std::shared_ptr<CSceneBase> CSceneRecords::Update()
{
  if (UpdatePicture()) page->Update();
  // A chosen row's best run plays at once, and returns to the title when it ends.
  if (std::shared_ptr<CSceneBase> replay = TakeBestRunToPlay()) return replay;
  if (!leaving && page->backChosen) Leave();
  if (!leaving || !FadedOut()) return shared_from_this();
  return TitleMenu();
}
