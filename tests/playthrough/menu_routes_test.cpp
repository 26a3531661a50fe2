// Routes through the menus: the title's Start and its quit question, and in a stage
// the pause menu (Resume, Retry) and the return-to-title question (No, Yes).
#include <cstdlib>
#include <fstream>

#include "actor/player/game_player.h"
#include "engine/graphics.h"
#include "playthrough.h"
#include "scene/scene_game.h"
#include "shader/shader_manager.h"
#include "scene/scene_title.h"
#include "test_seam.h"

namespace {

// The pixel at the centre of the back buffer, as ARGB.
D3DCOLOR CentrePixel()
{
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  const RECT one = {100, 650, 101, 651};
  D3DLOCKED_RECT locked;
  if (FAILED(graphics->backBuffer->LockRect(&locked, &one, D3DLOCK_READONLY))) return 0;
  const D3DCOLOR pixel = *static_cast<const D3DCOLOR*>(locked.pBits);
  graphics->backBuffer->UnlockRect();
  return pixel;
}

// True when red, green and blue are within a few steps of each other.
bool IsGrey(D3DCOLOR pixel)
{
  const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
  return std::abs(r - g) <= 3 && std::abs(g - b) <= 3;
}

}  // namespace

TEST_F(PlaythroughTest, TheTitleStartsStageOneAndAsksBeforeQuitting)
{
  DrawEvery(10);
  Frames(5);
  // Escape, No: still the title.
  Win32TestQueueMessageBoxAnswer(IDNO);
  TapKey(VK_ESCAPE);
  Frames(1);
  const std::vector<Win32MessageBoxRecord> asked = Win32TestTakeMessageBoxes();
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].text, "ゲームを終了しますか？");
  ASSERT_NE(Title(), nullptr) << "No keeps the title";
  Frames(3);

  // Click, Start: stage 1.
  application->stageNumber = 4;  // as if Continue would go to 4
  ASSERT_TRUE(StartNewGame());
  EXPECT_EQ(application->stageNumber, 1);
  EXPECT_EQ(Game()->cameraEvent, 1) << "the stage opens with the camera flight";

  // Back at a fresh title, Escape, Yes: the program ends.
  application->EndLoop();
  gate = std::make_shared<CDrawGate>(std::make_shared<CSceneTitle>());
  application->BeginLoop(gate);
  Frames(3);
  Win32TestQueueMessageBoxAnswer(IDYES);
  Key(VK_ESCAPE, true);
  EXPECT_TRUE(Frame());
  Key(VK_ESCAPE, false);
  EXPECT_FALSE(Frame()) << "Yes ends the program";
  EXPECT_EQ(Win32TestTakeMessageBoxes().size(), 1u);
}

TEST_F(PlaythroughTest, PauseResumeRetryAndTheReturnToTitleQuestion)
{
  DrawEvery(10);
  ASSERT_TRUE(StartNewGame());
  ASSERT_TRUE(SkipOpening());
  ASSERT_TRUE(WalkTo(0.0f, 4.0f, 0.3f, 200));
  const std::shared_ptr<CSceneGame> stage = Game();

  // Space pauses: the menu, a grey image, everything still.
  TapKey(VK_SPACE);
  Frames(1);
  ASSERT_EQ(stage->paused, 1);
  Screenshot("route-menu-paused.png");
  EXPECT_TRUE(IsGrey(CentrePixel())) << std::hex << CentrePixel();
  const D3DXVECTOR3 pausedAt = PlayerPosition();
  Key('W', true);
  Frames(10);
  Key('W', false);
  EXPECT_EQ(PlayerPosition(), pausedAt) << "nothing moves while paused";

  // Resume: playing again.
  ClickButton("res/game/sprite/restart.png");
  Frames(2);
  EXPECT_EQ(stage->paused, 0);
  ASSERT_TRUE(WalkTo(0.0f, 6.0f, 0.3f, 100));

  // Pause again, Retry: the same stage from the start.
  TapKey(VK_SPACE);
  Frames(1);
  ASSERT_EQ(stage->paused, 1);
  ClickButton("res/game/sprite/retry.png");
  ASSERT_TRUE(WaitFor([&] { return Game() && Game() != stage; }, 80, "the retried stage"));
  EXPECT_EQ(application->stageNumber, 1);
  EXPECT_EQ(Game()->cameraEvent, 1);
  ASSERT_TRUE(SkipOpening());
  Frames(1);
  EXPECT_NEAR(PlayerPosition().z, 0.0f, 1e-4f) << "back at the start";

  // Escape asks; No returns to the stage.
  const std::shared_ptr<CSceneGame> retried = Game();
  TapKey(VK_ESCAPE);
  Frames(1);
  ASSERT_EQ(retried->escapeOpen, 1);
  Screenshot("route-menu-escape.png");
  ClickButton("res/game/sprite/no.png");
  Frames(2);
  EXPECT_EQ(retried->escapeOpen, 0);

  // Escape, Yes: the title, nothing saved.
  std::ofstream("res/dat/save.dat") << "1\n";
  TapKey(VK_ESCAPE);
  Frames(1);
  ClickButton("res/game/sprite/yes.png");
  ASSERT_TRUE(WaitFor([&] { return Title() != nullptr; }, 80, "the title after Yes"));
  EXPECT_EQ(application->stageNumber, 1);
  EXPECT_EQ(SaveFileText(), "1\n");
}

// A stage lets go of what only the stage before it used: its pictures, and the puddle's
// targets when the new stage has no puddle. A retry finds the stage's own still cached.
TEST_F(PlaythroughTest, AStageLetsGoOfWhatOnlyTheStageBeforeUsed)
{
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  CPuddleShader& puddle = CShaderManager::GetInstance()->puddle;
  const auto titleOf = [&](int stage) {
    const auto found = graphics->textureCache.find("res/game/sprite/stage_title." + std::to_string(stage) + ".png");
    return found == graphics->textureCache.end() ? nullptr : found->second;
  };
  // As the loop switches scenes: the old one's Uninit, then the new one's Init.
  const auto switchTo = [&](int stage) {
    application->stageNumber = stage;
    const auto scene = std::make_shared<CSceneGame>();
    gate->inner->Uninit(scene);
    gate->inner = scene;
    scene->Init();
    Frames(2);
  };
  ASSERT_TRUE(StartNewGame());
  ASSERT_NE(titleOf(1), nullptr);

  switchTo(2);
  puddle.CreateTargets();  // as the puddle's first reflection does
  const std::weak_ptr<OstrelLibrary::CTexture> stageTwoTitle = titleOf(2);
  ASSERT_FALSE(stageTwoTitle.expired());
  EXPECT_EQ(titleOf(1), nullptr);
  switchTo(2);
  EXPECT_EQ(titleOf(2), stageTwoTitle.lock()) << "a retry loads nothing again";
  EXPECT_NE(puddle.reflectionTarget.texture, nullptr) << "stage 2 has a puddle";

  switchTo(1);
  EXPECT_EQ(titleOf(2), nullptr);
  EXPECT_EQ(puddle.reflectionTarget.texture, nullptr);
  EXPECT_EQ(puddle.reflectionDepth.surface, nullptr);
}
