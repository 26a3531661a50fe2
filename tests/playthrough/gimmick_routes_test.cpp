// Gimmick routes on the playground (res/test/gimmicks/, standing in for stage 8 so
// that both magics are unlocked): each starts by Continue from a save file holding 8,
// skips the opening, and tries one gimmick through the input path alone.
#include "playthrough.h"

#include <cmath>
#include <fstream>

#include "actor/gimmick/game_button.h"
#include "actor/gimmick/game_cannon.h"
#include "actor/gimmick/game_crack_wall.h"
#include "actor/gimmick/game_door.h"
#include "actor/gimmick/game_liver.h"
#include "actor/gimmick/game_metal_lift.h"
#include "actor/gimmick/game_popping_fist.h"
#include "actor/gimmick/game_rotation_door.h"
#include "actor/gimmick/game_wood_lift.h"
#include "actor/gimmick/gimmick_common.h"
#include "actor/player/game_player.h"
#include "scene/scene_game.h"
#include "test_seam.h"

namespace {

const int playgroundStage = 8;
const bool playgroundUsed = PlaythroughUseTestStage(playgroundStage, "test/gimmicks");

}  // namespace

class GimmickRouteTest : public PlaythroughTest {
protected:
  // The playground, running, the opening skipped.
  void SetUp() override
  {
    PlaythroughTest::SetUp();
    ASSERT_TRUE(playgroundUsed);
    std::ofstream("res/dat/save.dat", std::ios::binary) << playgroundStage << "\n";
    RestartProgram();
    ASSERT_TRUE(ContinueFromTitle());
    ASSERT_TRUE(SkipOpening());
  }

  // The stage's gimmick of the class standing nearest (x, z), or null.
  template <class T>
  std::shared_ptr<T> Gimmick(const std::string& name, float x, float z) const
  {
    std::shared_ptr<T> nearest;
    float best = 1e9f;
    for (const std::shared_ptr<CActorBase>& actor : Game()->actors) {
      if (actor->GetName() != name) continue;
      const float d = std::hypot(actor->world._41 - x, actor->world._43 - z);
      if (d < best) {
        best = d;
        nearest = std::static_pointer_cast<T>(actor);
      }
    }
    return nearest;
  }

  // Looks at the point, then holds the mouse button (VK_LBUTTON blue, VK_RBUTTON red)
  // until the condition holds; fails when it does not within maxFrames.
  bool Cast(int button, const D3DXVECTOR3& at, int maxFrames, const std::function<bool()>& until,
            const std::string& what)
  {
    if (!LookAt(at)) return false;
    HoldMouseButton(button, maxFrames, until);
    if (until()) return true;
    ADD_FAILURE() << Report(what) << "\nscreenshot " << SaveFailureScreenshot();
    return false;
  }
};

