// Ray collision against real meshes on the headless device: the test tree's floor
// (20 x 20, top at y = 0) and wall (6 wide, 3 high, 0.5 thick about its origin).
#include <cmath>

#include "../render/render_fixture.h"
#include "scene/scene_game.h"
#include "stage_support.h"

namespace {

class Collision : public RenderTest {
protected:
  void SetUp() override
  {
    RenderTest::SetUp();
    scene = std::make_shared<CSceneGame>();
    CActorBase::currentScene = scene;
    floor = Add("CGameMap", "res/test/floor.x", 0, 0, 0);
    ASSERT_TRUE(floor->mesh && floor->mesh->mesh) << "res/test/floor.x from the content build";
  }
  void TearDown() override
  {
    scene.reset();
    RenderTest::TearDown();
  }
  // An actor in the scene's list with a mesh from the build's res/.
  std::shared_ptr<CTestActor> Add(const std::string& name, const std::string& meshPath, float x, float y, float z)
  {
    auto actor = std::make_shared<CTestActor>(name, x, y, z);
    if (!meshPath.empty()) actor->mesh = graphics->GetMesh(device, meshPath);
    scene->actors.push_back(actor);
    return actor;
  }
  // A player-sized mover standing in the list.
  std::shared_ptr<CTestActor> AddWalker(float x, float y, float z)
  {
    auto walker = Add("CGamePlayer", "", x, y, z);
    walker->height = 1.6f;
    walker->radius = 0.7f;
    return walker;
  }

  std::shared_ptr<CSceneGame> scene;
  std::shared_ptr<CTestActor> floor;
  std::string name;
};

const D3DXVECTOR3 down(0.0f, -1.0f, 0.0f);

}  // namespace

TEST_F(Collision, RayDistanceSkipsItselfActorsWithoutAMeshAndIsInclusiveAtTheMaximum)
{
  auto asker = Add("CTestActor", "", 0, 0, 0);
  auto bare = Add("CTestActor", "", 0, 0, 0);
  const D3DXVECTOR3 origin(1.0f, 2.0f, 1.0f);
  EXPECT_EQ(floor->RayDistance(floor, origin, down, 100.0f, name), -1.0f) << "itself";
  EXPECT_EQ(asker->RayDistance(bare, origin, down, 100.0f, name), -1.0f) << "no mesh";
  EXPECT_EQ(asker->RayDistance(std::weak_ptr<CActorBase>(), origin, down, 100.0f, name), -1.0f) << "gone";

  name.clear();
  const float hit = asker->RayDistance(floor, origin, down, 100.0f, name);
  EXPECT_NEAR(hit, 2.0f, 1e-5f);
  EXPECT_EQ(name, "CGameMap");
  EXPECT_EQ(asker->RayDistance(floor, origin, down, hit, name), hit) << "a hit exactly at the maximum counts";
  name.clear();
  EXPECT_EQ(asker->RayDistance(floor, origin, down, std::nextafter(hit, 0.0f), name), -1.0f);
  EXPECT_EQ(name, "CGameMap") << "the name is written even beyond the maximum";

  // A moved target: the ray is taken into its space, the distance stays a world one.
  floor->world._42 = -3.0f;
  EXPECT_NEAR(asker->RayDistance(floor, origin, down, 100.0f, name), 5.0f, 1e-5f);
  asker->noHitDistance = -7.0f;
  EXPECT_EQ(asker->RayDistance(floor, origin, down, 1.0f, name), -7.0f) << "the asker's own no-hit value";
}

TEST_F(Collision, RayBlockedPassesTorchesOrbsAndTheCamera)
{
  auto asker = Add("CTestActor", "", 0, 0, 0);
  Add("CGameTorch", "res/test/wall.x", 0, 0, 5);
  const D3DXVECTOR3 origin(0.0f, 1.0f, 0.0f), ahead(0.0f, 0.0f, 1.0f);
  EXPECT_EQ(asker->IsRayBlocked(origin, ahead, 10.0f, name), 0);
  Add("CGameMagicOrb", "res/test/wall.x", 0, 0, 5);
  Add("CGameCamera", "res/test/wall.x", 0, 0, 5);
  EXPECT_EQ(asker->IsRayBlocked(origin, ahead, 10.0f, name), 0);
  Add("CGameDoor", "res/test/wall.x", 0, 0, 8);
  EXPECT_EQ(asker->IsRayBlocked(origin, ahead, 5.0f, name), 0) << "beyond the maximum";
  EXPECT_EQ(name, "CGameDoor");
  EXPECT_EQ(asker->IsRayBlocked(origin, ahead, 10.0f, name), 1);
}

