// CTitleRecordsButton and CRecordsPage: the way to the records page and the page.
#include "sprite/sprite_records.h"

#include "app/application.h"
#include "app/input.h"
#include "app/records.h"
#include "app/stage_clock.h"
#include "engine/graphics.h"
#include "scene/scene_records.h"
#include "scene/scene_title.h"
#include "sprite/sprite_title.h"

namespace {
const float rowScale = 0.9f;
const D3DCOLOR rowColour = 0xFFFFFFFF;
const D3DCOLOR chosenColour = 0xFFFFFF00;  // the menus' hover yellow
const D3DCOLOR emptyColour = 0xFFA0A0B4;   // a row without a time
const D3DCOLOR barColour = 0x70000000;     // behind the chosen row

// The back buffer's size.
const D3DPRESENT_PARAMETERS& BackBuffer()
{
  return OstrelLibrary::CGraphics::GetInstance()->presentParameters;
}

// Whether the title's options page is up: it covers the corner, so the button waits.
bool OptionsPageUp(const CSceneTitle& title)
{
  for (const std::shared_ptr<CSpriteBase>& sprite : title.frontSprites) {
    const auto* option = dynamic_cast<const CTitleOption*>(sprite.get());
    if (option && option->optionsPage.IsOpen()) return true;
  }
  return false;
}
}  // namespace

// Its own latch, apart from TriggerKey's, whose keys belong to the input snapshot and
// the window keys.
bool PressedOnce(int virtualKey, int& wasDown)
{
  const int down = (GetAsyncKeyState(virtualKey) & 0x8000) ? 1 : 0;
  const bool pressed = down && !wasDown;
  wasDown = down;
  return pressed;
}

// From the back buffer's size and the picture's.
void PlaceInBottomCorner(MenuButton& button, float margin, bool right)
{
  const float x = right ? BackBuffer().BackBufferWidth - PictureWidth(button.texture) - margin : margin;
  const float y = BackBuffer().BackBufferHeight - PictureHeight(button.texture) - margin;
  D3DXMatrixTranslation(&button.position, x, y, 0.0f);
  D3DXMatrixMultiply(&button.combined, &button.hoverScale, &button.position);
}

// ---- CTitleCornerButton -------------------------------------------------------------

// The picture, placed, and the sounds.
CTitleCornerButton::CTitleCornerButton(const std::string& picture, bool right,
                                       std::function<std::shared_ptr<CSceneBase>()> page)
    : makePage(std::move(page))
{
  button.texture = LoadSpriteTexture(picture);
  PlaceInBottomCorner(button, margin, right);
  firstSound = LoadSpriteSound("res/sound/cursor.wav");
  secondSound = LoadSpriteSound("res/sound/click.wav");
}

// The title leaves for the page behind its fade, as it does for a stage.
void CTitleCornerButton::Update()
{
  const std::shared_ptr<CSceneTitle> title = CSceneTitle::currentTitleScene.lock();
  if (!title || title->titleState != 1 || OptionsPageUp(*title)) return;
  if (!ready) {
    readyCounter += 1;
    ready = readyCounter > readyDelay ? 1 : 0;
  }
  UpdateHover(*this, button);
  CApplication* application = CApplication::GetInstance();
  if (!ready || !button.hovered || !application->input.clicked) return;
  title->titleState = 2;
  title->chosenPage = makePage();
  application->fadeOut = 1;
  secondSound->Restart();
}

// With the title's menu.
void CTitleCornerButton::Draw()
{
  const std::shared_ptr<CSceneTitle> title = CSceneTitle::currentTitleScene.lock();
  if (title && title->titleState == 1 && !OptionsPageUp(*title)) DrawButton(button);
}

// ---- CTitleRecordsButton ------------------------------------------------------------

// The corner below the place the options button takes.
CTitleRecordsButton::CTitleRecordsButton()
    : CTitleCornerButton("res/title/char/records.png", true, [] { return std::make_shared<CSceneRecords>(); })
{
}

// ---- CRecordsPage -------------------------------------------------------------------

// The heading at the top, the back button where the records button was.
CRecordsPage::CRecordsPage()
{
  heading = LoadSpriteTexture("res/title/char/records_heading.png");
  D3DXMatrixTranslation(&headingTransform, BackBuffer().BackBufferWidth * 0.5f - PictureWidth(heading) * 0.5f, 24.0f,
                        0.0f);
  backButton.texture = LoadSpriteTexture("res/title/char/back.png");
  PlaceInBottomCorner(backButton, 24.0f, true);
  firstSound = LoadSpriteSound("res/sound/cursor.wav");
  secondSound = LoadSpriteSound("res/sound/click.wav");
}

