// The program's entry: flags and settings, the end signals, COM, start-up, the main
// loop, shutdown. Exits with 0 whether start-up succeeded or not (2 for an unknown flag,
// 130 after Ctrl+C).
#include "app/application.h"
#include "app/start_up.h"
#include "win32_comforts.h"

// Runs the game.
int main(int argc, char** argv)
{
  int exitCode = 0;
  if (!PrepareRun(argc, argv, &exitCode)) return exitCode;
  Win32CatchEndSignals();
  ApplyRunSettings();
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  CApplication* application = CApplication::GetInstance();
  if (application->Initialize(GetModuleHandleA(nullptr))) {
    application->Run();
  }
  return FinishRun();
}
