// The game as a user installs it: cmake --install into a fresh temporary prefix puts
// the game, its generated res/, the desktop entry, the icons, the AppStream file and
// the manual page in place; the installed binary answers --help and --version, and
// started headless from an unrelated folder it finds its data under the prefix, reaches
// the title (whose music is recorded by OpenAL's wave driver) and keeps its save folder
// under $XDG_DATA_HOME. The manual page documents exactly the flags --help prints and
// renders cleanly, and a build without its generated data refuses to install.
#include "../support/shell_run.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

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
  for (const char* size : {"16x16", "22x22", "24x24", "32x32", "48x48", "64x64", "128x128", "256x256"}) {
    EXPECT_TRUE(fs::exists(share / "icons" / "hicolor" / size / "apps" / "io.github.solverica.Solverica.png")) << size;
  }
  EXPECT_FALSE(fs::exists(data / "icons")) << "the desktop's icons are not game data";
  EXPECT_TRUE(fs::exists(share / "man" / "man6" / "solverica.6"));
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

namespace {

// The long flags in the lines of `text` that match `lineStart` (after leading spaces).
std::set<std::string> LongFlags(const std::string& text, const std::regex& line)
{
  std::set<std::string> flags;
  const std::regex flag(R"((?:\\)?-(?:\\)?-([a-z0-9][a-z0-9-]*))");
  std::istringstream lines(text);
  std::string each;
  while (std::getline(lines, each)) {
    if (!std::regex_search(each, line)) continue;
    for (std::sregex_iterator it(each.begin(), each.end(), flag), end; it != end; ++it) flags.insert((*it)[1]);
  }
  return flags;
}

// The lines of a manual page's OPTIONS section that follow a .TP: each entry's tag.
std::string OptionTags(const std::string& page)
{
  std::string tags;
  std::istringstream lines(page.substr(page.find(".SH OPTIONS")));
  std::string line;
  std::getline(lines, line);
  bool tagNext = false;
  while (std::getline(lines, line) && line.rfind(".SH", 0) != 0) {
    if (tagNext) tags += line + "\n";
    tagNext = line.rfind(".TP", 0) == 0;
  }
  return tags;
}

}  // namespace

// A flag added to the game without its manual entry (or an entry left for a flag that
// is gone) fails here.
TEST(ManualPage, DocumentsExactlyTheFlagsHelpPrints)
{
  const Ran help = RunCommand(std::string(SOLVERICA_BUILD_DIR) + "/solverica --help");
  ASSERT_EQ(help.status, 0);
  const std::string page = ReadText(fs::path(SOLVERICA_BUILD_DIR) / "solverica.6");
  ASSERT_NE(page.find(".SH OPTIONS"), std::string::npos);
  const std::set<std::string> printed = LongFlags(help.output, std::regex(R"(^\s+-)"));
  const std::set<std::string> documented = LongFlags(OptionTags(page), std::regex("."));
  EXPECT_GE(printed.size(), 4u) << help.output;
  EXPECT_EQ(printed, documented) << "solverica --help and the OPTIONS of packaging/solverica.6.in differ";
}

// man's own checks (groff warnings) on the page the build configured.
TEST(ManualPage, RendersWithoutWarningsAndCarriesTheVersion)
{
  const std::string page = (fs::path(SOLVERICA_BUILD_DIR) / "solverica.6").string();
  const Ran quiet = RunCommand("MANWIDTH=80 man --warnings -l " + page + " 2>&1 >/dev/null");
  EXPECT_EQ(quiet.status, 0);
  EXPECT_EQ(quiet.output, "") << "man reported problems";
  const Ran shown = RunCommand("MANWIDTH=80 man -l " + page + " 2>/dev/null");
  EXPECT_NE(shown.output.find("Solverica " SOLVERICA_PROJECT_VERSION), std::string::npos) << shown.output;
  EXPECT_NE(shown.output.find("settings.ini"), std::string::npos);
}

// A configured build whose content was never generated: cmake --install stops first,
// naming the missing data, and installs nothing.
TEST(InstallCheck, ABuildWithoutGeneratedDataRefusesToInstall)
{
  const fs::path scratch = fs::path(::testing::TempDir()) / ("solverica_nodata_" + std::to_string(getpid()));
  fs::remove_all(scratch);
  const std::string cmake = SOLVERICA_CMAKE;
  ASSERT_EQ(RunCommand(cmake + " -S " + SOLVERICA_SOURCE_DIR + " -B " + (scratch / "build").string() +
                       " -G Ninja >/dev/null 2>&1")
                .status,
            0);
  const Ran installed = RunCommand(cmake + " --install " + (scratch / "build").string() + " --prefix " +
                                   (scratch / "prefix").string() + " 2>&1");
  EXPECT_NE(installed.status, 0);
  EXPECT_NE(installed.output.find("generated data is missing"), std::string::npos) << installed.output;
  EXPECT_NE(installed.output.find("dat/map.1.dat"), std::string::npos) << installed.output;
  EXPECT_NE(installed.output.find("fonts-mplus"), std::string::npos) << installed.output;
  EXPECT_FALSE(fs::exists(scratch / "prefix")) << "nothing was installed";
  fs::remove_all(scratch);
}
