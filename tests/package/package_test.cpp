// The Debian package as Debian checks it and as a player meets it: lintian finds nothing
// beyond the commented overrides; the control fields come from the build; the copyright
// file names every library the game links and the font; dpkg installs it into a scratch
// root, where the validators accept the desktop entry, the AppStream file and the manual
// page, the installed game starts headless and reaches the title with the player's files
// in the XDG folders, and dpkg removes it leaving nothing behind; in a real window (Xvfb)
// its title is the version and its keys write only into the XDG folders. tools/package.sh
// refuses a tree without its content generator and a missing font.
#include "../support/shell_run.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// The package tools/package.sh made.
fs::path PackageFile()
{
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(SOLVERICA_PACKAGE_DIR, error)) {
    if (entry.path().extension() == ".deb") return entry.path();
  }
  return {};
}

// Every path under `root` but the admin folder, with size and modification time.
std::set<std::string> Snapshot(const fs::path& root, const fs::path& skip)
{
  std::set<std::string> entries;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    if (it->path() == skip) {
      it.disable_recursion_pending();
      continue;
    }
    const std::string relative = fs::relative(it->path(), root).string();
    if (!it->is_regular_file()) {
      entries.insert(relative + "/");
      continue;
    }
    entries.insert(relative + " " + std::to_string(it->file_size()) + " " +
                   std::to_string(it->last_write_time().time_since_epoch().count()));
  }
  return entries;
}

// The Debian package that owns a file, as dpkg -S names it ("libsdl2-2.0-0"); /lib is
// /usr/lib on a merged /usr, and dpkg knows each file by the one its package shipped.
std::string OwningPackage(const std::string& path)
{
  const std::string owner =
      RunCommand("(dpkg -S '" + path + "' || dpkg -S '/usr" + path + "') 2>/dev/null | head -n1").output;
  return owner.substr(0, owner.find_first_of(":"));
}

class PackageTest : public ::testing::Test {
protected:
  static void SetUpTestSuite()
  {
    deb = PackageFile();
    scratch = fs::path(::testing::TempDir()) / ("solverica_package_" + std::to_string(getpid()));
    fs::remove_all(scratch);
    fs::create_directories(scratch / "home");
  }
  static void TearDownTestSuite()
  {
    if (!std::getenv("SOLVERICA_KEEP_SCRATCH")) fs::remove_all(scratch);
  }
  // The package unpacked (not installed) for reading its files.
  static fs::path Unpacked()
  {
    const fs::path unpacked = scratch / "unpacked";
    if (!fs::exists(unpacked)) RunCommand("dpkg-deb -x " + deb.string() + " " + unpacked.string());
    return unpacked;
  }
  // dpkg on a scratch root, as any user would run it, without a log or ~/.dpkg.cfg.
  static Ran Dpkg(const fs::path& root, const std::string& arguments)
  {
    return RunCommand("HOME=" + (scratch / "home").string() + " dpkg --root=" + root.string() +
                      " --force-not-root --log=/dev/null " + arguments + " 2>&1");
  }
  // The package installed by dpkg into an empty root of its own (the dependencies are
  // the host's: the root holds no libraries).
  static Ran InstallInto(const fs::path& root)
  {
    fs::create_directories(root / "var/lib/dpkg/info");
    fs::create_directories(root / "var/lib/dpkg/updates");
    std::ofstream(root / "var/lib/dpkg/status");
    return Dpkg(root, "--force-depends -i " + deb.string());
  }
  // The environment of a player whose home is `home`, the XDG folders inside it.
  static std::string PlayerEnvironment(const fs::path& home)
  {
    return "env -i PATH=/usr/bin:/bin HOME=" + home.string() + " XDG_CONFIG_HOME=" + (home / "config").string() +
           " XDG_DATA_HOME=" + (home / "data").string() + " ";
  }
  static fs::path deb;
  static fs::path scratch;
};

fs::path PackageTest::deb;
fs::path PackageTest::scratch;

}  // namespace

