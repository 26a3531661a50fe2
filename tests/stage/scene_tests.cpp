// The game scene's frame without a device: loading, the toggles, the actor and effect
// steps, and what follows a stage.
#include <fstream>
#include <sstream>

#include "app/application.h"
#include "actor/game_camera.h"
#include "app/input.h"
#include "scene/scene_game.h"
#include "sprite/sprite_base.h"
#include "stage_support.h"
#include "test_seam.h"

namespace {

class GameScene : public ::testing::Test {
protected:
  void SetUp() override
  {
    application = CApplication::GetInstance();
    application->stageNumber = 1;
    application->fadeAlpha = 0;
    application->fadeOut = 0;
    application->input = InputSnapshot();
    Win32TestTakeMessageBoxes();
  }
  void TearDown() override
  {
    if (scene) scene->Uninit(nullptr);
    scene.reset();
    application->input = InputSnapshot();
  }
  // A started scene for the stage, with its stage file written first.
  void Start(int stage, const std::string& stageFile)
  {
    application->stageNumber = stage;
    folder.Write("res/dat/map." + std::to_string(stage) + ".dat", stageFile);
    scene = std::make_shared<CSceneGame>();
    scene->Init();
  }
  // One Update with one frame's input edges.
  std::shared_ptr<CSceneBase> Frame(int space = 0, int escape = 0)
  {
    application->input.spacePressed = space;
    application->input.escapePressed = escape;
    std::shared_ptr<CSceneBase> next = scene->Update();
    application->input = InputSnapshot();
    return next;
  }
  // The save file's text, "" when there is none.
  static std::string SaveText()
  {
    std::ifstream file("res/dat/save.dat", std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }

  ScratchFolder folder{"scene"};
  CApplication* application = nullptr;
  std::shared_ptr<CSceneGame> scene;
};

}  // namespace

TEST_F(GameScene, InitLinksTheSceneAndStartsWithTheMap)
{
  Start(1, "");
  EXPECT_EQ(scene->nextScene, scene);
  EXPECT_EQ(scene->requestedScene, scene);
  EXPECT_EQ(CActorBase::currentScene.lock(), scene);
  EXPECT_EQ(CEffectBase::currentScene.lock(), scene);
  EXPECT_EQ(CSpriteBase::currentScene.lock(), scene);
  ASSERT_EQ(scene->actors.size(), 3u);
  EXPECT_EQ(scene->actors[0]->GetName(), "CGameMap");
  EXPECT_EQ(scene->actors[1], scene->player);
  EXPECT_EQ(scene->actors[2], scene->camera);
  EXPECT_EQ(scene->player->GetName(), "CGamePlayer");
  EXPECT_EQ(scene->camera->GetName(), "CGameCamera");
  EXPECT_EQ(scene->GetPlayer().lock(), scene->player);
  EXPECT_EQ(scene->GetCamera().lock(), scene->camera);
  EXPECT_EQ(scene->cameraEvent, 1);
  EXPECT_TRUE(Win32TestTakeMessageBoxes().empty()) << "an empty stage file is no error";
  EXPECT_TRUE(Win32TestCursorHidden());
  EXPECT_EQ(Frame(), scene) << "stays";

  // Uninit lets go of the scene's references to itself.
  std::weak_ptr<CSceneGame> watch = scene;
  scene->Uninit(nullptr);
  EXPECT_TRUE(scene->actors.empty());
  scene.reset();
  EXPECT_TRUE(watch.expired());
  EXPECT_TRUE(CActorBase::currentScene.expired());
}

TEST_F(GameScene, QuittingDuringAStageLetsTheSceneGo)
{
  application->stageNumber = 1;
  folder.Write("res/dat/map.1.dat", "");
  std::shared_ptr<CSceneGame> running = std::make_shared<CSceneGame>();
  std::weak_ptr<CSceneGame> watch = running;
  std::weak_ptr<CActorBase> player;
  application->BeginLoop(running);
  player = running->player;
  EXPECT_EQ(running->Update(), running) << "the stage keeps itself";
  running.reset();
  application->EndLoop();
  EXPECT_TRUE(watch.expired()) << "the stage outlived the loop";
  EXPECT_TRUE(player.expired());
}

TEST_F(GameScene, MissingStageFileReportsAndGoesToTheTitleWithoutAFade)
{
  application->stageNumber = 5;
  scene = std::make_shared<CSceneGame>();
  scene->Init();
  const std::vector<Win32MessageBoxRecord> boxes = Win32TestTakeMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "ファイルオープンに失敗しました");
  EXPECT_EQ(boxes[0].caption, "失敗");
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
  const std::shared_ptr<CSceneBase> next = Frame();
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(next->GetName(), "CSceneTitle");
  EXPECT_EQ(application->fadeOut, 0);
  EXPECT_EQ(application->stageNumber, 5);
  EXPECT_EQ(SaveText(), "");
}

