// The options page: two columns of rows over the dimmed menu, the settings on the left,
// the key bindings on the right, drawn with the menus' pictures and the runtime font.
#include "sprite/sprite_options.h"

#include "app/application.h"
#include "app/input.h"
#include "app/settings_apply.h"
#include "engine/graphics.h"

#include <algorithm>

namespace {

int openPages = 0;

// The page's measures in back-buffer pixels.
const float leftColumnX = 70.0f;
const float rightColumnX = 660.0f;
const float columnWidth = 550.0f;
const float firstRowY = 175.0f;
const float settingRowStep = 56.0f;  // at most: more rows share the column's height
const float settingColumnHeight = 400.0f;
const float settingRowGap = 10.0f;
const float bindingRowStep = 36.0f;
const float bindingRowHeight = 31.0f;
const float valueLeft = 250.0f;  // from the column's left: where values begin
const float sliderWidth = 190.0f;
const float slotLeft = 250.0f;  // a binding's first place, from the column's left
const float slotWidth = 140.0f;
const float slotGap = 10.0f;
const float textScale = 0.6f;
const float smallScale = 0.5f;
const float footY = 588.0f;
const float backButtonOffset = 300.0f;

const D3DCOLOR dimColour = 0xE0100818;
const D3DCOLOR panelColour = 0xC0281840;
const D3DCOLOR selectedColour = 0x70FFC840;
const D3DCOLOR labelColour = 0xFFFFFFFF;
const D3DCOLOR valueColour = 0xFFFFD870;
const D3DCOLOR trackColour = 0xFF201030;
const D3DCOLOR fillColour = 0xFFFFC840;
const D3DCOLOR slotColour = 0xC0201030;

// The pad's buttons the page answers (SDL's numbers above the virtual keys).
const int padButtonA = padInputBase + 0;
const int padButtonB = padInputBase + 1;
const int padDpadUp = padInputBase + 11;
const int padDpadDown = padInputBase + 12;
const int padDpadLeft = padInputBase + 13;
const int padDpadRight = padInputBase + 14;

// A filled rectangle: the fade's white texel stretched and tinted.
void FillBox(float x, float y, float width, float height, D3DCOLOR colour)
{
  CApplication* application = CApplication::GetInstance();
  if (!application->fadeTexture.texture) return;
  D3DXMATRIX scale;
  D3DXMATRIX move;
  D3DXMatrixScaling(&scale, width, height, 1.0f);
  D3DXMatrixTranslation(&move, x, y, 0.0f);
  D3DXMATRIX matrix;
  D3DXMatrixMultiply(&matrix, &scale, &move);
  OstrelLibrary::CGraphics::GetInstance()->DrawTexture(application->fadeTexture, &matrix, colour);
}

// The cursor in back-buffer pixels.
POINT CursorInBackBuffer()
{
  POINT cursor = {};
  GetCursorPos(&cursor);
  ScreenToClient(CApplication::GetInstance()->window, &cursor);
  return cursor;
}

// Whether the left mouse button is held now.
bool LeftHeld()
{
  return (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0;
}

}  // namespace

// The heading at the top, the back button at the foot.
COptionsPage::COptionsPage()
{
  firstSound = LoadSpriteSound("res/sound/cursor.wav");
  secondSound = LoadSpriteSound("res/sound/click.wav");
  heading = LoadSpriteTexture("res/game/sprite/options_heading.png");
  const float width = static_cast<float>(OstrelLibrary::CGraphics::GetInstance()->presentParameters.BackBufferWidth);
  D3DXMatrixTranslation(&headingTransform, width * 0.5f - PictureWidth(heading) * 0.5f, 8.0f, 0.0f);
  backButton.texture = LoadSpriteTexture("res/game/sprite/back.png");
  CenterButton(backButton, 0.0f, backButtonOffset);
  rows = OptionRows();
}

// An owner going away with the page up must not leave the stage's keys waiting.
COptionsPage::~COptionsPage()
{
  if (open) --openPages;
}

// The rows start at the top, nothing waiting.
void COptionsPage::Open()
{
  if (!open) ++openPages;
  open = true;
  waiting = false;
  grabbedSlider = -1;
  selectedRow = 0;
  selectedSlot = 0;
  notice.clear();
  lastCursor = CursorInBackBuffer();
  edges.Settle();
  secondSound->Restart();
}

// Whatever is left unwritten is written now.
void COptionsPage::Close()
{
  if (!open) return;
  if (dirty) StoreRunSettings();
  dirty = false;
  open = false;
  --openPages;
  CApplication::GetInstance()->input.escapePressed = 0;
  SwallowHeldActions();
  secondSound->Restart();
}

// Counted over every page.
bool COptionsPage::AnyOpen()
{
  return openPages > 0;
}

// The page owns the input while it is up: the escape press is used here and nowhere else.
void COptionsPage::Update()
{
  if (!open) return;
  edges.Sample();
  if (waiting) {
    PulseAlpha(8);
    UpdateWaiting();
  } else {
    UpdateKeys();
    if (open) UpdateMouse();
  }
  if (open && dirty && !LeftHeld()) {
    StoreRunSettings();
    dirty = false;
  }
  CApplication::GetInstance()->input.escapePressed = 0;
}

// The first input to go down after the wait began; Delete gives up.
void COptionsPage::UpdateWaiting()
{
  const int input = edges.FirstWentDown();
  if (input == 0) return;
  waiting = false;
  SwallowHeldActions();
  const OptionRow& row = rows[selectedRow];
  if (input == VK_DELETE) {
    notice = "Nothing changed";
    return;
  }
  Settings settings = RunSettings();
  const int previous = settings.bindings.Of(row.action)[selectedSlot];
  const KeyBindings before = settings.bindings;
  if (!BindInput(&settings.bindings, row.action, selectedSlot, input)) {
    notice = InputName(input) + " is the only input of another action";
    return;
  }
  notice = std::string(ActionLabel(row.action)) + ": " + InputName(input);
  for (int other = 0; other < gameActionCount; ++other) {
    const GameAction action = static_cast<GameAction>(other);
    if (action == row.action || settings.bindings == before) continue;
    for (int slot = 0; slot < bindingSlots; ++slot) {
      if (before.Of(action)[slot] != input) continue;
      notice += previous ? "; " + std::string(ActionLabel(action)) + " now has " + InputName(previous)
                         : "; taken from " + std::string(ActionLabel(action));
    }
  }
  Changed(settings, row);
}

// Arrows move and change, Enter chooses, Escape, the back action and the pad's B leave.
void COptionsPage::UpdateKeys()
{
  const int count = static_cast<int>(rows.size());
  if (edges.WentDown(VK_ESCAPE) || CApplication::GetInstance()->input.escapePressed || edges.WentDown(padButtonB)) {
    Close();
    return;
  }
  if (edges.WentDown(VK_UP) || edges.WentDown(padDpadUp)) Select((selectedRow + count - 1) % count, selectedSlot);
  if (edges.WentDown(VK_DOWN) || edges.WentDown(padDpadDown)) Select((selectedRow + 1) % count, selectedSlot);
  if (edges.WentDown(VK_LEFT) || edges.WentDown(padDpadLeft)) Adjust(-1);
  if (edges.WentDown(VK_RIGHT) || edges.WentDown(padDpadRight)) Adjust(1);
  if (edges.WentDown(VK_RETURN)) Activate(-1.0f);
  // The pad's A clicks where its pointer is; away from every row it chooses the
  // row the D-pad selected.
  if (edges.WentDown(padButtonA) && !PointerOverPage()) Activate(-1.0f);
}

// Whether the pointer is over a row or the back button.
bool COptionsPage::PointerOverPage() const
{
  const POINT cursor = CursorInBackBuffer();
  int slot = 0;
  return RowAt(static_cast<float>(cursor.x), static_cast<float>(cursor.y), &slot) >= 0 || backButton.hovered;
}

// The pointer selects what it moves over; a click chooses; a held slider follows it.
void COptionsPage::UpdateMouse()
{
  const POINT cursor = CursorInBackBuffer();
  const float x = static_cast<float>(cursor.x);
  const float y = static_cast<float>(cursor.y);
  const bool moved = cursor.x != lastCursor.x || cursor.y != lastCursor.y;
  lastCursor = cursor;
  int slot = 0;
  const int hovered = RowAt(x, y, &slot);
  if (moved && hovered >= 0) Select(hovered, slot);

  if (grabbedSlider >= 0) {
    if (!LeftHeld()) {
      grabbedSlider = -1;
    } else {
      float left = 0.0f;
      float width = 1.0f;
      SliderTrack(grabbedSlider, &left, &width);
      Settings settings = RunSettings();
      if (SetOptionRowFraction(rows[grabbedSlider], &settings, (x - left) / width)) {
        Changed(settings, rows[grabbedSlider]);
      }
    }
  }

  UpdateHover(*this, backButton);
  if (!CApplication::GetInstance()->input.clicked) return;
  if (backButton.hovered) {
    Close();
    return;
  }
  if (hovered < 0) return;
  Select(hovered, slot);
  Activate(x);
}

// Moving onto another row or place is heard.
void COptionsPage::Select(int row, int slot)
{
  const bool binding = rows[row].kind == OptionRowKind::Binding;
  const int place = binding ? std::clamp(slot, 0, bindingSlots - 1) : 0;
  if (row == selectedRow && place == selectedSlot) return;
  selectedRow = row;
  selectedSlot = place;
  firstSound->Restart();
}

// In force at once; the effects' own sound says how loud they are now.
void COptionsPage::Changed(const Settings& settings, const OptionRow& row)
{
  ApplySettingsNow(settings);
  dirty = true;
  if (row.setting == OptionSetting::EffectsVolume) firstSound->Restart();
}

// Binding rows choose their place with left and right; the others step their value.
void COptionsPage::Adjust(int direction)
{
  const OptionRow& row = rows[selectedRow];
  if (row.kind == OptionRowKind::Binding) {
    Select(selectedRow, selectedSlot + direction);
    return;
  }
  Settings settings = RunSettings();
  if (StepOptionRow(row, &settings, direction)) Changed(settings, row);
}

// Choices step on, a clicked slider jumps there and is held, a binding waits, the
// command restores the default keys.
void COptionsPage::Activate(float x)
{
  const OptionRow& row = rows[selectedRow];
  Settings settings = RunSettings();
  switch (row.kind) {
  case OptionRowKind::Choice:
    StepOptionRow(row, &settings, 1);
    Changed(settings, row);
    secondSound->Restart();
    break;
  case OptionRowKind::Slider:
    if (x >= 0.0f) grabbedSlider = selectedRow;
    break;
  case OptionRowKind::Binding:
    waiting = true;
    notice.clear();
    edges.Settle();
    secondSound->Restart();
    break;
  case OptionRowKind::Command:
    settings.bindings = DefaultKeyBindings();
    Changed(settings, row);
    notice = "Default keys restored";
    secondSound->Restart();
    break;
  }
}

// The rows before the first binding.
int COptionsPage::SettingRowCount() const
{
  int count = 0;
  while (count < static_cast<int>(rows.size()) && rows[count].kind != OptionRowKind::Binding) ++count;
  return count;
}

// The left column's row spacing: the usual one, closer when more rows must fit.
float COptionsPage::SettingRowStep() const
{
  const int count = SettingRowCount();
  return count > 0 ? std::min(settingRowStep, settingColumnHeight / static_cast<float>(count)) : settingRowStep;
}

// Settings rows on the left, binding rows and the command on the right.
void COptionsPage::RowBox(int row, float* x, float* y, float* width, float* height) const
{
  *width = columnWidth;
  const int settingRows = SettingRowCount();
  if (row < settingRows) {
    *x = leftColumnX;
    *y = firstRowY + row * SettingRowStep();
    *height = SettingRowStep() - settingRowGap;
    return;
  }
  *x = rightColumnX;
  *y = firstRowY + (row - settingRows) * bindingRowStep;
  *height = bindingRowHeight;
}

// The box under the point; binding rows split at the middle between their places.
int COptionsPage::RowAt(float x, float y, int* slot) const
{
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    float left = 0.0f;
    float top = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    RowBox(row, &left, &top, &width, &height);
    if (x < left || x >= left + width || y < top || y >= top + height) continue;
    *slot = x >= left + slotLeft + slotWidth + slotGap * 0.5f ? 1 : 0;
    return row;
  }
  return -1;
}

