// Route: stage 1 from the title to the goal. Start from the title, watch the stage's
// banner slide in and out during the opening, skip the rest with Space, look round with
// the mouse, pass the torches, walk into the blue orb in the corridor and click its
// message away once it has settled, walk into the great hall, climb the stairs, go down
// and up the ramp, reach the goal, watch the three hops under the clear lettering and
// the walk-off, and see stage 2 requested and saved.
#include "playthrough.h"

#include <cmath>

#include "actor/game_camera.h"
#include "actor/gimmick/game_torch.h"
#include "actor/player/game_player.h"
#include "actor/player/player_arm.h"
#include "actor/player/player_magic_state.h"
#include "actor/player/player_goal_state.h"
#include "actor/player/player_upper_body.h"
#include "actor/player/player_walk_state.h"
#include "app/records.h"
#include "app/stage_clock.h"
#include "scene/scene_game.h"
#include "scene/scene_title.h"
#include "sprite/sprite_clear_time.h"
#include "sprite/sprite_hud.h"

namespace {

// The goal stage 1 places, from its stage source.
const D3DXVECTOR3 goalPlace(0.0f, 2.7f, 34.5f);

// The first sprite of a class among the stage's sprites, or null.
template <class T>
T* FindSprite(const std::shared_ptr<CSceneGame>& game)
{
  for (const std::shared_ptr<CSpriteBase>& sprite : game->sprites) {
    if (T* found = dynamic_cast<T*>(sprite.get())) return found;
  }
  return nullptr;
}

// The player's goal state, or null.
std::shared_ptr<CPlayerGoalState> GoalState()
{
  return LockGoalState();
}

}  // namespace

