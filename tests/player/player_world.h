// A small world for the player and camera tests: the headless device and a sound
// device, a game scene (not started from a stage file) holding a 20 x 20 floor, the
// player and the camera, the cursor hidden and pinned to the window centre, and a
// scratch folder for the save file. Frames run through the scene's own Update.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "../render/render_fixture.h"
#include "actor/game_camera.h"
#include "actor/player/game_player.h"
#include "actor/player/player_arm.h"
#include "actor/player/player_foot.h"
#include "actor/player/player_goal_state.h"
#include "actor/player/player_upper_body.h"
#include "actor/player/player_walk_state.h"
#include "app/application.h"
#include "scene/scene_game.h"

// A still actor with a mesh from the build's res/ and a class name of the test's choice.
class CBlockActor : public CActorBase {
public:
  CBlockActor(const std::string& className, float x, float y, float z) : name(className)
  {
    world._41 = x;
    world._42 = y;
    world._43 = z;
  }
  const std::string& GetName() const override { return name; }
  void Update() override {}
  void Draw() override {}
  std::string name;
};

class PlayerWorld : public RenderTest {
protected:
  void SetUp() override;
  void TearDown() override;

  // Frames of the scene: toggles, actors, transition.
  void Step(int frames = 1);
  // The input snapshot the next frames see (held keys; edges last one frame).
  void Hold(int w, int a, int s, int d);
  // Moves the hidden cursor away from its home by window pixels.
  void MoveCursor(int dx, int dy);
  // Adds a still actor with a mesh to the scene's list.
  std::shared_ptr<CBlockActor> AddBlock(const std::string& className, const std::string& meshPath, float x, float y,
                                        float z);
  // The player's feet.
  D3DXVECTOR3 Feet() const;

  CApplication* application = nullptr;
  std::shared_ptr<CSceneGame> scene;
  std::shared_ptr<CGamePlayer> player;
  std::shared_ptr<CGameCamera> camera;
  std::shared_ptr<CBlockActor> floor;
  std::shared_ptr<CPlayerWalkState> walk;
  std::shared_ptr<CPlayerGoalState> goal;

private:
  std::filesystem::path previous;
  std::filesystem::path scratch;
};
