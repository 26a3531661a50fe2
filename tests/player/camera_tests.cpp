// The camera: mouse look with its dead zone and integer steps, the pitch clamp, the
// return to centre after the goal, the opening flight and its Space skip, following,
// and the aim ray.
#include <cmath>

#include "actor/gimmick/game_goal.h"
#include "player_world.h"
#include "test_seam.h"

class CameraTest : public PlayerWorld {
protected:
  // The yaw change of one frame after a horizontal move.
  float Turn(int pixels)
  {
    const float before = camera->yaw;
    MoveCursor(pixels, 0);
    Step();
    return camera->yaw - before;
  }
};

TEST_F(CameraTest, SixPixelsMakeADegreeAndFiveOrFewerNothing)
{
  EXPECT_EQ(Turn(5), 0.0f);
  EXPECT_EQ(Turn(-5), 0.0f);
  EXPECT_EQ(Turn(6), 1.0f);
  EXPECT_EQ(Turn(11), 1.0f) << "integer division";
  EXPECT_EQ(Turn(12), 2.0f);
  EXPECT_EQ(Turn(-11), -1.0f) << "truncated towards zero";
  EXPECT_EQ(Turn(-12), -2.0f);
  EXPECT_EQ(Turn(0), 0.0f) << "the ignored moves were thrown away by the recentring";
  POINT cursor = {};
  GetCursorPos(&cursor);
  EXPECT_EQ(cursor.x, application->cursorHome.x);
  EXPECT_EQ(cursor.y, application->cursorHome.y);
  EXPECT_EQ(Turn(18), 3.0f);
}

TEST_F(CameraTest, PitchStaysBetweenMinus89And45)
{
  MoveCursor(0, 300);  // 50 degrees down
  Step();
  EXPECT_EQ(camera->pitch, 45.0f);
  for (int i = 0; i < 3; ++i) {
    MoveCursor(0, -300);
    Step();
    EXPECT_GE(camera->pitch, -89.0f);
    EXPECT_LE(camera->pitch, 45.0f);
  }
  EXPECT_EQ(camera->pitch, -89.0f);
  MoveCursor(0, 60);
  Step();
  EXPECT_EQ(camera->pitch, -79.0f);
}

TEST_F(CameraTest, ReturnToCentreRunsToTheNearestWholeTurnAndSnapsToZero)
{
  for (const float start : {200.0f, -200.0f}) {
    camera->yaw = start;
    camera->pitch = 12.0f;
    scene->goalReached = 1;
    int frames = 0;
    float last = start;
    while (camera->yaw != 0.0f && frames < 100) {
      Step();
      ++frames;
      if (camera->yaw != 0.0f) {
        EXPECT_EQ(std::fabs(camera->yaw) - std::fabs(last), 5.0f) << "away from zero, 5 a frame, from " << start;
        last = camera->yaw;
      }
    }
    EXPECT_EQ(frames, 32) << "from " << start << " to " << (start > 0 ? 360 : -360) << " in 5-degree steps";
    EXPECT_EQ(camera->pitch, 0.0f);
    // The mouse does nothing while the goal holds the view.
    MoveCursor(60, 0);
    Step();
    EXPECT_EQ(camera->yaw, 0.0f);
    scene->goalReached = 0;
    SetCursorPos(application->cursorHome.x, application->cursorHome.y);
  }
}

TEST_F(CameraTest, SpaceDuringTheOpeningIsBlackAtOnceAndEndsItInThatFrame)
{
  D3DXMATRIX placement;
  D3DXMatrixTranslation(&placement, 0.0f, 0.0f, 12.0f);
  scene->actors.push_back(std::make_shared<CGameGoal>(placement));
  scene->cameraEvent = 1;
  Step(10);
  EXPECT_EQ(scene->cameraEvent, 1);
  EXPECT_NEAR(camera->openingBlend, 0.03f, 1e-4f);
  EXPECT_NEAR(camera->world._43, 12.0f + (-3.5f - 12.0f) * camera->openingBlend, 1e-3f) << "flying from the goal";
  EXPECT_EQ(application->fadeAlpha, 0);

  application->input.spacePressed = 1;
  Step();
  EXPECT_EQ(application->fadeAlpha, 255);
  EXPECT_EQ(application->fadeOut, 0) << "the game fades in from here";
  EXPECT_EQ(scene->cameraEvent, 0);
  EXPECT_EQ(scene->paused, 0) << "the Space that skips does not pause";
  EXPECT_NEAR(camera->world._43, -3.5f, 1e-4f) << "at the end of the flight";
}

TEST_F(CameraTest, TheFlightFadesToBlackAtItsEndAndOnlyThenEnds)
{
  D3DXMATRIX placement;
  D3DXMatrixTranslation(&placement, 4.0f, 2.0f, 20.0f);
  scene->actors.push_back(std::make_shared<CGameGoal>(placement));
  scene->cameraEvent = 1;
  Step(333);
  EXPECT_EQ(application->fadeOut, 0);
  Step(1);
  EXPECT_EQ(camera->openingBlend, 1.0f);
  EXPECT_EQ(application->fadeOut, 1) << "the flight is over: fade to black";
  EXPECT_EQ(scene->cameraEvent, 1);
  application->fadeAlpha = 255;  // the loop's fade would take 51 frames
  Step();
  EXPECT_EQ(scene->cameraEvent, 0);
  EXPECT_EQ(application->fadeOut, 0);
  // Free look from here: the eye sits behind and above the player.
  Step();
  EXPECT_NEAR(camera->eye.y, Feet().y + 2.5f, 1e-4f);
  EXPECT_NEAR(camera->eye.z, -5.0f, 1e-4f);
  EXPECT_NEAR(camera->lookAt.y, Feet().y + 2.5f, 1e-4f);
}

TEST_F(CameraTest, TheAimRayNamesWhatIsUnderTheCentreAndKeepsTheLastPointOnAMiss)
{
  AddBlock("CGameMetalBlock", "res/test/wall.x", 0.0f, 0.0f, 8.0f);
  Step();
  EXPECT_EQ(camera->aimedName, "CGameMetalBlock");
  EXPECT_NEAR(camera->aimPoint.z, 8.0f - 0.25f, 1e-3f) << "the wall's near face";
  const D3DXVECTOR3 kept = camera->aimPoint;
  MoveCursor(0, -40 * 6);  // look up into the empty sky
  Step();
  EXPECT_EQ(camera->aimedName, "");
  EXPECT_EQ(camera->aimPoint, kept);
}

TEST_F(CameraTest, WithoutFocusTheMouseDoesNotTurnTheCameraAndThePointerIsFree)
{
  ASSERT_TRUE(Win32TestCursorHidden());
  EXPECT_TRUE(Win32TestPointerPinned());
  Win32TestSetFocus(false);
  EXPECT_FALSE(Win32TestPointerPinned()) << "the pointer is released";
  EXPECT_EQ(Turn(60), 0.0f) << "motion in the background turns nothing";
  EXPECT_EQ(Turn(-120), 0.0f);
  Win32TestSetFocus(true);
  EXPECT_TRUE(Win32TestPointerPinned()) << "pinned again";
  EXPECT_EQ(Turn(0), 0.0f) << "nothing stored up while away";
  EXPECT_EQ(Turn(60), 10.0f) << "mouse look works again";
}
