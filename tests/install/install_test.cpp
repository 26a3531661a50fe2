// The game as a user installs it: cmake --install into a fresh temporary prefix puts
// the game, its generated res/, the desktop entry, the icon and the AppStream file in
// place; the installed binary answers --help and --version, and started headless from
// an unrelated folder it finds its data under the prefix, reaches the title (whose
// music is recorded by OpenAL's wave driver) and keeps its save folder under
// $XDG_DATA_HOME.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A command's standard output and exit status.
struct Ran {
  std::string output;
  int status = -1;
};

// Runs a shell command, collecting what it prints.
Ran RunCommand(const std::string& command)
{
  Ran ran;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return ran;
  char buffer[4096];
  size_t count = 0;
  while ((count = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) ran.output.append(buffer, count);
  const int status = pclose(pipe);
  ran.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return ran;
}

// The largest absolute 16-bit sample after a WAV file's 44-byte header.
int LoudestSample(const fs::path& path)
{
  std::ifstream file(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  int loudest = 0;
  for (size_t i = 44; i + 1 < bytes.size(); i += 2) {
    const int sample = static_cast<int16_t>(static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8));
    loudest = std::max(loudest, std::abs(sample));
  }
  return loudest;
}

// One fresh prefix and home per run of the program.
class InstallTest : public ::testing::Test {
protected:
  static void SetUpTestSuite()
  {
    root = fs::path(::testing::TempDir()) / ("solverica_install_" + std::to_string(getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "home");
    prefix = root / "prefix";
    installed = RunCommand(std::string(SOLVERICA_CMAKE) + " --install " + SOLVERICA_BUILD_DIR + " --prefix " +
                           prefix.string() + " 2>&1");
  }
  static void TearDownTestSuite()
  {
    if (!std::getenv("SOLVERICA_KEEP_SCRATCH")) fs::remove_all(root);
  }
  // The environment of a user whose home is in the scratch folder.
  static std::string UserEnvironment()
  {
    return "env -i PATH=/usr/bin:/bin HOME=" + (root / "home").string() +
           " XDG_DATA_HOME=" + (root / "home" / "data").string() + " SDL_VIDEODRIVER=offscreen ";
  }
  static fs::path root;
  static fs::path prefix;
  static Ran installed;
};

fs::path InstallTest::root;
fs::path InstallTest::prefix;
Ran InstallTest::installed;

}  // namespace

TEST_F(InstallTest, PutsGameDataDesktopEntryIconAndMetainfoUnderThePrefix)
{
  ASSERT_EQ(installed.status, 0) << installed.output;
  EXPECT_TRUE(fs::exists(prefix / "bin" / "solverica"));
  const fs::path data = prefix / "share" / "solverica" / "res";
  for (const char* file :
       {"dat/map.1.dat", "sound/title_bgm.wav", "sound/shutter.wav", "shader", "title", "icon.png"}) {
    EXPECT_TRUE(fs::exists(data / file)) << file;
  }
  EXPECT_FALSE(fs::exists(data / "dat" / "save.dat")) << "the build's save file stays behind";
  EXPECT_FALSE(fs::exists(data / "test")) << "the tests' assets stay behind";
  const fs::path share = prefix / "share";
  const fs::path desktop = share / "applications" / "io.github.solverica.Solverica.desktop";
  const fs::path metainfo = share / "metainfo" / "io.github.solverica.Solverica.metainfo.xml";
  EXPECT_TRUE(fs::exists(desktop));
  EXPECT_TRUE(fs::exists(metainfo));
  EXPECT_TRUE(fs::exists(share / "icons" / "hicolor" / "64x64" / "apps" / "io.github.solverica.Solverica.png"));
  // The validators, where installed, have the last word on the two files' formats.
  if (RunCommand("command -v desktop-file-validate").status == 0) {
    const Ran valid = RunCommand("desktop-file-validate " + desktop.string() + " 2>&1");
    EXPECT_EQ(valid.status, 0) << valid.output;
  }
  if (RunCommand("command -v appstreamcli").status == 0) {
    const Ran valid = RunCommand("appstreamcli validate --no-net --pedantic " + metainfo.string() + " 2>&1");
    EXPECT_EQ(valid.status, 0) << valid.output;
  }
}

TEST_F(InstallTest, InstalledGameAnswersHelpAndVersion)
{
  ASSERT_EQ(installed.status, 0) << installed.output;
  const Ran help = RunCommand(UserEnvironment() + (prefix / "bin" / "solverica").string() + " --help");
  EXPECT_EQ(help.status, 0);
  for (const char* flag : {"--fullscreen", "--windowed", "--help", "--version"}) {
    EXPECT_NE(help.output.find(flag), std::string::npos) << help.output;
  }
  const Ran version = RunCommand(UserEnvironment() + (prefix / "bin" / "solverica").string() + " --version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.output, "Solverica 1.0.6\n");
  const Ran wrong = RunCommand(UserEnvironment() + (prefix / "bin" / "solverica").string() + " --bogus 2>&1");
  EXPECT_EQ(wrong.status, 2);
}

TEST_F(InstallTest, InstalledGameStartsHeadlessFromAnyFolderAndReachesTheTitle)
{
  ASSERT_EQ(installed.status, 0) << installed.output;
  const fs::path elsewhere = root / "elsewhere";
  fs::create_directories(elsewhere);
  const fs::path recording = root / "title.wav";
  std::ofstream(root / "alsoft.conf") << "[general]\noutput-limiter = false\n[wave]\nfile = " << recording.string()
                                      << "\n";
  // The session ends the game after a while with SIGTERM, as a desktop would at logout;
  // the game takes its normal way out and exits with 0.
  const Ran ran = RunCommand("cd " + elsewhere.string() + " && " + UserEnvironment() +
                             "ALSOFT_DRIVERS=wave ALSOFT_CONF=" + (root / "alsoft.conf").string() +
                             " timeout --preserve-status -s TERM 12 " + (prefix / "bin" / "solverica").string() +
                             " --windowed 2>&1");
  EXPECT_EQ(ran.status, 0) << ran.output;
  EXPECT_GT(LoudestSample(recording), 1000) << "the title's music played: the title ran with the installed data";
  EXPECT_TRUE(fs::is_directory(root / "home" / "data" / "solverica")) << "the save folder is the user's";
  EXPECT_FALSE(fs::exists(elsewhere / "res")) << "nothing is written into the working folder";
}
