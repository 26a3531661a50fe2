// CSceneEnding: the three ending sequences in turn, then the title. The sequences only
// set the fade when they are done; the scene acts once the screen is fully black.
#include "scene/scene_ending.h"

#include "app/application.h"
#include "app/input.h"
#include "app/stage_set.h"
#include "engine/graphics.h"
#include "scene/scene_title.h"
#include "sprite/sprite_ending.h"

namespace {
const std::string sceneEndingName = "CSceneEnding";

// The title follows, unless a stage set played from the command line ends: it has no
// title to go back to, so the program ends with it.
std::shared_ptr<CSceneBase> SceneAfterEnding()
{
  if (StageSetActive() && !StageSetReturnsToTitle()) return nullptr;
  return std::make_shared<CSceneTitle>();
}
}  // namespace

// "CSceneEnding".
const std::string& CSceneEnding::GetName() const
{
  return sceneEndingName;
}

// The sequence's sounds go with it.
CSceneEnding::~CSceneEnding()
{
  endingSprite.reset();
}

// The climb starts at once, under the fade in.
void CSceneEnding::Init()
{
  endingSprite = std::make_shared<CEndingInside>();
  CApplication::GetInstance()->fadeOut = 0;
  SetCursorVisible(false);
}

// The last sequence goes, and with it the ending's pictures: the title builds
// everything it needs itself.
void CSceneEnding::Uninit(std::shared_ptr<CSceneBase>)
{
  endingSprite.reset();
  OstrelLibrary::CGraphics::GetInstance()->ReleaseUnheldTextures("res/ending/");
}

// The sequence before goes, pictures and all, before the next one loads its own, so
// the ending never holds two sequences' full-screen pictures.
void CSceneEnding::NextSequence(std::shared_ptr<CSpriteBase> (*make)())
{
  endingSprite.reset();
  OstrelLibrary::CGraphics::GetInstance()->ReleaseUnheldTextures("res/ending/");
  endingSprite = make();
}

// A skip wins over the change of sequence, so Escape during a change still leads to
// the title and the next sequence is never made.
std::shared_ptr<CSceneBase> CSceneEnding::Update()
{
  CApplication* application = CApplication::GetInstance();
  if (endingSprite) endingSprite->Update();
  if (application->input.escapePressed || skipping) {
    skipping = 1;
    application->fadeOut = 1;
  }
  if (application->fadeAlpha >= 255) {
    if (skipping) return SceneAfterEnding();
    const std::string name = endingSprite ? endingSprite->GetName() : std::string();
    if (name == "CEndingInside") {
      NextSequence([] { return std::shared_ptr<CSpriteBase>(std::make_shared<CEndingOutside>()); });
    } else if (name == "CEndingOutside") {
      NextSequence([] { return std::shared_ptr<CSpriteBase>(std::make_shared<CEndingSpace>()); });
    } else if (name == "CEndingSpace") {
      return SceneAfterEnding();
    }
    application->fadeOut = 0;
  }
  return shared_from_this();
}

// Nothing in 3D.
void CSceneEnding::Draw()
{
}

// Only the running sequence.
void CSceneEnding::DrawSprite()
{
  if (endingSprite) endingSprite->Draw();
}
