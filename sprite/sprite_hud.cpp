// CSpriteClear, CSpriteSpaceSkip and CSpriteText: the stage-clear lettering, the skip
// hint and the orb message box.
#include "sprite/sprite_hud.h"

#include <algorithm>

#include "actor/colour_symbols.h"
#include "app/application.h"
#include "app/input.h"
#include "engine/graphics.h"
#include "scene/scene_game.h"
#include "sprite/sprite_symbols.h"

using OstrelLibrary::CGraphics;

namespace {
const int letterWidth = 53;
const int letterHeight = 74;

// The running game scene while no menu hides the HUD; null otherwise.
std::shared_ptr<CSceneGame> VisibleScene()
{
  const std::shared_ptr<CSceneGame> scene = CSpriteBase::currentScene.lock();
  if (!scene || scene->paused || scene->escapeOpen) return nullptr;
  return scene;
}

// White at an opacity.
D3DCOLOR White(int alpha)
{
  return (static_cast<D3DCOLOR>(alpha) << 24) | 0xFFFFFF;
}

// The back buffer's size.
const D3DPRESENT_PARAMETERS& BackBuffer()
{
  return CGraphics::GetInstance()->presentParameters;
}
}  // namespace

// All three matrices start as identity.
ClearLetter::ClearLetter()
{
  D3DXMatrixIdentity(&transform);
  D3DXMatrixIdentity(&position);
  D3DXMatrixIdentity(&letterScale);
}

// Letter i is cell i of the strip, spread 3.1 cells apart along the baseline.
CSpriteClear::CSpriteClear()
{
  texture = LoadSpriteTexture("res/game/sprite/stage_clear.png");
  for (int i = 0; i < kLetterCount; ++i) {
    ClearLetter& letter = letters[i];
    letter.source = {letterWidth * i, 0, letterWidth * i + letterWidth, letterHeight};
    D3DXMatrixTranslation(&letter.position, i * letterWidth * 3.1f + 10.0f, baseline, 0.0f);
    letter.transform = letter.letterScale * letter.position;
  }
}

// Nothing before the goal or under a menu.
void CSpriteClear::Update()
{
  const std::shared_ptr<CSceneGame> scene = VisibleScene();
  if (!scene || !scene->goalReached) return;
  if (clearPhase == 0) {
    RiseLetters();
  } else {
    FadeLetters();
  }
}

// Each letter rises 9 a frame to 20 or above, then sinks 6 a frame back below 60,
// growing 2.5 % a frame the whole time.
void CSpriteClear::RiseLetters()
{
  D3DXMATRIX grow, step;
  D3DXMatrixScaling(&grow, 1.025f, 1.025f, 1.0f);
  for (ClearLetter& letter : letters) {
    if (letter.landed && letter.position._42 >= baseline - 270.0f) continue;
    letter.alpha = std::min(letter.alpha + 10, 255);
    letter.letterScale = letter.letterScale * grow;
    if (letter.landed) {
      D3DXMatrixTranslation(&step, -1.0f, 6.0f, 0.0f);
      letter.position = letter.position * step;
    } else {
      D3DXMatrixTranslation(&step, 0.0f, -9.0f, 0.0f);
      letter.position = letter.position * step;
      if (letter.position._42 <= baseline - 310.0f) letter.landed = 1;
    }
    letter.transform = letter.letterScale * letter.position;
    if (!letter.landed && letter.position._42 >= baseline - 70.0f) return;
  }
  const ClearLetter& last = letters[kLetterCount - 1];
  if (last.landed && last.position._42 >= baseline - 270.0f) clearPhase = 1;
}

// A faded letter stays gone; the others drift up-left as they fade.
void CSpriteClear::FadeLetters()
{
  D3DXMATRIX grow, drift;
  D3DXMatrixScaling(&grow, 1.025f, 1.025f, 1.0f);
  D3DXMatrixTranslation(&drift, -2.5f, -3.5f, 0.0f);
  for (ClearLetter& letter : letters) {
    if (letter.alpha == 0) continue;
    letter.letterScale = letter.letterScale * grow;
    letter.position = letter.position * drift;
    letter.transform = letter.letterScale * letter.position;
    letter.alpha -= 10;
    if (letter.alpha < 0) {
      letter.alpha = 0;
      continue;
    }
    if (letter.alpha > 150) return;
  }
}