// For routes and the pointer alike.
void COptionsPage::ValueCentre(int row, int slot, float* x, float* y) const
{
  float left = 0.0f;
  float top = 0.0f;
  float width = 0.0f;
  float height = 0.0f;
  RowBox(row, &left, &top, &width, &height);
  *y = top + height * 0.5f;
  if (rows[row].kind == OptionRowKind::Binding) {
    *x = left + slotLeft + slot * (slotWidth + slotGap) + slotWidth * 0.5f;
  } else if (rows[row].kind == OptionRowKind::Slider) {
    *x = left + valueLeft + sliderWidth * 0.5f;
  } else {
    *x = left + valueLeft + (width - valueLeft) * 0.5f;
  }
}

// The track sits where the value begins.
void COptionsPage::SliderTrack(int row, float* left, float* width) const
{
  float x = 0.0f;
  float top = 0.0f;
  float boxWidth = 0.0f;
  float height = 0.0f;
  RowBox(row, &x, &top, &boxWidth, &height);
  *left = x + valueLeft;
  *width = sliderWidth;
}

// Back to front: dimming, panels, rows, heading, button, the foot line.
void COptionsPage::Draw()
{
  if (!open) return;
  const OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  const float screenWidth = static_cast<float>(graphics->presentParameters.BackBufferWidth);
  const float screenHeight = static_cast<float>(graphics->presentParameters.BackBufferHeight);
  FillBox(0.0f, 0.0f, screenWidth, screenHeight, dimColour);
  const int settingRows = SettingRowCount();
  FillBox(leftColumnX - 12.0f, firstRowY - 12.0f, columnWidth + 24.0f, settingRows * SettingRowStep() + 14.0f,
          panelColour);
  const float bindingRows = static_cast<float>(rows.size() - settingRows);
  FillBox(rightColumnX - 12.0f, firstRowY - 12.0f, columnWidth + 24.0f, bindingRows * bindingRowStep + 19.0f,
          panelColour);
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) DrawRow(row);
  DrawPicture(heading, headingTransform, 0xFFFFFFFF);
  DrawButton(backButton);

  std::string foot = notice;
  if (waiting) {
    foot = std::string("Press the new input for ") + ActionLabel(rows[selectedRow].action) + " (Delete: keep it)";
  } else if (foot.empty()) {
    foot = "Arrows and Enter, or the mouse. Escape goes back.";
  }
  font.Draw(foot, screenWidth * 0.5f, footY, smallScale, waiting ? valueColour : labelColour, TextAlign::Centre);
}

