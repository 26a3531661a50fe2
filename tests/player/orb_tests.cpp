// The magic orb and the orb message on the player's side: the colour decided by the
// stage number alone, no pickup while a menu holds the stage, the flight into the chest
// (shrinking 5 % a frame, removed within 0.1), the red orb's bob and pillars, and the
// player stopping and turning to the viewer with raised arms, happy eyes and feet at
// rest while the message runs.
#include <cmath>

#include "actor/gimmick/game_magic_orb.h"
#include "actor/player/player_magic_state.h"
#include "player_world.h"

class OrbTest : public PlayerWorld {
protected:
  // An orb placed at (x, y, z) on the current stage number, appended to the stage.
  std::shared_ptr<CGameMagicOrb> PlaceOrb(float x, float y, float z)
  {
    D3DXMATRIX placement;
    D3DXMatrixTranslation(&placement, x, y, z);
    auto orb = std::make_shared<CGameMagicOrb>(placement);
    scene->actors.push_back(orb);
    return orb;
  }
  // True while the orb is still in the scene's actor list.
  bool InScene(const std::shared_ptr<CGameMagicOrb>& orb) const
  {
    for (const auto& actor : scene->actors) {
      if (actor == orb) return true;
    }
    return false;
  }
};

TEST_F(OrbTest, TheStageNumberAloneDecidesTheColour)
{
  for (int stage = 1; stage <= 8; ++stage) {
    application->stageNumber = stage;
    auto orb = PlaceOrb(0.0f, 1.0f, 10.0f);
    const int expected = stage == 1 ? Blue : Red;
    EXPECT_EQ(orb->kind, expected) << "stage " << stage;
    ASSERT_NE(orb->mesh, nullptr);
    EXPECT_NE(orb->mesh->mesh, nullptr) << "the orb mesh of stage " << stage << " is generated";
    if (stage == 1) {
      EXPECT_EQ(orb->beamTexture, nullptr) << "a blue orb has no pillars";
    }
    EXPECT_EQ(orb->radius, 1.5f);
    EXPECT_EQ(orb->GetName(), "CGameMagicOrb");
  }
  // Both colours are different meshes.
  application->stageNumber = 1;
  auto blue = PlaceOrb(0.0f, 1.0f, 10.0f);
  application->stageNumber = 2;
  auto red = PlaceOrb(0.0f, 1.0f, 10.0f);
  EXPECT_NE(blue->mesh, red->mesh);
}

TEST_F(OrbTest, AnOrbTouchedWhilePausedIsTakenOnlyAfterResuming)
{
  auto orb = PlaceOrb(0.0f, 1.0f, 1.6f);  // 1.89 from the feet: out of reach
  Step(3);
  EXPECT_EQ(orb->taken, 0);
  EXPECT_EQ(scene->orbObtained, 0);
  orb->drawMatrix._43 = 1.0f;  // 1.41 from the feet: within 1.5
  scene->paused = 1;
  Step(5);
  EXPECT_EQ(orb->taken, 0) << "a menu holds the orb";
  EXPECT_EQ(scene->orbObtained, 0);
  const float glowWhilePaused = orb->glow;
  Step();
  EXPECT_EQ(orb->glow, glowWhilePaused) << "nor does it pulse";
  scene->paused = 0;
  Step();
  EXPECT_EQ(orb->taken, 1);
  EXPECT_EQ(scene->orbObtained, 1);
}

TEST_F(OrbTest, TheTakenOrbFliesToTheChestShrinkingAndIsRemovedWithinATenth)
{
  auto orb = PlaceOrb(0.0f, 1.0f, 1.0f);
  Step();
  ASSERT_EQ(orb->taken, 1);
  const D3DXVECTOR3 chest(player->world._41, player->world._42 + 0.5f, player->world._43);
  int frames = 0;
  float previousScale = orb->drawMatrix._11;
  float previousDistance = 99.0f;
  while (InScene(orb) && frames < 200) {
    const D3DXVECTOR3 at(orb->drawMatrix._41, orb->drawMatrix._42, orb->drawMatrix._43);
    const D3DXVECTOR3 toChest = chest - at;
    previousDistance = D3DXVec3Length(&toChest);
    previousScale = orb->drawMatrix._11;
    Step();
    ++frames;
    if (!InScene(orb)) break;
    EXPECT_NEAR(orb->drawMatrix._11, previousScale * 0.95f, 1e-5f) << "frame " << frames;
    const D3DXVECTOR3 now(orb->drawMatrix._41, orb->drawMatrix._42, orb->drawMatrix._43);
    const D3DXVECTOR3 left = chest - now;
    EXPECT_NEAR(D3DXVec3Length(&left), previousDistance - 0.05f, 1e-3f) << "0.05 a frame towards the chest";
  }
  EXPECT_FALSE(InScene(orb)) << "removed after " << frames << " frames";
  EXPECT_LT(previousDistance, 0.1f) << "the removal came within 0.1 of the chest";
  EXPECT_EQ(orb->destroyed, 1);
}