// The block pulled onto the button opens the door; pushed off, the door closes again.
TEST_F(GimmickRouteTest, ABlockPulledOntoAButtonOpensADoorThatClosesWhenItIsPushedOff)
{
  DrawEvery(kRouteDrawInterval);
  const auto block = Gimmick<CActorBase>("CGameMetalBlock", -25.0f, -18.0f);
  const auto button = Gimmick<CGameButton>("CGameButton", -25.0f, -12.0f);
  const auto door = Gimmick<CGameDoor>("CGameDoor", -25.0f, 0.0f);
  ASSERT_TRUE(block && button && door);
  ASSERT_TRUE(WaitFor([&] { return door->offset._42 < 0.05f; }, 80, "the door to close at the start"));
  ASSERT_TRUE(WalkTo(-14.0f, -6.0f, 0.3f, 800));
  ASSERT_TRUE(WalkTo(-25.0f, -8.0f, 0.3f, 800));
  ASSERT_TRUE(Cast(
      VK_LBUTTON, D3DXVECTOR3(-25.0f, 0.75f, -18.0f), 500, [&] { return button->switchOn != 0; },
      "blue pulling the block onto the button"));
  EXPECT_LT(std::hypot(block->world._41 + 25.0f, block->world._43 + 12.0f), 2.0f) << "the block stands on the button";
  // A step aside, so that the camera turning to the door does not end inside the block.
  ASSERT_TRUE(WalkTo(-21.0f, -7.0f, 0.3f, 200));
  ASSERT_TRUE(LookAt(D3DXVECTOR3(-25.0f, 3.0f, 0.0f)));
  EXPECT_GT(door->offset._42, 0.5f) << "rising";
  Screenshot("gimmick-door-rising.png");
  ASSERT_TRUE(WaitFor([&] { return door->offset._42 == 7.0f; }, 80, "the door fully open"));
  ASSERT_TRUE(Cast(
      VK_RBUTTON, MatrixPosition(block->world) + D3DXVECTOR3(0.0f, 0.75f, 0.0f), 500,
      [&] { return button->switchOn == 0; }, "red pushing the block off the button"));
  EXPECT_GT(std::hypot(block->world._41 + 25.0f, block->world._43 + 12.0f), 2.0f);
  ASSERT_TRUE(WaitFor([&] { return door->offset._42 < 0.05f; }, 150, "the door closing again"));
}

// A lever pulled over by blue opens its door, which stays open.
TEST_F(GimmickRouteTest, ALeverPulledWithBlueOpensADoorForGood)
{
  DrawEvery(kRouteDrawInterval);
  const auto lever = Gimmick<CGameLiver>("CGameLiver", -25.0f, 22.0f);
  const auto door = Gimmick<CGameDoor>("CGameDoor", -25.0f, 30.0f);
  ASSERT_TRUE(lever && door);
  ASSERT_TRUE(WalkTo(-14.0f, 10.0f, 0.3f, 800));
  ASSERT_TRUE(WalkTo(-25.0f, 16.0f, 0.3f, 800));
  ASSERT_TRUE(Cast(
      VK_LBUTTON, D3DXVECTOR3(-25.0f, 1.0f, 22.6f), 500, [&] { return lever->switchOn != 0; },
      "blue pulling the lever over"));
  ASSERT_TRUE(LookAt(D3DXVECTOR3(-25.0f, 3.0f, 30.0f)));
  ASSERT_TRUE(WaitFor([&] { return door->offset._42 > 4.0f; }, 120, "the door rising"));
  Screenshot("gimmick-lever-door.png");
  ASSERT_TRUE(WaitFor([&] { return door->offset._42 == 7.0f; }, 60, "the door fully open"));
  Frames(200);
  EXPECT_EQ(lever->switchOn, 1);
  EXPECT_FLOAT_EQ(door->offset._42, 7.0f) << "open for good";
}