TEST_F(Collision, FallAndLandWithHeightZeroFallsForever)
{
  auto faller = Add("CTestActor", "", 2, 3, 2);
  for (int frame = 1; frame <= 40; ++frame) faller->FallAndLand(faller->world, 0.3f);
  EXPECT_NEAR(faller->world._42, 3.0f - 40 * 0.2f, 1e-4f);
  EXPECT_EQ(faller->onGround, 0);
  EXPECT_EQ(faller->airFrames, 40);
}

TEST_F(Collision, StandingStaysOnTheFloorAndLandingAfterMoreThanFiveFramesIsHard)
{
  auto walker = AddWalker(1, 0.02f, 1);
  walker->FallAndLand(walker->world, 0.3f);
  EXPECT_NEAR(walker->world._42, 0.02f, 1e-4f) << "sinks and is lifted back";
  EXPECT_EQ(walker->onGround, 1);

  for (const int frames : {5, 6}) {
    walker->onGround = 0;
    walker->airFrames = frames;
    walker->hardLanded = 0;
    walker->FallAndLand(walker->world, 0.3f);
    EXPECT_EQ(walker->onGround, 1);
    EXPECT_EQ(walker->airFrames, 0);
    EXPECT_EQ(walker->hardLanded, frames > 5 ? 1 : 0) << frames << " airborne frames";
  }

  // A real fall from 1.22 above the floor: airborne while above, landed on the floor.
  walker->world._42 = 1.42f;
  walker->airFrames = 0;
  int frames = 0;
  do {
    walker->FallAndLand(walker->world, 0.3f);
  } while (walker->onGround == 0 && ++frames < 50);
  EXPECT_NEAR(walker->world._42, 0.02f, 1e-3f);
}

TEST_F(Collision, GroundBetweenHeightAndALittleBelowCountsAsNone)
{
  auto walker = AddWalker(1, 0.21f, 1);
  walker->onGround = 1;
  walker->FallAndLand(walker->world, 0.3f);  // the floor is 1.61 below the ray start
  EXPECT_EQ(walker->onGround, 0);
  EXPECT_EQ(walker->airFrames, 1);
  EXPECT_NEAR(walker->world._42, 0.01f, 1e-4f) << "keeps the lowered height";
}

TEST_F(Collision, GroundRaysClimbAStepUnderTheFootprint)
{
  Add("CGameMap", "res/test/step.x", 3, 0, 0);  // 2 x 0.5 x 2, top at 0.5
  auto walker = AddWalker(1.8f, 0.02f, 0);      // centre off the step, one corner over it
  walker->FallAndLand(walker->world, 0.3f);
  EXPECT_NEAR(walker->world._42, 0.52f, 1e-4f);
}

TEST_F(Collision, SettleOnGroundDropsOnceThenNeverMoves)
{
  auto door = Add("CGameDoor", "", 2, 1.0f, 2);
  door->height = 1.5f;
  int frames = 0;
  while (!door->settled && ++frames < 20) door->SettleOnGround(door->world);
  EXPECT_EQ(door->settled, 1);
  EXPECT_NEAR(door->world._42, 0.01f, 1e-4f);
  floor->mesh.reset();
  door->world._42 = 7.0f;
  door->SettleOnGround(door->world);
  EXPECT_EQ(door->world._42, 7.0f) << "inert once settled, even without a floor";
}

TEST_F(Collision, SwitchNearIsStrict)
{
  auto lever = Add("CGameLiver", "", 5, 0, 0);
  auto asker = Add("CGameDoor", "", 0, 0, 0);
  EXPECT_EQ(asker->IsSwitchOnNear(asker->world, 10.0f), 0) << "switched off";
  lever->switchOn = 1;
  EXPECT_EQ(asker->IsSwitchOnNear(asker->world, 5.0f), 0) << "exactly at the distance";
  EXPECT_EQ(asker->IsSwitchOnNear(asker->world, 5.001f), 1);
  asker->switchOn = 1;
  lever->switchOn = 0;
  EXPECT_EQ(asker->IsSwitchOnNear(asker->world, 0.5f), 1) << "the caller counts too";
}

