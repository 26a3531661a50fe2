// CSpriteStageTitle: the stage's name slides in behind a blue magic ray, holds, and
// leaves to the left trailing a red one, all during the opening flight.
#include "sprite/sprite_hud.h"

#include <cstdio>

#include "app/application.h"
#include "app/stage_set.h"
#include "sprite/sprite_font.h"
#include "engine/graphics.h"
#include "engine/mesh.h"
#include "scene/scene_game.h"

using OstrelLibrary::CGraphics;

namespace {
const D3DCOLOR blueRay = 0x5F5FFF;
const D3DCOLOR redRay = 0xFF5F5F;

// The running game scene while the opening runs and no menu hides the HUD.
std::shared_ptr<CSceneGame> OpeningScene()
{
  const std::shared_ptr<CSceneGame> scene = CSpriteBase::currentScene.lock();
  if (!scene || !scene->cameraEvent || scene->paused || scene->escapeOpen) return nullptr;
  return scene;
}

// Where a stage set's name stands on its banner: right of the stage number's rule.
const float setNameLeft = 206.0f;
const float setNameRight = 28.0f;
const float setNameTop = 22.0f;
const float setNameScale = 1.2f;
const float setLineTop = 86.0f;  // "STAGE SET  1 / 2" under it, in the banner's gold
const float setLineScale = 0.5f;
const D3DCOLOR setLineColour = 0xFFF0C850;

// A colour at an opacity.
D3DCOLOR WithAlpha(int alpha, D3DCOLOR rgb)
{
  return (static_cast<D3DCOLOR>(alpha) << 24) | rgb;
}
}  // namespace

// Frame k of the ray sheet is the k-th 40-pixel strip.
CSpriteStageTitle::CSpriteStageTitle()
{
  char stage[2] = {'1', '\0'};
  // A stage set's stage shows its place in the set and the set's name, on a banner
  // without the game's own floor names.
  const bool inSet = StageSetActive();
  std::snprintf(stage, sizeof stage, "%d", inSet ? StageSetStage() : CApplication::GetInstance()->stageNumber);
  const char* banner = inSet ? "res/game/sprite/stage_title_set.png" : "res/game/sprite/stage_title.png";
  texture = LoadSpriteTexture(OstrelLibrary::InsertBeforeExtension(banner, stage));
  if (inSet) {
    setName = CurrentStageSet().name;
    setLine = "STAGE SET  " + std::to_string(StageSetStage()) + " / " + std::to_string(CurrentStageSet().stages.size());
    font = std::make_unique<CSpriteFont>();
  }
  rayTexture = LoadSpriteTexture("res/game/sprite/title_ray.png");
  headTexture = LoadSpriteTexture("res/game/sprite/title_end.png");
  raySound = LoadSpriteSound("res/sound/magic_ray.wav");
  titleSound = LoadSpriteSound("res/sound/stage_title.wav");
  const float width = static_cast<float>(CGraphics::GetInstance()->presentParameters.BackBufferWidth);
  stopX = width * 0.5f - 400.0f;
  D3DXMatrixIdentity(&headTransform);
  for (D3DXMATRIX& segment : segments) D3DXMatrixIdentity(&segment);
  for (int k = 0; k < kRayFrameCount; ++k) rayFrames[k] = {0, 40 * k, 180, 40 * k + 40};
  transform._41 = width;
  transform._42 = 50.0f;
}

// The two sounds.
CSpriteStageTitle::~CSpriteStageTitle()
{
  titleSound.reset();
  raySound.reset();
}

// A menu over the opening freezes the banner where it is and silences the ray.
void CSpriteStageTitle::Update()
{
  if (!OpeningScene()) {
    if (raySound->playing) raySound->Stop();
    return;
  }
  Slide();
  AnimateRay();
  AnimateGlow();
}

// 8 pixels a frame in, 100 frames still, 8 a frame out to the left.
void CSpriteStageTitle::Slide()
{
  if (bannerState == 0) {
    transform._41 -= speed;
    if (transform._41 <= stopX) bannerState = 1;
  } else if (bannerState == 1) {
    holdCounter += 1;
    if (holdCounter > holdFrames) bannerState = 2;
  } else {
    transform._41 -= speed;
  }
}

// Ten segments run ahead of the banner coming in and trail behind it going out; the
// ray's hum fades as it leaves, and the title's chime sounds while it holds.
void CSpriteStageTitle::AnimateRay()
{
  rayTimer += 1;
  if (rayTimer > 1) {
    rayTimer = 0;
    rayFrame = (rayFrame + 1) % rayFrameCount;
  }
  const float bannerX = transform._41;
  const float rayWidth = PictureWidth(rayTexture);
  const float y = transform._42 + PictureHeight(texture) / 3.0f;
  for (int i = 0; i < segmentCount - 1; ++i) {
    const float x = bannerState == 0 ? bannerX - rayWidth * (i + 1) : bannerX + PictureWidth(texture) + rayWidth * i;
    D3DXMatrixTranslation(&segments[i], x, y, 0.0f);
  }
  if (bannerState == 1) {
    raySound->Stop();
    titleSound->Play(0);
  } else {
    raySound->Play(1);
    if (bannerState == 2) raySound->ChangeVolume(-10);
  }
  const float headWidth = PictureWidth(headTexture);
  const float headY = y - PictureHeight(headTexture) / 3.0f;
  if (bannerState == 0) {
    D3DXMatrixTranslation(&headTransform, bannerX - headWidth / 3.0f, headY, 0.0f);
  } else if (bannerState == 2) {
    D3DXMatrixTranslation(&headTransform, bannerX + PictureWidth(texture) - headWidth * 0.5f, headY, 0.0f);
  }
}

// The banner glows while it moves and the glow dies away while it holds; the ray's
// head pulses between 150 and 255.
void CSpriteStageTitle::AnimateGlow()
{
  if (bannerState == 1) {
    if (glowAlpha > 0) {
      glowAlpha -= glowStep;
      if (glowAlpha <= 0) {
        glowAlpha = 0;
        glowPhase = glowPhase ? 0 : 1;
      }
    }
    headAlpha = headMinAlpha;
    return;
  }
  PulseBetween(glowAlpha, glowPhase, glowStep, 0, 255);
  PulseBetween(headAlpha, headPhase, 10, headMinAlpha, 255);
}

// Blue coming in, red going out.
D3DCOLOR CSpriteStageTitle::RayColour() const
{
  return bannerState == 2 ? redRay : blueRay;
}

// The ray under the banner, the banner, then its coloured glow over it.
void CSpriteStageTitle::Draw()
{
  if (!OpeningScene()) return;
  const bool moving = bannerState != 1;
  if (moving) {
    for (int i = 0; i < segmentCount - 1; ++i) {
      DrawPicturePart(rayTexture, rayFrames[rayFrame], segments[i], WithAlpha(200, RayColour()));
    }
    DrawPicture(headTexture, headTransform, WithAlpha(headAlpha, RayColour()));
  }
  DrawPicture(texture, transform, 0xFFFFFFFF);
  if (font) {
    const float middle = transform._41 + (setNameLeft + PictureWidth(texture) - setNameRight) * 0.5f;
    font->Draw(setName, middle, transform._42 + setNameTop, setNameScale, 0xFFFFFFFF, TextAlign::Centre);
    font->Draw(setLine, middle, transform._42 + setLineTop, setLineScale, setLineColour, TextAlign::Centre);
  }
  if (moving) DrawPicture(texture, transform, WithAlpha(glowAlpha, RayColour()));
}