TEST_F(GameScene, StageNumbersOutsideOneToEightAreMissingStageFiles)
{
  // 12 would otherwise be cut to one digit and open stage 1's file.
  folder.Write("res/dat/map.1.dat", "");
  folder.Write("res/dat/map.9.dat", "");
  folder.Write("res/dat/map.0.dat", "");
  for (const int stage : {0, 9, 12, -3}) {
    application->stageNumber = stage;
    scene = std::make_shared<CSceneGame>();
    scene->Init();
    EXPECT_EQ(Win32TestTakeMessageBoxes().size(), 1u) << stage;
    const std::shared_ptr<CSceneBase> next = Frame();
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->GetName(), "CSceneTitle") << stage;
    scene->Uninit(nullptr);
  }
}

TEST_F(GameScene, DestroyedActorIsUpdatedThenRemovedKeepingTheOrder)
{
  Start(1, "");
  auto first = std::make_shared<CTestActor>("A");
  auto doomed = std::make_shared<CTestActor>("B");
  auto last = std::make_shared<CTestActor>("C");
  doomed->destroyOnUpdate = 1;
  scene->actors.push_back(first);
  scene->actors.push_back(doomed);
  scene->actors.push_back(last);
  scene->pendingActors.push_back(std::make_shared<CTestActor>("CNoSuchGimmick"));
  Frame();
  EXPECT_EQ(doomed->updates, 1) << "updated in the frame it is destroyed";
  ASSERT_EQ(scene->actors.size(), 5u) << "map, player, camera, first, last";
  EXPECT_EQ(scene->actors[3], first);
  EXPECT_EQ(scene->actors[4], last);
  EXPECT_TRUE(scene->pendingActors.empty()) << "the queue is drained; an unknown class creates nothing";
  for (const auto& actor : scene->actors) EXPECT_NE(actor, doomed) << "so it is not drawn";
  Frame();
  EXPECT_EQ(first->updates, 2);
  EXPECT_EQ(doomed->updates, 1);
}

TEST_F(GameScene, EffectsAreSortedFarToNearEveryFrame)
{
  Start(1, "");
  // A camera of its own, outside the actor list, so that only the test moves its eye.
  auto camera = std::make_shared<CGameCamera>();
  camera->eye = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
  scene->camera = camera;
  auto a = std::make_shared<CTestEffect>(1, 0, 0, 1);
  auto b = std::make_shared<CTestEffect>(2, 0, 0, 5);
  auto c = std::make_shared<CTestEffect>(3, 3, 0, 0);
  auto gone = std::make_shared<CTestEffect>(4, 0, 0, 9);
  gone->finishOnUpdate = 1;
  scene->effects = {a, b, c, gone};
  Frame();
  ASSERT_EQ(scene->effects.size(), 3u) << "the finished one is removed";
  EXPECT_EQ(gone->updates, 1);
  EXPECT_EQ(scene->effects[0], b);
  EXPECT_EQ(scene->effects[1], c);
  EXPECT_EQ(scene->effects[2], a);

  // Nothing queued, nothing finished: the list is still sorted again.
  a->world._43 = 20.0f;
  camera->eye.x = 3.0f;  // the camera moved too
  Frame();
  EXPECT_EQ(scene->effects[0], a);
  EXPECT_EQ(scene->effects[1], b);
  EXPECT_EQ(scene->effects[2], c);
}

