// Routes with toggled magic (magic_toggle = yes), through the input path: a click of a
// button shorter than a frame starts its colour and the next click stops it. On stage 2
// a tap of the left button pulls a block with the wind-up and the yaw limit of held
// magic, and the same tap with held magic casts nothing; stage 5's rotation doors are
// swung open with both colours toggled on and off again, and the stage is cleared. That
// clear's replay plays back to the bit under toggled magic while the player's own
// setting is held magic, which it gets back afterwards.
#include <algorithm>

#include "magic_route.h"
#include "stage_route.h"

#include "actor/game_camera.h"
#include "actor/gimmick/game_rotation_door.h"
#include "actor/player/game_player.h"
#include "app/settings.h"
#include "replay/replay_run.h"
#include "replay/stage_attempt.h"
#include "test_seam.h"

namespace {

// A press and its release before the next frame.
void TapButton(int virtualKey)
{
  Win32TestMouseButton(virtualKey, true);
  Win32TestMouseButton(virtualKey, false);
}

// Toggled magic for one test; the setting as it was afterwards.
class ToggledMagic {
public:
  explicit ToggledMagic(bool on) : was(RunSettings().magicToggle) { RunSettings().magicToggle = on; }
  ~ToggledMagic() { RunSettings().magicToggle = was; }

private:
  const bool was;
};

// Stage 5 with toggled magic: the steps of the stage routes, with clicks for holds.
class ToggledStageRoute : public StageRoute {
protected:
  // Turns to the point, clicks the colours on, waits for `done`, clicks them off; true
  // when `done` came and both colours stopped casting after the second click.
  bool ToggleCastAt(bool blue, bool red, const D3DXVECTOR3& point, const std::function<bool()>& done, int maxFrames,
                    const std::string& what)
  {
    if (!LookAt(point)) return false;
    if (blue) TapButton(VK_LBUTTON);
    if (red) TapButton(VK_RBUTTON);
    const bool reached = WaitFor(done, maxFrames, what);
    if (blue) TapButton(VK_LBUTTON);
    if (red) TapButton(VK_RBUTTON);
    Frames(2);
    const std::shared_ptr<CPlayerMagicState> magic = LockMagic();
    EXPECT_TRUE(magic && magic->blueCasting == 0 && magic->redCasting == 0) << "the second click stops " << what;
    return reached;
  }
  // Stage 5 from its saved start to its goal, both doors swung with toggled colours;
  // false at the first step that fails.
  bool PlayStageFiveToggled()
  {
    DrawEvery(kRouteDrawInterval);
    if (!StartSavedStage(5)) return false;
    const auto first = NearestAs<CGameRotationDoor>("CGameRotationDoor", 0.0f, 12.5f);
    const auto second = NearestAs<CGameRotationDoor>("CGameRotationDoor", 0.0f, 32.5f);
    if (!(first && second)) return false;

    // ---- both colours clicked on swing the first door; clicked off, it stays open ----
    if (!(WalkTo(0.0f, 5.0f, 0.3f, 300))) return false;
    const D3DXVECTOR3 firstMiddle(first->world._41, first->world._42 + 2.5f, first->world._43);
    if (!(ToggleCastAt(
            true, true, firstMiddle, [&] { return first->angle <= -89.0f; }, 400, "the first door swung open")))
      return false;
    Frames(30);
    EXPECT_LE(first->angle, -89.0f) << "the door stays open once swung";

    // ---- through the gallery onto the balcony, the second door the same way ----
    if (!(WalkTo(1.7f, 10.0f, 0.2f, 200))) return false;
    if (!(WalkTo(1.7f, 16.0f, 0.2f, 200))) return false;
    if (!(WalkTo(8.0f, 17.0f, 0.3f, 300))) return false;
    if (!(WalkTo(8.0f, 28.0f, 0.3f, 300))) return false;
    if (!(WalkTo(0.0f, 27.5f, 0.3f, 300))) return false;
    if (!(ToggleCastAt(
            true, true, D3DXVECTOR3(second->world._41, second->world._42 + 2.5f, second->world._43),
            [&] { return second->angle <= -89.0f; }, 400, "the second door swung open")))
      return false;
    if (!(WalkTo(1.7f, 30.0f, 0.2f, 200))) return false;
    if (!(WalkTo(1.7f, 35.0f, 0.2f, 200))) return false;
    if (!(ReachGoalAndSeeNext(0.0f, 38.0f, "CSceneGame"))) return false;
    return true;
  }
  // The running player's magic state.
  std::shared_ptr<CPlayerMagicState> LockMagic() const
  {
    const CGamePlayer* player = Player();
    if (!player) return nullptr;
    return std::static_pointer_cast<CPlayerMagicState>(player->GetMagicState().lock());
  }
};

}  // namespace

