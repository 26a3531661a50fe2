// The program's entry: COM, start-up, the main loop, shutdown. Always exits with 0.
#include "app/application.h"
#include "engine/sound.h"

// Runs the game; the result is 0 whether start-up succeeded or not.
int main()
{
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
