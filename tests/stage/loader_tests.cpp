// The stage file: its name for a stage number, reading entries, the factory's refusals.
#include <cstdio>
#include <string>

#include "scene/stage_loader.h"
#include "stage_support.h"

namespace {

// The entries of a text, read through a temporary file as the game reads its files.
std::vector<StageEntry> Read(const std::string& text)
{
  FILE* file = std::tmpfile();
  std::fwrite(text.data(), 1, text.size(), file);
  std::rewind(file);
  std::vector<StageEntry> entries = ReadStageEntries(file);
  std::fclose(file);
  return entries;
}

// Name and translation of one entry.
void ExpectEntry(const StageEntry& entry, const std::string& name, float x, float y, float z)
{
  EXPECT_EQ(entry.name, name);
  EXPECT_FLOAT_EQ(entry.world._41, x) << name;
  EXPECT_FLOAT_EQ(entry.world._42, y) << name;
  EXPECT_FLOAT_EQ(entry.world._43, z) << name;
  EXPECT_FLOAT_EQ(entry.world._11, 1.0f);
  EXPECT_FLOAT_EQ(entry.world._44, 1.0f);
}

}  // namespace

TEST(StageFileName, InsertsTheStageNumberBeforeTheExtension)
{
  EXPECT_EQ(StageFileName("res/dat/map.dat", 3), "res/dat/map.3.dat");
  EXPECT_EQ(StageFileName("res/dat/map.dat", 1), "res/dat/map.1.dat");
  EXPECT_EQ(StageFileName("res/dat/map.dat", 8), "res/dat/map.8.dat");
  // The last dot counts, and a base without one names nothing.
  EXPECT_EQ(StageFileName("res/dat.v2/map.dat", 4), "res/dat.v2/map.4.dat");
  EXPECT_EQ(StageFileName("res/dat/map", 4), "");
  // Only one digit fits: larger numbers must be refused before a name is built.
  EXPECT_EQ(StageFileName("res/dat/map.dat", 12), "res/dat/map.1.dat");
}

TEST(StageFile, EmptyFileHasNoEntries)
{
  EXPECT_TRUE(Read("").empty());
  EXPECT_TRUE(Read("  \n\t\r\n").empty());
}

TEST(StageFile, EntriesWithAndWithoutAFinalLineBreak)
{
  const std::string body = "CGameMetalBlock 2.0 0.0 -4.5\nCGameMagicOrb 0 3 10\nCGameGoal 0 12.5 20";
  for (const std::string& text : {body, body + "\n", body + "\r\n"}) {
    const std::vector<StageEntry> entries = Read(text);
    ASSERT_EQ(entries.size(), 3u);
    ExpectEntry(entries[0], "CGameMetalBlock", 2.0f, 0.0f, -4.5f);
    ExpectEntry(entries[1], "CGameMagicOrb", 0, 3, 10);
    ExpectEntry(entries[2], "CGameGoal", 0, 12.5f, 20);
  }
}

TEST(StageFile, MissingNumbersStayZeroAndTheNextNameIsTheNextEntry)
{
  std::vector<StageEntry> entries = Read("CGameGoal 1 2\nCGameMagicOrb 4 5 6\n");
  ASSERT_EQ(entries.size(), 2u);
  ExpectEntry(entries[0], "CGameGoal", 1, 2, 0);
  ExpectEntry(entries[1], "CGameMagicOrb", 4, 5, 6);

  entries = Read("CGameTorch\nCGameDoor -1.5e1 +2 .5");
  ASSERT_EQ(entries.size(), 2u);
  ExpectEntry(entries[0], "CGameTorch", 0, 0, 0);
  ExpectEntry(entries[1], "CGameDoor", -15.0f, 2.0f, 0.5f);
}

TEST(StageFile, AnyWhiteSpaceSeparatesAndSamePositionsAllCount)
{
  const std::vector<StageEntry> entries = Read("CGameTorch\t1 2 3 CGameTorch 1 2 3\n\n   CGameTorch\n1\n2\n3");
  ASSERT_EQ(entries.size(), 3u);
  for (const StageEntry& entry : entries) ExpectEntry(entry, "CGameTorch", 1, 2, 3);
}

TEST(StageFile, NameOf256CharactersOrMoreIsNoEntryAndReadingGoesOn)
{
  const std::string longName(256, 'A');
  const std::string fits(255, 'B');
  const std::vector<StageEntry> entries =
      Read(longName + " 1 2 3\n" + fits + " 4 5 6\n" + std::string(5000, 'C') + " 7 8 9\nCGameGoal 1 1 1\n");
  ASSERT_EQ(entries.size(), 2u);
  ExpectEntry(entries[0], fits, 4, 5, 6);
  ExpectEntry(entries[1], "CGameGoal", 1, 1, 1);
}

TEST(ActorFactory, CreatesNothingForOtherNamesOrLetterCase)
{
  std::vector<std::shared_ptr<CActorBase>> actors;
  D3DXMATRIX world;
  D3DXMatrixIdentity(&world);
  for (const char* name : {"cgamegoal", "CGAMEGOAL", "CGameGoal ", "CGameMap", "CGamePlayer", "CGameCamera",
                           "CGameDebug", "CGamePoppingWall", ""}) {
    CreateActorByName(name, world, actors);
  }
  EXPECT_TRUE(actors.empty());
}
