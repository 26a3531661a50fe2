// The stage sets on the title: the bottom-left corner button only while a set is
// installed (the title as ever without one), beside the records button and as large as
// it, opening the chooser; the chooser's rows (name, stages, saved stage, best time), its
// keys, a set that cannot be played named on the page, a good one begun, and Escape back
// to the title's menu.
#include "title_fixture.h"

#include <filesystem>
#include <fstream>

#include "app/application.h"
#include "app/source_stage.h"
#include "app/stage_set.h"
#include "scene/scene_stage_sets.h"
#include "scene/scene_title.h"
#include "sprite/sprite_stage_sets.h"

namespace fs = std::filesystem;

namespace {

const char kWalkStage[] =
    "# a hall, the goal ahead\r\nmagic none\r\nfloor stone -8 -8 8 24 0\r\nactor CGameGoal 0 0 16\r\n";
const char kBadStage[] = "floor stone -8 -8 8 24 0\nactor CGameGoal 0 0 16\nactor CGameDor 0 0 4\n";

class StageSetsPageTest : public TitleTest {
protected:
  // No set is left for the next test.
  void TearDown() override
  {
    EndStageSet();
    TitleTest::TearDown();
    fs::remove_all(StageSetsFolder());
  }
  // A set under the installed sets' folder, its stages with this text.
  static void Install(const std::string& name, int count, const char* text)
  {
    const std::string folder = StageSetsFolder() + "/" + name;
    fs::create_directories(folder);
    for (int i = 1; i <= count; ++i) std::ofstream(folder + "/stage" + std::to_string(i) + ".txt") << text;
  }
  // The title begun again, as after the page or a stage.
  void RestartTitle()
  {
    application->EndLoop();
    application->BeginLoop(std::make_shared<CSceneTitle>());
  }
  // The title's stage sets button, or null.
  CTitleStageSetsButton* SetsButton() const
  {
    for (const std::shared_ptr<CSpriteBase>& sprite : Title()->frontSprites) {
      if (auto* found = dynamic_cast<CTitleStageSetsButton*>(sprite.get())) return found;
    }
    return nullptr;
  }
  // The chooser when it runs.
  std::shared_ptr<CSceneStageSets> Chooser() const
  {
    return std::dynamic_pointer_cast<CSceneStageSets>(GetCurrentScene());
  }
};

}  // namespace

TEST_F(StageSetsPageTest, TheCornerButtonShowsOnlyWithASetAndOpensTheChooser)
{
  ASSERT_EQ(SetsButton(), nullptr) << "no set installed: the title as it always was";
  EXPECT_EQ(Title()->frontSprites.size(), 4u);
  fs::create_directories(StageSetsFolder() + "/empty");
  RestartTitle();
  EXPECT_EQ(SetsButton(), nullptr) << "a folder that is not a set does not count";

  Install("alpha", 1, kWalkStage);
  RestartTitle();
  OpenMenu();
  WaitUntilReady();
  ASSERT_NE(SetsButton(), nullptr);
  const MenuButton& sets = SetsButton()->button;
  const MenuButton* records = nullptr;
  for (const std::shared_ptr<CSpriteBase>& sprite : Title()->frontSprites) {
    if (auto* found = dynamic_cast<CTitleRecordsButton*>(sprite.get())) records = &found->button;
  }
  ASSERT_NE(records, nullptr);
  EXPECT_FLOAT_EQ(sets.position._41, 24.0f) << "the bottom-left corner";
  EXPECT_FLOAT_EQ(sets.position._42, records->position._42) << "level with the records button";
  EXPECT_FLOAT_EQ(PictureWidth(sets.texture), PictureWidth(records->texture));
  EXPECT_FLOAT_EQ(PictureHeight(sets.texture), PictureHeight(records->texture));
  EXPECT_FLOAT_EQ(records->position._41, 976.0f) << "the records button keeps its place";
  EXPECT_FLOAT_EQ(records->position._42, 624.0f);

  PointAtButton(sets);
  Frames(1);
  Click();
  Frames(1);
  EXPECT_EQ(Title()->titleState, 2);
  for (int i = 0; i < 80 && !Chooser(); ++i) Frames(1);
  ASSERT_NE(Chooser(), nullptr);
}

TEST_F(StageSetsPageTest, RowsKeysAndChoicesOfTheChooser)
{
  Install("alpha", 2, kWalkStage);
  Install("beta", 1, kBadStage);
  std::ofstream(StageSetsFolder() + "/alpha/save.dat") << "2\r\n";
  std::ofstream(StageSetsFolder() + "/alpha/records.txt") << "stage 1 300\ngame 900\n";
  fs::create_directories(StageSetsFolder() + "/gamma");
  application->EndLoop();
  application->BeginLoop(std::make_shared<CSceneStageSets>());
  PointAway();
  Frames(2);
  ASSERT_NE(Chooser(), nullptr);
  CStageSetsPage& page = *Chooser()->page;
  ASSERT_EQ(page.sets.size(), 2u) << "gamma has no stage1.txt";
  EXPECT_EQ(page.RowName(0), "alpha");
  EXPECT_EQ(page.RowStages(0), "2 STAGES");
  EXPECT_EQ(page.RowSaved(0), "STAGE 2");
  EXPECT_EQ(page.RowBest(0), "0:14.40");
  EXPECT_EQ(page.RowStages(1), "1 STAGE");
  EXPECT_EQ(page.RowBest(1), "-:--.--");

  // Down to beta, whose stage fails the check: the page names it and stays.
  EXPECT_EQ(page.selected, 0);
  TapKey(VK_DOWN);
  Frames(1);
  EXPECT_EQ(page.selected, 1);
  TapKey(VK_RETURN);
  Frames(1);
  EXPECT_EQ(page.message.rfind("beta/stage1.txt:3:7: error:", 0), 0u) << page.message;
  EXPECT_EQ(Chooser()->leaving, 0);
  EXPECT_FALSE(StageSetActive());
  TapKey(VK_DOWN);
  Frames(1);
  EXPECT_EQ(page.selected, page.BackIndex());
  TapKey(VK_DOWN);
  Frames(1);
  EXPECT_EQ(page.selected, 0) << "down from the back button wraps to the first set";

  // Alpha starts at its saved stage behind the fade.
  const int gameStage = application->stageNumber;
  TapKey(VK_RETURN);
  Frames(1);
  ASSERT_TRUE(StageSetActive());
  EXPECT_EQ(StageSetStage(), 2);
  EXPECT_EQ(Chooser()->setStarted, 1);
  EXPECT_EQ(application->fadeOut, 1);
  EndStageSet();
  EXPECT_EQ(application->stageNumber, gameStage);
}

TEST_F(StageSetsPageTest, EscapeReturnsToTheTitleMenu)
{
  Install("alpha", 1, kWalkStage);
  application->EndLoop();
  application->BeginLoop(std::make_shared<CSceneStageSets>());
  PointAway();
  Frames(2);
  ASSERT_NE(Chooser(), nullptr);
  TapKey(VK_ESCAPE);
  Frames(1);
  EXPECT_EQ(Chooser()->page->backChosen, 1);
  for (int i = 0; i < 80 && !Title(); ++i) Frames(1);
  ASSERT_NE(Title(), nullptr);
  EXPECT_EQ(Title()->titleState, 1) << "the menu, not the prompt";
  EXPECT_FALSE(StageSetActive());
}
