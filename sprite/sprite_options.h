// COptionsPage: the options page, opened from the title's and the pause menu's corner
// button and drawn over them. Rows for the picture, the sound, looking, the gamepad and
// the key bindings, used with the mouse (hover, click, drag a slider), the keyboard
// (arrows, Enter, Escape) or a pad (D-pad and A, or its pointer; B goes back). A
// change is put in force at once; settings.ini follows when no button is held.
#pragma once

#include "app/action_input.h"
#include "app/option_rows.h"
#include "sprite/sprite_base.h"
#include "sprite/sprite_font.h"

#include <string>
#include <vector>

class COptionsPage : public CSpriteBase {
public:
  std::vector<OptionRow> rows;
  int selectedRow = 0;
  int selectedSlot = 0;  // binding rows: which of the two places
  bool waiting = false;  // a binding row waits for the new input
  std::string notice;    // the last binding's outcome, shown at the foot
  MenuButton backButton;

  // Loads the heading, the back button, the font and the hover and click sounds.
  COptionsPage();
  // A page closed by its owner's end no longer holds the game's keys.
  ~COptionsPage() override;

  // Opens on the first row with the run's settings.
  void Open();
  // Closes; the menu that opened it takes over again.
  void Close();
  // Whether the page is up.
  bool IsOpen() const { return open; }
  // Whether any options page is up (the stage's pause and escape keys wait meanwhile).
  static bool AnyOpen();

  // While open: the keys, the mouse and the pad; Escape (and the back action) leave.
  void Update() override;
  // While open: dimming, heading, both columns of rows, the back button, the foot line.
  void Draw() override;

  // Where a row's value (or a binding's place) is clicked, in back-buffer pixels: the
  // centre of the value, or of a slider's track.
  void ValueCentre(int row, int slot, float* x, float* y) const;
  // A slider's track: left end and width.
  void SliderTrack(int row, float* left, float* width) const;

private:
  bool open = false;
  int grabbedSlider = -1;  // the slider the left button holds, or -1
  bool dirty = false;      // changed since settings.ini was last written
  POINT lastCursor = {-1, -1};
  CInputEdges edges;
  CSpriteFont font;
  std::shared_ptr<OstrelLibrary::CTexture> heading;
  D3DXMATRIX headingTransform;

  // How many rows the left column holds, and their spacing.
  int SettingRowCount() const;
  float SettingRowStep() const;
  // The row's box: top-left corner, width and height.
  void RowBox(int row, float* x, float* y, float* width, float* height) const;
  // The row under a back-buffer point, and for binding rows the place; -1 for none.
  int RowAt(float x, float y, int* slot) const;
  // Selects a row (and place), with the hover sound when it moved.
  void Select(int row, int slot);
  // Puts the working settings in force and marks them to be written.
  void Changed(const Settings& settings, const OptionRow& row);
  // Left or right on the selected row.
  void Adjust(int direction);
  // Enter or a click on the selected row; (x) is where a slider was clicked, or < 0.
  void Activate(float x);
  // Waits for the new input of a binding and binds it.
  void UpdateWaiting();
  // The keyboard and the pad's D-pad, A and B.
  void UpdateKeys();
  // Whether the pointer is over a row or the back button.
  bool PointerOverPage() const;
  // The pointer: hover, clicks, a slider dragged.
  void UpdateMouse();
  // One row: its label, its value or slider or places, highlighted when selected.
  void DrawRow(int row) const;
};
