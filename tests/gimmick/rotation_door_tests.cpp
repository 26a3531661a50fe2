// The rotation door: one colour only twitches it to 10 degrees and lets it fall back;
// both swing it to 90 in 90 frames, from closed or from a twitch, and it stays where
// it was released.
#include "actor/gimmick/game_rotation_door.h"
#include "gimmick_world.h"

using RotationDoorTest = GimmickWorld;

TEST_F(RotationDoorTest, OneColourTwitchesItToTenAndItFallsBackADegreeAFrame)
{
  auto door = Place<CGameRotationDoor>(0.0f, 0.0f, 6.0f);
  door->magicColour = Red;
  Step(30);
  EXPECT_FLOAT_EQ(door->angle, -10.0f);
  door->magicColour = None;
  Step(4);
  EXPECT_FLOAT_EQ(door->angle, -6.0f);
  Step(10);
  EXPECT_FLOAT_EQ(door->angle, 0.0f);
  door->magicColour = Blue;
  Step(30);
  EXPECT_FLOAT_EQ(door->angle, -10.0f);
}

TEST_F(RotationDoorTest, BothSwingItOpenInNinetyFramesAndItStaysWhereReleased)
{
  auto door = Place<CGameRotationDoor>(0.0f, 0.0f, 6.0f);
  door->magicColour = Both;
  Step(45);
  EXPECT_FLOAT_EQ(door->angle, -45.0f);
  door->magicColour = None;
  Step(60);
  EXPECT_FLOAT_EQ(door->angle, -45.0f) << "past the twitch range nothing turns it back";
  door->magicColour = Both;
  Step(44);
  EXPECT_FLOAT_EQ(door->angle, -89.0f);
  Step(1);
  EXPECT_FLOAT_EQ(door->angle, -90.0f);
  Step(10);
  EXPECT_FLOAT_EQ(door->angle, -90.0f);
  // Turned a quarter about its middle: the door's +x now points along world +z.
  EXPECT_NEAR(door->world._31, -1.0f, 1e-5f);
  EXPECT_NEAR(door->world._13, 1.0f, 1e-5f);
  EXPECT_NEAR(door->world._43, 6.0f, 1e-5f);
}

TEST_F(RotationDoorTest, BothFromATwitchCarryOnFromTen)
{
  auto door = Place<CGameRotationDoor>(0.0f, 0.0f, 6.0f);
  door->magicColour = Blue;
  Step(15);
  door->magicColour = Both;
  Step(80);
  EXPECT_FLOAT_EQ(door->angle, -90.0f);
}