TEST_F(PlaythroughTest, StageOneFromTheTitleToTheGoal)
{
  // ---- the title: click, then Start ----
  DrawEvery(kRouteDrawInterval);  // drawing is not what this route tests; screenshots draw their frame
  Frames(30);
  Screenshot("route-stage1-00-title.png");
  Click();
  Frames(1);
  ASSERT_NE(Title(), nullptr);
  ASSERT_EQ(Title()->titleState, 1) << "the click opened the menu";
  Frames(6);
  ClickButton("res/title/char/start.png");
  ASSERT_TRUE(WaitFor([&] { return Game() != nullptr; }, 80, "the stage to start after Start"));
  EXPECT_EQ(application->stageNumber, 1);

  // ---- the opening flight from the goal with the stage's banner, then Space ----
  const std::shared_ptr<CSceneGame> stage = Game();
  ASSERT_NE(Player(), nullptr);
  ASSERT_NE(Camera(), nullptr);
  EXPECT_EQ(stage->cameraEvent, 1);
  CSpriteStageTitle* banner = FindSprite<CSpriteStageTitle>(stage);
  ASSERT_NE(banner, nullptr);
  Frames(60);
  EXPECT_EQ(stage->cameraEvent, 1) << "the flight takes 334 frames";
  EXPECT_GT(Camera()->openingBlend, 0.15f);
  EXPECT_EQ(banner->bannerState, 0) << "the banner slides in";
  EXPECT_LT(banner->transform._41, 1280.0f - 60 * 8.0f + 8.0f);
  Frames(38);
  Screenshot("route-stage1-01-opening-flight.png");
  Screenshot("hud-banner.png");
  ASSERT_TRUE(WaitFor([&] { return banner->bannerState == 1; }, 60, "the banner to stop"));
  EXPECT_EQ(banner->transform._41, 240.0f) << "centred";
  ASSERT_TRUE(WaitFor([&] { return banner->bannerState == 2; }, 110, "the banner to leave"));
  ASSERT_TRUE(WaitFor([&] { return banner->transform._41 <= -800.0f; }, 140, "the banner off the left edge"));
  EXPECT_EQ(stage->cameraEvent, 1) << "the banner has come and gone inside the opening";
  Key(VK_SPACE, true);
  Frames(1);  // the snapshot sees the edge
  Key(VK_SPACE, false);
  Frames(1);  // the camera takes it: black at once, the opening over
  EXPECT_EQ(stage->cameraEvent, 0);
  EXPECT_EQ(stage->StageTicks(), 0) << "the clock starts when the player takes control";
  EXPECT_EQ(stage->paused, 0) << "Space during the opening does not pause";
  EXPECT_GE(application->fadeAlpha, 250);
  EXPECT_EQ(application->fadeOut, 0);
  ASSERT_TRUE(WaitFor([&] { return application->fadeAlpha == 0; }, 60, "the stage to fade in"));
  EXPECT_NEAR(PlayerPosition().y, 0.0f, 0.05f) << "standing on the entrance hall floor";
  Screenshot("route-stage1-02-start.png");

  // ---- looking round with the mouse ----
  ASSERT_TRUE(FaceDirection(120.0f));
  Frames(1);
  Screenshot("route-stage1-03-look-east.png");
  ASSERT_TRUE(LookAt(D3DXVECTOR3(0.0f, 6.0f, 12.0f)));
  EXPECT_LT(Camera()->pitch, 0.0f) << "looking up";
  ASSERT_TRUE(FaceDirection(0.0f));
  for (int i = 0; i < 3; ++i) {  // far down: the pitch stops at 45
    MoveMouse(0, 40 * 6);
    Frames(1);
  }
  Frames(1);
  EXPECT_EQ(Camera()->pitch, 45.0f);
  MoveMouse(0, -35 * 6);
  Frames(2);
  EXPECT_EQ(Camera()->pitch, 10.0f);

  // ---- past the torches, heard only close by ----
  std::vector<CGameTorch*> torches;
  for (const std::shared_ptr<CActorBase>& actor : stage->actors) {
    if (CGameTorch* torch = dynamic_cast<CGameTorch*>(actor.get())) torches.push_back(torch);
  }
  ASSERT_EQ(torches.size(), 2u);
  ASSERT_TRUE(WalkTo(0.0f, 4.5f, 0.3f, 200));
  ASSERT_TRUE(FaceDirection(0.0f));
  Frames(2);
  for (CGameTorch* torch : torches) {
    EXPECT_EQ(torch->settled, 1) << "standing on the floor";
    EXPECT_EQ(torch->fireRequest, 0) << "its fire asked for";
    EXPECT_EQ(torch->torchSound->playing, 0) << "too far to hear";
  }
  Screenshot("torch.png");
  ASSERT_TRUE(WalkTo(0.0f, 7.3f, 0.2f, 200));
  for (CGameTorch* torch : torches) EXPECT_EQ(torch->torchSound->playing, 1) << "crackling in passing";

  // ---- no magic yet: the left button casts nothing ----
  const std::shared_ptr<CPlayerMagicState> magic = LockMagicState();
  ASSERT_NE(magic, nullptr);
  EXPECT_EQ(magic->blueUnlocked, 0) << "blue comes with the orb on stage 1";
  HoldMouseButton(VK_LBUTTON, 10);
  EXPECT_EQ(magic->blueCasting, 0);
  Frames(2);

  // ---- the blue orb in the corridor ----
  ASSERT_TRUE(WalkTo(0.0f, 12.0f, 0.3f, 400));
  Frames(1);
  Screenshot("route-stage1-04-corridor.png");
  ASSERT_TRUE(WalkTo(0.0f, 21.5f, 0.3f, 400, [&] { return stage->orbObtained != 0; }));
  ASSERT_EQ(stage->orbObtained, 1) << "walked into the orb";
  const int ticksAtOrb = stage->StageTicks();
  EXPECT_GT(ticksAtOrb, 100) << "the walk to the orb is on the clock";
  EXPECT_LT(PlayerPosition().z, 13.0f) << "met on the way, before it was passed";
  CSpriteText* message = OrbMessage();
  ASSERT_NE(message, nullptr);
  Frames(5);
  EXPECT_LT(message->transform._42, message->restY) << "still sliding in";
  Click();
  Frames(2);
  EXPECT_EQ(message->closing, 0) << "a click while the box slides in is ignored";
  EXPECT_EQ(stage->orbObtained, 1);
  ASSERT_TRUE(WaitFor([&] { return message->transform._42 >= message->restY; }, 60, "the box to settle"));
  Frames(6);
  const auto* upper = dynamic_cast<const CPlayerUpperBody*>(Player()->bodyParts[0].get());
  const auto* leftArm = dynamic_cast<const CPlayerArm*>(Player()->bodyParts[1].get());
  EXPECT_EQ(upper->glee, 1) << "happy eyes";
  EXPECT_EQ(leftArm->orbPitch, -90.0f) << "arms raised";
  EXPECT_EQ(Camera()->yaw, 0.0f);
  Screenshot("orb-message.png");
  bool orbLeft = false;
  for (const std::shared_ptr<CActorBase>& actor : stage->actors)
    orbLeft = orbLeft || actor->GetName() == "CGameMagicOrb";
  EXPECT_FALSE(orbLeft) << "the orb flew into the player and was removed";
  Click();
  Frames(2);
  EXPECT_EQ(message->closing, 1) << "a click once it has settled closes it";
  ASSERT_TRUE(WaitFor([&] { return stage->orbObtained == 0; }, 40, "the box to fade and the game to resume"));
  EXPECT_EQ(stage->StageTicks(), ticksAtOrb) << "the orb message is off the clock";
  EXPECT_EQ(magic->blueUnlocked, 1) << "the orb taught blue magic";

  // ---- and now the left button casts blue ----
  bool casting = false;
  HoldMouseButton(VK_LBUTTON, 60, [&] {
    casting = casting || magic->blueCasting != 0;
    return false;
  });
  EXPECT_TRUE(casting) << "blue magic is cast while the left button is held";
  Frames(10);
  EXPECT_EQ(magic->blueCasting, 0) << "and released with it";

  // ---- into the great hall ----
  ASSERT_TRUE(WalkTo(0.0f, 21.5f, 0.3f, 400));
  EXPECT_NEAR(PlayerPosition().y, 0.0f, 0.05f);
  Frames(12);  // the walk cycle comes to rest
  Screenshot("route-stage1-05-great-hall.png");

  // ---- up the stairs ----
  ASSERT_TRUE(WalkTo(0.0f, 30.2f, 0.3f, 400));
  EXPECT_NEAR(PlayerPosition().y, 2.42f, 0.05f) << "on the dais at 2.4";
  ASSERT_TRUE(FaceDirection(180.0f));
  Frames(2);
  Screenshot("route-stage1-06-top-of-stairs.png");

  // ---- down the ramp and up again ----
  ASSERT_TRUE(WalkTo(10.0f, 30.5f, 0.3f, 400));
  ASSERT_TRUE(WalkTo(10.0f, 19.0f, 0.3f, 400));
  EXPECT_NEAR(PlayerPosition().y, 0.0f, 0.25f) << "at the foot of the ramp";
  ASSERT_TRUE(WalkTo(10.0f, 30.5f, 0.3f, 400));
  EXPECT_NEAR(PlayerPosition().y, 2.42f, 0.05f) << "back on the dais by the ramp";

  // ---- the goal ----
  ASSERT_TRUE(WalkTo(0.0f, 32.0f, 0.3f, 400, [&] { return stage->goalReached != 0; }));
  ASSERT_TRUE(WalkTo(goalPlace.x, goalPlace.z, 0.3f, 200, [&] { return stage->goalReached != 0; }));
  ASSERT_EQ(stage->goalReached, 1);
  {
    const D3DXVECTOR3 at = PlayerPosition();
    const D3DXVECTOR3 offset(at.x - goalPlace.x, at.y - goalPlace.y, at.z - goalPlace.z);
    EXPECT_LE(D3DXVec3Length(&offset), 2.3f + 0.11f) << "reached within the goal's radius (plus one step)";
  }

  // Keys do nothing now: the player only turns to the viewer.
  const D3DXVECTOR3 reachedAt = PlayerPosition();
  Key('W', true);
  ASSERT_TRUE(WaitFor([&] { return GoalState() && GoalState()->phase == 1; }, 60, "the turn to the viewer"));
  Key('W', false);
  EXPECT_NEAR(PlayerPosition().x, reachedAt.x, 0.11f);
  EXPECT_NEAR(PlayerPosition().z, reachedAt.z, 0.11f) << "W is ignored after the goal";
  Frames(12);
  Screenshot("route-stage1-07-goal-hop.png");
  const CSpriteClear* lettering = FindSprite<CSpriteClear>(stage);
  ASSERT_NE(lettering, nullptr);
  ASSERT_TRUE(WaitFor([&] { return lettering->clearPhase == 1; }, 110, "the clear letters to settle"));
  Screenshot("stage-clear.png");

  // ---- the clock: stopped at the touch, shown under the letters, kept in the records ----
  const int ticks = stage->StageTicks();
  EXPECT_TRUE(stage->clock.IsStopped());
  EXPECT_GT(ticks, ticksAtOrb + 600) << "the great hall, the stairs and the ramp take well over ten seconds";
  EXPECT_LT(ticks, 6000) << "the route is under two minutes of play";
  EXPECT_EQ(stage->clearTime.ticks, ticks);
  const CSpriteClearTime* clearTime = FindSprite<CSpriteClearTime>(stage);
  ASSERT_NE(clearTime, nullptr);
  EXPECT_EQ(clearTime->TimeText(), FormatClock(ticks));
  EXPECT_NE(clearTime->TimeText(), "-:--.--");
  EXPECT_EQ(CGameClock::GetInstance().Ticks(), ticks) << "New Game times the whole game from here";
  EXPECT_EQ(GameRecords().StageBest(1), ticks) << "the first time is the best";
  EXPECT_NE(RecordsFileText().find("stage 1 " + std::to_string(ticks) + "  # " + FormatClock(ticks)), std::string::npos)
      << RecordsFileText();
  ASSERT_TRUE(WaitFor([&] { return GoalState()->phase == 2; }, 130, "three hops"));
  EXPECT_EQ(GoalState()->hopCount, 3);
  EXPECT_EQ(Camera()->yaw, 0.0f) << "the camera swung back to its default heading";

  // The next stage is asked for on the frame the player has turned away.
  ASSERT_TRUE(WaitFor([&] { return GoalState()->phase == 3; }, 60, "the turn away"));
  EXPECT_NE(stage->requestedScene, stage);
  ASSERT_NE(stage->requestedScene, nullptr);
  EXPECT_EQ(stage->requestedScene->GetName(), "CSceneGame");
  EXPECT_EQ(application->stageNumber, 1) << "raised only at full black";
  Frames(20);
  Screenshot("route-stage1-08-walk-off.png");
  EXPECT_GT(PlayerPosition().z, reachedAt.z) << "walking off, away from the viewer";

  // ---- full black: stage 2 requested and saved ----
  ASSERT_TRUE(WaitFor([&] { return CurrentScene() != stage; }, 60, "the switch to the next stage"));
  EXPECT_EQ(CurrentScene()->GetName(), "CSceneGame");
  EXPECT_EQ(application->stageNumber, 2);
  EXPECT_EQ(SaveFileText(), "2\r\n");
}
