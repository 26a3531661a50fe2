// Routes: magic through the input path. On stage 2 the player walks into the workshop
// hall, aims at a metal block (the crosshair turns red), holds the left button: the arm
// winds up with the charge at the hand, the blue ray flies and locks, the block slides
// to 3.0 from the player and stops; letting go plays the cancel sound and clears the
// colour. In the arena linked in as stage 3 (red available) the right button pushes a
// block away, then the player climbs onto the other block, casts red at it and is
// thrown up to hover, lets go and lands back on it. Screenshots for docs/.
#include "magic_route.h"

#include "actor/game_camera.h"
#include "actor/player/game_player.h"
#include "scene/scene_game.h"

TEST_F(MagicRoute, StageTwoBlueMagicPullsABlockToThreeAndLetsGo)
{
  DrawEvery(kRouteDrawInterval);
  ASSERT_TRUE(ContinueAtStage(2));
  ASSERT_TRUE(SkipOpening());
  ASSERT_NE(Magic(), nullptr);
  EXPECT_EQ(Magic()->blueUnlocked, 1);
  EXPECT_EQ(Magic()->redUnlocked, 0) << "red comes with stage 3";
  CGameMetalBlock* block = Block(0);
  ASSERT_NE(block, nullptr) << "stage 2 places its metal blocks";
  ASSERT_NE(Crosshair(), nullptr);

  // ---- into the hall, aim at the block ----
  ASSERT_TRUE(WalkTo(0.0f, 11.0f, 0.3f, 400));
  ASSERT_TRUE(WalkTo(1.0f, 15.5f, 0.3f, 400));
  ASSERT_TRUE(LookAt(D3DXVECTOR3(block->world._41, block->world._42 + 1.5f, block->world._43)));
  Frames(1);
  EXPECT_EQ(Camera()->aimedName, "CGameMetalBlock");
  EXPECT_EQ(Crosshair()->state, 1);
  EXPECT_EQ(Crosshair()->colour, 0xFFFF0000u) << "the crosshair is red over a magic target";
  const float startDistance = DistanceTo(*block);
  EXPECT_GT(startDistance, 5.0f);

  // ---- hold the left button: wind-up, charge, ray ----
  Button(VK_LBUTTON, true);
  Frames(24);
  EXPECT_EQ(Magic()->blueCasting, 1);
  EXPECT_EQ(Charge(Blue)->active, 1) << "the charge glows at the hand while the arm winds up";
  EXPECT_EQ(Ray(Blue)->active, 0);
  Screenshot("magic-charge.png");
  ASSERT_TRUE(WaitFor([&] { return Ray(Blue)->active != 0; }, 30, "the blue ray to fire"));
  EXPECT_EQ(Charge(Blue)->active, 0);
  ASSERT_TRUE(WaitFor([&] { return Ray(Blue)->locked != 0; }, 200, "the blue ray to lock on the block"));
  EXPECT_EQ(block->magicColour, Blue);
  Frames(20);
  EXPECT_LT(DistanceTo(*block), startDistance - 1.0f) << "the block comes towards the player";
  // Blue lets the camera turn only towards larger yaw: a look from the side and above
  // shows the beam between the hand and the block.
  MoveMouse(150, 90);
  Frames(1);
  MoveMouse(60, 0);
  Frames(1);
  Screenshot("magic-blue.png");
  ASSERT_TRUE(WaitFor([&] { return DistanceTo(*block) <= 3.0f; }, 400, "the block to stop 3.0 from the player"));
  const D3DXVECTOR3 stopped(block->world._41, block->world._42, block->world._43);
  Frames(30);
  EXPECT_NEAR(block->world._41, stopped.x, 1e-4f) << "it stands while the magic lasts";
  EXPECT_NEAR(block->world._43, stopped.z, 1e-4f);
  EXPECT_GT(DistanceTo(*block), 3.0f - 0.07f);
  EXPECT_EQ(block->magicColour, Blue);

  // ---- let go: cancel sound, colour cleared ----
  Button(VK_LBUTTON, false);
  Frames(1);
  EXPECT_EQ(Ray(Blue)->active, 0);
  EXPECT_EQ(block->magicColour, None);
  EXPECT_EQ(Ray(Blue)->cancelSound->playing, 1) << "the cancel sound";
  Frames(10);
  EXPECT_EQ(Magic()->blueCasting, 0);
  EXPECT_NEAR(block->world._43, stopped.z, 1e-4f) << "the block stays where it was left";
}

