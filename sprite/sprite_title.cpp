// The title sprites: timings in frames of the 16 ms loop; each reads the running
// title scene's titleState through a weak reference locked for one use.
#include "sprite/sprite_title.h"

#include "app/application.h"
#include "app/input.h"
#include "app/stage_clock.h"
#include "engine/graphics.h"
#include "scene/scene_title.h"

namespace {

// The title state, or -1 when no title scene runs (the sprites then keep still).
int TitleState()
{
  const std::shared_ptr<CSceneTitle> scene = CSceneTitle::currentTitleScene.lock();
  return scene ? scene->titleState : -1;
}

// Sets the title state if a title scene runs.
void SetTitleState(int value)
{
  const std::shared_ptr<CSceneTitle> scene = CSceneTitle::currentTitleScene.lock();
  if (scene) scene->titleState = value;
}

// The back buffer's width, as a float.
float BackWidth()
{
  return static_cast<float>(OstrelLibrary::CGraphics::GetInstance()->presentParameters.BackBufferWidth);
}

// The back buffer's height, as a float.
float BackHeight()
{
  return static_cast<float>(OstrelLibrary::CGraphics::GetInstance()->presentParameters.BackBufferHeight);
}

}  // namespace

// ---- CTitleBackground ---------------------------------------------------------------

// Both pictures at the top-left corner.
CTitleBackground::CTitleBackground()
{
  texture = LoadSpriteTexture("res/title/picture/title_background.png");
  cloudTexture = LoadSpriteTexture("res/title/picture/title_cloud.png");
  D3DXMatrixIdentity(&cloudMatrix);
}

// 200 frames up, 200 frames down: the ending's cloud moves the same way.
void BobCloud(D3DXMATRIX& cloudMatrix, int& rising)
{
  if (rising == 1) {
    cloudMatrix._42 -= 0.1f;
    if (cloudMatrix._42 < -20.0f) {
      cloudMatrix._42 = -20.0f;
      rising = 0;
    }
  } else {
    cloudMatrix._42 += 0.1f;
    if (cloudMatrix._42 > 0.0f) {
      cloudMatrix._42 = 0.0f;
      rising = 1;
    }
  }
}

// The cloud bobs in every title state.
void CTitleBackground::Update()
{
  BobCloud(cloudMatrix, cloudDirection);
}

// Sky and tower first, the cloud over them.
void CTitleBackground::Draw()
{
  DrawPicture(texture, transform, 0xFFFFFFFF);
  DrawPicture(cloudTexture, cloudMatrix, 0xFFFFFFFF);
}

// ---- CTitlePlayer -------------------------------------------------------------------

// The picture is a full-screen layer, so it needs no placing.
CTitlePlayer::CTitlePlayer()
{
  texture = LoadSpriteTexture("res/title/picture/title_player.png");
}

// Nothing moves.
void CTitlePlayer::Update()
{
}

// Opaque.
void CTitlePlayer::Draw()
{
  DrawPicture(texture, transform, 0xFFFFFFFF);
}

// ---- CTitleRay ----------------------------------------------------------------------

// A full-screen layer as well.
CTitleRay::CTitleRay()
{
  texture = LoadSpriteTexture("res/title/picture/title_ray.png");
}

// Never fades out completely: the light only breathes.
void CTitleRay::Update()
{
  if (phase == 1) {
    alpha -= 4;
    if (alpha < 100) {
      alpha = 100;
      phase = 0;
    }
  } else {
    alpha += 4;
    if (alpha >= 256) {
      alpha = 255;
      phase = 1;
    }
  }
}

// At its opacity.
void CTitleRay::Draw()
{
  DrawPicture(texture, transform, AlphaColour());
}

// ---- CTitleClickToStart -------------------------------------------------------------

// Centred, then 250 pixels lower.
CTitleClickToStart::CTitleClickToStart()
{
  texture = LoadSpriteTexture("res/title/char/click_to_start.png");
  secondSound = LoadSpriteSound("res/sound/click.wav");
  transform._41 = BackWidth() * 0.5f - PictureWidth(texture) * 0.5f;
  transform._42 = BackHeight() * 0.5f - PictureHeight(texture) * 0.5f + 250.0f;
}

