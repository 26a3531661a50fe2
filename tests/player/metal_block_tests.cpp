// The metal block under magic, without rays (the colour is given as a ray would give
// it): blue pulls it to 3.0 from the player and stops it there, straight at a player
// standing above its middle; red pushes it along the line of sight, slides it along a
// wall met at an angle, and throws a player standing on it up to hover; a launch that
// meets a ceiling stops under it; a halted scene freezes the block and silences it.
#include <cmath>
#include <vector>

#include "magic_world.h"

namespace {

// Distance between the player's feet and the block's origin.
float Between(const CGamePlayer& player, const CActorBase& block)
{
  const D3DXVECTOR3 d(player.world._41 - block.world._41, player.world._42 - block.world._42,
                      player.world._43 - block.world._43);
  return D3DXVec3Length(&d);
}

}  // namespace

class MetalBlockTest : public MagicWorld {
protected:
  void SetUp() override
  {
    MagicWorld::SetUp();
    // No rays: an idle ray would clear the colour the test gives.
    scene->effects.clear();
  }
};

TEST_F(MetalBlockTest, BlueStopsTheBlockThreeFromThePlayerAndSilencesIt)
{
  auto block = AddMetalBlock(0.0f, 0.0f, 8.0f);
  Step(3);
  EXPECT_NEAR(block->world._42, 0.02f, 1e-3f) << "settled on the floor";
  EXPECT_NEAR(block->aimDirection.z, 1.0f, 1e-4f) << "the camera stored its view direction in the block";
  block->magicColour = Blue;
  Step();
  EXPECT_NEAR(block->world._43, 8.0f - 0.065f, 1e-4f) << "0.065 a frame towards the player";
  EXPECT_EQ(block->trailingSound->playing, 1) << "scraping while it moves";
  Step(150);
  const float distance = Between(*player, *block);
  EXPECT_LE(distance, 3.0f);
  EXPECT_GT(distance, 3.0f - 0.066f);
  EXPECT_EQ(block->trailingSound->playing, 0) << "silent once it stands";
  const float z = block->world._43;
  Step(20);
  EXPECT_EQ(block->world._43, z) << "and it stays while the magic lasts";
  EXPECT_NEAR(Feet().z, 0.0f, 1e-4f) << "the player was never pushed";
}

TEST_F(MetalBlockTest, BlueSlidesTheBlockStraightAtAPlayerAboveItsMiddle)
{
  AddBlock("CTestBox", "res/test/box.x", 0.0f, 0.0f, 0.0f);  // 1.5 high, the player on it
  PlacePlayer(0.0f, 2.0f, 0.0f);
  auto block = AddMetalBlock(7.0f, 0.0f, 0.0f);
  Step(5);
  ASSERT_NEAR(Feet().y, 1.52f, 1e-3f);
  block->aimDirection = D3DXVECTOR3(0.0f, 0.0f, 1.0f);  // a view along +z, as if aimed from the side
  block->magicColour = Blue;
  Step(120);
  EXPECT_NEAR(block->world._43, 0.0f, 1e-4f) << "not along the reversed line of sight";
  EXPECT_LT(block->world._41, 3.0f) << "towards the player";
  EXPECT_LE(Between(*player, *block), 3.0f);
}

TEST_F(MetalBlockTest, RedPushesAlongTheLineOfSightAndSlidesAlongAWallMetAtAnAngle)
{
  PlacePlayer(-8.0f, 0.0f, -8.0f);
  AddBlock("CTestWall", "res/test/wall.x", 0.0f, 0.0f, 4.0f);  // near face at z = 3.75, x -3..3
  auto block = AddMetalBlock(-2.0f, 0.0f, 1.0f);
  Step(3);
  block->aimDirection = D3DXVECTOR3(0.6f, -0.3f, 0.6f);  // looking down: only the level part counts
  block->magicColour = Red;
  const float x0 = block->world._41;
  Step();
  EXPECT_NEAR(block->world._41 - x0, 0.065f * 0.70710678f, 1e-4f);
  Step(79);
  EXPECT_GE(block->world._43, 2.2f) << "held off the wall by its half-width";
  EXPECT_LE(block->world._43, 2.32f);
  EXPECT_GT(block->world._41, 0.5f) << "the part along the wall remains: it slides";
}

