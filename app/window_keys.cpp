// Full-screen switching and screenshots from the keyboard.
#include "app/window_keys.h"

#include "app/action_input.h"
#include "app/application.h"
#include "app/input.h"
#include "app/screenshot.h"
#include "app/settings.h"
#include "app/user_paths.h"
#include "engine/sound.h"
#include "win32_comforts.h"

#include <cstdio>

namespace {

bool screenshotWanted = false;  // F12 seen, the shot waits for the next drawn frame

// The shutter, loaded on first use (the sound device exists by then).
OstrelLibrary::CSound& ShutterSound()
{
  static OstrelLibrary::CSound sound;
  static bool loaded = false;
  if (!loaded) {
    sound.Load("res/sound/shutter.wav");
    loaded = true;
  }
  return sound;
}

}  // namespace

// Each key is polled here and nowhere else, as TriggerKey requires; the screenshot is
// the bound action (F12 as made).
void PollWindowKeys()
{
  const bool enter = TriggerKey(VK_RETURN);
  const bool f11 = TriggerKey(VK_F11);
  if (TriggerAction(GameAction::Screenshot)) screenshotWanted = true;
  if (f11 || (enter && (GetAsyncKeyState(VK_MENU) & 0x8000))) ToggleFullScreen();
}

// A frame left out while the loop catches up keeps the wish for the next one drawn.
void TakeWantedScreenshot()
{
  if (!screenshotWanted) return;
  screenshotWanted = false;
  TakeScreenshot();
}

// The platform switches and redoes the cursor mapping; the setting follows if it was
// a fixed choice.
void ToggleFullScreen()
{
  HWND window = CApplication::GetInstance()->window;
  const bool fullScreen = !Win32IsFullScreen(window);
  if (!Win32SetFullScreen(window, fullScreen)) return;
  // The run follows a fixed choice too, so that the options page shows it and keeps it.
  if (RunSettings().fullScreen != FullScreenChoice::Ask) {
    RunSettings().fullScreen = fullScreen ? FullScreenChoice::Yes : FullScreenChoice::No;
  }
  Settings stored = ProgramSettingsFile().Stored();
  if (stored.fullScreen == FullScreenChoice::Ask) return;
  stored.fullScreen = fullScreen ? FullScreenChoice::Yes : FullScreenChoice::No;
  ProgramSettingsFile().Store(stored);
}

// Into <pictures>/Solverica; the shutter says it was taken.
std::string TakeScreenshot()
{
  const std::string path = ProgramScreenshot().Take(PicturesDir() + "/Solverica");
  if (path.empty()) {
    std::fprintf(stderr, "solverica: no screenshot taken (cannot make %s/Solverica)\n", PicturesDir().c_str());
    return path;
  }
  ShutterSound().Restart();
  return path;
}
