// Casting: what is unlocked on which stage, the arm's 41-frame wind-up with the charge
// at the hand, a release during it, the camera's yaw limits, the walk held still, the
// ray locking in list order and holding without a second hit sound, both colours of a
// rotation door cleared by either release, and events releasing both casts.
#include <cmath>

#include "magic_world.h"

using CastTest = MagicWorld;

namespace {

// The left arm (blue) and the right arm (red) of the player's parts.
CPlayerArm& Arm(CGamePlayer& player, int side)
{
  return static_cast<CPlayerArm&>(*player.bodyParts[1 + side]);
}

}  // namespace

TEST_F(CastTest, NothingCastsOnStageOneWithoutAnOrb)
{
  EXPECT_EQ(magic->blueUnlocked, 0);
  EXPECT_EQ(magic->redUnlocked, 0);
  Buttons(1, 1);
  Step(60);
  EXPECT_EQ(magic->blueCasting, 0);
  EXPECT_EQ(magic->redCasting, 0);
  EXPECT_EQ(magic->tiltPhase, 0) << "no lean";
  EXPECT_EQ(blueRay->active + redRay->active + blueCharge->active + redCharge->active, 0);
  EXPECT_EQ(Arm(*player, 0).windupCount, 0);
}

TEST_F(CastTest, StageNumbersUnlockBlueFromTwoAndRedFromThree)
{
  application->stageNumber = 2;
  const CPlayerMagicState second;
  EXPECT_EQ(second.blueUnlocked, 1);
  EXPECT_EQ(second.redUnlocked, 0);
  application->stageNumber = 3;
  const CPlayerMagicState third;
  EXPECT_EQ(third.blueUnlocked, 1);
  EXPECT_EQ(third.redUnlocked, 1);
}

TEST_F(CastTest, TheArmWindsUpFor41FramesWithTheChargeThenFires)
{
  magic->blueUnlocked = 1;
  Buttons(1, 0);
  Step(41);
  CPlayerArm& arm = Arm(*player, 0);
  EXPECT_EQ(arm.raised, 1) << "raised once the count passed 40";
  EXPECT_EQ(blueCharge->active, 1) << "the charge glows at the hand during the wind-up";
  EXPECT_EQ(blueCharge->chargeSound->playing, 1);
  EXPECT_EQ(blueRay->active, 0) << "nothing fired yet";
  {
    // The charge stands at the palm: (0, -0.2, 0.2) in the arm's frame.
    D3DXVECTOR3 palm;
    const D3DXVECTOR3 local(0.0f, -0.2f, 0.2f);
    D3DXVec3TransformCoord(&palm, &local, &arm.world);
    EXPECT_NEAR(blueCharge->baseMatrix._41, palm.x, 0.3f);
    EXPECT_NEAR(blueCharge->baseMatrix._42, palm.y, 0.3f);
  }
  Step();
  EXPECT_EQ(blueRay->active, 1) << "the raised arm fires";
  EXPECT_EQ(blueCharge->active, 0);
  EXPECT_EQ(blueCharge->chargeSound->playing, 0) << "the charge sound stops with it";
  EXPECT_EQ(redRay->active, 0) << "the other colour stays idle";
  EXPECT_GT(arm.hitGlow, 1.0f) << "the hand glows while the colour is cast";
  EXPECT_LE(arm.hitGlow, 1.75f);
}

TEST_F(CastTest, ReleasingDuringTheWindUpStopsTheChargeAndFiresNothing)
{
  magic->blueUnlocked = 1;
  Buttons(1, 0);
  Step(20);
  ASSERT_EQ(blueCharge->active, 1);
  Buttons(0, 0);
  Step();
  EXPECT_EQ(blueCharge->active, 0);
  EXPECT_EQ(blueCharge->chargeSound->playing, 0);
  EXPECT_EQ(blueCharge->frameIndex, 0) << "rewound";
  for (int i = 0; i < 40; ++i) {
    Step();
    ASSERT_EQ(blueRay->active, 0) << "frame " << i;
  }
  EXPECT_EQ(Arm(*player, 0).windupCount, 0);
  EXPECT_EQ(magic->tiltPhase, 0) << "the lean came back";
  EXPECT_EQ(player->angles.x, 0.0f);
  EXPECT_EQ(player->angles.z, 0.0f);
}

TEST_F(CastTest, BlueLimitsTheYawToOneSideAndBothButtonsFreezeIt)
{
  magic->blueUnlocked = 1;
  magic->redUnlocked = 1;
  Buttons(1, 0);
  Step(2);
  const float start = camera->yaw;
  MoveCursor(-120, 0);
  Step();
  EXPECT_EQ(camera->yaw, start) << "blue cannot turn towards smaller yaw";
  MoveCursor(60, 0);
  Step();
  EXPECT_EQ(camera->yaw, start + 10.0f) << "but may turn towards larger yaw";
  Buttons(1, 1);
  Step();
  const float frozen = camera->yaw;
  MoveCursor(60, 0);
  Step();
  MoveCursor(-60, 0);
  Step();
  EXPECT_EQ(camera->yaw, frozen) << "both colours freeze it";
  Buttons(0, 0);
  Step();
  MoveCursor(-120, 0);
  Step();
  EXPECT_EQ(camera->yaw, frozen - 20.0f) << "released, the camera turns freely";
}