TEST_F(MetalBlockTest, RedOnTheBlockUnderThePlayerThrowsThePlayerUpToHover)
{
  auto block = AddMetalBlock(0.0f, 0.0f, 0.0f);
  PlacePlayer(0.0f, 3.3f, 0.0f);
  Step(5);
  ASSERT_NEAR(Feet().y, 3.04f, 1e-3f) << "standing on the block (itself 0.02 above the floor)";
  block->magicColour = Red;
  const float blockX = block->world._41;
  std::vector<float> heights;
  int hoverFrame = -1;
  for (int i = 0; i < 400; ++i) {
    Step();
    heights.push_back(magic->launchMatrix._42);
    if (hoverFrame < 0 && magic->hovering) hoverFrame = i;
  }
  EXPECT_EQ(block->world._41, blockX) << "the block itself does not move";
  EXPECT_TRUE(player->IsLaunching());
  ASSERT_GT(hoverFrame, 0) << "hovering began";
  EXPECT_GE(heights[hoverFrame - 1], 11.0f) << "the height reached before the hovering frame";
  EXPECT_LT(heights[hoverFrame - 2], 11.0f);
  // From then on each frame moves by 0.01 x sin(phase), the phase falling by 0.06.
  for (int k = 0; hoverFrame + k + 1 < static_cast<int>(heights.size()) && k < 100; ++k) {
    const float step = heights[hoverFrame + k] - (hoverFrame + k > 0 ? heights[hoverFrame + k - 1] : 0.0f);
    ASSERT_NEAR(step, 0.01f * std::sin(-0.06f * static_cast<float>(k)), 1e-4f) << "hover frame " << k;
  }
  EXPECT_NEAR(camera->lookAt.y, player->GetFollowMatrix()._42 + 2.5f, 1e-3f) << "the camera follows the launch";

  // Red let go: the height becomes the player's own and gravity brings it back down.
  block->magicColour = None;
  magic->launchDirection = magic->launchRest;
  Step();
  EXPECT_NEAR(magic->launchMatrix._42, 0.0f, 1e-6f);
  EXPECT_GT(Feet().y, 13.0f);
  Step(150);
  EXPECT_NEAR(Feet().y, 3.04f, 1e-3f) << "landed back on the block";
}

TEST_F(MetalBlockTest, ALaunchBlockedWithinPlayerRadiusKeepsThePlayerUnderTheCeiling)
{
  auto block = AddMetalBlock(0.0f, 0.0f, 0.0f);
  AddBlock("CTestCeiling", "res/test/floor.x", 0.0f, 6.0f, 0.0f);  // underside at 5.5
  PlacePlayer(0.0f, 3.3f, 0.0f);
  Step(5);
  block->magicColour = Red;
  Step(60);
  const float stopped = Feet().y + magic->launchMatrix._42;
  EXPECT_GE(stopped, 5.5f - 0.7f - 0.2f);
  EXPECT_LE(stopped, 5.5f - 0.7f + 0.15f) << "stops within the radius of the ceiling (one step past at most)";
  Step(60);
  EXPECT_NEAR(player->world._42, stopped, 1e-4f) << "and stays there: no gravity while launched";
}

TEST_F(MetalBlockTest, AHaltedSceneFreezesTheBlockAndItsSound)
{
  auto block = AddMetalBlock(0.0f, 2.0f, 8.0f);
  Step();
  block->magicColour = Blue;
  Step();
  ASSERT_EQ(block->trailingSound->playing, 1);
  const D3DXMATRIX before = block->world;
  scene->paused = 1;
  Step(10);
  EXPECT_EQ(block->trailingSound->playing, 0);
  EXPECT_EQ(block->world._42, before._42) << "does not fall";
  EXPECT_EQ(block->world._43, before._43) << "does not move";
  scene->paused = 0;
  Step();
  EXPECT_LT(block->world._43, before._43);
}

TEST_F(MetalBlockTest, TheGlowPulsesBetween03And1WhateverTheMagic)
{
  auto block = AddMetalBlock(0.0f, 0.0f, 8.0f);
  Step(60);  // the pulse starts from 0
  float low = 2.0f, high = -1.0f;
  for (int i = 0; i < 120; ++i) {
    Step();
    low = std::fmin(low, block->hitGlow);
    high = std::fmax(high, block->hitGlow);
  }
  EXPECT_NEAR(low, 0.3f, 1e-4f);
  EXPECT_NEAR(high, 1.0f, 1e-4f);
  EXPECT_EQ(block->hitScroll, 0.0f) << "the overlay scrolls only while magic is held";
}
