// CSceneBase's name and the scene factory used by scene-change requests.
#include "scene/scene_base.h"

#include "scene/scene_ending.h"
#include "scene/scene_game.h"
#include "scene/scene_title.h"

namespace {
const std::string sceneBaseName = "CSceneBase";
}

// "CSceneBase".
const std::string& CSceneBase::GetName() const
{
  return sceneBaseName;
}

// Nothing of its own to release.
CSceneBase::~CSceneBase() = default;

// Compares "CSceneGame", "CSceneTitle" and "CSceneEnding", in that order; any other
// name creates nothing.
std::shared_ptr<CSceneBase> CreateSceneByName(const std::string& name)
{
  if (name == "CSceneGame") return std::make_shared<CSceneGame>();
  if (name == "CSceneTitle") return std::make_shared<CSceneTitle>();
  if (name == "CSceneEnding") return std::make_shared<CSceneEnding>();
  return nullptr;
}
