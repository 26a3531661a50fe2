// The records page's sprites: CTitleRecordsButton, the smaller button in the title's
// bottom-right corner that opens the page, and CRecordsPage, the page itself: every
// stage's best time and the whole game's, one row each, chosen with the mouse or the
// arrow keys and Enter, and a back button (Escape goes back too).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "sprite/sprite_base.h"
#include "sprite/sprite_font.h"

class CSceneBase;

// A key's press seen once through its own latch (held keys count as down, so a key held
// on arrival waits for its next press).
bool PressedOnce(int virtualKey, int& wasDown);
// Places a button `margin` in from the back buffer's bottom edge and its right (or left)
// edge.
void PlaceInBottomCorner(MenuButton& button, float margin, bool right);

// A smaller button in a bottom corner of the title's menu that opens a page behind the
// title's fade: the records page (bottom right) or the stage sets (bottom left).
class CTitleCornerButton : public CSpriteBase {
public:
  int ready = 0;
  int readyCounter = 0;
  int readyDelay = 6;  // as the title's menu: the click that opened it cannot choose
  float margin = 24.0f;
  MenuButton button;
  std::function<std::shared_ptr<CSceneBase>()> makePage;  // the page a click opens

  // The picture in its corner, with the menu's hover and choice sounds.
  CTitleCornerButton(const std::string& picture, bool right, std::function<std::shared_ptr<CSceneBase>()> page);
  // While the title's menu is up and its options page is not: hover, and a click
  // opens the page.
  void Update() override;
  // Only while the title's menu is up and its options page is not.
  void Draw() override;
};

class CTitleRecordsButton : public CTitleCornerButton {
public:
  // The button in the bottom-right corner, opening the records page.
  CTitleRecordsButton();
};

class CRecordsPage : public CSpriteBase {
public:
  static constexpr int kRowCount = 9;           // stages 1 to 8, then the whole game
  static constexpr int kBackIndex = kRowCount;  // the back button's place in the keyboard order
  float rowTop = 190.0f;
  float rowHeight = 44.0f;
  float gameRowGap = 14.0f;  // the whole game's row stands a little apart
  float labelX = 390.0f;
  float timeX = 890.0f;
  int selected = 0;     // 0..8 a row, 9 the back button
  int hoveredRow = -1;  // the row under the cursor
  int backChosen = 0;   // the page is to be left
  MenuButton backButton;
  std::shared_ptr<OstrelLibrary::CTexture> heading;
  D3DXMATRIX headingTransform;
  // Called with a stage (1 to 8, or 0 for the whole game) when a row with a time is
  // chosen; the application sets it once a run can be played back. Unset, choosing a
  // row does nothing.
  std::function<void(int stage)> playRun;
  // The keys' last states; held keys count as down, so a key held on arrival waits
  // for its next press.
  int upDown = 1;
  int downDown = 1;
  int enterDown = 1;

  // The heading, the back button and the sounds.
  CRecordsPage();
  // Keys, mouse and choices, until the page is left.
  void Update() override;
  // The heading, the rows and the back button.
  void Draw() override;

  // The stage a row stands for: 1 to 8, 0 for the whole game.
  static int RowStage(int row);
  // The row's label ("STAGE 3", "WHOLE GAME").
  static std::string RowLabel(int row);
  // The row's best time as drawn ("1:15.45", "-:--.--" for none).
  static std::string RowTime(int row);
  // The row's best time in ticks; 0 for none.
  static int RowTicks(int row);
  // The top of a row on the screen.
  float RowY(int row) const;
  // Acts on a row or the back button.
  void Choose(int index);

private:
  CSpriteFont font;

  // Up and down move the choice; Enter or Space take it.
  void UpdateKeys();
  // The cursor picks the row it enters; a click takes what it is over.
  void UpdateMouse();
};
