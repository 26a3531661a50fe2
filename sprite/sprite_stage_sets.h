// The stage sets' sprites: CTitleStageSetsButton, the small button in the title's
// bottom-left corner (only when a set is installed), and CStageSetsPage, the chooser:
// one row a set with its name, its number of stages, the stage it starts at and its
// best whole time, chosen with the mouse or the arrow keys and Enter; a back button
// (Escape goes back too).
#pragma once

#include <vector>

#include "app/stage_set.h"
#include "sprite/sprite_records.h"

class CTitleStageSetsButton : public CTitleCornerButton {
public:
  // The button in the bottom-left corner, opening the chooser.
  CTitleStageSetsButton();
};

class CStageSetsPage : public CSpriteBase {
public:
  static constexpr int kShownRows = 7;  // rows on the page at once; the list scrolls
  float rowTop = 190.0f;
  float rowHeight = 56.0f;
  float nameX = 150.0f;
  float stagesX = 700.0f;  // right edge of "N STAGES"
  float savedX = 900.0f;   // right edge of "STAGE k"
  float bestX = 1130.0f;   // right edge of the best time
  std::vector<StageSet> sets;
  std::vector<StageSetSummary> summaries;
  int selected = 0;     // a set's index, or the back button at sets.size()
  int firstShown = 0;   // the set in the top row
  int hoveredRow = -1;  // the row under the cursor
  int backChosen = 0;   // the page is to be left
  int chosenSet = -1;   // a set was chosen; the scene starts it
  std::string message;  // why the last chosen set cannot be played
  MenuButton backButton;
  std::shared_ptr<OstrelLibrary::CTexture> heading;
  D3DXMATRIX headingTransform;
  int upDown = 1;
  int downDown = 1;
  int enterDown = 1;

  // The installed sets and their saves, the heading, the back button and the sounds.
  CStageSetsPage();
  // Keys, mouse and choices, until the page is left or a set chosen.
  void Update() override;
  // The heading, the rows, the message and the back button.
  void Draw() override;

  // The index of the back button in the keyboard order.
  int BackIndex() const;
  // A row's cells: "NAME", "2 STAGES", "STAGE 1", "1:15.45".
  std::string RowName(int set) const;
  std::string RowStages(int set) const;
  std::string RowSaved(int set) const;
  std::string RowBest(int set) const;
  // The top of a shown row on the screen.
  float RowY(int row) const;
  // Acts on a set or the back button.
  void Choose(int index);

private:
  CSpriteFont font;

  // Up and down move the choice; Enter or Space take it.
  void UpdateKeys();
  // The cursor picks the row it enters; a click takes what it is over.
  void UpdateMouse();
  // The list scrolls so the chosen set is shown.
  void ShowSelected();
};
