// The title pages' shared picture, music and fade.
#include "scene/scene_title_page.h"

#include "app/application.h"
#include "app/input.h"
#include "engine/graphics.h"
#include "scene/scene_title.h"
#include "sprite/sprite_base.h"
#include "sprite/sprite_title.h"

namespace {
// Darker than the title's menu: a page is text over the picture.
const D3DCOLOR dimColour = 0xA0000000;
const LONG musicFadeStep = -35;
}  // namespace

// The scene may be dropped without Uninit.
CSceneTitlePage::~CSceneTitlePage()
{
  backSprites.clear();
  pageSprite.reset();
  bgm.reset();
}

void CSceneTitlePage::Init()
{
  backSprites.push_back(std::make_shared<CTitleBackground>());
  backSprites.push_back(std::make_shared<CTitlePlayer>());
  pageSprite = MakePage();
  bgm->Load("res/sound/title_bgm.wav");
  bgm->Play(1);
  CApplication::GetInstance()->fadeOut = 0;
  SetCursorVisible(true);
}

void CSceneTitlePage::Uninit(std::shared_ptr<CSceneBase>)
{
  backSprites.clear();
  pageSprite.reset();
}

// Nothing in 3D.
void CSceneTitlePage::Draw()
{
}

void CSceneTitlePage::DrawSprite()
{
  CApplication* application = CApplication::GetInstance();
  for (const std::shared_ptr<CSpriteBase>& sprite : backSprites) sprite->Draw();
  if (application->fadeTexture.texture != nullptr) {
    OstrelLibrary::CGraphics::GetInstance()->DrawTexture(application->fadeTexture, &application->fadeMatrix, dimColour);
  }
  if (pageSprite) pageSprite->Draw();
}

bool CSceneTitlePage::UpdatePicture()
{
  for (const std::shared_ptr<CSpriteBase>& sprite : backSprites) sprite->Update();
  return !leaving;
}

void CSceneTitlePage::Leave()
{
  leaving = 1;
  CApplication::GetInstance()->fadeOut = 1;
}

bool CSceneTitlePage::FadedOut()
{
  bgm->ChangeVolume(musicFadeStep);
  return CApplication::GetInstance()->fadeAlpha >= 255;
}

std::shared_ptr<CSceneBase> CSceneTitlePage::TitleMenu()
{
  std::shared_ptr<CSceneTitle> title = std::make_shared<CSceneTitle>();
  title->titleState = 1;
  return title;
}
