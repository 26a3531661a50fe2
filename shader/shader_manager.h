// The five shader objects and the state of the puddle-reflection pass.
#pragma once

#include "d3dx9math.h"
#include "shader/blur_shader.h"
#include "shader/outline_shader.h"
#include "shader/puddle_shader.h"
#include "shader/shadow_map_shader.h"
#include "shader/toon_shader.h"

class CShaderManager {
public:
  CToonShader toon;
  COutlineShader outline;
  CBlurShader blur;
  CShadowMapShader shadowMap;
  CPuddleShader puddle;
  int puddlePass = 0;                             // set while the mirrored actors are drawn
  D3DXVECTOR3 puddlePoint = {0.0f, 0.0f, 0.0f};   // a point on the puddle plane
  D3DXVECTOR3 puddleNormal = {0.0f, 1.0f, 0.0f};  // the puddle plane's normal

  // The one instance, created on first use.
  static CShaderManager* GetInstance();
  // Gives back every effect, texture, target and mesh the shaders hold, so that the
  // device really goes when the graphics are finalized; Load brings them back.
  void ReleaseAll();

private:
  CShaderManager() = default;
};
