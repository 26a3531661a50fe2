// Stage 1 played by the game scene's own actors: the player, driven by held keys, walks
// on the generated map, is held off its walls, takes the orb in the corridor, climbs the
// stairs and the ramp to the dais and reaches the goal.
#include <cstdlib>

#include "../render/render_fixture.h"
#include "actor/player/game_player.h"
#include "app/application.h"
#include "engine/sound.h"
#include "scene/scene_game.h"

namespace {

class StageOne : public RenderTest {
protected:
  void SetUp() override
  {
    RenderTest::SetUp();
    if (HasFatalFailure()) return;
    application = CApplication::GetInstance();
    application->stageNumber = 1;
    application->fadeAlpha = 0;
    application->input = InputSnapshot();
    scene = std::make_shared<CSceneGame>();
    scene->Init();
    scene->cameraEvent = 0;  // past the opening flight
    player = dynamic_cast<CGamePlayer*>(scene->player.get());
    ASSERT_NE(player, nullptr);
  }
  void TearDown() override
  {
    application->input = InputSnapshot();
    if (scene) scene->Uninit(nullptr);
    scene.reset();
    RenderTest::TearDown();
  }
  // Puts the player down at a point, standing.
  void PlaceAt(float x, float y, float z)
  {
    D3DXMatrixTranslation(&player->position, x, y, z);
    for (int i = 0; i < 5; ++i) scene->Update();
  }
  // Frames with the keys held; stops early once the goal is reached.
  void Walk(int frames, bool w, bool a, bool s, bool d)
  {
    for (int i = 0; i < frames && !scene->goalReached; ++i) {
      application->input.keyW = w;
      application->input.keyA = a;
      application->input.keyS = s;
      application->input.keyD = d;
      scene->Update();
    }
    application->input = InputSnapshot();
  }
  float X() const { return player->position._41; }
  float Y() const { return player->position._42; }
  float Z() const { return player->position._43; }

  CApplication* application = nullptr;
  std::shared_ptr<CSceneGame> scene;
  CGamePlayer* player = nullptr;
};

}  // namespace

TEST_F(StageOne, ThePlayerStandsOnTheFloorAtTheStart)
{
  PlaceAt(0, 0.5f, 0);
  Walk(20, false, false, false, false);
  EXPECT_NEAR(Y(), 0.02f, 0.01f);
  EXPECT_EQ(player->onGround, 1);
}

TEST_F(StageOne, WallsHoldThePlayerInside)
{
  PlaceAt(0, 0.02f, 0);
  Walk(200, false, true, false, false);  // west, into the entrance hall's wall at x = -7
  EXPECT_NEAR(X(), -7.0f + 0.7f, 0.15f);
  PlaceAt(0, 0.02f, 0);
  Walk(200, false, false, true, false);  // south, into the wall at z = -7
  EXPECT_NEAR(Z(), -7.0f + 0.7f, 0.15f);
  EXPECT_NEAR(Y(), 0.02f, 0.01f);
  Walk(300, false, false, false, true);  // east along the south wall, into the east wall
  EXPECT_NEAR(X(), 7.0f - 0.7f, 0.15f);
  EXPECT_NEAR(Z(), -7.0f + 0.7f, 0.15f);
}

TEST_F(StageOne, TheStairsLeadToTheDaisAndTheGoal)
{
  PlaceAt(0, 0.02f, 0);
  Walk(200, true, false, false, false);  // north into the corridor, where the blue orb waits
  EXPECT_EQ(scene->orbObtained, 1) << "the orb stops the player at z " << Z();
  // Clicking every frame: only the clicks after the message box has settled count.
  for (int i = 0; i < 120 && scene->orbObtained; ++i) {
    application->input.clicked = 1;
    scene->Update();
  }
  application->input = InputSnapshot();
  EXPECT_EQ(scene->orbObtained, 0);
  Walk(600, true, false, false, false);  // on north: corridor, great hall, stairs
  EXPECT_EQ(scene->goalReached, 1) << "stopped at z " << Z() << ", height " << Y();
  EXPECT_GT(Y(), 2.4f) << "on the dais";
}

TEST_F(StageOne, TheRampLeadsToTheDaisToo)
{
  PlaceAt(10.0f, 0.02f, 18.0f);
  Walk(130, true, false, false, false);  // north up the ramp along the east wall
  EXPECT_GT(Z(), 29.5f);
  EXPECT_NEAR(Y(), 2.42f, 0.05f) << "on the dais";
}

TEST_F(StageOne, TallBlocksStopThePlayerAndLowOnesAreSteppedOnto)
{
  PlaceAt(5.5f, 0.02f, 3.0f);
  Walk(80, true, false, false, false);  // the 1.6 block at z 5..7
  EXPECT_NEAR(Z(), 5.0f - 0.7f, 0.15f);
  EXPECT_LT(Y(), 0.1f);
  PlaceAt(-5.5f, 0.02f, -2.0f);
  Walk(40, false, false, true, false);  // the 0.6 plinth at z -6.5..-4.5
  EXPECT_NEAR(Y(), 0.62f, 0.05f);
}

TEST_F(StageOne, MusicIsQuietWhileTheStageIsHeldAndFadesWithTheScreen)
{
  // OpenAL's null output: a device with buffers and volumes, heard by nobody.
  setenv("ALSOFT_DRIVERS", "null", 0);
  OstrelLibrary::InitSound(nullptr);
  ASSERT_NE(OstrelLibrary::directSound, nullptr);
  scene->Uninit(nullptr);
  scene = std::make_shared<CSceneGame>();
  scene->Init();
  ASSERT_NE(scene->bgm->buffer, nullptr) << "res/sound/game_bgm.wav";
  EXPECT_EQ(scene->bgm->playing, 1);

  scene->Update();  // the opening runs
  EXPECT_EQ(scene->bgm->volume, -1000);
  scene->cameraEvent = 0;
  for (int i = 0; i < 10; ++i) scene->Update();
  EXPECT_EQ(scene->bgm->volume, -1000 + 10 * 35);
  scene->paused = 1;
  scene->Update();
  EXPECT_EQ(scene->bgm->volume, -1000) << "straight back down for the menu";
  scene->paused = 0;
  for (int i = 0; i < 40; ++i) scene->Update();
  EXPECT_EQ(scene->bgm->volume, 0) << "full volume, no further";

  // A change asked for: the music sinks with the fade, whatever the flags say.
  scene->paused = 1;
  scene->RequestScene(CreateSceneByName("CSceneTitle"));
  for (int i = 0; i < 3; ++i) scene->Update();
  EXPECT_EQ(scene->bgm->volume, -105);
  application->fadeOut = 0;

  // After the goal the music stops.
  scene->Uninit(nullptr);
  scene = std::make_shared<CSceneGame>();
  scene->Init();
  scene->goalReached = 1;
  scene->Update();
  EXPECT_EQ(scene->bgm->playing, 0);
  scene->Uninit(nullptr);
  scene.reset();
  OstrelLibrary::UninitSound();
}
