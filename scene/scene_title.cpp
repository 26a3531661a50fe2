// CSceneTitle: the title's sprite lists, its music, the quit question and the switch
// to the game scene behind the fade.
#include "scene/scene_title.h"

#include "app/application.h"
#include "app/input.h"
#include "app/stage_set.h"
#include "engine/graphics.h"
#include "scene/scene_game.h"
#include "sprite/sprite_records.h"
#include "sprite/sprite_stage_sets.h"
#include "sprite/sprite_title.h"

std::weak_ptr<CSceneTitle> CSceneTitle::currentTitleScene;

namespace {
const std::string sceneTitleName = "CSceneTitle";
// Black at 100/255 over the background while the menu is up.
const D3DCOLOR dimColour = 0x64000000;
// How fast the music goes down after a choice, in hundredths of a decibel per frame.
const LONG musicFadeStep = -35;
}  // namespace

// "CSceneTitle".
const std::string& CSceneTitle::GetName() const
{
  return sceneTitleName;
}

// The lists may still hold sprites if the scene is dropped without Uninit.
CSceneTitle::~CSceneTitle()
{
  backSprites.clear();
  frontSprites.clear();
  bgm.reset();
}

// The sprites in drawing order; the title always fades in.
void CSceneTitle::Init()
{
  // A stage set chosen here and left (its ending, or the question Escape asks) ends here.
  EndStageSet();
  currentTitleScene = std::static_pointer_cast<CSceneTitle>(shared_from_this());
  backSprites.push_back(std::make_shared<CTitleBackground>());
  backSprites.push_back(std::make_shared<CTitlePlayer>());
  backSprites.push_back(std::make_shared<CTitleRay>());
  frontSprites.push_back(std::make_shared<CTitleClickToStart>());
  frontSprites.push_back(std::make_shared<CTitleLogo>());
  frontSprites.push_back(std::make_shared<CTitleOption>());
  frontSprites.push_back(std::make_shared<CTitleRecordsButton>());
  // The stage sets' corner only when there is a set to choose: otherwise the title is as
  // it always was.
  if (!InstalledStageSets().empty()) frontSprites.push_back(std::make_shared<CTitleStageSetsButton>());
  bgm->Load("res/sound/title_bgm.wav");
  bgm->Play(1);
  CApplication::GetInstance()->fadeOut = 0;
  SetCursorVisible(true);
}

// The sprites go; the music stays until the scene itself is destroyed.
void CSceneTitle::Uninit(std::shared_ptr<CSceneBase>)
{
  backSprites.clear();
  frontSprites.clear();
  // The full-screen title pictures are not needed during a stage; the title loads
  // them again when it comes back.
  OstrelLibrary::CGraphics::GetInstance()->ReleaseUnheldTextures("res/title/");
}

// After a choice the music sinks while the screen darkens; the stage starts at full black.
// Every frame also loads one of the assets every stage shares.
std::shared_ptr<CSceneBase> CSceneTitle::Update()
{
  CApplication* application = CApplication::GetInstance();
  stagePreload.LoadNext();
  for (const std::shared_ptr<CSpriteBase>& sprite : backSprites) sprite->Update();
  for (const std::shared_ptr<CSpriteBase>& sprite : frontSprites) sprite->Update();

  if (titleState == 2) {
    bgm->ChangeVolume(musicFadeStep);
    if (application->fadeAlpha >= 255) {
      SetCursorPos(application->cursorHome.x, application->cursorHome.y);
      if (chosenPage) return chosenPage;
      return std::make_shared<CSceneGame>();
    }
  }

  // Modal: no frame runs while the question is open, in any state.
  if (application->input.escapePressed) {
    const int answer =
        MessageBoxA(application->window, "ゲームを終了しますか？", "確認", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    if (answer == IDYES) return nullptr;
  }
  return shared_from_this();
}

// Nothing in 3D.
void CSceneTitle::Draw()
{
}

// The overlay sits between the two lists so the menu stays bright over a dim picture.
void CSceneTitle::DrawSprite()
{
  CApplication* application = CApplication::GetInstance();
  for (const std::shared_ptr<CSpriteBase>& sprite : backSprites) sprite->Draw();
  if (titleState > 0 && application->fadeTexture.texture != nullptr) {
    OstrelLibrary::CGraphics::GetInstance()->DrawTexture(application->fadeTexture, &application->fadeMatrix, dimColour);
  }
  for (const std::shared_ptr<CSpriteBase>& sprite : frontSprites) sprite->Draw();
}