// Nothing more once the way back is taken.
void CRecordsPage::Update()
{
  if (backChosen) return;
  UpdateKeys();
  UpdateMouse();
  if (CApplication::GetInstance()->input.escapePressed) Choose(kBackIndex);
}

// The choice wraps round from the back button to the first row and back.
void CRecordsPage::UpdateKeys()
{
  const bool up = PressedOnce(VK_UP, upDown);
  const bool down = PressedOnce(VK_DOWN, downDown);
  const bool enter = PressedOnce(VK_RETURN, enterDown);
  if (up || down) {
    selected = (selected + (up ? kBackIndex : 1)) % (kBackIndex + 1);
    if (firstSound) firstSound->Restart();
  }
  if (enter || CApplication::GetInstance()->input.spacePressed) Choose(selected);
}

// A row is picked when the cursor enters it, so the keys can move on from there while
// the mouse rests.
void CRecordsPage::UpdateMouse()
{
  CApplication* application = CApplication::GetInstance();
  const float width = timeX - labelX + 60.0f;
  int over = -1;
  for (int row = 0; row < kRowCount; ++row) {
    if (IsCursorOver(application->window, labelX - 30.0f, RowY(row), width, rowHeight)) over = row;
  }
  if (over >= 0 && over != hoveredRow) {
    selected = over;
    if (firstSound) firstSound->Restart();
  }
  hoveredRow = over;
  const int wasHovered = backButton.hovered;
  UpdateHover(*this, backButton);
  if (backButton.hovered && !wasHovered) selected = kBackIndex;
  if (!application->input.clicked) return;
  if (backButton.hovered) {
    Choose(kBackIndex);
  } else if (over >= 0) {
    Choose(over);
  }
}

// Back leaves the page; a row with a time goes to the run's player, when there is one.
void CRecordsPage::Choose(int index)
{
  if (index == kBackIndex) {
    backChosen = 1;
    if (secondSound) secondSound->Restart();
    return;
  }
  if (index < 0 || index >= kRowCount || RowTicks(index) == 0 || !playRun) return;
  if (secondSound) secondSound->Restart();
  playRun(RowStage(index));
}

// Heading, the chosen row's bar, every row, the back button.
void CRecordsPage::Draw()
{
  DrawPicture(heading, headingTransform, 0xFFFFFFFF);
  CApplication* application = CApplication::GetInstance();
  if (selected < kRowCount && application->fadeTexture.texture) {
    D3DXMATRIX bar;
    D3DXMatrixScaling(&bar, timeX - labelX + 60.0f, rowHeight, 1.0f);
    bar._41 = labelX - 30.0f;
    bar._42 = RowY(selected);
    OstrelLibrary::CGraphics::GetInstance()->DrawTexture(application->fadeTexture, &bar, barColour);
  }
  const float inset = (rowHeight - font.LineHeight(rowScale)) * 0.5f;
  for (int row = 0; row < kRowCount; ++row) {
    const D3DCOLOR colour = row == selected ? chosenColour : (RowTicks(row) ? rowColour : emptyColour);
    font.Draw(RowLabel(row), labelX, RowY(row) + inset, rowScale, colour);
    font.Draw(RowTime(row), timeX, RowY(row) + inset, rowScale, colour, TextAlign::Right);
  }
  DrawButton(backButton);
}

// Rows 0 to 7 are the stages; the last row is the whole game.
int CRecordsPage::RowStage(int row)
{
  return row < CRecords::kStageCount ? row + 1 : 0;
}

// "STAGE N" or "WHOLE GAME".
std::string CRecordsPage::RowLabel(int row)
{
  const int stage = RowStage(row);
  return stage ? "STAGE " + std::to_string(stage) : "WHOLE GAME";
}

// The clock's reading of the row's best.
std::string CRecordsPage::RowTime(int row)
{
  return FormatClock(RowTicks(row));
}

// From the game's records.
int CRecordsPage::RowTicks(int row)
{
  const int stage = RowStage(row);
  return stage ? GameRecords().StageBest(stage) : GameRecords().GameBest();
}

// The whole game's row sits a gap below the stages'.
float CRecordsPage::RowY(int row) const
{
  return rowTop + row * rowHeight + (RowStage(row) == 0 ? gameRowGap : 0.0f);
}
