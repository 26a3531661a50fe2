// The gimmick tests' world: the player tests' small scene (a 20 x 20 floor, the player,
// the camera) with gimmicks placed by translation, switches that are simply on, metal
// blocks that are plain boxes named "CGameMetalBlock", and the player put in place.
#pragma once

#include <algorithm>

#include "../player/player_world.h"

class GimmickWorld : public PlayerWorld {
protected:
  // A gimmick of the class at (x, y, z), appended to the stage as the stage file would.
  template <class T>
  std::shared_ptr<T> Place(float x, float y, float z)
  {
    D3DXMATRIX placement;
    D3DXMatrixTranslation(&placement, x, y, z);
    auto gimmick = std::make_shared<T>(placement);
    scene->actors.push_back(gimmick);
    return gimmick;
  }
  // An actor with no mesh whose switch is on: what every switch-driven gimmick looks for.
  std::shared_ptr<CBlockActor> AddSwitch(float x, float y, float z)
  {
    std::shared_ptr<CBlockActor> on = AddBlock("CTestSwitch", "", x, y, z);
    on->switchOn = 1;
    return on;
  }
  // A 1.5 box standing at (x, y, z) that the gimmicks take for a metal block.
  std::shared_ptr<CBlockActor> AddMetalBlock(float x, float y, float z)
  {
    return AddBlock("CGameMetalBlock", "res/test/box.x", x, y, z);
  }
  // Takes an actor out of the stage.
  void Remove(const std::shared_ptr<CActorBase>& actor) { std::erase(scene->actors, actor); }
  // The player's feet put at (x, y, z); its world follows on the next frame.
  void PutPlayer(float x, float y, float z)
  {
    D3DXMatrixTranslation(&player->position, x, y, z);
    Step();
  }
};