TEST_F(MagicRoute, ArenaRedPushesABlockAwayThenThrowsThePlayerUpToHover)
{
  DrawEvery(kRouteDrawInterval);
  LinkArenaAsStageThree();
  ASSERT_TRUE(ContinueAtStage(3));
  ASSERT_TRUE(SkipOpening());
  ASSERT_NE(Magic(), nullptr);
  EXPECT_EQ(Magic()->redUnlocked, 1);
  CGameMetalBlock* pushed = Block(0);
  CGameMetalBlock* under = Block(1);
  ASSERT_NE(pushed, nullptr);
  ASSERT_NE(under, nullptr);

  // ---- push block B away with red ----
  ASSERT_TRUE(LookAt(D3DXVECTOR3(pushed->world._41, pushed->world._42 + 1.5f, pushed->world._43)));
  Frames(1);
  EXPECT_EQ(Camera()->aimedName, "CGameMetalBlock");
  const float startZ = pushed->world._43;
  Button(VK_RBUTTON, true);
  ASSERT_TRUE(WaitFor([&] { return Ray(Red)->locked != 0; }, 250, "the red ray to lock on block B"));
  EXPECT_EQ(pushed->magicColour, Red);
  Frames(40);
  Screenshot("magic-red.png");
  EXPECT_GT(pushed->world._43, startZ + 2.0f) << "pushed away along the line of sight";
  Button(VK_RBUTTON, false);
  Frames(1);
  EXPECT_EQ(pushed->magicColour, None);
  const float leftAt = pushed->world._43;
  Frames(10);
  EXPECT_NEAR(pushed->world._43, leftAt, 1e-4f) << "stops when let go";

  // ---- up the stairs onto the platform, then onto block A ----
  ASSERT_TRUE(WalkTo(-10.0f, -10.0f, 0.3f, 400));
  ASSERT_TRUE(WalkTo(-10.0f, 2.0f, 0.3f, 400));
  EXPECT_NEAR(PlayerPosition().y, 3.02f, 0.05f) << "on the platform";
  ASSERT_TRUE(WalkTo(-7.6f, 4.0f, 0.2f, 200));
  EXPECT_NEAR(PlayerPosition().y, under->world._42 + 3.02f, 0.05f) << "standing on block A";

  // ---- red at the block underfoot: thrown up, then hovering ----
  ASSERT_TRUE(LookAt(D3DXVECTOR3(under->world._41 + 1.3f, under->world._42 + 3.0f, under->world._43)));
  Frames(1);
  EXPECT_EQ(Camera()->aimedName, "CGameMetalBlock");
  const float standY = PlayerPosition().y;
  Button(VK_RBUTTON, true);
  ASSERT_TRUE(WaitFor([&] { return under->magicColour == Red; }, 250, "the red ray to lock on block A"));
  Frames(1);  // the block reacts to its colour in its own next update
  EXPECT_TRUE(Player()->IsLaunching());
  ASSERT_TRUE(WaitFor([&] { return Magic()->hovering != 0; }, 400, "the player to rise and hover"));
  EXPECT_GE(Player()->world._42, standY + 11.0f - 0.01f);
  EXPECT_NEAR(under->world._42, 0.02f, 1e-3f) << "the block itself stays on the floor";
  Frames(20);
  Screenshot("magic-launch.png");
  EXPECT_NEAR(Player()->GetFollowMatrix()._42, standY + Magic()->launchMatrix._42, 1e-3f) << "the camera follows";

  // ---- let go: the height becomes the player's, gravity brings it back ----
  Button(VK_RBUTTON, false);
  Frames(2);  // the ray lets go of the block in the first frame's effect step
  EXPECT_FALSE(Player()->IsLaunching());
  EXPECT_EQ(under->magicColour, None);
  ASSERT_TRUE(WaitFor([&] { return Player()->onGround && PlayerPosition().y < standY + 0.1f; }, 200,
                      "the player to land back on block A"));
  EXPECT_NEAR(PlayerPosition().y, standY, 0.05f);
}
