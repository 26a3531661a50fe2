// CTitleStageSetsButton and CStageSetsPage: the way to the stage sets and the chooser.
#include "sprite/sprite_stage_sets.h"

#include <algorithm>

#include "app/application.h"
#include "app/input.h"
#include "app/stage_clock.h"
#include "engine/graphics.h"
#include "scene/scene_stage_sets.h"

namespace {
const float rowScale = 0.8f;
const float messageScale = 0.5f;
const float columnScale = 0.5f;
const D3DCOLOR columnColour = 0xFFF0C850;  // the headings' gold
const D3DCOLOR rowColour = 0xFFFFFFFF;
const D3DCOLOR chosenColour = 0xFFFFFF00;   // the menus' hover yellow
const D3DCOLOR quietColour = 0xFFA0A0B4;    // cells without a time
const D3DCOLOR messageColour = 0xFFFF8080;  // a set that cannot be played
const D3DCOLOR barColour = 0x70000000;      // behind the chosen row

// The back buffer's size.
const D3DPRESENT_PARAMETERS& BackBuffer()
{
  return OstrelLibrary::CGraphics::GetInstance()->presentParameters;
}
}  // namespace

// ---- CTitleStageSetsButton ----------------------------------------------------------

// The corner across from the records button.
CTitleStageSetsButton::CTitleStageSetsButton()
    : CTitleCornerButton("res/title/char/stage_sets.png", false, [] { return std::make_shared<CSceneStageSets>(); })
{
}

// ---- CStageSetsPage -----------------------------------------------------------------

// The sets as they are now, read once for the page's life.
CStageSetsPage::CStageSetsPage() : sets(InstalledStageSets())
{
  for (const StageSet& set : sets) summaries.push_back(SummariseStageSet(set));
  heading = LoadSpriteTexture("res/title/char/stage_sets_heading.png");
  D3DXMatrixTranslation(&headingTransform, BackBuffer().BackBufferWidth * 0.5f - PictureWidth(heading) * 0.5f, 24.0f,
                        0.0f);
  backButton.texture = LoadSpriteTexture("res/title/char/back.png");
  PlaceInBottomCorner(backButton, 24.0f, true);
  firstSound = LoadSpriteSound("res/sound/cursor.wav");
  secondSound = LoadSpriteSound("res/sound/click.wav");
  if (sets.empty()) selected = BackIndex();
}

// Nothing more once the page is left or a set chosen.
void CStageSetsPage::Update()
{
  if (backChosen || chosenSet >= 0) return;
  UpdateKeys();
  UpdateMouse();
  if (CApplication::GetInstance()->input.escapePressed) Choose(BackIndex());
}

// The sets, then the back button.
int CStageSetsPage::BackIndex() const
{
  return static_cast<int>(sets.size());
}

// The choice wraps round from the back button to the first set and back.
void CStageSetsPage::UpdateKeys()
{
  const bool up = PressedOnce(VK_UP, upDown);
  const bool down = PressedOnce(VK_DOWN, downDown);
  const bool enter = PressedOnce(VK_RETURN, enterDown);
  if (up || down) {
    selected = (selected + (up ? BackIndex() : 1)) % (BackIndex() + 1);
    ShowSelected();
    if (firstSound) firstSound->Restart();
  }
  if (enter || CApplication::GetInstance()->input.spacePressed) Choose(selected);
}

// As the records page: entering a row picks it; a click takes what it is over.
void CStageSetsPage::UpdateMouse()
{
  CApplication* application = CApplication::GetInstance();
  const float width = bestX - nameX + 60.0f;
  int over = -1;
  const int shown = std::min(kShownRows, BackIndex() - firstShown);
  for (int row = 0; row < shown; ++row) {
    if (IsCursorOver(application->window, nameX - 30.0f, RowY(row), width, rowHeight)) over = firstShown + row;
  }
  if (over >= 0 && over != hoveredRow) {
    selected = over;
    if (firstSound) firstSound->Restart();
  }
  hoveredRow = over;
  const int wasHovered = backButton.hovered;
  UpdateHover(*this, backButton);
  if (backButton.hovered && !wasHovered) selected = BackIndex();
  if (!application->input.clicked) return;
  if (backButton.hovered) {
    Choose(BackIndex());
  } else if (over >= 0) {
    Choose(over);
  }
}