TEST_F(PackageTest, LintianReportsNothingBeyondItsCommentedOverrides)
{
  ASSERT_FALSE(deb.empty()) << "tools/package.sh made no package in " SOLVERICA_PACKAGE_DIR;
  const Ran lintian = RunCommand("lintian -I -E --pedantic --fail-on error,warning,info,pedantic " + deb.string() +
                                 " 2>&1 | grep -v 'running with root privileges'");
  EXPECT_EQ(lintian.output, "") << "lintian's findings";
  // Each override has the reason for it in a comment right above it.
  std::istringstream overrides(ReadText(Unpacked() / "usr/share/lintian/overrides/solverica"));
  std::string line, previous;
  while (std::getline(overrides, line)) {
    if (!line.empty() && line[0] != '#') {
      EXPECT_EQ(previous.rfind("#", 0), 0u) << line;
    }
    previous = line;
  }
}

TEST_F(PackageTest, ControlFieldsComeFromTheBuildAndTheLinkedLibraries)
{
  ASSERT_FALSE(deb.empty());
  const std::string version = RunCommand("dpkg-deb -f " + deb.string() + " Version").output;
  EXPECT_EQ(deb.filename().string(), "solverica_" + version.substr(0, version.size() - 1) + "_amd64.deb");
  const std::string depends = RunCommand("dpkg-deb -f " + deb.string() + " Depends").output;
  for (const char* library : {"libc6 (>=", "libsdl2-2.0-0 (>=", "libepoxy0 (>=", "libopenal1 (>=", "libstb0 (>="}) {
    EXPECT_NE(depends.find(library), std::string::npos) << depends;
  }
  // apt would install it here: every dependency is satisfiable.
  const Ran apt = RunCommand("apt-get -s install " + fs::absolute(deb).string() + " 2>&1");
  EXPECT_EQ(apt.status, 0) << apt.output;
  EXPECT_NE(apt.output.find("Inst solverica"), std::string::npos) << apt.output;
}

TEST_F(PackageTest, CopyrightNamesEveryLinkedLibraryAndTheFontWithTheirLicences)
{
  ASSERT_FALSE(deb.empty());
  const fs::path unpacked = Unpacked();
  const std::string copyright = ReadText(unpacked / "usr/share/doc/solverica/copyright");
  EXPECT_EQ(copyright.rfind("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n", 0), 0u);
  // Each library the program names (NEEDED), where the loader finds it on this system.
  const Ran needed = RunCommand("readelf -d " + (unpacked / "usr/games/solverica").string() +
                                " | sed -n 's/.*Shared library: \\[\\(.*\\)\\]/\\1/p'");
  std::istringstream libraries(needed.output);
  std::string library;
  int count = 0;
  while (std::getline(libraries, library)) {
    const std::string path = RunCommand("ldd " + (unpacked / "usr/games/solverica").string() + " | sed -n 's|^\\s*" +
                                        library + " => \\(/[^ ]*\\).*|\\1|p' | tr -d '\\n'")
                                 .output;
    const std::string owner = OwningPackage(path);
    ASSERT_FALSE(owner.empty()) << library << " at " << path;
    EXPECT_NE(copyright.find(owner), std::string::npos) << library << " from " << owner << " is not named";
    ++count;
  }
  EXPECT_GE(count, 6);
  const std::string font = OwningPackage(SOLVERICA_FONT);
  EXPECT_EQ(font, "fonts-mplus");
  EXPECT_NE(copyright.find(font), std::string::npos);
  for (const char* licence : {"zlib/libpng", "Expat", "LGPL-2+", "LGPL-2.1+", "GPL-3+", "OFL-1.1", "public-domain"}) {
    EXPECT_NE(copyright.find("\nLicense: " + std::string(licence)), std::string::npos) << licence;
  }
  EXPECT_TRUE(fs::exists(unpacked / "usr/share/doc/solverica/changelog.gz"));
}

