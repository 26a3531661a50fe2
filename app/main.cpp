// The program's entry: COM, start-up, the main loop, shutdown. Always exits with 0.
#include "app/application.h"

// Runs the game; the result is 0 whether start-up succeeded or not.
int main()
{
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  CApplication* application = CApplication::GetInstance();
  if (application->Initialize(GetModuleHandleA(nullptr))) {
    application->Run();
  }
  application->ReleaseGraphics();
  CoUninitialize();
  return 0;
}
