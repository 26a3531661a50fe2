// The program's entry: flags and settings, COM, start-up, the main loop, shutdown.
// Exits with 0 whether start-up succeeded or not (2 for an unknown flag).
#include "app/application.h"
#include "app/start_up.h"
#include "engine/sound.h"

// Runs the game.
int main(int argc, char** argv)
{
  int exitCode = 0;
  if (!PrepareRun(argc, argv, &exitCode)) return exitCode;
  ApplyRunSettings();
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  CApplication* application = CApplication::GetInstance();
  if (application->Initialize(GetModuleHandleA(nullptr))) {
    application->Run();
  }
  application->ReleaseGraphics();
  // The scene's sounds are gone with it; closing the device now ends the mixer cleanly.
  OstrelLibrary::UninitSound();
  CoUninitialize();
  return 0;
}