TEST_F(GameScene, SpacePausesOnlyWhileNothingHoldsTheStage)
{
  Start(1, "");
  Frame(1);
  EXPECT_EQ(scene->paused, 0) << "blocked during the opening";
  scene->cameraEvent = 0;
  Frame(1);
  EXPECT_EQ(scene->paused, 1);
  EXPECT_FALSE(Win32TestCursorHidden()) << "the menu needs the cursor";
  Frame(1);
  EXPECT_EQ(scene->paused, 0);
  EXPECT_TRUE(Win32TestCursorHidden());
  Frame();
  EXPECT_EQ(scene->paused, 0) << "no Space, no change";

  int* blockers[] = {&scene->goalReached, &scene->orbObtained, &scene->escapeOpen};
  for (int* flag : blockers) {
    *flag = 1;
    Frame(1);
    EXPECT_EQ(scene->paused, 0);
    *flag = 0;
  }
}

TEST_F(GameScene, EscapeTogglesInAnyPhaseUnlessAFadeRuns)
{
  Start(1, "");
  Frame(0, 1);
  EXPECT_EQ(scene->escapeOpen, 1) << "not blocked by the opening";
  EXPECT_FALSE(Win32TestCursorHidden());
  Frame(0, 1);
  EXPECT_EQ(scene->escapeOpen, 0);
  EXPECT_TRUE(Win32TestCursorHidden());

  scene->cameraEvent = 0;
  Frame(1);
  ASSERT_EQ(scene->paused, 1);
  Frame(0, 1);
  EXPECT_EQ(scene->paused, 0) << "Escape always clears the pause";
  EXPECT_EQ(scene->escapeOpen, 1);
  Frame(0, 1);

  scene->goalReached = 1;
  Frame(0, 1);
  EXPECT_EQ(scene->escapeOpen, 1) << "not blocked by the goal";
  application->fadeAlpha = 40;
  Frame(0, 1);
  EXPECT_EQ(scene->escapeOpen, 1) << "ignored while a fade runs";
}

TEST_F(GameScene, ClearingStageThreeSavesFourAfterTheFade)
{
  Start(3, "");
  scene->cameraEvent = 0;
  scene->goalReached = 1;
  scene->RequestScene(std::make_shared<CSceneGame>());
  application->fadeAlpha = 250;
  EXPECT_EQ(Frame(), scene) << "the old scene runs while the screen fades";
  EXPECT_EQ(application->fadeOut, 1);
  EXPECT_EQ(application->stageNumber, 3);
  EXPECT_EQ(SaveText(), "");

  application->fadeAlpha = 255;
  const std::shared_ptr<CSceneBase> next = Frame();
  ASSERT_NE(next, nullptr);
  EXPECT_NE(next, scene);
  EXPECT_EQ(next->GetName(), "CSceneGame");
  EXPECT_EQ(application->stageNumber, 4);
  EXPECT_EQ(SaveText(), "4\r\n");
  EXPECT_EQ(scene->nextScene, nullptr) << "both references let go";
  EXPECT_EQ(scene->requestedScene, nullptr);

  // The new scene reads stage 4's file: none here, so it reports it.
  folder.Write("res/dat/map.4.dat", "");
  auto fresh = std::static_pointer_cast<CSceneGame>(next);
  fresh->Init();
  EXPECT_TRUE(Win32TestTakeMessageBoxes().empty());
  fresh->Uninit(nullptr);
}

TEST_F(GameScene, TitleAfterTheGoalSavesNothing)
{
  Start(3, "");
  scene->goalReached = 1;
  scene->RequestScene(CreateSceneByName("CSceneTitle"));
  application->fadeAlpha = 255;
  const std::shared_ptr<CSceneBase> next = Frame();
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(next->GetName(), "CSceneTitle");
  EXPECT_EQ(application->stageNumber, 3);
  EXPECT_EQ(SaveText(), "");
}

TEST_F(GameScene, RetryWithoutTheGoalKeepsTheStage)
{
  Start(2, "");
  scene->RequestScene(std::make_shared<CSceneGame>());
  application->fadeAlpha = 255;
  const std::shared_ptr<CSceneBase> next = Frame();
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(next->GetName(), "CSceneGame");
  EXPECT_EQ(application->stageNumber, 2);
  EXPECT_EQ(SaveText(), "");
}