TEST_F(Collision, PushOutOfWallHoldsTheClearanceHeadOn)
{
  Add("CGameMap", "res/test/wall.x", 0, 0, 5);  // face towards the walker at z = 4.75
  auto walker = AddWalker(0, 0, 4.3f);
  const D3DXVECTOR3 ahead(0.0f, 0.0f, 1.0f);
  const D3DXVECTOR3 origin(walker->world._41, walker->world._42 + 0.8f, walker->world._43);
  walker->PushOutOfWall(walker->world, 0.7f, origin, ahead);
  EXPECT_NEAR(walker->world._43, 4.05f, 1e-4f);
  EXPECT_NEAR(walker->world._41, 0.0f, 1e-6f);
  EXPECT_NEAR(walker->world._42, 0.0f, 1e-6f);

  // Farther than the clearance: nothing moves.
  walker->world._43 = 3.5f;
  const D3DXVECTOR3 far(0.0f, 0.8f, 3.5f);
  walker->PushOutOfWall(walker->world, 0.7f, far, ahead);
  EXPECT_EQ(walker->world._43, 3.5f);
}

TEST_F(Collision, PushOutOfWallSlidesAlongAWallMetAtAnAngle)
{
  Add("CGameMap", "res/test/wall.x", 0, 0, 5);
  auto walker = AddWalker(0.5f, 0, 4.35f);
  D3DXVECTOR3 diagonal(1.0f, 0.0f, 1.0f);
  D3DXVec3Normalize(&diagonal, &diagonal);
  const D3DXVECTOR3 origin(0.5f, 0.8f, 4.35f);
  walker->PushOutOfWall(walker->world, 0.7f, origin, diagonal);
  EXPECT_NEAR(walker->world._43, 4.05f, 1e-4f) << "0.7 from the face, measured square to it";
  EXPECT_NEAR(walker->world._41, 0.5f, 1e-5f) << "free to go on along the wall";
}

TEST_F(Collision, PushOutOfWallIgnoresTorchesButNotOtherActors)
{
  Add("CGameTorch", "res/test/wall.x", 0, 0, 5);
  auto walker = AddWalker(0, 0, 4.3f);
  const D3DXVECTOR3 ahead(0.0f, 0.0f, 1.0f), origin(0.0f, 0.8f, 4.3f);
  walker->PushOutOfWall(walker->world, 0.7f, origin, ahead);
  EXPECT_EQ(walker->world._43, 4.3f);
  Add("CGameMagicOrb", "res/test/wall.x", 0, 0, 5);
  walker->PushOutOfWall(walker->world, 0.7f, origin, ahead);
  EXPECT_NEAR(walker->world._43, 4.05f, 1e-4f);
}

TEST_F(Collision, PushOutOfBlocksPushesHorizontallyOnly)
{
  auto block = Add("CGameMetalBlock", "", 0, 0, 0);
  block->radius = 1.5f;
  Add("CGameWoodLift", "", 0.2f, 0, 0)->radius = 5.0f;  // not a block: ignored
  auto walker = AddWalker(0.1f, 1.5f, 0);
  const float d = std::sqrt(0.1f * 0.1f + 1.5f * 1.5f);
  walker->PushOutOfBlocks(walker->world);
  EXPECT_NEAR(walker->world._41, 0.1f + (1.5f * 0.75f + 0.7f - d), 1e-5f);
  EXPECT_EQ(walker->world._42, 1.5f);
  EXPECT_EQ(walker->world._43, 0.0f);

  auto door = Add("CGameDoor", "", 0, 0, 3);
  door->radius = 1.0f;
  walker->world._41 = 0;
  walker->world._42 = 0;
  walker->world._43 = 2.0f;
  walker->PushOutOfBlocks(walker->world);
  EXPECT_NEAR(walker->world._43, 3.0f - 1.45f, 1e-5f);
}