TEST_F(CastTest, CastingHoldsTheWalkStill)
{
  magic->blueUnlocked = 1;
  Hold(1, 0, 0, 0);
  Buttons(1, 0);
  Step();  // the walk runs before the magic state: the first frame still steps
  const D3DXVECTOR3 before = Feet();
  Step(10);
  EXPECT_EQ(walk->moving, 0);
  EXPECT_NEAR(Feet().z, before.z, 1e-4f);
  Buttons(0, 0);
  Step(5);
  EXPECT_GT(Feet().z, before.z + 0.3f) << "walks again once released";
}

TEST_F(CastTest, TheRayLocksOnTheFirstTargetInListOrderAndHoldsWithoutASecondHit)
{
  magic->blueUnlocked = 1;
  // Two targets in the same place: the head touches both in the same frame.
  auto first = AddBlock("CGameMetalBlock", "res/game/object/metal_block.x", 0.0f, 0.0f, 8.0f);
  auto second = AddBlock("CGameMetalBlock", "res/game/object/metal_block.x", 0.0f, 0.0f, 8.0f);
  Buttons(1, 0);
  Step(2);
  EXPECT_EQ(camera->aimedName, "CGameMetalBlock");
  int frames = 0;
  while (!blueRay->locked && frames < 200) {
    Step();
    ++frames;
  }
  ASSERT_EQ(blueRay->locked, 1) << "locked within 200 frames";
  EXPECT_EQ(first->magicColour, Blue) << "the first in list order is held";
  EXPECT_EQ(second->magicColour, None);
  EXPECT_EQ(blueRay->hitSound->playing, 1);
  EXPECT_EQ(blueRay->raySound->playing, 1);
  EXPECT_EQ(blueRay->scrollDirection, 1) << "a held blue beam flows towards the hand";

  blueRay->hitSound->Stop();
  Step(30);
  EXPECT_EQ(first->magicColour, Blue) << "held every frame";
  EXPECT_EQ(blueRay->hitSound->playing, 0) << "no second hit sound";
  {
    // The head homes onto the aim point at the block's middle.
    const D3DXVECTOR3 gap(blueRay->headMatrix._41 - 0.0f, blueRay->headMatrix._42 - 1.5f,
                          blueRay->headMatrix._43 - 8.0f);
    EXPECT_LT(D3DXVec3Length(&gap), 1e-3f);
  }

  Buttons(0, 0);
  Step();
  EXPECT_EQ(blueRay->active, 0);
  EXPECT_EQ(first->magicColour, None) << "released, the colour is cleared";
  EXPECT_EQ(blueRay->cancelSound->playing, 1) << "with the cancel sound";
  EXPECT_EQ(blueRay->raySound->playing, 0);
  EXPECT_EQ(blueRay->locked, 0);
}

TEST_F(CastTest, EitherReleaseClearsBothColoursOfARotationDoor)
{
  magic->blueUnlocked = 1;
  magic->redUnlocked = 1;
  auto door = AddBlock("CGameRotationDoor", "res/game/object/metal_block.x", 0.0f, 0.0f, 8.0f);
  Buttons(1, 1);
  int frames = 0;
  while (door->magicColour != Both && frames < 250) {
    Step();
    ++frames;
  }
  ASSERT_EQ(door->magicColour, Both) << "both rays hold it";
  Step(40);  // both heads home onto their points inside the door
  ASSERT_EQ(door->magicColour, Both);
  Buttons(0, 1);
  Step();
  EXPECT_EQ(door->magicColour, None) << "blue let go: both colours are gone";
  Step(20);
  EXPECT_EQ(redRay->active, 1);
  EXPECT_EQ(door->magicColour, None) << "red has to hit the door again to hold it";
}

TEST_F(CastTest, TheGoalReleasesBothCastsAtOnce)
{
  magic->blueUnlocked = 1;
  magic->redUnlocked = 1;
  Buttons(1, 1);
  Step(50);
  ASSERT_EQ(blueRay->active, 1);
  ASSERT_EQ(redRay->active, 1);
  scene->goalReached = 1;
  Step();
  EXPECT_EQ(magic->blueCasting, 0);
  EXPECT_EQ(magic->redCasting, 0);
  EXPECT_EQ(blueRay->active, 0);
  EXPECT_EQ(redRay->active, 0);
}

TEST_F(CastTest, AHaltedSceneSilencesTheRayAndHoldsItsHead)
{
  magic->blueUnlocked = 1;
  Buttons(1, 0);
  Step(50);
  ASSERT_EQ(blueRay->active, 1);
  ASSERT_EQ(blueRay->raySound->playing, 1);
  const D3DXVECTOR3 head(blueRay->headMatrix._41, blueRay->headMatrix._42, blueRay->headMatrix._43);
  const size_t effects = scene->effects.size();
  scene->paused = 1;
  Step(10);
  EXPECT_EQ(blueRay->raySound->playing, 0);
  EXPECT_EQ(blueRay->headMatrix._43, head.z);
  EXPECT_EQ(scene->effects.size(), effects) << "no rings or particles while halted";
  scene->paused = 0;
  Step();
  EXPECT_EQ(blueRay->raySound->playing, 1);
  EXPECT_GT(scene->effects.size(), effects) << "particles again";
}
