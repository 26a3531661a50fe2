// MessageBoxA on SDL2's message boxes. Without a display (SDL_VIDEODRIVER=offscreen
// or dummy, or no video at all) or when SDL cannot show the box, the default button
// answers at once, so headless runs never block. Tests can queue answers instead. An end
// signal closes an open box with its default answer and keeps further boxes shut.
#include "platform_text.h"
#include "test_seam.h"
#include "win32_comforts.h"
#include "win32_state.h"

#include <cstring>
#include <string>
#include <deque>

namespace {

std::deque<int> queuedAnswers;
std::vector<Win32MessageBoxRecord> shownBoxes;

// True when SDL has no screen to show a box on.
bool IsHeadless()
{
  if (!Win32EnsureVideo()) return true;
  const char* driver = SDL_GetCurrentVideoDriver();
  return !driver || std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0;
}

// Only what a person can read reaches a box: well-formed UTF-8 (Japanese included), line
// ends and tabs; control characters and stray bytes (a damaged file's contents quoted by
// a loader) become '?'. Very long texts are cut, so the box still fits on the screen.
std::string PrintableMessageText(const std::string& text)
{
  const size_t limit = 2000;
  std::string shown;
  for (size_t at = 0; at < text.size() && shown.size() < limit;) {
    const unsigned char c = static_cast<unsigned char>(text[at]);
    uint32_t code = 0;
    const size_t length = DecodeUtf8At(text, at, &code);
    if (c == '\r') {
      ++at;
      continue;
    }
    if (length == 0 || (c < 0x20 && c != '\n' && c != '\t') || c == 0x7F) {
      shown += '?';
      at += length ? length : 1;
      continue;
    }
    shown.append(text, at, length);
    at += length;
  }
  if (shown.size() < text.size() && text.size() > limit) shown += "...";
  return shown;
}

// Fills the buttons for the box type, left to right; returns how many.
int BuildButtons(UINT type, SDL_MessageBoxButtonData* buttons)
{
  switch (type & MB_TYPEMASK) {
  case MB_OKCANCEL:
    buttons[0] = {0, IDOK, "OK"};
    buttons[1] = {0, IDCANCEL, "キャンセル"};
    return 2;
  case MB_YESNOCANCEL:
    buttons[0] = {0, IDYES, "はい"};
    buttons[1] = {0, IDNO, "いいえ"};
    buttons[2] = {0, IDCANCEL, "キャンセル"};
    return 3;
  case MB_YESNO:
    buttons[0] = {0, IDYES, "はい"};
    buttons[1] = {0, IDNO, "いいえ"};
    return 2;
  default:
    buttons[0] = {0, IDOK, "OK"};
    return 1;
  }
}

// The SDL flag for the box's icon; a question shows as information.
Uint32 IconFlag(UINT type)
{
  switch (type & MB_ICONMASK) {
  case MB_ICONERROR:
    return SDL_MESSAGEBOX_ERROR;
  case MB_ICONWARNING:
    return SDL_MESSAGEBOX_WARNING;
  default:
    return SDL_MESSAGEBOX_INFORMATION;
  }
}

// Shows the box with SDL; returns false when it could not be shown.
bool ShowWithSDL(HWND owner, const char* text, const char* caption, UINT type, SDL_MessageBoxButtonData* buttons,
                 int count, int* answer)
{
  SDL_MessageBoxData data = {};
  data.flags = IconFlag(type) | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
  HWND live = Win32LiveWindow(owner);
  data.window = live ? live->sdlWindow : nullptr;
  data.title = caption ? caption : "";
  data.message = text ? text : "";
  data.numbuttons = count;
  data.buttons = buttons;
  // The player needs a pointer to answer, even while the game hides it.
  const SDL_bool wasRelative = SDL_GetRelativeMouseMode();
  const int wasShown = SDL_ShowCursor(SDL_QUERY);
  SDL_SetRelativeMouseMode(SDL_FALSE);
  SDL_ShowCursor(SDL_ENABLE);
  int pressed = -1;
  const int result = SDL_ShowMessageBox(&data, &pressed);
  SDL_ShowCursor(wasShown);
  SDL_SetRelativeMouseMode(wasRelative);
  if (result != 0) return false;
  if (pressed >= 0) *answer = pressed;
  return true;
}

}  // namespace

// Asks the player; returns IDOK, IDYES, IDNO or IDCANCEL.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
  SDL_MessageBoxButtonData buttons[3] = {};
  const int count = BuildButtons(type, buttons);
  int defaultIndex = 0;
  if ((type & MB_DEFMASK) == MB_DEFBUTTON2 && count >= 2) defaultIndex = 1;
  if ((type & MB_DEFMASK) == MB_DEFBUTTON3 && count >= 3) defaultIndex = 2;
  buttons[defaultIndex].flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
  // Escape means the last button (No, Cancel or the only OK), as on Windows.
  buttons[count - 1].flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;

  // Closing the box without a button counts as its default.
  int answer = buttons[defaultIndex].buttonid;
  const std::string shownText = PrintableMessageText(text ? text : "");
  const std::string shownCaption = PrintableMessageText(caption ? caption : "");
  if (!queuedAnswers.empty()) {
    answer = queuedAnswers.front();
    queuedAnswers.pop_front();
  } else if (Win32EndSignal() == 0 && !IsHeadless()) {
    // Once the game is ending no box opens, and one that is open is ended by the signal.
    Win32MessageBoxShowing(true);
    ShowWithSDL(owner, shownText.c_str(), shownCaption.c_str(), type, buttons, count, &answer);
    Win32MessageBoxShowing(false);
  }
  shownBoxes.push_back({shownText, shownCaption, type, answer});
  return answer;
}

// Queues a prepared answer.
void Win32TestQueueMessageBoxAnswer(int answer)
{
  queuedAnswers.push_back(answer);
}

// Prepared answers not yet used.
int Win32TestQueuedMessageBoxAnswers()
{
  return static_cast<int>(queuedAnswers.size());
}

// Hands over the record of shown boxes and starts a new one.
std::vector<Win32MessageBoxRecord> Win32TestTakeMessageBoxes()
{
  std::vector<Win32MessageBoxRecord> taken;
  taken.swap(shownBoxes);
  return taken;
}
