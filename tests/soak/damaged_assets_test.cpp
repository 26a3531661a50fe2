// Damaged content: the real program (solverica_soak, one short round of the title and
// stage 1 under random input) runs in a copy of res/ where one file of each kind is
// deleted, cut to half its length, or replaced by as many random bytes. Each run must
// end by itself (no crash, no hang) and name that file, and only that file, in exactly
// one line on standard error; the untouched copy must produce no such line at all.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

enum class Damage { None, Deleted, Halved, RandomBytes };

// How a run ended and the lines it wrote that name assets.
struct RunResult {
  int exitCode = -1;       // 124 when the time limit stopped it
  bool signalled = false;  // killed by a signal (a crash)
  std::vector<std::string> assetLines;
  std::string errorText;  // all of standard error, for the failure message
};

// The kinds of file the game reads, one file of each that the title or stage 1 loads.
const char* const damagedFiles[] = {
    "res/game/map/map.1.x",       // mesh: the stage's floor and walls
    "res/title/char/start.png",   // picture: the title's Start button
    "res/shader/cube_map.dds",    // DDS: the toon shader's reflections
    "res/sound/title_bgm.wav",    // sound: the title music
    "res/shader/ToonShader.cso",  // effect
    "res/dat/map.1.dat",          // stage file
};

// A tree of links to every file of the build's res/, so that one file can be damaged
// without copying the rest; dat/ is copied, as the game writes its save file there.
void LinkTree(const fs::path& from, const fs::path& to)
{
  for (auto it = fs::recursive_directory_iterator(from); it != fs::recursive_directory_iterator(); ++it) {
    const fs::directory_entry& entry = *it;
    const fs::path target = to / fs::relative(entry.path(), from);
    // The player's replays (other tests record into the build folder at the same time)
    // are no asset: the scratch game starts without them.
    if (entry.is_directory() && entry.path().filename() == "replays") {
      it.disable_recursion_pending();
      continue;
    }
    if (entry.is_directory()) {
      fs::create_directories(target);
    } else if (entry.path().parent_path().filename() == "dat") {
      fs::copy_file(entry.path(), target);
    } else {
      fs::create_symlink(fs::absolute(entry.path()), target);
    }
  }
}

// Applies the damage to one file of the tree (the link is replaced by a real file).
void DamageFile(const fs::path& file, Damage damage, unsigned seed)
{
  std::ifstream in(file, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  fs::remove(file);
  if (damage == Damage::Deleted) return;
  size_t cut = bytes.size() / 2;
  // A text stage file cut between two entries is only a shorter stage, which nothing
  // can tell from a real one: the cut moves on into the next class name.
  if (file.extension() == ".dat") {
    while (cut < bytes.size() && !std::isalpha(static_cast<unsigned char>(bytes[cut]))) ++cut;
    if (cut < bytes.size()) ++cut;
  }
  std::string written = bytes.substr(0, cut);
  if (damage == Damage::RandomBytes) {
    std::mt19937 random(seed);
    written.assign(bytes.size(), '\0');
    for (char& c : written) c = static_cast<char>(random() & 0xFF);
  }
  std::ofstream(file, std::ios::binary) << written;
}

// Runs the soak program in the folder with a time limit; collects its error lines.
RunResult RunGame(const fs::path& folder)
{
  const fs::path errors = folder / "stderr.txt";
  const std::string command = "cd '" + folder.string() +
                              "' && timeout -k 10 300 '" SOAK_PROGRAM
                              "' --rounds 1 --title-frames 20 --stage-frames 45 --stage 1 --seed 7 >/dev/null 2>'" +
                              errors.string() + "'";
  const int status = std::system(command.c_str());
  RunResult result;
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  // timeout reports a child killed by a signal as 128 + the signal.
  result.signalled = WIFSIGNALED(status) || (result.exitCode > 128 && result.exitCode != 124);
  std::ifstream in(errors);
  std::string line;
  while (std::getline(in, line)) {
    result.errorText += line + "\n";
    if (line.rfind("solverica: ", 0) == 0) result.assetLines.push_back(line);
  }
  return result;
}

// A scratch copy of res/ with the file damaged; the result of running the game in it.
RunResult RunWithDamage(const std::string& path, Damage damage, unsigned seed)
{
  const fs::path folder =
      fs::path(::testing::TempDir()) / ("solverica_damage_" + std::to_string(getpid()) + "_" + std::to_string(seed));
  fs::remove_all(folder);
  fs::create_directories(folder / "res");
  LinkTree(fs::current_path() / "res", folder / "res");
  if (damage != Damage::None) DamageFile(folder / path, damage, seed);
  const RunResult result = RunGame(folder);
  fs::remove_all(folder);
  return result;
}

const char* DamageName(Damage damage)
{
  switch (damage) {
  case Damage::Deleted:
    return "deleted";
  case Damage::Halved:
    return "halved";
  case Damage::RandomBytes:
    return "random bytes";
  default:
    return "untouched";
  }
}

}  // namespace

TEST(DamagedAssets, TheUntouchedContentRunsWithoutAWordOnStandardError)
{
  const RunResult result = RunWithDamage("", Damage::None, 1);
  EXPECT_FALSE(result.signalled) << result.errorText;
  EXPECT_NE(result.exitCode, 124) << "hung";
  EXPECT_EQ(result.exitCode, 0) << result.errorText;
  EXPECT_TRUE(result.assetLines.empty()) << result.errorText;
}

// Every kind of file, every kind of damage: the game goes on and names the file once.
class DamagedAsset : public ::testing::TestWithParam<const char*> {};

TEST_P(DamagedAsset, IsNamedOnceAndTheGameGoesOn)
{
  const std::string path = GetParam();
  unsigned seed = 100 + static_cast<unsigned>(std::hash<std::string>()(path) % 1000) * 3;
  for (const Damage damage : {Damage::Deleted, Damage::Halved, Damage::RandomBytes}) {
    SCOPED_TRACE(path + " " + DamageName(damage));
    const RunResult result = RunWithDamage(path, damage, ++seed);
    EXPECT_FALSE(result.signalled) << result.errorText;
    EXPECT_NE(result.exitCode, 124) << "hung";
    EXPECT_EQ(result.exitCode, 0) << result.errorText;
    ASSERT_EQ(result.assetLines.size(), 1u) << result.errorText;
    EXPECT_EQ(result.assetLines[0].rfind("solverica: " + path + ": ", 0), 0u) << result.assetLines[0];
    std::printf("damaged asset: %-28s %-12s -> %s\n", path.c_str(), DamageName(damage), result.assetLines[0].c_str());
  }
}

INSTANTIATE_TEST_SUITE_P(OneFileOfEachKind, DamagedAsset, ::testing::ValuesIn(damagedFiles));
