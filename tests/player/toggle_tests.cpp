// Toggled magic in the player's small world: a press of a colour's button starts it and
// the next press stops it, whatever the button does between; both colours keep their
// own switch; a scene event (here the orb message) lets both go, and they stay off
// after it until pressed again.
#include "app/settings.h"
#include "magic_world.h"

class ToggleTest : public MagicWorld {
protected:
  void SetUp() override
  {
    MagicWorld::SetUp();
    was = RunSettings().magicToggle;
    RunSettings().magicToggle = true;
    magic->blueUnlocked = 1;
    magic->redUnlocked = 1;
  }
  void TearDown() override
  {
    RunSettings().magicToggle = was;
    MagicWorld::TearDown();
  }
  // One frame that sees these presses (the button already up again: a tap).
  void Press(int left, int right)
  {
    application->input.leftPressed = left;
    application->input.rightPressed = right;
    Step();
    application->input.leftPressed = 0;
    application->input.rightPressed = 0;
  }
  bool was = false;
};

TEST_F(ToggleTest, EachPressFlipsItsOwnColour)
{
  Press(1, 0);
  Step(10);
  EXPECT_EQ(magic->blueCasting, 1) << "on with the button up";
  EXPECT_EQ(magic->redCasting, 0);
  Press(0, 1);
  Step(5);
  EXPECT_EQ(magic->blueCasting, 1);
  EXPECT_EQ(magic->redCasting, 1);
  Buttons(1, 0);  // holding a button is no press
  Step(5);
  Buttons(0, 0);
  Step(1);
  EXPECT_EQ(magic->blueCasting, 1) << "neither the hold nor its release switches it";
  Press(1, 0);
  Step(1);
  EXPECT_EQ(magic->blueCasting, 0) << "the next press stops blue";
  EXPECT_EQ(magic->redCasting, 1) << "red keeps going";
  Press(0, 1);
  EXPECT_EQ(magic->redCasting, 0);
}

TEST_F(ToggleTest, ASceneEventLetsBothGoUntilPressedAgain)
{
  Press(1, 1);
  Step(3);
  ASSERT_EQ(magic->blueCasting + magic->redCasting, 2);
  scene->orbObtained = 1;
  Step(1);
  EXPECT_EQ(magic->blueCasting + magic->redCasting, 0) << "the event releases both, as with held magic";
  Press(1, 0);
  EXPECT_EQ(magic->blueCasting, 0) << "presses during the event are not kept";
  scene->orbObtained = 0;
  Step(5);
  EXPECT_EQ(magic->blueCasting + magic->redCasting, 0) << "still off after it";
  Press(1, 0);
  EXPECT_EQ(magic->blueCasting, 1);
}

TEST_F(ToggleTest, WithTheSettingOffAPressAloneCastsNothing)
{
  RunSettings().magicToggle = false;
  Press(1, 1);
  Step(5);
  EXPECT_EQ(magic->blueCasting + magic->redCasting, 0);
  Buttons(1, 0);
  Step(1);
  EXPECT_EQ(magic->blueCasting, 1) << "held magic as the game was made";
  Buttons(0, 0);
}
