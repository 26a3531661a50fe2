// CShaderManager: the singleton holding the five shaders.
#include "shader/shader_manager.h"

CShaderManager* CShaderManager::GetInstance()
{
  static CShaderManager instance;
  return &instance;
}

void CShaderManager::ReleaseAll()
{
  toon.ReleaseAll();
  outline.ReleaseAll();
  blur.ReleaseAll();
  shadowMap.ReleaseAll();
  puddle.ReleaseAll();
  puddlePass = 0;
}
