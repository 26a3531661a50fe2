// Metal and wood lifts: the switch searched for round the rail, travel and its ends,
// turning back at once, carrying the player on top and blocks near the platform, the
// metal lift's launch under red magic, and the wood lift never coming down on anything.
#include "actor/gimmick/game_metal_lift.h"
#include "actor/gimmick/game_wood_lift.h"
#include "gimmick_world.h"

using MetalLiftTest = GimmickWorld;
using WoodLiftTest = GimmickWorld;

TEST_F(MetalLiftTest, ASwitchTenFromTheRailLeavesItWhereverThePlatformIs)
{
  auto lift = Place<CGameMetalLift>(-5.0f, 0.0f, -9.0f);
  auto atTen = AddSwitch(5.0f, 0.0f, -9.0f);
  auto nearPlatformsEnd = AddSwitch(-5.0f, 0.0f, 1.5f);  // 10.5 from the rail, near the platform's far end
  Step(30);
  EXPECT_FLOAT_EQ(lift->offset._43, 0.0f);
  Remove(atTen);
  AddSwitch(4.9f, 0.0f, -9.0f);
  Step(25);
  EXPECT_NEAR(lift->offset._43, 1.0f, 1e-4f);
  EXPECT_NEAR(lift->world._43, -8.0f, 1e-4f);
  (void)nearPlatformsEnd;
}

TEST_F(MetalLiftTest, ItTurnsBackAtOnceAndStopsAtBothEnds)
{
  auto lift = Place<CGameMetalLift>(-5.0f, 0.0f, -9.0f);
  auto on = AddSwitch(-9.0f, 0.0f, -9.0f);
  Step(50);
  EXPECT_NEAR(lift->offset._43, 2.0f, 1e-4f);
  Remove(on);
  Step(1);
  EXPECT_NEAR(lift->offset._43, 1.96f, 1e-4f);
  Step(60);
  EXPECT_FLOAT_EQ(lift->offset._43, 0.0f);
  AddSwitch(-9.0f, 0.0f, -9.0f);
  Step(400);
  EXPECT_FLOAT_EQ(lift->offset._43, 15.0f);
}

TEST_F(MetalLiftTest, ItRunsAlongWorldZWhateverItsPlacementsTurn)
{
  D3DXMATRIX turn, at;
  D3DXMatrixRotationY(&turn, 1.2f);
  D3DXMatrixTranslation(&at, -5.0f, 0.0f, -9.0f);
  auto lift = std::make_shared<CGameMetalLift>(turn * at);
  scene->actors.push_back(lift);
  AddSwitch(-9.0f, 0.0f, -9.0f);
  Step(50);
  EXPECT_NEAR(lift->world._41, -5.0f, 1e-4f);
  EXPECT_NEAR(lift->world._43, -7.0f, 1e-4f);
}

TEST_F(MetalLiftTest, ItCarriesThePlayerOnTopAndBlocksWithinThreeEvenBesideIt)
{
  auto lift = Place<CGameMetalLift>(0.0f, 0.0f, -6.0f);
  auto beside = AddMetalBlock(2.9f, 0.0f, -6.0f);
  auto beyond = AddMetalBlock(-3.2f, 0.0f, -6.0f);
  PutPlayer(0.0f, 0.5f, -6.0f);
  Step(5);
  ASSERT_TRUE(lift->PlayerOnTop());
  AddSwitch(-4.0f, 0.0f, -9.0f);
  Step(50);
  EXPECT_NEAR(lift->offset._43, 2.0f, 1e-4f);
  EXPECT_NEAR(Feet().z, -4.0f, 0.05f) << "the rider went along";
  EXPECT_NEAR(beside->world._43, -4.0f, 1e-4f);
  EXPECT_FLOAT_EQ(beyond->world._43, -6.0f);
}

