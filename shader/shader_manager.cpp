// CShaderManager: the singleton holding the five shaders.
#include "shader/shader_manager.h"

CShaderManager* CShaderManager::GetInstance()
{
  static CShaderManager instance;
  return &instance;
}

void CShaderManager::ReleaseAll()
{
  toon.ReleaseResources();
  toon.defaultTexture.Release();
  toon.defaultNormalTexture.Release();
  toon.toonTexture.reset();
  toon.realTexture.reset();
  if (toon.cubeTexture) {
    toon.cubeTexture->Release();
    toon.cubeTexture = nullptr;
  }
  outline.ReleaseResources();
  blur.ReleaseResources();
  for (OstrelLibrary::CTexture& level : blur.levels) level.Release();
  blur.sceneTarget.Release();
  shadowMap.ReleaseResources();
  shadowMap.CShaderBase::ReleaseResources();
  puddle.ReleaseResources();
  puddle.reflectionTarget.Release();
  puddle.reflectionDepth.Release();
  puddle.blurTarget.Release();
  puddle.puddleMesh.reset();
  puddle.waveTexture.reset();
  puddlePass = 0;
}
