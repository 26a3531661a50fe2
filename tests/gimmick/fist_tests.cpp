// The popping fist: nothing for its first 180 frames, firing on the player's z alone,
// shoving the player and blocks within 4.0 along +x, no second punch before it is fully
// back, and the warning glow's three bands.
#include "actor/gimmick/game_popping_fist.h"
#include "gimmick_world.h"

using FistTest = GimmickWorld;

TEST_F(FistTest, ItWaitsOutItsStartDelayThenFiresOnTheZPlaneAlone)
{
  auto fist = Place<CGamePoppingFist>(-9.0f, 0.0f, 5.0f);
  PutPlayer(9.0f, 0.0f, 4.0f);  // 18 away along x, 1 along z
  Step(178);
  EXPECT_EQ(fist->popping, 0);
  EXPECT_FLOAT_EQ(fist->offset._41, 0.0f);
  Step(2);
  EXPECT_EQ(fist->popping, 1) << "fires across the room: only z is tested";
  EXPECT_NEAR(Feet().x, 9.0f, 1e-4f) << "too far to be pushed";
}

TEST_F(FistTest, ItShovesThePlayerAndBlocksWithinFourAlongX)
{
  auto fist = Place<CGamePoppingFist>(-6.0f, 0.0f, 0.0f);
  auto block = AddMetalBlock(-6.0f, 0.0f, 3.9f);
  auto far = AddMetalBlock(-6.0f, 0.0f, -4.1f);
  PutPlayer(-3.0f, 0.0f, 1.0f);
  Step(179);  // with the frame above, the whole start delay
  const float startX = Feet().x;
  Step(4);
  EXPECT_EQ(fist->popping, 1);
  EXPECT_NEAR(Feet().x - startX, 4 * 0.5f, 0.05f) << "half a unit a frame with the fist";
  EXPECT_NEAR(block->world._41, -6.0f + 4 * 0.5f, 1e-4f);
  EXPECT_FLOAT_EQ(far->world._41, -6.0f);
  Step(13);
  EXPECT_FLOAT_EQ(fist->offset._41, 8.0f);
  EXPECT_EQ(fist->popping, 0);
  // Pushed in each of the 17 frames out, the last one clamped at 8.0.
  EXPECT_NEAR(Feet().x - startX, 17 * 0.5f, 0.05f) << "the player kept pace with the punch";
}

TEST_F(FistTest, ItCannotFireAgainBeforeItIsFullyBack)
{
  auto fist = Place<CGamePoppingFist>(-9.0f, 0.0f, 5.0f);
  PutPlayer(9.0f, 0.0f, 5.0f);
  Step(179 + 17);
  ASSERT_FLOAT_EQ(fist->offset._41, 8.0f);
  int frames = 0;
  while (!fist->armed && frames < 200) {
    Step();
    ++frames;
    ASSERT_EQ(fist->popping, 0) << "fired again " << frames << " frames into the retraction";
  }
  EXPECT_NEAR(frames, 161, 1) << "back at 0.05 a frame";
  EXPECT_FLOAT_EQ(fist->offset._41, 0.0f);
  Step(1);
  EXPECT_EQ(fist->popping, 1) << "back in, armed, and the player is still on its line";
}

TEST_F(FistTest, ItsWarningGlowFollowsThePlayersDistanceInBands)
{
  auto fist = Place<CGamePoppingFist>(-9.0f, 0.0f, 9.0f);
  PutPlayer(6.0f, 0.0f, -8.0f);  // 22.7 away: no glow
  Step(50);
  EXPECT_FLOAT_EQ(fist->glow, 0.0f);
  PutPlayer(9.0f, 0.0f, 0.0f);  // 20.1 away
  Step(60);
  EXPECT_NEAR(fist->glow, 0.4f, 1e-4f);
  PutPlayer(0.0f, 0.0f, -3.0f);  // 15 away
  Step(9);
  EXPECT_NEAR(fist->glow, 0.5f, 1e-3f) << "a hundredth a frame towards 0.65";
  PutPlayer(0.0f, 0.0f, 0.0f);  // 12.7 away
  Step(80);
  EXPECT_NEAR(fist->glow, 1.0f, 1e-4f);
}
