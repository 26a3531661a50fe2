// The pause and return-to-title menus of the game scene, reached through the sprite
// base's weak link to the running stage.
#include "sprite/sprite_menu.h"

#include "app/application.h"
#include "app/input.h"
#include "app/source_stage.h"
#include "app/stage_set.h"
#include "engine/graphics.h"
#include "scene/scene_game.h"
#include "scene/scene_title.h"

namespace {

// The menu is closing: the cursor goes away and back to the middle for mouse look.
void HideCursorHome()
{
  const CApplication* application = CApplication::GetInstance();
  SetCursorVisible(false);
  SetCursorPos(application->cursorHome.x, application->cursorHome.y);
}

// The x of the back buffer's centre.
float HalfWidth()
{
  return OstrelLibrary::CGraphics::GetInstance()->presentParameters.BackBufferWidth * 0.5f;
}

// The y of the back buffer's centre.
float HalfHeight()
{
  return OstrelLibrary::CGraphics::GetInstance()->presentParameters.BackBufferHeight * 0.5f;
}

}  // namespace

// ---- CSpritePause -------------------------------------------------------------------

// The heading above the middle, the buttons at 0, 100 and 200 below it.
CSpritePause::CSpritePause()
{
  firstSound = LoadSpriteSound("res/sound/cursor.wav");
  secondSound = LoadSpriteSound("res/sound/click.wav");
  heading = LoadSpriteTexture("res/game/sprite/pause.png");
  D3DXMatrixTranslation(&headingTransform, HalfWidth() - PictureWidth(heading) * 0.5f,
                        HalfHeight() - PictureHeight(heading) * 0.5f + headingOffset, 0.0f);
  resumeButton.texture = LoadSpriteTexture("res/game/sprite/restart.png");
  CenterButton(resumeButton, 0.0f, 0.0f);
  retryButton.texture = LoadSpriteTexture("res/game/sprite/retry.png");
  CenterButton(retryButton, 0.0f, static_cast<float>(retryOffset));
  titleButton.texture = LoadSpriteTexture("res/game/sprite/to_title.png");
  CenterButton(titleButton, 0.0f, static_cast<float>(titleOffset));
  optionsButton.texture = LoadSpriteTexture("res/game/sprite/options.png");
  CenterButton(optionsButton, optionsOffsetX, optionsOffsetY);
}

// The pulse keeps going during a fade so the menu does not freeze, but a fade means a
// choice was already made: no second one.
void CSpritePause::Update()
{
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!scene || !scene->paused) return;
  PulseAlpha(pulseStep);
  CApplication* application = CApplication::GetInstance();
  if (application->fadeAlpha != 0) return;
  if (optionsPage.IsOpen()) {
    optionsPage.Update();
    return;
  }
  const int clicked = application->input.clicked;

  UpdateHover(*this, resumeButton);
  if (resumeButton.hovered && clicked) {
    scene->paused = 0;
    HideCursorHome();
    scene->pauseSound->Restart();
  }
  UpdateHover(*this, retryButton);
  if (retryButton.hovered && clicked) {
    scene->RequestScene(std::make_shared<CSceneGame>());
    HideCursorHome();
    secondSound->Restart();
  }
  UpdateHover(*this, titleButton);
  if (titleButton.hovered && clicked) {
    scene->RequestScene(std::make_shared<CSceneTitle>());
    HideCursorHome();
    secondSound->Restart();
  }
  UpdateHover(*this, optionsButton);
  if (optionsButton.hovered && clicked && scene->paused) optionsPage.Open();
}

// The menu keeps drawing until the requested scene takes over.
void CSpritePause::Draw()
{
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!scene || !scene->paused) return;
  if (optionsPage.IsOpen()) {
    optionsPage.Draw();
    return;
  }
  DrawPicture(heading, headingTransform, AlphaColour());
  DrawButton(resumeButton);
  DrawButton(retryButton);
  DrawButton(titleButton);
  DrawButton(optionsButton);
}

// ---- CSpriteEscape ------------------------------------------------------------------

// The question near the top, yes and no side by side 100 below the middle.
CSpriteEscape::CSpriteEscape()
{
  firstSound = LoadSpriteSound("res/sound/cursor.wav");
  secondSound = LoadSpriteSound("res/sound/click.wav");
  // Yes ends the game for a stage played from its source (but a stage set chosen on the
  // title goes back to it), so the question says so.
  const bool quits = CurrentSourceStage().active && !StageSetReturnsToTitle();
  question = LoadSpriteTexture(quits ? "res/game/sprite/do_you_quit.png" : "res/game/sprite/do_you_to_title.png");
  D3DXMatrixTranslation(&questionTransform, HalfWidth() - PictureWidth(question) * 0.5f, questionY, 0.0f);
  yesButton.texture = LoadSpriteTexture("res/game/sprite/yes.png");
  CenterButton(yesButton, -buttonOffsetX, static_cast<float>(buttonOffsetY));
  noButton.texture = LoadSpriteTexture("res/game/sprite/no.png");
  CenterButton(noButton, buttonOffsetX, static_cast<float>(buttonOffsetY));
}

// Nothing at all while a fade runs. No eats the click so nothing else in the frame
// takes it for a cast or another button.
void CSpriteEscape::Update()
{
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  CApplication* application = CApplication::GetInstance();
  if (!scene || !scene->escapeOpen || application->fadeAlpha != 0) return;
  PulseAlpha(pulseStep);

  UpdateHover(*this, yesButton);
  if (yesButton.hovered && application->input.clicked) {
    scene->RequestScene(std::make_shared<CSceneTitle>());
    HideCursorHome();
    secondSound->Restart();
  }
  UpdateHover(*this, noButton);
  if (noButton.hovered && application->input.clicked) {
    scene->escapeOpen = 0;
    HideCursorHome();
    application->input.clicked = 0;
    scene->pauseSound->Restart();
  }
}

// The question and both answers.
void CSpriteEscape::Draw()
{
  const std::shared_ptr<CSceneGame> scene = currentScene.lock();
  if (!scene || !scene->escapeOpen) return;
  DrawPicture(question, questionTransform, AlphaColour());
  DrawButton(yesButton);
  DrawButton(noButton);
}
