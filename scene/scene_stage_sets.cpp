// CSceneStageSets: the chooser's sprites, its music, starting the chosen set and the way
// back to the title's menu.
#include "scene/scene_stage_sets.h"

#include <cstdio>

#include "app/application.h"
#include "app/input.h"
#include "app/stage_set.h"
#include "engine/graphics.h"
#include "scene/scene_game.h"
#include "scene/scene_title.h"
#include "sprite/sprite_stage_sets.h"
#include "sprite/sprite_title.h"

namespace {
const std::string sceneStageSetsName = "CSceneStageSets";
// As dark as the records page: the page is text over the picture.
const D3DCOLOR dimColour = 0xA0000000;
const LONG musicFadeStep = -35;

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

// The scene may be dropped without Uninit.
CSceneStageSets::~CSceneStageSets()
{
  backSprites.clear();
  page.reset();
  bgm.reset();
}

// The title's background and player, so the page reads as part of the title.
void CSceneStageSets::Init()
{
  backSprites.push_back(std::make_shared<CTitleBackground>());
  backSprites.push_back(std::make_shared<CTitlePlayer>());
  page = std::make_shared<CStageSetsPage>();
  bgm->Load("res/sound/title_bgm.wav");
  bgm->Play(1);
  CApplication::GetInstance()->fadeOut = 0;
  SetCursorVisible(true);
}

// The sprites go.
void CSceneStageSets::Uninit(std::shared_ptr<CSceneBase>)
{
  backSprites.clear();
  page.reset();
}

// A chosen set is checked and its stage built at once; one that cannot be played says
// why on the page and on standard error, and the page stays.
std::shared_ptr<CSceneBase> CSceneStageSets::Update()
{
  CApplication* application = CApplication::GetInstance();
  for (const std::shared_ptr<CSpriteBase>& sprite : backSprites) sprite->Update();
  if (!leaving) page->Update();
  if (!leaving && page->chosenSet >= 0) {
    const StageSet& set = page->sets[static_cast<size_t>(page->chosenSet)];
    std::string reason;
    if (BeginStageSet(set, true, &reason)) {
      setStarted = 1;
      leaving = 1;
      application->fadeOut = 1;
      SetCursorVisible(false);
    } else {
      std::fprintf(stderr, "solverica: %s\n", reason.c_str());
      page->message = ShortReason(reason, set);
      page->chosenSet = -1;
    }
  }
  if (!leaving && page->backChosen) {
    leaving = 1;
    application->fadeOut = 1;
  }
  if (!leaving) return shared_from_this();
  bgm->ChangeVolume(musicFadeStep);
  if (application->fadeAlpha < 255) return shared_from_this();
  SetCursorPos(application->cursorHome.x, application->cursorHome.y);
  if (setStarted) return std::make_shared<CSceneGame>();
  std::shared_ptr<CSceneTitle> title = std::make_shared<CSceneTitle>();
  title->titleState = 1;
  return title;
}

// Nothing in 3D.
void CSceneStageSets::Draw()
{
}

// The page over the dimmed picture.
void CSceneStageSets::DrawSprite()
{
  CApplication* application = CApplication::GetInstance();
  for (const std::shared_ptr<CSpriteBase>& sprite : backSprites) sprite->Draw();
  if (application->fadeTexture.texture != nullptr) {
    OstrelLibrary::CGraphics::GetInstance()->DrawTexture(application->fadeTexture, &application->fadeMatrix, dimColour);
  }
  if (page) page->Draw();
}
