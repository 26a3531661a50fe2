// Buttons, levers and doors, and the factory that builds every gimmick from its name:
// what presses a button and what does not, switching only at the ends of the plate's
// travel, the lever's one-way pull, the door closing at the start, rising for a switch,
// and pausing above what lies under it.
#include "actor/gimmick/game_button.h"
#include "actor/gimmick/game_door.h"
#include "actor/gimmick/game_liver.h"
#include "gimmick_world.h"
#include "scene/stage_loader.h"

using ButtonTest = GimmickWorld;
using LeverTest = GimmickWorld;
using DoorTest = GimmickWorld;

TEST_F(ButtonTest, EveryGimmickIsBuiltFromItsClassName)
{
  D3DXMATRIX placement;
  D3DXMatrixTranslation(&placement, 2.0f, 0.0f, 3.0f);
  for (const char* name : {"CGameLiver", "CGameWoodLift", "CGameButton", "CGameDoor", "CGameRotationDoor",
                           "CGameMetalLift", "CGamePoppingFist", "CGameCannon", "CGameCrackWall"}) {
    std::vector<std::shared_ptr<CActorBase>> built;
    CreateActorByName(name, placement, built);
    ASSERT_EQ(built.size(), 1u) << name;
    EXPECT_EQ(built[0]->GetName(), name);
    EXPECT_TRUE(built[0]->mesh && built[0]->mesh->mesh) << name << " has its collision mesh";
  }
}

TEST_F(ButtonTest, ABlockWithinTwoHoldsItDownAndSwitchesOnOnlyAtTheBottom)
{
  auto button = Place<CGameButton>(5.0f, 0.0f, 0.0f);
  auto block = AddMetalBlock(5.0f, 0.0f, 1.9f);
  Step(16);
  EXPECT_EQ(button->switchOn, 0) << "still on its way down at " << button->pressScale;
  Step(1);
  EXPECT_EQ(button->switchOn, 1);
  EXPECT_FLOAT_EQ(button->pressScale, 0.6f);
  EXPECT_FLOAT_EQ(button->switchMatrix._22, 0.6f);

  Remove(block);
  Step(16);
  EXPECT_EQ(button->switchOn, 1) << "off only once the plate is back up";
  Step(1);
  EXPECT_EQ(button->switchOn, 0);
  EXPECT_FLOAT_EQ(button->pressScale, 1.0f);

  AddMetalBlock(5.0f, 0.0f, 2.1f);
  Step(30);
  EXPECT_EQ(button->switchOn, 0) << "a block beyond 2.0 does not press it";
}

TEST_F(ButtonTest, ThePlayerPressesOnlyWithinItsOwnRadiusAndButtonsNeverPressEachOther)
{
  auto button = Place<CGameButton>(5.0f, 0.0f, 0.0f);
  auto neighbour = Place<CGameButton>(5.0f, 0.0f, 1.0f);
  PutPlayer(5.0f, 0.0f, -0.9f);
  Step(30);
  EXPECT_EQ(button->switchOn, 0) << "0.9 away: within 2.0 but beyond the player's radius";
  EXPECT_EQ(neighbour->switchOn, 0);
  PutPlayer(5.0f, 0.0f, -0.5f);
  Step(30);
  EXPECT_EQ(button->switchOn, 1);
  EXPECT_EQ(neighbour->switchOn, 0) << "1.0 from a pressed button, but buttons do not press buttons";
}

TEST_F(ButtonTest, APressBrokenOffBeforeTheBottomReversesWithoutSwitching)
{
  auto button = Place<CGameButton>(5.0f, 0.0f, 0.0f);
  auto block = AddMetalBlock(5.0f, 0.0f, 1.0f);
  Step(10);
  Remove(block);
  for (int i = 0; i < 20; ++i) {
    Step();
    EXPECT_EQ(button->switchOn, 0);
  }
  EXPECT_FLOAT_EQ(button->pressScale, 1.0f);
}

TEST_F(LeverTest, BlueBroughtBackContinuesAPartialPullAndSwitchesOnOnceForGood)
{
  auto lever = Place<CGameLiver>(4.0f, 0.0f, 4.0f);
  const D3DXMATRIX placement = lever->world;
  lever->magicColour = Red;
  Step(20);
  EXPECT_FLOAT_EQ(lever->angle, 0.0f) << "red does nothing to a lever";
  EXPECT_TRUE(lever->world == placement) << "the collision stays at the placement until the handle turns";

  lever->magicColour = Blue;
  Step(45);
  EXPECT_FLOAT_EQ(lever->angle, -45.0f);
  lever->magicColour = None;
  Step(30);
  EXPECT_FLOAT_EQ(lever->angle, -45.0f) << "no spring brings the handle back";
  EXPECT_TRUE(lever->world == lever->handleMatrix);
  EXPECT_NEAR(lever->world._42, 0.3f, 1e-5f) << "the world is the handle's, on its hinge";

  lever->magicColour = Blue;
  Step(45);
  EXPECT_EQ(lever->switchOn, 0);
  Step(1);
  EXPECT_EQ(lever->switchOn, 1);
  EXPECT_FLOAT_EQ(lever->angle, -90.0f);
  EXPECT_EQ(lever->enableSound->playing, 1);
  lever->magicColour = None;
  Step(60);
  EXPECT_EQ(lever->switchOn, 1) << "a lever never switches off";
  EXPECT_FLOAT_EQ(lever->angle, -90.0f);
}

TEST_F(DoorTest, WithNoSwitchNearItClosesFromFullyRaisedAtATenthAFrame)
{
  auto door = Place<CGameDoor>(0.0f, 0.0f, 6.0f);
  EXPECT_FLOAT_EQ(door->offset._42, 7.0f);
  Step(1);
  EXPECT_NEAR(door->offset._42, 6.9f, 1e-4f);
  Step(35);
  EXPECT_NEAR(door->offset._42, 3.4f, 1e-3f);
  Step(40);
  EXPECT_NEAR(door->offset._42, 0.0f, 1e-3f);
  EXPECT_NEAR(door->world._42, 0.01f, 0.02f) << "its base settled onto the floor";
}

TEST_F(DoorTest, ASwitchNearerThanFifteenRaisesItAndOneAtFifteenDoesNot)
{
  auto door = Place<CGameDoor>(0.0f, 0.0f, 5.0f);
  auto far = AddSwitch(0.0f, 0.0f, -10.0f);  // exactly 15.0 from the rail
  Step(20);
  EXPECT_NEAR(door->offset._42, 5.0f, 1e-3f);
  Remove(far);
  AddSwitch(0.0f, 0.0f, -9.9f);
  Step(10);
  EXPECT_NEAR(door->offset._42, 6.0f, 1e-3f);
  Step(30);
  EXPECT_FLOAT_EQ(door->offset._42, 7.0f) << "no higher than fully open";
}

TEST_F(DoorTest, ClosingItStopsAboveABlockAndResumesWhenTheWayIsClear)
{
  auto door = Place<CGameDoor>(5.0f, 0.0f, 0.0f);
  auto block = AddMetalBlock(5.0f, 0.0f, 0.0f);
  Step(120);
  EXPECT_GT(door->world._42, 1.5f) << "the door's foot stays on the block's top";
  EXPECT_LT(door->world._42, 1.6f + 0.02f);
  Remove(block);
  Step(30);
  EXPECT_NEAR(door->offset._42, 0.0f, 1e-3f);
}