TEST_F(PackageTest, InstallsStartsWithTheXdgFoldersAndRemovesLeavingNothingBehind)
{
  ASSERT_FALSE(deb.empty());
  const fs::path root = scratch / "root";
  const fs::path admin = root / "var";
  const Ran installed = InstallInto(root);
  ASSERT_EQ(installed.status, 0) << installed.output;

  // The games layout, and what desktops and man find there, checked by their own tools.
  const fs::path game = root / "usr/games/solverica";
  const fs::path share = root / "usr/share";
  EXPECT_TRUE(fs::exists(share / "games/solverica/res/dat/map.8.dat"));
  EXPECT_FALSE(fs::exists(root / "usr/bin"));
  EXPECT_TRUE(fs::exists(share / "icons/hicolor/48x48/apps/io.github.solverica.Solverica.png"));
  const Ran desktop = RunCommand("desktop-file-validate " +
                                 (share / "applications/io.github.solverica.Solverica.desktop").string() + " 2>&1");
  EXPECT_EQ(desktop.status, 0) << desktop.output;
  const Ran metainfo = RunCommand("appstreamcli validate --no-net " +
                                  (share / "metainfo/io.github.solverica.Solverica.metainfo.xml").string() + " 2>&1");
  EXPECT_EQ(metainfo.status, 0) << metainfo.output;
  const Ran manual =
      RunCommand("MANWIDTH=80 man --warnings -l " + (share / "man/man6/solverica.6.gz").string() + " 2>&1 >/dev/null");
  EXPECT_EQ(manual.output, "");

  // A player's first start: settings with a line the game cannot use, nothing else yet.
  const fs::path home = scratch / "player";
  const fs::path config = home / "config" / "solverica";
  fs::create_directories(config);
  std::ofstream(config / "settings.ini") << "fullscreen = no\r\nvolume of the wind = 3\r\n";
  fs::create_directories(home / "work");
  const fs::path recording = scratch / "title.wav";
  std::ofstream(scratch / "alsoft.conf") << "[general]\noutput-limiter = false\n[wave]\nfile = " << recording.string()
                                         << "\n";
  const std::set<std::string> before = Snapshot(root, admin);
  const Ran ran =
      RunCommand("cd " + (home / "work").string() + " && " + PlayerEnvironment(home) +
                 "SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=wave ALSOFT_CONF=" + (scratch / "alsoft.conf").string() +
                 " timeout --preserve-status -s TERM 12 " + game.string() + " --windowed 2>&1");
  EXPECT_EQ(ran.status, 0) << ran.output;
  EXPECT_GT(LoudestSample(recording), 1000) << "the title's music played: the title ran with the installed data";
  EXPECT_NE(ran.output.find((config / "settings.ini").string() + ": line 2"), std::string::npos)
      << "the settings were read from $XDG_CONFIG_HOME: " << ran.output;
  EXPECT_TRUE(fs::is_directory(home / "data" / "solverica")) << "the save file's folder is the player's";
  EXPECT_EQ(Snapshot(root, admin), before) << "the game wrote nothing into the install";
  EXPECT_TRUE(fs::is_empty(home / "work")) << "nor into the working folder";

  // Removed and purged: only dpkg's own database is left, and the player's files.
  const Ran purged = Dpkg(root, "--purge solverica");
  EXPECT_EQ(purged.status, 0) << purged.output;
  EXPECT_EQ(Snapshot(root, admin), std::set<std::string>());
  EXPECT_TRUE(fs::exists(config / "settings.ini"));
}

TEST_F(PackageTest, ATreeWithoutItsContentGeneratorIsRefused)
{
  const fs::path tree = scratch / "tree";
  fs::create_directories(tree);
  ASSERT_EQ(RunCommand("tar -C " SOLVERICA_SOURCE_DIR " --exclude='./build*' --exclude=./.git --exclude=./docs "
                       "--exclude=./tools/contentgen -cf - . | tar -C " +
                       tree.string() + " -xf -")
                .status,
            0);
  const Ran packaged = RunCommand("PACKAGE_BUILD_DIR=" + (tree / "build-package").string() + " " +
                                  (tree / "tools/package.sh").string() + " 2>&1");
  EXPECT_EQ(packaged.status, 1);
  EXPECT_NE(packaged.output.find("no content generator (tools/contentgen)"), std::string::npos) << packaged.output;
  EXPECT_NE(packaged.output.find("blank screen"), std::string::npos) << packaged.output;
  EXPECT_TRUE(RunCommand("find " + tree.string() + " -name '*.deb'").output.empty());
}

TEST_F(PackageTest, AMissingFontIsRefused)
{
  const fs::path build = scratch / "fontless";
  const std::string font = (scratch / "nowhere" / "Mplus1-Bold.otf").string();
  const Ran packaged =
      RunCommand("PACKAGE_BUILD_DIR=" + build.string() + " SOLVERICA_CMAKE_ARGS=-DSOLVERICA_FONT=" + font +
                 " " SOLVERICA_SOURCE_DIR "/tools/package.sh 2>&1");
  EXPECT_EQ(packaged.status, 1);
  EXPECT_NE(packaged.output.find("Font " + font + " not found"), std::string::npos) << packaged.output;
  EXPECT_NE(packaged.output.find("fonts-mplus"), std::string::npos) << packaged.output;
  EXPECT_TRUE(RunCommand("find " + build.string() + " -name '*.deb'").output.empty());
}