// The last stage's goal leads into the ending, which has its own pictures.
void CSpriteClear::Draw()
{
  const std::shared_ptr<CSceneGame> scene = VisibleScene();
  if (!scene || !scene->goalReached || CApplication::GetInstance()->stageNumber == 8) return;
  for (const ClearLetter& letter : letters)
    DrawPicturePart(texture, letter.source, letter.transform, White(letter.alpha));
}

// Bottom-left corner.
CSpriteSpaceSkip::CSpriteSpaceSkip()
{
  texture = LoadSpriteTexture("res/game/sprite/space_skip.png");
  transform._42 = static_cast<float>(BackBuffer().BackBufferHeight) - PictureHeight(texture);
}

// A slow blink while the opening runs.
void CSpriteSpaceSkip::Update()
{
  const std::shared_ptr<CSceneGame> scene = VisibleScene();
  if (scene && scene->cameraEvent) PulseAlpha(5);
}

// Only during the opening.
void CSpriteSpaceSkip::Draw()
{
  const std::shared_ptr<CSceneGame> scene = VisibleScene();
  if (scene && scene->cameraEvent) DrawPicture(texture, transform, AlphaColour());
}

// Centred at the top, transparent; the message is the magic the stage's orb grants.
CSpriteText::CSpriteText()
{
  boxTexture = LoadSpriteTexture("res/game/sprite/text_box.png");
  hintTexture = LoadSpriteTexture("res/game/sprite/click_to_close.png");
  messageTexture =
      LoadSpriteTexture(CApplication::GetInstance()->stageNumber == 1 ? "res/game/sprite/inryoku_text.png"
                                                                      : "res/game/sprite/sekiryoku_text.png");
  secondSound = LoadSpriteSound("res/sound/click.wav");
  orbSound = LoadSpriteSound("res/sound/orb_get.wav");
  transform._41 = static_cast<float>(BackBuffer().BackBufferWidth) * 0.5f - PictureWidth(boxTexture) * 0.5f;
  transform._42 = 0.0f;
  alpha = 0;
}

// The orb sound.
CSpriteText::~CSpriteText()
{
  orbSound.reset();
}

// A click counts only once the box has settled at 50, so a click still held from
// walking cannot close it unread. When the box has faded the game resumes, and the
// sprite is set back so that a second orb in the stage shows its message afresh.
void CSpriteText::Update()
{
  const std::shared_ptr<CSceneGame> scene = VisibleScene();
  if (!scene || !scene->orbObtained) return;
  CApplication* application = CApplication::GetInstance();
  if (!opened) {
    orbSound->Restart();
    opened = 1;
  }
  if (transform._42 >= restY && application->input.clicked && !closing) {
    closing = 1;
    secondSound->Restart();
  }
  SetCursorPos(application->cursorHome.x, application->cursorHome.y);
  PulseBetween(hintAlpha, phase, 5, 0, 255);
  if (closing || transform._42 < restY) transform._42 += slideSpeed;
  if (!closing) {
    alpha = std::min(alpha + fadeStep, 255);
    return;
  }
  alpha -= fadeStep;
  if (alpha >= 0) return;
  scene->orbObtained = 0;
  alpha = 0;
  closing = 0;
  opened = 0;
  transform._42 = 0.0f;
}

// All three share the box's place; the hint and the message are laid out on pictures
// of the box's size.
void CSpriteText::Draw()
{
  const std::shared_ptr<CSceneGame> scene = VisibleScene();
  if (!scene || !scene->orbObtained) return;
  DrawPicture(boxTexture, transform, White(alpha));
  DrawPicture(hintTexture, transform, White(hintAlpha));
  DrawPicture(messageTexture, transform, White(alpha));
  if (ColourSymbolsShown()) {
    // The magic the message announces: blue with the attraction text, else red.
    const int colour = messageTexture == LoadSpriteTexture("res/game/sprite/inryoku_text.png") ? 2 : 1;
    // Either side of the heading, in the box's free corners.
    DrawColourSymbol(colour, transform._41 + 125.0f, transform._42 + 58.0f, alpha);
    DrawColourSymbol(colour, transform._41 + PictureWidth(boxTexture) - 125.0f, transform._42 + 58.0f, alpha);
  }
}