// Label on the left of the box; the value, slider or two places on its right.
void COptionsPage::DrawRow(int row) const
{
  float x = 0.0f;
  float y = 0.0f;
  float width = 0.0f;
  float height = 0.0f;
  RowBox(row, &x, &y, &width, &height);
  const bool selected = row == selectedRow;
  const OptionRow& info = rows[row];
  const Settings& settings = RunSettings();
  const float scale =
      info.kind == OptionRowKind::Binding || info.kind == OptionRowKind::Command ? smallScale : textScale;
  const float textY = y + (height - font.LineHeight(scale)) * 0.5f;
  if (selected && info.kind != OptionRowKind::Binding) FillBox(x, y, width, height, selectedColour);
  font.Draw(OptionRowLabel(info), x + 10.0f, textY, scale, labelColour);

  if (info.kind == OptionRowKind::Slider) {
    const float trackY = y + height * 0.5f - 5.0f;
    FillBox(x + valueLeft, trackY, sliderWidth, 10.0f, trackColour);
    const float fill = OptionRowFraction(info, settings) * sliderWidth;
    FillBox(x + valueLeft, trackY, fill, 10.0f, fillColour);
    FillBox(x + valueLeft + fill - 5.0f, trackY - 8.0f, 10.0f, 26.0f, labelColour);
    font.Draw(OptionRowValue(info, settings), x + width - 10.0f, textY, scale, valueColour, TextAlign::Right);
  } else if (info.kind == OptionRowKind::Choice) {
    const std::string text = "< " + OptionRowValue(info, settings) + " >";
    font.Draw(text, x + valueLeft + (width - valueLeft) * 0.5f, textY, scale, valueColour, TextAlign::Centre);
  } else if (info.kind == OptionRowKind::Binding) {
    for (int slot = 0; slot < bindingSlots; ++slot) {
      const float left = x + slotLeft + slot * (slotWidth + slotGap);
      const bool current = selected && slot == selectedSlot;
      FillBox(left, y, slotWidth, height, current ? selectedColour : slotColour);
      const bool blinkOff = current && waiting && (alpha / 64) % 2 == 0;
      const std::string text = current && waiting ? (blinkOff ? "" : "...") : OptionRowValue(info, settings, slot);
      font.Draw(text, left + slotWidth * 0.5f, textY, scale, valueColour, TextAlign::Centre);
    }
  }
}