namespace {

// Polls `ready` for up to `seconds`.
bool WaitFor(const std::function<bool()>& ready, int seconds)
{
  for (int tenth = 0; tenth < seconds * 10; ++tenth) {
    if (ready()) return true;
    usleep(100000);
  }
  return ready();
}

// A command's output without its line end.
std::string Line(const Ran& ran)
{
  return ran.output.substr(0, ran.output.find('\n'));
}

// A key held long enough for the game to poll it in a frame, however slow, then let go.
void PressKey(const std::string& display, const char* key)
{
  RunCommand("DISPLAY=" + display + " xdotool keydown " + key + " sleep 1 keyup " + key);
}

}  // namespace

// As a player meets it: the installed game in a real window on an X server (Xvfb),
// reached without flags, its title the version; F12 puts a screenshot into the XDG
// pictures folder and F11 stores the new full-screen state in $XDG_CONFIG_HOME.
TEST_F(PackageTest, InARealWindowTheKeysWriteIntoTheXdgFoldersOnly)
{
  ASSERT_FALSE(deb.empty());
  const fs::path root = scratch / "window_root";
  ASSERT_EQ(InstallInto(root).status, 0);
  const fs::path home = scratch / "window_player";
  fs::create_directories(home / "config" / "solverica");
  std::ofstream(home / "config" / "solverica" / "settings.ini") << "fullscreen = no\n";
  std::ofstream(home / "config" / "user-dirs.dirs") << "XDG_PICTURES_DIR=\"$HOME/Pictures\"\n";
  const std::set<std::string> before = Snapshot(root, root / "var");

  // A free display of our own, then the game on it.
  const fs::path displayFile = scratch / "display";
  const std::string server = Line(RunCommand("Xvfb -displayfd 3 -screen 0 1280x720x24 -nolisten tcp 3>" +
                                             displayFile.string() + " >/dev/null 2>&1 & echo $!"));
  ASSERT_TRUE(WaitFor([&] { return ReadText(displayFile).find('\n') != std::string::npos; }, 20))
      << "Xvfb did not start";
  const std::string display = ":" + ReadText(displayFile).substr(0, ReadText(displayFile).find('\n'));
  const std::string game = Line(RunCommand(
      "cd " + home.string() + " && " + PlayerEnvironment(home) + "DISPLAY=" + display + " ALSOFT_DRIVERS=null " +
      (root / "usr/games/solverica").string() + " >" + (scratch / "window.log").string() + " 2>&1 & echo $!"));
  const std::string window =
      Line(RunCommand("DISPLAY=" + display + " timeout 120 xdotool search --sync --name 'Ver[.]' | head -n1"));
  const std::string version = Line(RunCommand("dpkg-deb -f " + deb.string() + " Version"));
  EXPECT_EQ(Line(RunCommand("DISPLAY=" + display + " xdotool getwindowname " + window)), "ソルベリカ　Ver." + version);
  RunCommand("DISPLAY=" + display + " xdotool mousemove 640 360 windowfocus " + window);

  // F12 until the title polls the keys (the window opens before the title has loaded).
  const fs::path shots = home / "Pictures" / "Solverica";
  bool shot = false;
  for (int tries = 0; tries < 20 && !shot; ++tries) {
    PressKey(display, "F12");
    shot = WaitFor([&] { return fs::exists(shots) && !fs::is_empty(shots); }, 2);
  }
  EXPECT_TRUE(shot) << "F12 saved no screenshot";
  PressKey(display, "F11");
  EXPECT_TRUE(WaitFor(
      [&] { return ReadText(home / "config/solverica/settings.ini").find("fullscreen = yes") != std::string::npos; },
      30))
      << "F11 did not store full screen";

  RunCommand("kill " + game + "; sleep 2; kill " + server);
  EXPECT_EQ(Snapshot(root, root / "var"), before) << "the game wrote nothing into the install";
}
