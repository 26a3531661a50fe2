// CSceneEnding: the three ending sequences in turn, then the title. The sequences only
// set the fade when they are done; the scene acts once the screen is fully black.
#include "scene/scene_ending.h"

#include "app/application.h"
#include "app/input.h"
#include "scene/scene_title.h"
#include "sprite/sprite_ending.h"

namespace {
const std::string sceneEndingName = "CSceneEnding";
}

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

// Nothing: the title builds everything it needs itself.
void CSceneEnding::Uninit(std::shared_ptr<CSceneBase>)
{
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
    if (skipping) return std::make_shared<CSceneTitle>();
    const std::string name = endingSprite ? endingSprite->GetName() : std::string();
    if (name == "CEndingInside") {
      endingSprite = std::make_shared<CEndingOutside>();
    } else if (name == "CEndingOutside") {
      endingSprite = std::make_shared<CEndingSpace>();
    } else if (name == "CEndingSpace") {
      return std::make_shared<CSceneTitle>();
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
