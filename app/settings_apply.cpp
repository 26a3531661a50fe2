// Putting changed settings in force: the platform's look and pad switches, the volume
// groups, the window and the picture quality.
#include "app/settings_apply.h"

#include "app/application.h"
#include "app/start_up.h"
#include "shader/render_quality.h"
#include "win32_comforts.h"

#include <cstdlib>

namespace {
// Whether the display was chosen on the page during this run; until then the file's
// own choice is kept, so a --fullscreen or --windowed of this run is never written.
bool displayChosen = false;
}  // namespace

// The variable wins so that tests and benchmarks keep a fixed picture.
void ApplyPictureQuality(PictureQuality quality)
{
  const char* variable = std::getenv("SOLVERICA_QUALITY");
  if ((variable && *variable) || quality == PictureQuality::Automatic) {
    ApplyRenderQualityForDevice();
    return;
  }
  ApplyRenderQuality(quality == PictureQuality::Low ? RenderQuality::Low : RenderQuality::High);
}

// Only what differs from the run's settings is redone beyond the cheap switches.
void ApplySettingsNow(const Settings& settings)
{
  Settings& run = RunSettings();
  const bool qualityChanged = run.pictureQuality != settings.pictureQuality;
  if (run.fullScreen != settings.fullScreen) displayChosen = true;
  run = settings;
  ApplyRunSettings();
  if (qualityChanged) ApplyPictureQuality(settings.pictureQuality);
  HWND window = CApplication::GetInstance()->window;
  if (!window || settings.fullScreen == FullScreenChoice::Ask) return;
  const bool wanted = settings.fullScreen == FullScreenChoice::Yes;
  if (Win32IsFullScreen(window) != wanted) Win32SetFullScreen(window, wanted);
}

// Through the program's settings file, which compares before writing.
void StoreRunSettings()
{
  Settings settings = RunSettings();
  if (!displayChosen) settings.fullScreen = ProgramSettingsFile().Stored().fullScreen;
  ProgramSettingsFile().Store(settings);
}
