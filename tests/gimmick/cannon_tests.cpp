// The cannon and the crack wall: one shell per switching on, re-arming only with the
// switch off and no shell flying, a shell that meets nothing gone after 241 frames,
// the probe looking level along the facing, magic turning the cannon, and the wall
// broken only by a shell bursting on it, removed once 99 of its pieces have fallen.
#include <cmath>

#include "actor/gimmick/game_cannon.h"
#include "actor/gimmick/game_crack_wall.h"
#include "actor/gimmick/gimmick_common.h"
#include "gimmick_world.h"

class CannonTest : public GimmickWorld {
protected:
  // Frames while counting how many shots were made (a shell that became active).
  int StepCountingShots(const std::shared_ptr<CGameCannon>& cannon, int frames)
  {
    int shots = 0;
    for (int i = 0; i < frames; ++i) {
      const int before = cannon->shellActive;
      const int flown = cannon->flightFrames;
      Step();
      if ((!before && cannon->shellActive) || (cannon->flightFrames < flown)) ++shots;
    }
    return shots;
  }
  // The cannon's facing on the floor.
  static D3DXVECTOR3 Facing(const CGameCannon& cannon) { return D3DXVECTOR3(cannon.world._31, 0.0f, cannon.world._33); }
};
using CrackWallTest = CannonTest;

TEST_F(CannonTest, ASwitchHeldOnFiresOneShellAndRearmsOnlyOffWithNoShellFlying)
{
  auto cannon = Place<CGameCannon>(-6.0f, 0.0f, -8.0f);
  auto on = AddSwitch(-3.0f, 0.0f, -8.0f);
  EXPECT_EQ(StepCountingShots(cannon, 10), 1);
  Remove(on);
  EXPECT_EQ(StepCountingShots(cannon, 10), 0);
  EXPECT_EQ(cannon->switchLatch, 1) << "a shell still flies, so the cannon is not re-armed";
  on = AddSwitch(-3.0f, 0.0f, -8.0f);
  EXPECT_EQ(StepCountingShots(cannon, 300), 0) << "switched on again while the shell flew";
  Remove(on);
  Step(1);
  EXPECT_EQ(cannon->switchLatch, 0);
  AddSwitch(-3.0f, 0.0f, -8.0f);
  EXPECT_EQ(StepCountingShots(cannon, 5), 1);
}

TEST_F(CannonTest, AShellThatMeetsNothingIsGoneAfterItsTwoHundredAndFortyFirstFrame)
{
  auto cannon = Place<CGameCannon>(-6.0f, 0.0f, -8.0f);
  auto on = AddSwitch(-3.0f, 0.0f, -8.0f);
  Step(1);
  ASSERT_EQ(cannon->shellActive, 1);
  const D3DXVECTOR3 muzzle = MatrixPosition(cannon->shellMatrix);
  EXPECT_NEAR(muzzle.y, cannon->world._42 + 2.1f + 0.3f * 0.7071f, 1e-3f);
  Step(239);
  EXPECT_EQ(cannon->shellActive, 1);
  EXPECT_EQ(cannon->flightFrames, 240);
  Step(1);
  EXPECT_EQ(cannon->shellActive, 0);
  EXPECT_TRUE(cannon->GetHitName().empty());
  // Straight on, 45 degrees up along +z, no gravity.
  const D3DXVECTOR3 last = MatrixPosition(cannon->shellMatrix);
  EXPECT_NEAR(last.z - muzzle.z, 240 * 0.3f * 0.7071f, 0.01f);
  EXPECT_NEAR(last.y - muzzle.y, last.z - muzzle.z, 0.01f);
  Remove(on);
}

TEST_F(CannonTest, TheShellsProbeLooksLevelAlongTheFacingNotUpItsPath)
{
  auto cannon = Place<CGameCannon>(0.0f, 0.0f, -8.0f);
  // A wall 3 high whose face the shell nears while still below its top.
  auto wall = AddBlock("CTestWall", "res/test/wall.x", 0.0f, 0.0f, -5.0f);
  AddSwitch(3.0f, 0.0f, -8.0f);
  std::string hit;
  for (int i = 0; i < 20 && hit.empty(); ++i) {
    Step();
    hit = cannon->GetHitName();
  }
  EXPECT_EQ(hit, "CTestWall");
  EXPECT_EQ(cannon->shellActive, 0);
  Step(1);
  EXPECT_TRUE(cannon->GetHitName().empty()) << "the name lasts one frame";
  (void)wall;
}

TEST_F(CannonTest, RedTurnsItAwayFromThePlayerAndBlueTowardsIt)
{
  auto cannon = Place<CGameCannon>(0.0f, 0.0f, -6.0f);
  cannon->magicColour = Red;
  Step(100);
  EXPECT_NEAR(std::fabs(cannon->yaw), 100.0f, 1.01f) << "a degree a frame";
  Step(120);
  D3DXVECTOR3 facing = Facing(*cannon);
  EXPECT_LT(facing.z, -0.9999f) << "facing straight away from the player at the origin";
  const float held = cannon->yaw;
  Step(30);
  EXPECT_FLOAT_EQ(cannon->yaw, held) << "held within the dead zone";

  cannon->magicColour = Blue;
  PutPlayer(6.0f, 0.0f, -6.0f);
  Step(300);
  facing = Facing(*cannon);
  EXPECT_GT(facing.x, 0.9999f) << "turned to face the player";
}

TEST_F(CrackWallTest, OnlyAShellBurstingOnTheWallBreaksIt)
{
  auto cannon = Place<CGameCannon>(0.0f, 0.0f, -8.0f);
  auto shield = AddBlock("CTestWall", "res/test/wall.x", 0.0f, 0.0f, -5.2f);
  auto wall = Place<CGameCrackWall>(0.0f, 0.0f, -4.5f);
  auto on = AddSwitch(3.0f, 0.0f, -8.0f);
  Step(30);
  EXPECT_EQ(wall->broken, 0) << "the shell burst on the wall in front, right beside the crack wall";
  Remove(on);
  Remove(shield);
  Step(2);
  AddSwitch(3.0f, 0.0f, -8.0f);
  for (int i = 0; i < 30 && !wall->broken; ++i) Step();
  ASSERT_EQ(wall->broken, 1);
  int shown = 0;
  for (const CrackPiece& piece : wall->pieces) shown += piece.visible;
  EXPECT_EQ(shown, 100);
  for (int i = 0; i < 400 && !wall->destroyed; ++i) Step();
  EXPECT_EQ(std::count(scene->actors.begin(), scene->actors.end(), wall), 0) << "the scene removed it";
  (void)cannon;
}

TEST_F(CrackWallTest, NinetyNineFallenPiecesRemoveTheWallAndNinetyEightDoNot)
{
  auto wall = Place<CGameCrackWall>(0.0f, 0.0f, -4.5f);
  wall->broken = 1;
  for (int i = 0; i < CGameCrackWall::pieceCount; ++i) {
    D3DXMatrixTranslation(&wall->pieces[i].position, 0.0f, i < 98 ? -10.0f : 50.0f, 0.0f);
  }
  wall->MovePieces();
  EXPECT_EQ(wall->destroyed, 0);
  wall->pieces[98].position._42 = -2.9f;
  wall->MovePieces();
  EXPECT_EQ(wall->destroyed, 0) << "-2.9 is not yet below -3.0";
  wall->pieces[98].position._42 = -3.5f;
  wall->MovePieces();
  EXPECT_EQ(wall->destroyed, 1);
}