// A block pulled onto its button drives the metal lift with the player on it; red on
// the lift under the player then throws the player up.
TEST_F(GimmickRouteTest, ThePlayerRidesAMetalLiftDrivenByAButtonAndRedOnItThrowsThePlayerUp)
{
  DrawEvery(kRouteDrawInterval);
  const auto lift = Gimmick<CGameMetalLift>("CGameMetalLift", 25.0f, -12.0f);
  const auto button = Gimmick<CGameButton>("CGameButton", 30.5f, -12.0f);
  const auto block = Gimmick<CActorBase>("CGameMetalBlock", 35.0f, -12.0f);
  ASSERT_TRUE(lift && button && block);
  ASSERT_TRUE(WalkTo(22.0f, -6.0f, 0.3f, 900));
  ASSERT_TRUE(WalkTo(25.0f, -12.0f, 0.3f, 300));
  ASSERT_NEAR(PlayerPosition().y, 0.47f, 0.05f) << "standing on the platform";
  ASSERT_TRUE(Cast(
      VK_LBUTTON, D3DXVECTOR3(35.0f, 0.75f, -12.0f), 500, [&] { return button->switchOn != 0; },
      "blue pulling the block onto the lift's button"));
  ASSERT_TRUE(WaitFor([&] { return lift->offset._43 > 6.0f; }, 250, "the lift carrying the player"));
  Screenshot("gimmick-metal-lift-ride.png");
  EXPECT_NEAR(PlayerPosition().z, lift->world._43, 0.6f) << "the player rode along";
  EXPECT_NEAR(PlayerPosition().y, lift->world._42 + 0.47f, 0.05f);
  // At the far end the lift waits while its button stays pressed: red on the platform
  // just ahead of the player's feet.
  ASSERT_TRUE(WaitFor([&] { return lift->offset._43 == 15.0f; }, 300, "the lift at its far end"));
  ASSERT_TRUE(FaceDirection(0.0f));
  const float riding = Player()->world._42;
  const D3DXVECTOR3 underfoot = MatrixPosition(lift->world) + D3DXVECTOR3(0.0f, 0.45f, 1.3f);
  ASSERT_TRUE(Cast(
      VK_RBUTTON, underfoot, 400, [&] { return Player()->world._42 > riding + 3.0f; },
      "red on the lift under the player throwing the player up"));
  EXPECT_EQ(lift->magicColour, Red);
  Screenshot("gimmick-metal-lift-launch.png");
}

// Standing on the wood lift, the player pulls its lever with blue and rides it up.
TEST_F(GimmickRouteTest, ThePlayerRidesAWoodLiftDrivenByALever)
{
  DrawEvery(kRouteDrawInterval);
  const auto lift = Gimmick<CGameWoodLift>("CGameWoodLift", 25.0f, 20.0f);
  const auto lever = Gimmick<CGameLiver>("CGameLiver", 30.0f, 24.0f);
  ASSERT_TRUE(lift && lever);
  ASSERT_TRUE(WalkTo(25.0f, 14.0f, 0.3f, 900));
  ASSERT_TRUE(WalkTo(25.0f, 20.0f, 0.3f, 300));
  ASSERT_NEAR(PlayerPosition().y, lift->world._42 + 0.47f, 0.05f) << "standing on the planks";
  ASSERT_TRUE(Cast(
      VK_LBUTTON, D3DXVECTOR3(30.0f, 1.0f, 24.6f), 500, [&] { return lever->switchOn != 0; },
      "blue pulling the wood lift's lever"));
  ASSERT_TRUE(LookAt(MatrixPosition(lift->world)));
  ASSERT_TRUE(WaitFor([&] { return lift->offset._42 > 4.0f; }, 120, "the lift rising"));
  Screenshot("gimmick-wood-lift-ride.png");
  ASSERT_TRUE(WaitFor([&] { return lift->offset._42 == 8.0f; }, 120, "the lift at the top"));
  Frames(30);
  EXPECT_GT(PlayerPosition().y, 8.3f) << "carried to the top";
}

// Red and blue together swing the rotation door open, and the player walks through.
TEST_F(GimmickRouteTest, BothMagicsSwingARotationDoorOpenAndThePlayerWalksThrough)
{
  DrawEvery(kRouteDrawInterval);
  const auto door = Gimmick<CGameRotationDoor>("CGameRotationDoor", 0.0f, 25.5f);
  ASSERT_NE(door, nullptr);
  ASSERT_TRUE(WalkTo(0.0f, 18.0f, 0.3f, 600));
  ASSERT_TRUE(LookAt(D3DXVECTOR3(0.0f, 2.5f, 25.5f)));
  Win32TestMouseButton(VK_LBUTTON, true);
  Win32TestMouseButton(VK_RBUTTON, true);
  const bool half = WaitFor([&] { return door->angle <= -45.0f; }, 300, "the door half open");
  if (half) Screenshot("gimmick-rotation-door-swing.png");
  const bool open = half && WaitFor([&] { return door->angle <= -90.0f; }, 100, "the door open");
  Win32TestMouseButton(VK_LBUTTON, false);
  Win32TestMouseButton(VK_RBUTTON, false);
  ASSERT_TRUE(open);
  Frames(30);
  EXPECT_FLOAT_EQ(door->angle, -90.0f) << "it stays open";
  ASSERT_TRUE(WalkTo(-1.8f, 22.0f, 0.3f, 300));
  ASSERT_TRUE(WalkTo(-1.8f, 30.0f, 0.3f, 300));
  EXPECT_GT(PlayerPosition().z, 29.5f) << "through the doorway";
}

