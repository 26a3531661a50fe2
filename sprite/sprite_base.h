// CSpriteBase, the base of every 2D element (a picture placed by a matrix and drawn
// through the shared sprite batcher in the scene's sprite pass), and MenuButton, the
// clickable button every menu is made of.
#pragma once

#include <memory>
#include <string>

#include "d3d9.h"
#include "d3dx9.h"
#include "engine/sound.h"
#include "engine/texture.h"

class CSceneGame;

class CSpriteBase {
public:
  // "CSpriteBase"; the game's sprites keep it.
  virtual const std::string& GetName() const;
  // Deletes the second sound, then the first, then lets go of the picture.
  virtual ~CSpriteBase();
  // One frame of logic.
  virtual void Update() = 0;
  // Draws the sprite inside the sprite batch.
  virtual void Draw() = 0;

  // The running game scene, set by its Init; HUD and menu sprites lock it for one use.
  static std::weak_ptr<CSceneGame> currentScene;

  D3DXMATRIX transform;       // screen position in _41 (x) and _42 (y)
  D3DXMATRIX positionMatrix;  // translation part when transform = scale x position
  D3DXMATRIX scaleMatrix;     // scaling part
  std::shared_ptr<OstrelLibrary::CTexture> texture;
  int state = 0;    // free for the derived class
  int alpha = 255;  // opacity 0..255
  int phase = 1;    // direction of the alpha pulse: 1 falling, 0 rising
  D3DCOLOR colour = 0xFFFFFFFF;
  std::unique_ptr<OstrelLibrary::CSound> firstSound;   // menus: the hover sound
  std::unique_ptr<OstrelLibrary::CSound> secondSound;  // menus: the click sound

  CSpriteBase();
  CSpriteBase(const CSpriteBase&) = delete;
  CSpriteBase& operator=(const CSpriteBase&) = delete;

  // One step of the alpha pulse between 0 and 255 in steps of `step`, direction `phase`.
  void PulseAlpha(int step);
  // The colour of a picture drawn at this sprite's opacity.
  D3DCOLOR AlphaColour() const;
};

// One step of a pulse between low and high: direction 1 falls, 0 rises, and turns at
// either end.
void PulseBetween(int& value, int& direction, int step, int low, int high);

// The shared picture for a path from the texture cache (empty when it cannot be read).
std::shared_ptr<OstrelLibrary::CTexture> LoadSpriteTexture(const std::string& path);

// A new sound loaded from a path; an empty one when the file or the device is missing.
std::unique_ptr<OstrelLibrary::CSound> LoadSpriteSound(const char* path);

// Draws a whole picture with the matrix in the colour; an empty picture draws nothing.
void DrawPicture(const std::shared_ptr<OstrelLibrary::CTexture>& texture, const D3DXMATRIX& matrix, D3DCOLOR colour);

// Draws one rectangle of a picture (a cell of a sheet) with the matrix in the colour.
void DrawPicturePart(const std::shared_ptr<OstrelLibrary::CTexture>& texture, const RECT& source,
                     const D3DXMATRIX& matrix, D3DCOLOR colour);

// The width of a picture; 0 for an empty one.
float PictureWidth(const std::shared_ptr<OstrelLibrary::CTexture>& texture);
// The height of a picture; 0 for an empty one.
float PictureHeight(const std::shared_ptr<OstrelLibrary::CTexture>& texture);

// One button of a menu: a picture that turns yellow and grows by 5 % under the cursor.
struct MenuButton {
  std::shared_ptr<OstrelLibrary::CTexture> texture;
  D3DXMATRIX combined;  // hoverScale x position: drawn with and hit-tested against
  D3DXMATRIX position;
  D3DXMATRIX hoverScale;
  D3DCOLOR colour = 0xFFFFFFFF;
  int hovered = 0;

  MenuButton();
};

// Places the button centred on the back buffer, moved by (dx, dy).
void CenterButton(MenuButton& button, float dx, float dy);

// Follows the cursor: entering highlights the button and restarts the owner's hover sound.
void UpdateHover(CSpriteBase& owner, MenuButton& button);

// Draws the button with its combined matrix in its colour.
void DrawButton(const MenuButton& button);
