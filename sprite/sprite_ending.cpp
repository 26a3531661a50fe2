// The ending's three sequences. Timings are frames of the 16 ms loop; positions are
// back-buffer pixels, y downwards; a picture that fails to load is simply not drawn.
#include "sprite/sprite_ending.h"

#include <cstdlib>

#include "app/application.h"
#include "engine/graphics.h"
#include "scene/stage_loader.h"
#include "sprite/sprite_title.h"

using OstrelLibrary::CGraphics;

namespace {

const std::string endingInsideName = "CEndingInside";
const std::string endingOutsideName = "CEndingOutside";
const std::string endingSpaceName = "CEndingSpace";
const char* const firstNarration = "res/ending/ending_narration_1.png";
const char* const secondNarration = "res/ending/ending_narration_2.png";
// How fast the take-off's ray sound dies away once the tower is gone.
const LONG rayFadeStep = -35;

// The back buffer's width, as a float.
float BackWidth()
{
  return static_cast<float>(CGraphics::GetInstance()->presentParameters.BackBufferWidth);
}

// The back buffer's height, as a float.
float BackHeight()
{
  return static_cast<float>(CGraphics::GetInstance()->presentParameters.BackBufferHeight);
}

// matrix = translation(dx, dy, 0) x base.
void Offset(D3DXMATRIX& matrix, float dx, float dy, const D3DXMATRIX& base)
{
  D3DXMATRIX move;
  D3DXMatrixTranslation(&move, dx, dy, 0.0f);
  D3DXMatrixMultiply(&matrix, &move, &base);
}

// White at an opacity.
D3DCOLOR WithAlphaOf(int alpha)
{
  return (static_cast<D3DCOLOR>(alpha) << 24) | 0xFFFFFF;
}

// A new random shake offset of 0 .. range - 1 pixels on each axis.
void Shake(D3DXMATRIX& shakeMatrix, int range)
{
  const float x = static_cast<float>(std::rand() % range);
  const float y = static_cast<float>(std::rand() % range);
  D3DXMatrixTranslation(&shakeMatrix, x, y, 0.0f);
}

}  // namespace

// Rising adds the step and turns at high; falling subtracts it and turns at low.
void PingPong(int& value, int& falling, int low, int high, int step)
{
  if (falling) {
    value -= step;
    if (value < low) {
      value = low;
      falling = 0;
    }
  } else {
    value += step;
    if (value > high) {
      value = high;
      falling = 1;
    }
  }
}

// ---- CEndingInside ------------------------------------------------------------------

// The player starts just below the screen, the narration sits on the bottom edge.
CEndingInside::CEndingInside()
{
  texture = LoadSpriteTexture("res/ending/ending_wall.png");
  playerTexture = LoadSpriteTexture("res/ending/ending_player.png");
  D3DXMatrixTranslation(&playerMatrix, BackWidth() / 2 - PictureWidth(playerTexture) / 2, BackHeight(), 0.0f);
  narrationTexture = LoadSpriteTexture(firstNarration);
  D3DXMatrixTranslation(&narrationMatrix, BackWidth() / 2 - PictureWidth(narrationTexture) / 2,
                        BackHeight() - PictureHeight(narrationTexture), 0.0f);
  chargeTexture = LoadSpriteTexture("res/ending/ending_charge.png");
  D3DXMatrixIdentity(&chargeMatrixA);
  D3DXMatrixIdentity(&chargeMatrixB);
  D3DXMatrixIdentity(&flashMatrix);
  if (flashTexture.Create(CGraphics::GetInstance()->device, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED)) {
    flashTexture.Fill(0xFFFFFFFF);
  }
  music.Load("res/sound/game_bgm.wav");
  orbSound.Load("res/sound/orb_get.wav");
  chargeSound.Load("res/sound/magic_charge.wav");
  music.Play(1);
}

// "CEndingInside".
const std::string& CEndingInside::GetName() const
{
  return endingInsideName;
}

// The climb takes 240 frames from the bottom edge; the narration runs alongside it.
void CEndingInside::Update()
{
  if (playerMatrix._42 > 0.0f) {
    Offset(playerMatrix, playerStep.x, playerStep.y, playerMatrix);
  } else {
    chargeSound.Play(0);
  }
  UpdateNarration();
  UpdateCharge();
}