TEST_F(OrbTest, OnlyTheRedOrbBobsAndScrollsItsPillarsUntilTaken)
{
  application->stageNumber = 1;
  auto blue = PlaceOrb(3.0f, 1.0f, 6.0f);
  application->stageNumber = 3;
  auto red = PlaceOrb(-3.0f, 1.0f, 6.0f);
  ASSERT_NE(red->beamTexture, nullptr);
  float highest = 1.0f, lowest = 1.0f;
  for (int i = 0; i < 210; ++i) {
    Step();
    highest = std::fmax(highest, red->drawMatrix._42);
    lowest = std::fmin(lowest, red->drawMatrix._42);
    EXPECT_EQ(blue->drawMatrix._42, 1.0f);
  }
  EXPECT_GT(highest - lowest, 0.3f) << "the nudges add up to a drift of several tenths";
  EXPECT_NEAR(red->beamScroll, 210 * 0.06f, 1e-3f);
  EXPECT_NEAR(red->beamQuad[1].y, 2.0f, 1e-6f);
  EXPECT_NEAR(red->beamQuad[2].x, 0.15f, 1e-6f);
  EXPECT_NEAR(red->beamQuad[1].v - red->beamQuad[0].v, 2.0f, 1e-4f);
  EXPECT_EQ(blue->beamScroll, 0.0f);
}

TEST_F(OrbTest, TheGlowPulsesBetweenHalfAndThree)
{
  auto orb = PlaceOrb(5.0f, 1.0f, 5.0f);
  float highest = 0.0f, lowest = 9.0f;
  for (int i = 0; i < 200; ++i) {
    Step();
    highest = std::fmax(highest, orb->glow);
    lowest = std::fmin(lowest, orb->glow);
  }
  EXPECT_EQ(highest, 3.0f);
  EXPECT_EQ(lowest, 0.5f);
}

TEST_F(OrbTest, DuringTheMessageThePlayerStopsAndTurnsToTheViewerFiveDegreesAFrame)
{
  // Face +x first by walking that way.
  camera->yaw = 90.0f;
  Hold(1, 0, 0, 0);
  Step(15);
  camera->yaw = 0.0f;
  const float startYaw = player->angles.y;
  ASSERT_NEAR(BodyForward(*player).x, 1.0f, 1e-3f) << "facing +x before the orb";
  scene->orbObtained = 1;
  float previousYaw = startYaw;
  int turning = 0;
  D3DXVECTOR3 stopped = Feet();
  for (int i = 0; i < 40; ++i) {
    Step();
    if (i == 0) stopped = Feet();
    const float step = player->angles.y - previousYaw;
    EXPECT_LE(std::fabs(step), 5.0f + 1e-3f) << "frame " << i;
    if (std::fabs(step) > 0.0f) ++turning;
    previousYaw = player->angles.y;
  }
  const D3DXVECTOR3 moved = Feet() - stopped;
  EXPECT_LT(D3DXVec3Length(&moved), 1e-5f) << "W is held but the player cannot walk";
  EXPECT_NEAR(std::fabs(player->angles.y - startYaw), 90.0f, 0.2f) << "a quarter turn";
  Hold(0, 0, 0, 0);
  const D3DXVECTOR3 forward = BodyForward(*player);
  EXPECT_NEAR(forward.z, -1.0f, 1e-3f) << "facing the viewer";
  EXPECT_GE(turning, 18) << "a quarter turn takes 18 frames at 5 degrees";
  // Already facing: no more turning.
  const float settled = player->angles.y;
  Step(5);
  EXPECT_EQ(player->angles.y, settled);
}

TEST_F(OrbTest, DuringTheMessageTheArmsRiseTheEyesSmileAndTheFeetRest)
{
  auto upper = std::static_pointer_cast<CPlayerUpperBody>(player->bodyParts[0]);
  auto left = std::static_pointer_cast<CPlayerArm>(player->bodyParts[1]);
  auto right = std::static_pointer_cast<CPlayerArm>(player->bodyParts[2]);
  auto foot = std::static_pointer_cast<CPlayerFoot>(player->bodyParts[3]);
  Hold(1, 0, 0, 0);
  Step(5);  // mid-stride
  Hold(0, 0, 0, 0);
  EXPECT_EQ(upper->glee, 0);
  scene->orbObtained = 1;
  Step(17);
  EXPECT_GT(left->orbPitch, -90.0f) << "not yet up after 17 frames";
  Step();
  EXPECT_EQ(left->orbPitch, -90.0f) << "up after 18";
  EXPECT_EQ(right->orbPitch, -90.0f);
  Step(5);
  EXPECT_EQ(left->orbYaw, -20.0f);
  EXPECT_EQ(right->orbYaw, 20.0f);
  EXPECT_EQ(upper->glee, 1);
  // The foot's world is exactly the player's: its rest pose.
  for (int i = 0; i < 16; ++i) EXPECT_NEAR((&foot->world._11)[i], (&player->world._11)[i], 1e-5f);
  // The hand is well above the shoulder.
  EXPECT_GT(left->world._42, player->world._42 + 0.8f - 1e-3f);
  scene->orbObtained = 0;
  Step();
  EXPECT_EQ(upper->glee, 0);
}

TEST_F(OrbTest, TheBlueOrbUnlocksBlueOnStageOneAndARedOrbRedLater)
{
  auto magic = LockMagicState();
  ASSERT_NE(magic, nullptr);
  EXPECT_EQ(magic->blueUnlocked, 0) << "no magic on stage 1 before its orb";
  EXPECT_EQ(magic->redUnlocked, 0);
  auto blue = PlaceOrb(0.0f, 1.0f, 1.0f);
  Step();
  EXPECT_EQ(magic->blueUnlocked, 1);
  EXPECT_EQ(magic->redUnlocked, 0);

  scene->orbObtained = 0;
  application->stageNumber = 2;
  auto red = PlaceOrb(0.0f, 1.0f, -1.0f);
  Step();
  EXPECT_EQ(red->taken, 1);
  EXPECT_EQ(magic->redUnlocked, 1) << "a red orb on stage 2 grants red a stage early";
}
