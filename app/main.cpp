// The program's entry: flags and settings, the end signals, COM, start-up, the main
// loop, shutdown. Exits with 0 whether start-up succeeded or not (2 for an unknown flag,
// 130 after Ctrl+C); verifying a replay, with the verification's code.
#include "app/application.h"
#include "app/start_up.h"
#include "replay/replay_run.h"
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
  int replayCode = 0;
  const bool started = application->Initialize(GetModuleHandleA(nullptr));
  if (started && ReplayPrepared()) {
    replayCode = RunPreparedReplay(application);
  } else if (started) {
    application->Run();
  }
  const int finished = FinishRun();
  // A verification that could not start its device checked nothing.
  if (ReplayVerifying()) return started ? replayCode : 2;
  return finished;
}