// 85 frames in and 85 out per panel; the orb sound greets only the first panel.
void CEndingInside::UpdateNarration()
{
  if (!narrationShown) {
    narrationAlpha += narrationStep;
    if (narrationAlpha > 255) {
      narrationAlpha = 255;
      narrationShown = 1;
      if (narrationTexture && narrationTexture->path == firstNarration) orbSound.Play(0);
    }
    return;
  }
  narrationAlpha -= narrationStep;
  if (narrationAlpha >= 0) return;
  narrationAlpha = 0;
  if (narrationTexture && narrationTexture->path == firstNarration) {
    narrationTexture = LoadSpriteTexture(secondNarration);
    narrationShown = 0;
    return;
  }
  // Both panels told (or none could be read): to black, the music going with it.
  CApplication::GetInstance()->fadeOut = 1;
  music.ChangeVolume(musicFadeStep);
}

// The glows stand at the player's hands once it has stopped at the top.
void CEndingInside::UpdateCharge()
{
  if (playerMatrix._42 > 0.0f) return;
  if (chargeStarting) {
    chargeStarting = 0;
    Offset(chargeMatrixA, 150.0f, 150.0f, playerMatrix);
    Offset(chargeMatrixB, 800.0f, 150.0f, playerMatrix);
    flashAlpha = 200;
    D3DXMatrixScaling(&flashMatrix, 1280.0f, 720.0f, 1.0f);
  }
  if (flashAlpha > 0) flashAlpha -= chargeStep / 2;
  PingPong(chargeAlpha, chargeFalling, 0, 255, chargeStep);
}

// The flash is yellow: the texel is white, the colour tints it.
void CEndingInside::Draw()
{
  DrawPicture(texture, transform, 0xFFFFFFFF);
  DrawPicture(playerTexture, playerMatrix, 0xFFFFFFFF);
  DrawPicture(narrationTexture, narrationMatrix, WithAlphaOf(narrationAlpha));
  DrawPicture(chargeTexture, chargeMatrixA, WithAlphaOf(chargeAlpha));
  DrawPicture(chargeTexture, chargeMatrixB, WithAlphaOf(chargeAlpha));
  if (flashTexture.texture != nullptr) {
    CGraphics::GetInstance()->DrawTexture(flashTexture, &flashMatrix,
                                          (static_cast<D3DCOLOR>(flashAlpha) << 24) | 0xFFFF00);
  }
}

// ---- CEndingOutside -----------------------------------------------------------------

// Everything starts at the top-left corner; the glow is invisible and rising.
CEndingOutside::CEndingOutside()
{
  backgroundTexture = LoadSpriteTexture("res/ending/ending_background.png");
  magicTexture = LoadSpriteTexture("res/ending/ending_magic.png");
  towerTexture = LoadSpriteTexture("res/ending/ending_tower.png");
  cloudTexture = LoadSpriteTexture("res/ending/ending_cloud.png");
  D3DXMatrixIdentity(&magicMatrix);
  D3DXMatrixIdentity(&towerMatrix);
  D3DXMatrixIdentity(&shakeMatrix);
  D3DXMatrixIdentity(&towerPositionMatrix);
  D3DXMatrixIdentity(&cloudMatrix);
  rumbleSound.Load("res/sound/trailing.wav");
  raySound.Load("res/sound/magic_ray.wav");
  alpha = 0;
  phase = 0;
}

// "CEndingOutside".
const std::string& CEndingOutside::GetName() const
{
  return endingOutsideName;
}

// Still for 59 frames, shaking from frame 60, rising from frame 259 until it is gone.
void CEndingOutside::Update()
{
  frameCount += 1;
  if (frameCount >= shakeDelay) {
    Shake(shakeMatrix, 10);
    rumbleSound.Play(1);
    shakeCount += 1;
    if (shakeCount >= takeOffDelay) {
      rumbleSound.Stop();
      raySound.Play(1);
      towerPositionMatrix._42 -= towerSpeed;
      if (towerPositionMatrix._42 < -PictureHeight(towerTexture)) {
        CApplication::GetInstance()->fadeOut = 1;
        raySound.ChangeVolume(rayFadeStep);
      }
    }
  }
  D3DXMatrixMultiply(&towerMatrix, &shakeMatrix, &towerPositionMatrix);
  Offset(magicMatrix, 590.0f, -375.0f, towerMatrix);
  PingPong(alpha, phase, 120, 255, 2);
  BobCloud(cloudMatrix, cloudRising);
}

