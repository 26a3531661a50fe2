// The program's entry: COM, start-up, the main loop, shutdown. Always exits with 0.
#include "app/application.h"
#include "engine/graphics.h"
#include "shader/shader_manager.h"

// Runs the game; the result is 0 whether start-up succeeded or not.
int main()
{
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  CApplication* application = CApplication::GetInstance();
  if (application->Initialize(GetModuleHandleA(nullptr))) {
    application->Run();
  }
  // The fade texel and the shaders hold device references; dropped first so Finalize
  // really ends the device.
  application->fadeTexture.Release();
  CShaderManager::GetInstance()->ReleaseAll();
  OstrelLibrary::CGraphics::GetInstance()->Finalize();
  CoUninitialize();
  return 0;
}
