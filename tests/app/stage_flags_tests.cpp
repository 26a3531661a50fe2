// The stage maker's flags: --check-stage and --stage on the command line, and the
// source stage built for a run: its files, its pictures found in res/, its magic, the
// refusal of a source with errors, and the folder gone afterwards.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/command_line.h"
#include "app/source_stage.h"

namespace {

// A file of the test's with this text; its path.
std::string WriteSource(const std::string& name, const std::string& text)
{
  const std::string path = ::testing::TempDir() + "/" + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

// A whole file's text.
std::string ReadText(const std::string& path)
{
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

const char kSmallStage[] =
    "floor stone -5 -5 5 5 0\nbox trim 2 0 2 4 3 4\nsky -20 -20 20 20 -5 30\n"
    "actor CGameGoal 3 3 3\nmagic red\n";

}  // namespace

TEST(StageFlags, CheckStageAndStageTakeAFile)
{
  const char* check[] = {"--check-stage", "my stage.txt"};
  const CommandLineResult checked = ParseCommandLine(2, check);
  EXPECT_EQ(checked.action, CommandLineAction::CheckStage);
  EXPECT_EQ(checked.stageSource, "my stage.txt");

  const char* play[] = {"--windowed", "--stage", "a.txt"};
  const CommandLineResult played = ParseCommandLine(3, play);
  EXPECT_EQ(played.action, CommandLineAction::Run);
  EXPECT_EQ(played.stageSource, "a.txt");
  EXPECT_EQ(played.fullScreen, FullScreenChoice::No) << "other flags still count";

  for (const char* flag : {"--stage", "--check-stage"}) {
    const char* alone[] = {flag};
    const CommandLineResult failed = ParseCommandLine(1, alone);
    EXPECT_EQ(failed.action, CommandLineAction::Fail) << flag;
    EXPECT_NE(failed.message.find("needs a stage source file"), std::string::npos) << failed.message;
  }
  const std::string help = HelpText();
  EXPECT_NE(help.find("--stage FILE"), std::string::npos);
  EXPECT_NE(help.find("--check-stage FILE"), std::string::npos);
}

TEST(SourceStage, IsBuiltWithItsPicturesFromResItsMagicAndRemovedAfterwards)
{
  std::string report;
  ASSERT_TRUE(BuildSourceStage(WriteSource("small.txt", kSmallStage), &report)) << report;
  const SourceStage stage = CurrentSourceStage();
  EXPECT_TRUE(stage.active);
  EXPECT_EQ(stage.magic, 1) << "red only";
  EXPECT_EQ(SourceStageNumber(), 2);
  EXPECT_EQ(ReadText(stage.stageFile), "CGameGoal 3 3 3\n");

  // Every picture the map names is found from the map's folder, as the engine looks.
  const std::string map = ReadText(stage.mapMesh);
  size_t at = 0;
  int pictures = 0;
  while ((at = map.find("TextureFilename {\n    \"", at)) != std::string::npos) {
    at += 23;
    const std::string name = map.substr(at, map.find('"', at) - at);
    EXPECT_TRUE(std::filesystem::exists(stage.folder + "/" + name)) << name;
    ++pictures;
  }
  EXPECT_EQ(pictures, 2) << "stone and trim";
  EXPECT_NE(map.find("   0.850980;0.945098;1.000000;;\n  }"), std::string::npos) << "the horizon's haze glows";
  EXPECT_NE(map.find("   0.247059;0.560784;0.937255;;\n  }"), std::string::npos) << "and the zenith's blue";
  EXPECT_FALSE(ReadText(stage.depthMesh).empty());

  RemoveSourceStage();
  EXPECT_FALSE(CurrentSourceStage().active);
  EXPECT_FALSE(std::filesystem::exists(stage.folder));
}

TEST(SourceStage, ASourceWithErrorsOrNoFileIsRefusedWithTheReport)
{
  std::string report;
  const std::string bad = WriteSource("bad.txt", std::string(kSmallStage) + "box stone 0 0\n");
  EXPECT_FALSE(BuildSourceStage(bad, &report));
  EXPECT_NE(report.find(bad + ":6:14: error: box needs"), std::string::npos) << report;
  EXPECT_FALSE(CurrentSourceStage().active);
  EXPECT_FALSE(BuildSourceStage(::testing::TempDir() + "/none.txt", &report));
  EXPECT_NE(report.find("cannot be read"), std::string::npos) << report;
  EXPECT_FALSE(CurrentSourceStage().active);
  // Warnings are shown, and the stage is played all the same.
  const std::string walked = WriteSource("walked.txt", "floor stone -5 -5 5 5 0\nactor CGameGoal 3 0 3\n");
  ASSERT_TRUE(BuildSourceStage(walked, &report));
  EXPECT_NE(report.find("warning: the goal is reached by walking alone"), std::string::npos) << report;
  RemoveSourceStage();
}