TEST_F(MagicRoute, ToggledBlueStartsAtOneClickAndStopsAtTheNext)
{
  const ToggledMagic toggled(true);
  DrawEvery(kRouteDrawInterval);
  ASSERT_TRUE(ContinueAtStage(2));
  ASSERT_TRUE(SkipOpening());
  CGameMetalBlock* block = Block(0);
  ASSERT_NE(block, nullptr);
  ASSERT_TRUE(WalkTo(0.0f, 11.0f, 0.3f, 400));
  ASSERT_TRUE(WalkTo(1.0f, 15.5f, 0.3f, 400));
  ASSERT_TRUE(LookAt(D3DXVECTOR3(block->world._41, block->world._42 + 1.5f, block->world._43)));
  Frames(1);
  const float startDistance = DistanceTo(*block);

  // ---- one click: the wind-up and the ray, with no button held ----
  TapButton(VK_LBUTTON);
  Frames(24);
  EXPECT_EQ(Magic()->blueCasting, 1) << "casting with the button up";
  EXPECT_EQ(Charge(Blue)->active, 1) << "the same wind-up as held magic";
  EXPECT_EQ(Ray(Blue)->active, 0);
  ASSERT_TRUE(WaitFor([&] { return Ray(Blue)->locked != 0; }, 230, "the toggled ray to lock on the block"));
  EXPECT_EQ(block->magicColour, Blue);
  // Blue still keeps the camera from turning towards smaller yaw.
  const float yaw = Camera()->yaw;
  MoveMouse(-120, 0);
  Frames(1);
  EXPECT_EQ(Camera()->yaw, yaw);
  ASSERT_TRUE(WaitFor([&] { return DistanceTo(*block) <= 3.0f; }, 400, "the block to come to 3.0"));
  EXPECT_LT(DistanceTo(*block), startDistance - 1.0f);

  // ---- the next click lets go ----
  TapButton(VK_LBUTTON);
  Frames(1);
  EXPECT_EQ(Ray(Blue)->active, 0);
  EXPECT_EQ(block->magicColour, None);
  EXPECT_EQ(Ray(Blue)->cancelSound->playing, 1);
  Frames(30);
  EXPECT_EQ(Magic()->blueCasting, 0) << "stays off without another click";
  EXPECT_EQ(Charge(Blue)->active, 0);
}

TEST_F(MagicRoute, HeldMagicIgnoresAClickShorterThanAFrame)
{
  const ToggledMagic held(false);
  DrawEvery(kRouteDrawInterval);
  ASSERT_TRUE(ContinueAtStage(2));
  ASSERT_TRUE(SkipOpening());
  TapButton(VK_LBUTTON);
  Frames(60);
  EXPECT_EQ(Magic()->blueCasting, 0);
  EXPECT_EQ(Charge(Blue)->active + Ray(Blue)->active, 0);
}

TEST_F(ToggledStageRoute, StageFiveRotationDoorsOpenWithToggledMagic)
{
  const ToggledMagic toggled(true);
  ASSERT_TRUE(PlayStageFiveToggled());
  ASSERT_TRUE(WaitFor([&] { return CurrentScene() != stage; }, 120, "the switch to stage 6"));
  EXPECT_EQ(application->stageNumber, 6);
}

TEST_F(ToggledStageRoute, AToggledClearPlaysBackToTheBitWhateverThePlayersOwnSetting)
{
  std::string path;
  {
    const ToggledMagic toggled(true);
    const std::string before = LastReplayWritten();
    ASSERT_TRUE(PlayStageFiveToggled());
    ASSERT_TRUE(WaitFor([&] { return LastReplayWritten() != before; }, 400, "the attempt's replay"));
    path = LastReplayWritten();
  }
  ReplayFile replay;
  ASSERT_EQ(LoadReplayForPlay(path, &replay), "");
  EXPECT_TRUE(replay.header.magicToggle);
  const auto pressed = [](const ReplayTick& tick) { return (tick.buttons & kReplayLeftPressed) != 0; };
  EXPECT_EQ(std::count_if(replay.ticks.begin(), replay.ticks.end(), pressed), 4) << "two clicks on, two off";
  EXPECT_GT(replay.header.clearTick, 0);

  const ToggledMagic held(false);
  std::string line;
  EXPECT_TRUE(VerifyReplay(replay, "toggled", &line)) << line;
  EXPECT_NE(line.find("cleared at tick " + std::to_string(replay.header.clearTick)), std::string::npos) << line;
  EXPECT_FALSE(RunSettings().magicToggle) << "the player's own setting is back after the replay";

  // The setting matters: the same ticks under held magic never swing the doors.
  ReplayFile asHeld = replay;
  asHeld.header.magicToggle = false;
  EXPECT_FALSE(VerifyReplay(asHeld, "held", &line)) << line;
  EXPECT_NE(line.find("DIVERGES"), std::string::npos) << line;
}