// The top row follows the choice down and up.
void CStageSetsPage::ShowSelected()
{
  if (selected >= BackIndex()) return;
  if (selected < firstShown) firstShown = selected;
  if (selected >= firstShown + kShownRows) firstShown = selected - kShownRows + 1;
}

// Back leaves the page; a set is handed to the scene, which starts it.
void CStageSetsPage::Choose(int index)
{
  if (index < 0 || index > BackIndex()) return;
  if (secondSound) secondSound->Restart();
  if (index == BackIndex()) {
    backChosen = 1;
  } else {
    chosenSet = index;
  }
}

// Heading, the chosen row's bar, the shown rows, the message, the back button.
void CStageSetsPage::Draw()
{
  DrawPicture(heading, headingTransform, 0xFFFFFFFF);
  CApplication* application = CApplication::GetInstance();
  const int shown = std::min(kShownRows, BackIndex() - firstShown);
  const int selectedRow = selected - firstShown;
  if (selectedRow >= 0 && selectedRow < shown && application->fadeTexture.texture) {
    D3DXMATRIX bar;
    D3DXMatrixScaling(&bar, bestX - nameX + 60.0f, rowHeight, 1.0f);
    bar._41 = nameX - 30.0f;
    bar._42 = RowY(selectedRow);
    OstrelLibrary::CGraphics::GetInstance()->DrawTexture(application->fadeTexture, &bar, barColour);
  }
  const float inset = (rowHeight - font.LineHeight(rowScale)) * 0.5f;
  if (!sets.empty()) {
    const float columnY = rowTop - font.LineHeight(columnScale) - 4.0f;
    font.Draw("SET", nameX, columnY, columnScale, columnColour);
    font.Draw("STAGES", stagesX, columnY, columnScale, columnColour, TextAlign::Right);
    font.Draw("STARTS AT", savedX, columnY, columnScale, columnColour, TextAlign::Right);
    font.Draw("BEST", bestX, columnY, columnScale, columnColour, TextAlign::Right);
  }
  for (int row = 0; row < shown; ++row) {
    const int set = firstShown + row;
    const D3DCOLOR colour = set == selected ? chosenColour : rowColour;
    const float y = RowY(row) + inset;
    font.Draw(RowName(set), nameX, y, rowScale, colour);
    font.Draw(RowStages(set), stagesX, y, rowScale, colour, TextAlign::Right);
    font.Draw(RowSaved(set), savedX, y, rowScale, colour, TextAlign::Right);
    const bool timed = summaries[static_cast<size_t>(set)].bestTicks > 0;
    font.Draw(RowBest(set), bestX, y, rowScale, set == selected ? chosenColour : (timed ? rowColour : quietColour),
              TextAlign::Right);
  }
  if (sets.empty())
    font.Draw("NO STAGE SETS", BackBuffer().BackBufferWidth * 0.5f, rowTop, rowScale, quietColour, TextAlign::Centre);
  if (!message.empty()) font.Draw(message, 40.0f, rowTop + kShownRows * rowHeight + 10.0f, messageScale, messageColour);
  DrawButton(backButton);
}

// The folder's name.
std::string CStageSetsPage::RowName(int set) const
{
  return sets[static_cast<size_t>(set)].name;
}

// "1 STAGE", "N STAGES".
std::string CStageSetsPage::RowStages(int set) const
{
  const size_t count = sets[static_cast<size_t>(set)].stages.size();
  return std::to_string(count) + (count == 1 ? " STAGE" : " STAGES");
}

// The stage the set starts at, from its save.
std::string CStageSetsPage::RowSaved(int set) const
{
  return "STAGE " + std::to_string(summaries[static_cast<size_t>(set)].savedStage);
}

// The whole set's best, "-:--.--" for none.
std::string CStageSetsPage::RowBest(int set) const
{
  return FormatClock(summaries[static_cast<size_t>(set)].bestTicks);
}

// Shown rows stand one under the other.
float CStageSetsPage::RowY(int row) const
{
  return rowTop + row * rowHeight;
}