// The cloud passes in front of everything.
void CEndingOutside::Draw()
{
  DrawPicture(backgroundTexture, transform, 0xFFFFFFFF);
  DrawPicture(towerTexture, towerMatrix, 0xFFFFFFFF);
  DrawPicture(magicTexture, magicMatrix, AlphaColour());
  DrawPicture(cloudTexture, cloudMatrix, 0xFFFFFFFF);
}

// ---- CEndingSpace -------------------------------------------------------------------

// The tower waits below the bottom edge one tower-width from the left; the first page
// waits below the right half.
CEndingSpace::CEndingSpace()
{
  spaceTexture = LoadSpriteTexture("res/ending/ending_space.png");
  towerTexture = LoadSpriteTexture("res/ending/ending_space_tower.png");
  magicTexture = LoadSpriteTexture("res/ending/ending_space_magic.png");
  creditTexture = LoadSpriteTexture(StageFileName("res/ending/endroll.png", creditPage));
  D3DXMatrixIdentity(&spaceMatrixA);
  D3DXMatrixIdentity(&spaceMatrixB);
  D3DXMatrixIdentity(&towerMatrix);
  D3DXMatrixIdentity(&shakeMatrix);
  D3DXMatrixTranslation(&towerPositionMatrix, PictureWidth(towerTexture), BackHeight(), 0.0f);
  D3DXMatrixIdentity(&magicMatrix);
  D3DXMatrixTranslation(&creditMatrix, BackWidth() * 0.5f, BackHeight(), 0.0f);
  music.Load("res/sound/ending_bgm.wav");
  alpha = 255;
  phase = 1;
}

// "CEndingSpace".
const std::string& CEndingSpace::GetName() const
{
  return endingSpaceName;
}

// The tower rises to 250 in 235 frames and holds there through the credits.
void CEndingSpace::Update()
{
  music.Play(0);

  spaceMatrixA._42 += scrollSpeed;
  if (spaceMatrixA._42 > scrollHeight) spaceMatrixA._42 = 0.0f;
  spaceMatrixB._41 = spaceMatrixA._41;
  spaceMatrixB._42 = spaceMatrixA._42 - scrollHeight;
  spaceMatrixB._43 = spaceMatrixA._43;

  Shake(shakeMatrix, 4);
  towerPositionMatrix._42 -= towerSpeed;
  if (creditsDone) {
    if (towerPositionMatrix._42 < -3.0f * PictureHeight(towerTexture)) CApplication::GetInstance()->fadeOut = 1;
  } else if (towerPositionMatrix._42 < towerStopY) {
    towerPositionMatrix._42 = towerStopY;
  }
  D3DXMatrixMultiply(&towerMatrix, &shakeMatrix, &towerPositionMatrix);

  Offset(magicMatrix, -65.0f, -125.0f, towerMatrix);
  PingPong(alpha, phase, 60, 255, 2);
  UpdateCredits();
}

// Page names follow the stage files' rule: endroll.1.png .. endroll.5.png.
void CEndingSpace::UpdateCredits()
{
  if (towerPositionMatrix._42 > towerStopY || creditsDone) return;
  creditMatrix._42 -= towerSpeed;
  if (creditMatrix._42 >= -PictureHeight(creditTexture)) return;
  creditPage += 1;
  if (creditPage <= creditPageCount) {
    creditTexture = LoadSpriteTexture(StageFileName("res/ending/endroll.png", creditPage));
    D3DXMatrixTranslation(&creditMatrix, BackWidth() * 0.5f, BackHeight(), 0.0f);
  } else {
    creditsDone = 1;
  }
}

// Two copies of the background, one screen apart, leave no gap while it drifts.
void CEndingSpace::Draw()
{
  DrawPicture(spaceTexture, spaceMatrixA, 0xFFFFFFFF);
  DrawPicture(spaceTexture, spaceMatrixB, 0xFFFFFFFF);
  DrawPicture(towerTexture, towerMatrix, 0xFFFFFFFF);
  DrawPicture(magicTexture, magicMatrix, AlphaColour());
  DrawPicture(creditTexture, creditMatrix, 0xFFFFFFFF);
  if (creditPage == creditPageCount) {
    const float below = creditMatrix._42 + PictureHeight(creditTexture) + 16.0f;
    wholeGameTime.Draw(creditMatrix._41 + PictureWidth(creditTexture) * 0.5f, below, 255);
  }
}
