// CSceneBlank: the empty first scene.
#include "scene/scene_blank.h"

#include "app/application.h"

namespace {
const std::string sceneBlankName = "CSceneBlank";
}

// "CSceneBlank".
const std::string& CSceneBlank::GetName() const
{
  return sceneBlankName;
}

// Every scene fades in when it starts.
void CSceneBlank::Init()
{
  CApplication::GetInstance()->fadeOut = 0;
}

// Nothing to release.
void CSceneBlank::Uninit(std::shared_ptr<CSceneBase>)
{
}

// Stays current.
std::shared_ptr<CSceneBase> CSceneBlank::Update()
{
  return shared_from_this();
}

// Nothing to draw.
void CSceneBlank::Draw()
{
}

// Nothing to draw.
void CSceneBlank::DrawSprite()
{
}