// Fades out first, then in: 104 frames a cycle.
void CTitleClickToStart::Update()
{
  if (TitleState() != 0) return;
  if (phase == 0) {
    alpha += 5;
    if (alpha > 255) {
      alpha = 255;
      phase = 1;
    }
  } else {
    alpha -= 5;
    if (alpha < 0) {
      alpha = 0;
      phase = 0;
    }
  }
  if (CApplication::GetInstance()->input.clicked) {
    secondSound->Play(0);
    SetTitleState(1);
  }
}

// Gone once the menu is up.
void CTitleClickToStart::Draw()
{
  if (TitleState() != 0) return;
  DrawPicture(texture, transform, AlphaColour());
}

// ---- CTitleLogo ---------------------------------------------------------------------

// Centred in x, at the top edge, invisible.
CTitleLogo::CTitleLogo()
{
  texture = LoadSpriteTexture("res/title/char/logo.png");
  transform._41 = BackWidth() * 0.5f - PictureWidth(texture) * 0.5f;
  transform._42 = 0.0f;
  alpha = 0;
}

// 100 frames to reach y 50, 128 to become opaque.
void CTitleLogo::Update()
{
  if (TitleState() != 0) {
    transform._42 = targetY;
    alpha = 255;
  }
  if (transform._42 < targetY) {
    D3DXMATRIX move;
    D3DXMatrixTranslation(&move, step.x, step.y, step.z);
    D3DXMatrixMultiply(&transform, &move, &transform);
  }
  if (alpha < 255) {
    alpha += alphaStep;
    if (alpha > 255) alpha = 255;
  }
}

// At its opacity.
void CTitleLogo::Draw()
{
  DrawPicture(texture, transform, AlphaColour());
}

// ---- CTitleOption -------------------------------------------------------------------

// Continue 160 and Start 275 below the centre.
CTitleOption::CTitleOption()
{
  startButton.texture = LoadSpriteTexture("res/title/char/start.png");
  CenterButton(startButton, 0.0f, startOffset);
  continueButton.texture = LoadSpriteTexture("res/title/char/continue.png");
  CenterButton(continueButton, 0.0f, continueOffset);
  optionsButton.texture = LoadSpriteTexture("res/game/sprite/options.png");
  CenterButton(optionsButton, optionsOffsetX, optionsOffsetY);
  firstSound = LoadSpriteSound("res/sound/cursor.wav");
  secondSound = LoadSpriteSound("res/sound/zazaza.wav");
}

// The hover runs from the menu's first frame; clicks count from its seventh, so the
// click that opened the menu cannot choose.
void CTitleOption::Update()
{
  if (TitleState() != 1) return;
  if (!ready) {
    if (readyCounter < readyDelay) {
      readyCounter += 1;
    } else {
      ready = 1;
    }
  }
  if (optionsPage.IsOpen()) {
    optionsPage.Update();
    return;
  }
  const int clicked = CApplication::GetInstance()->input.clicked;
  UpdateHover(*this, startButton);
  if (ready && startButton.hovered && clicked) Choose(true);
  UpdateHover(*this, continueButton);
  if (ready && continueButton.hovered && clicked) Choose(false);
  UpdateHover(*this, optionsButton);
  if (ready && optionsButton.hovered && clicked) optionsPage.Open();
}

// Start begins at stage 1 without touching the save file; Continue keeps the stage.
void CTitleOption::Choose(bool newGame)
{
  CApplication* application = CApplication::GetInstance();
  SetTitleState(2);
  SetCursorVisible(false);
  application->fadeOut = 1;
  secondSound->Play(0);
  if (newGame) application->stageNumber = 1;
  // Only a game begun from stage 1 makes a whole-game time.
  if (newGame) {
    CGameClock::GetInstance().Start();
  } else {
    CGameClock::GetInstance().Cancel();
  }
}

// Start, then Continue, only while the menu is up.
void CTitleOption::Draw()
{
  if (TitleState() != 1) return;
  DrawButton(startButton);
  DrawButton(continueButton);
  DrawButton(optionsButton);
  optionsPage.Draw();
}
