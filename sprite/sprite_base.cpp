// CSpriteBase and MenuButton: picture drawing, the alpha pulse and the hover test
// shared by every 2D element.
#include "sprite/sprite_base.h"

#include "app/application.h"
#include "app/input.h"
#include "engine/graphics.h"

using OstrelLibrary::CGraphics;
using OstrelLibrary::CSound;
using OstrelLibrary::CTexture;

std::weak_ptr<CSceneGame> CSpriteBase::currentScene;

namespace {
const std::string spriteBaseName = "CSpriteBase";
}

// "CSpriteBase".
const std::string& CSpriteBase::GetName() const
{
  return spriteBaseName;
}

// All three matrices start as identity.
CSpriteBase::CSpriteBase()
{
  D3DXMatrixIdentity(&transform);
  D3DXMatrixIdentity(&positionMatrix);
  D3DXMatrixIdentity(&scaleMatrix);
}

// The sounds in reverse order of their roles; the picture goes with the member.
CSpriteBase::~CSpriteBase()
{
  secondSound.reset();
  firstSound.reset();
  texture.reset();
}

// Falls to 0, then rises to 255, then falls again.
void CSpriteBase::PulseAlpha(int step)
{
  PulseBetween(alpha, phase, step, 0, 255);
}

// White at the sprite's opacity.
D3DCOLOR CSpriteBase::AlphaColour() const
{
  return (static_cast<D3DCOLOR>(alpha) << 24) | 0xFFFFFF;
}

// Past either end the value stops there and turns.
void PulseBetween(int& value, int& direction, int step, int low, int high)
{
  if (direction == 1) {
    value -= step;
    if (value < low) {
      value = low;
      direction = 0;
    }
  } else {
    value += step;
    if (value > high) {
      value = high;
      direction = 1;
    }
  }
}

// Through the device's path cache, so every sprite showing a picture shares it.
std::shared_ptr<CTexture> LoadSpriteTexture(const std::string& path)
{
  CGraphics* graphics = CGraphics::GetInstance();
  return graphics->GetTexture(graphics->device, path);
}

// Every menu sound is a plain 2D sound owned by one sprite.
std::unique_ptr<CSound> LoadSpriteSound(const char* path)
{
  std::unique_ptr<CSound> sound = std::make_unique<CSound>();
  sound->Load(path);
  return sound;
}

// The batcher takes the matrix, then the whole picture at the origin.
void DrawPicture(const std::shared_ptr<CTexture>& texture, const D3DXMATRIX& matrix, D3DCOLOR colour)
{
  if (!texture || texture->texture == nullptr) {
    return;
  }
  CGraphics::GetInstance()->DrawTexture(*texture, &matrix, colour);
}

// The batcher takes the matrix, then the cell at the origin.
void DrawPicturePart(const std::shared_ptr<CTexture>& texture, const RECT& source, const D3DXMATRIX& matrix,
                     D3DCOLOR colour)
{
  if (!texture) return;
  CGraphics::GetInstance()->DrawTexturePart(*texture, source, &matrix, colour);
}

// Width from the image information; 0 when nothing was loaded.
float PictureWidth(const std::shared_ptr<CTexture>& texture)
{
  if (!texture || texture->texture == nullptr) {
    return 0.0f;
  }
  return static_cast<float>(texture->imageInfo.Width);
}

// Height from the image information; 0 when nothing was loaded.
float PictureHeight(const std::shared_ptr<CTexture>& texture)
{
  if (!texture || texture->texture == nullptr) {
    return 0.0f;
  }
  return static_cast<float>(texture->imageInfo.Height);
}

// All three matrices start as identity.
MenuButton::MenuButton()
{
  D3DXMatrixIdentity(&combined);
  D3DXMatrixIdentity(&position);
  D3DXMatrixIdentity(&hoverScale);
}

// Centre of the back buffer minus half the picture, plus the offset.
void CenterButton(MenuButton& button, float dx, float dy)
{
  const D3DPRESENT_PARAMETERS& present = CGraphics::GetInstance()->presentParameters;
  const float x = present.BackBufferWidth * 0.5f - PictureWidth(button.texture) * 0.5f + dx;
  const float y = present.BackBufferHeight * 0.5f - PictureHeight(button.texture) * 0.5f + dy;
  D3DXMatrixTranslation(&button.position, x, y, 0.0f);
  D3DXMatrixMultiply(&button.combined, &button.hoverScale, &button.position);
}

// The scale grows the button from its top-left corner, so the hit box stays put there.
// A button without a picture has no area: the 2 x 2 cursor box must not find it.
void UpdateHover(CSpriteBase& owner, MenuButton& button)
{
  const bool hasArea = PictureWidth(button.texture) > 0.0f && PictureHeight(button.texture) > 0.0f;
  const bool over =
      hasArea && IsCursorOver(CApplication::GetInstance()->window, button.combined._41, button.combined._42,
                              PictureWidth(button.texture), PictureHeight(button.texture));
  if (over && button.hovered == 0) {
    button.hovered = 1;
    button.colour = 0xFFFFFF00;
    D3DXMatrixScaling(&button.hoverScale, 1.05f, 1.05f, 1.0f);
    if (owner.firstSound != nullptr) {
      owner.firstSound->Restart();
    }
  } else if (!over && button.hovered != 0) {
    button.hovered = 0;
    button.colour = 0xFFFFFFFF;
    D3DXMatrixIdentity(&button.hoverScale);
  }
  D3DXMatrixMultiply(&button.combined, &button.hoverScale, &button.position);
}

// The picture with the combined matrix in the button's colour.
void DrawButton(const MenuButton& button)
{
  DrawPicture(button.texture, button.combined, button.colour);
}