// Red turns the cannon to face the crack wall; the button fires it, the wall shatters
// and the player walks through the gap.
TEST_F(GimmickRouteTest, ACannonTurnedWithMagicAndFiredByItsButtonBreaksACrackWall)
{
  DrawEvery(kRouteDrawInterval);
  const auto cannon = Gimmick<CGameCannon>("CGameCannon", 0.0f, -20.0f);
  const auto button = Gimmick<CGameButton>("CGameButton", 5.0f, -17.0f);
  const auto wall = Gimmick<CGameCrackWall>("CGameCrackWall", 0.0f, -25.0f);
  ASSERT_TRUE(cannon && button && wall);
  ASSERT_TRUE(WalkTo(0.0f, -13.0f, 0.3f, 600));
  ASSERT_TRUE(Cast(
      VK_RBUTTON, D3DXVECTOR3(0.0f, 1.0f, -20.0f), 500, [&] { return cannon->world._33 < -0.9999f; },
      "red turning the cannon away from the player"));
  EXPECT_EQ(cannon->shellActive, 0) << "no shot while no switch is on";
  ASSERT_TRUE(WalkTo(5.0f, -16.6f, 0.3f, 300));
  ASSERT_TRUE(LookAt(D3DXVECTOR3(0.0f, 4.0f, -25.0f)));
  ASSERT_TRUE(WaitFor([&] { return wall->broken != 0; }, 200, "the shell breaking the wall"));
  Frames(8);
  Screenshot("gimmick-crack-wall-shatter.png");
  ASSERT_TRUE(WaitFor([&] { return wall->destroyed != 0; }, 300, "the pieces falling away"));
  ASSERT_TRUE(WalkTo(2.0f, -22.5f, 0.3f, 300));
  ASSERT_TRUE(WalkTo(1.5f, -30.0f, 0.3f, 300));
  EXPECT_LT(PlayerPosition().z, -29.5f) << "through the gap";
}

// Crossing the fist's line within its reach: the punch carries the player east.
TEST_F(GimmickRouteTest, APoppingFistShovesThePlayerAlongX)
{
  DrawEvery(kRouteDrawInterval);
  const auto fist = Gimmick<CGamePoppingFist>("CGamePoppingFist", -32.0f, -40.0f);
  ASSERT_NE(fist, nullptr);
  ASSERT_TRUE(WalkTo(-29.5f, -30.0f, 0.3f, 1500));
  EXPECT_EQ(fist->popping, 0);
  EXPECT_GT(fist->glow, 0.5f) << "it glows its warning as the player comes near";
  ASSERT_TRUE(WalkTo(-29.5f, -46.0f, 0.3f, 400, [&] { return fist->popping != 0; }));
  ASSERT_EQ(fist->popping, 1) << "the player crossed the fist's line";
  const float startX = PlayerPosition().x;
  Frames(7);
  Screenshot("gimmick-fist-punch.png");
  ASSERT_TRUE(WaitFor([&] { return fist->popping == 0; }, 40, "the punch to reach its end"));
  EXPECT_GT(PlayerPosition().x - startX, 7.0f) << "shoved along +x with the fist";
  EXPECT_NEAR(PlayerPosition().y, 0.0f, 0.05f) << "still on the floor";
}
