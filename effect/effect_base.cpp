// CEffectBase: the defaults and the name string.
#include "effect/effect_base.h"

namespace {
const std::string effectBaseName = "CEffectBase";
}  // namespace

std::weak_ptr<CSceneGame> CEffectBase::currentScene;

// Identity matrices, a zeroed quad.
CEffectBase::CEffectBase() : quad{}
{
  D3DXMatrixIdentity(&world);
  D3DXMatrixIdentity(&baseMatrix);
  D3DXMatrixIdentity(&scaleMatrix);
}

// "CEffectBase".
const std::string& CEffectBase::GetName() const
{
  return effectBaseName;
}

// The texture is shared with the cache; nothing else is owned.
CEffectBase::~CEffectBase() = default;