TEST_F(MetalLiftTest, RedThrowsOnlyThePlayerOnTopAndBlueOnlyMakesItGlow)
{
  auto lift = Place<CGameMetalLift>(0.0f, 0.0f, -6.0f);
  lift->magicColour = Red;
  Step(5);
  EXPECT_EQ(lift->launch, D3DXVECTOR3(0.0f, 0.0f, 0.0f)) << "red moves nothing without the player on top";
  EXPECT_FLOAT_EQ(lift->offset._43, 0.0f);
  PutPlayer(0.0f, 0.5f, -6.0f);
  Step(2);
  EXPECT_EQ(lift->launch, D3DXVECTOR3(0.0f, 1.0f, 0.0f));
  const float standing = player->world._42;
  Step(30);
  EXPECT_GT(player->world._42, standing + 0.5f) << "the player's magic state took the launch";
  lift->magicColour = Blue;
  Step(1);
  EXPECT_EQ(lift->launch, D3DXVECTOR3(0.0f, 0.0f, 0.0f));
  const float scroll = lift->hitScroll;
  Step(10);
  EXPECT_GT(lift->hitScroll, scroll) << "blue only makes it glow";
  EXPECT_FLOAT_EQ(lift->offset._43, 0.0f);
}

TEST_F(WoodLiftTest, ASwitchFifteenFromTheRailLeavesItAndANearerOneRaisesItToEight)
{
  auto lift = Place<CGameWoodLift>(0.0f, 0.5f, 5.0f);
  auto far = AddSwitch(0.0f, 0.0f, -10.0f);
  Step(30);
  EXPECT_NEAR(lift->baseMatrix._42, 0.01f, 0.02f) << "its base dropped onto the floor";
  EXPECT_FLOAT_EQ(lift->offset._42, 0.0f);
  Remove(far);
  AddSwitch(0.0f, 0.0f, -9.9f);
  Step(40);
  EXPECT_NEAR(lift->offset._42, 2.0f, 1e-4f);
  Step(200);
  EXPECT_FLOAT_EQ(lift->offset._42, 8.0f);
}

TEST_F(WoodLiftTest, ItLiftsThePlayerStandingOnItAndTurnsBackAtOnce)
{
  auto lift = Place<CGameWoodLift>(4.0f, 0.0f, 4.0f);
  PutPlayer(4.0f, 0.5f, 4.0f);
  Step(5);
  auto on = AddSwitch(4.0f, 0.0f, -4.0f);
  Step(60);
  EXPECT_NEAR(lift->offset._42, 3.0f, 1e-3f);
  EXPECT_NEAR(Feet().y, lift->world._42 + 0.45f, 0.25f) << "the rider stays on the planks";
  Remove(on);
  Step(1);
  EXPECT_NEAR(lift->offset._42, 2.95f, 1e-3f);
}

TEST_F(WoodLiftTest, ComingDownItStopsAboveThePlayerOrABlockAndResumesWhenClear)
{
  auto lift = Place<CGameWoodLift>(4.0f, 0.0f, 4.0f);
  auto on = AddSwitch(4.0f, 0.0f, -4.0f);
  Step(100);
  ASSERT_NEAR(lift->offset._42, 5.0f, 1e-3f);
  Remove(on);
  PutPlayer(4.0f, 0.0f, 5.0f);
  Step(60);
  // The player has no mesh, but the lift stops within two player heights of it.
  const float heldAt = lift->world._42;
  EXPECT_NEAR(heldAt, 3.0f, 0.06f);  // sqrt(3.04 * 3.04 + 1) is 3.2
  Step(30);
  EXPECT_FLOAT_EQ(lift->world._42, heldAt);
  PutPlayer(-6.0f, 0.0f, -6.0f);
  // A crate, not a metal block: a block beside the platform would be carried down.
  auto block = AddBlock("CTestCrate", "res/test/box.x", 4.5f, 0.0f, 4.0f);
  Step(100);
  EXPECT_GT(lift->world._42, 1.5f) << "held on the crate's top";
  EXPECT_LT(lift->world._42, 1.62f);
  Remove(block);
  Step(40);
  EXPECT_LT(lift->offset._42, 0.1f) << "down once the way is clear";
}
