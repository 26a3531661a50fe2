// CSceneRecords: the page's sprites, its music and the way back to the title's menu.
#include "scene/scene_records.h"

#include "app/application.h"
#include "app/input.h"
#include "engine/graphics.h"
#include "replay/replay_run.h"
#include "scene/scene_title.h"
#include "sprite/sprite_records.h"
#include "sprite/sprite_title.h"

std::function<void(int stage)> CSceneRecords::playRun;

namespace {
const std::string sceneRecordsName = "CSceneRecords";
// Darker than the title's menu: the page is text over the picture.
const D3DCOLOR dimColour = 0xA0000000;
const LONG musicFadeStep = -35;
}  // namespace

// "CSceneRecords".
const std::string& CSceneRecords::GetName() const
{
  return sceneRecordsName;
}

// The scene may be dropped without Uninit.
CSceneRecords::~CSceneRecords()
{
  backSprites.clear();
  page.reset();
  bgm.reset();
}

// The title's background and player, so the page reads as part of the title.
void CSceneRecords::Init()
{
  backSprites.push_back(std::make_shared<CTitleBackground>());
  backSprites.push_back(std::make_shared<CTitlePlayer>());
  page = std::make_shared<CRecordsPage>();
  page->playRun = playRun;
  bgm->Load("res/sound/title_bgm.wav");
  bgm->Play(1);
  CApplication::GetInstance()->fadeOut = 0;
  SetCursorVisible(true);
}

// The sprites go.
void CSceneRecords::Uninit(std::shared_ptr<CSceneBase>)
{
  backSprites.clear();
  page.reset();
}

// Back lands on the title's menu rather than its click-to-start prompt.
std::shared_ptr<CSceneBase> CSceneRecords::Update()
{
  CApplication* application = CApplication::GetInstance();
  for (const std::shared_ptr<CSpriteBase>& sprite : backSprites) sprite->Update();
  if (!leaving) page->Update();
  // A chosen row's best run plays at once, and returns to the title when it ends.
  if (std::shared_ptr<CSceneBase> replay = TakeBestRunToPlay()) return replay;
  if (!leaving && page->backChosen) {
    leaving = 1;
    application->fadeOut = 1;
  }
  if (!leaving) return shared_from_this();
  bgm->ChangeVolume(musicFadeStep);
  if (application->fadeAlpha < 255) return shared_from_this();
  std::shared_ptr<CSceneTitle> title = std::make_shared<CSceneTitle>();
  title->titleState = 1;
  return title;
}

// Nothing in 3D.
void CSceneRecords::Draw()
{
}

// The page over the dimmed picture.
void CSceneRecords::DrawSprite()
{
  CApplication* application = CApplication::GetInstance();
  for (const std::shared_ptr<CSpriteBase>& sprite : backSprites) sprite->Draw();
  if (application->fadeTexture.texture != nullptr) {
    OstrelLibrary::CGraphics::GetInstance()->DrawTexture(application->fadeTexture, &application->fadeMatrix, dimColour);
  }
  if (page) page->Draw();
}
