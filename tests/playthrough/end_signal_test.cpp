// The end signals in a child process that is the real program: SIGTERM, SIGINT and
// SIGHUP in each state (title, stage, loading, pause menu, ending, the title's quit
// question, the start-up question) must end it through its normal way out, with exit
// status 0 (130 for SIGINT), the save file as it was, the sound device closed (the
// wave recording's header is written only at the close) and no process of its own
// left behind, even when it is killed. The start-up question runs the game itself;
// the other states run this program again as the child, which reaches the state
// through the input path on the harness's fixed clock, then runs the real loop on the
// real clock. The message boxes need a
// real window: they run under an Xvfb of the test's own, and are skipped without one.
// How long each end took (wall and CPU time) is printed; the test fails only on an end
// that never comes.
#include "playthrough.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "app/start_up.h"
#include "scene/scene_ending.h"
#include "scene/scene_game.h"
#include "scene/scene_title.h"
#include "test_seam.h"
#include "win32_comforts.h"

namespace fs = std::filesystem;

extern char** environ;

namespace {

const char* const stateVariable = "SOLVERICA_END_SIGNAL_STATE";
const char* const readyVariable = "SOLVERICA_END_SIGNAL_FD";
// Long enough for a loaded machine and the sanitizers; an end that never comes (a
// signal ignored, a box waited for) runs past any of them.
const double endDeadlineMs = 15000.0;
const double readyDeadlineMs = 180000.0;
const std::string savedBytes = "3\r\n";

// The child catches the signals as the program's main does, before start-up.
[[maybe_unused]] const bool childCatches = std::getenv(stateVariable) ? (Win32CatchEndSignals(), true) : false;

// Milliseconds since a point.
double Since(std::chrono::steady_clock::time_point start)
{
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// A file's bytes, or "(none)".
std::string FileBytes(const fs::path& path)
{
  std::ifstream file(path, std::ios::binary);
  if (!file) return "(none)";
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// ---- the child --------------------------------------------------------------------

// Tells the parent the state is reached, and where the child's save file lives.
void AnnounceReady()
{
  const int fd = std::atoi(std::getenv(readyVariable));
  const std::string line = PlaythroughScratchDir() + "\n";
  EXPECT_EQ(write(fd, line.data(), line.size()), static_cast<ssize_t>(line.size()));
  close(fd);
}

// Waits until the parent's signal has been caught.
void WaitForTheSignal()
{
  const auto start = std::chrono::steady_clock::now();
  while (Win32EndSignal() == 0 && Since(start) < readyDeadlineMs) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

// Holds the frame that loads the stage until the signal has been caught, so that the
// whole loading runs after it, as when the signal comes at its start.
class CSignalBeforeLoadGate : public CDrawGate {
public:
  using CDrawGate::CDrawGate;
  // The inner frame, held once before the title hands over to the stage.
  std::shared_ptr<CSceneBase> Update() override
  {
    if (!held && inner->GetName() == "CSceneTitle" && CApplication::GetInstance()->fadeAlpha == 255) {
      held = true;
      AnnounceReady();
      WaitForTheSignal();
    }
    return CDrawGate::Update();
  }
  bool held = false;
};

class EndSignalChild : public PlaythroughTest {
protected:
  // The loop runs this gate, from a fresh title, as a restart would.
  void RunFrom(std::shared_ptr<CDrawGate> first)
  {
    application->EndLoop();
    gate = std::move(first);
    application->BeginLoop(gate);
  }
  // Brings the program into the state by its input path; false if it did not get there.
  bool ReachState(const std::string& state)
  {
    if (state == "ending") {
      RunFrom(std::make_shared<CDrawGate>(std::make_shared<CSceneEnding>()));
      Frames(30);
      return true;
    }
    if (state == "loading") {
      RunFrom(std::make_shared<CSignalBeforeLoadGate>(std::make_shared<CSceneTitle>()));
      return ContinueFromTitle();
    }
    Frames(30);
    if (state == "title" || state == "quit-question") return Title() != nullptr;
    if (!ContinueFromTitle() || !SkipOpening()) return false;
    if (state == "menu") TapKey(VK_SPACE);
    Frames(2);
    return state != "menu" || Game()->paused;
  }
};

}  // namespace

// Runs only as the parent's child: the state, then the loop until the signal ends it,
// then the program's own shutdown and exit status.
TEST_F(EndSignalChild, ReachesTheStateThenRunsTheLoopToItsEnd)
{
  const char* state = std::getenv(stateVariable);
  if (!state) GTEST_SKIP() << "the child of the end-signal tests";
  DrawEvery(kRouteDrawInterval);
  std::ofstream("res/dat/save.dat", std::ios::binary) << savedBytes;
  RestartProgram();
  ASSERT_TRUE(ReachState(state)) << state;
  Win32TestUseRealClock();
  application->drawingAllowed = true;
  if (std::string(state) != "loading") AnnounceReady();
  if (std::string(state) == "quit-question") Key(VK_ESCAPE, true);
  while (application->RunOnce()) {}
  application->EndLoop();
  gate.reset();  // the loop's last owner of the scene and its sounds, as when Run returns
  std::exit(FinishRun());
}

namespace {

// ---- the parent -------------------------------------------------------------------

// This program's environment with some variables replaced (an empty value removes one).
std::vector<std::string> EnvironmentWith(const std::vector<std::pair<std::string, std::string>>& changes)
{
  std::vector<std::string> result;
  for (char** entry = environ; *entry; ++entry) {
    const std::string text = *entry;
    bool changed = false;
    for (const auto& change : changes) changed = changed || text.rfind(change.first + "=", 0) == 0;
    if (!changed) result.push_back(text);
  }
  for (const auto& change : changes) {
    if (!change.second.empty()) result.push_back(change.first + "=" + change.second);
  }
  return result;
}

// Starts a program with the end signals at their defaults (a shell's background job
// would ignore SIGINT), its output in the log file, and keepFd left open for it. It dies
// with this test, so a failure leaves nothing running.
pid_t Spawn(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
            const std::string& log, int keepFd = -1)
{
  std::vector<char*> argv, envp;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  for (const std::string& variable : environment) envp.push_back(const_cast<char*>(variable.c_str()));
  argv.push_back(nullptr);
  envp.push_back(nullptr);
  const int output = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid != 0) {
    close(output);
    return pid;
  }
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent) _exit(127);
  for (const int number : {SIGTERM, SIGINT, SIGHUP}) signal(number, SIG_DFL);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  dup2(output, STDOUT_FILENO);
  dup2(output, STDERR_FILENO);
  if (keepFd >= 0) fcntl(keepFd, F_SETFD, 0);
  execve(argv[0], argv.data(), envp.data());
  _exit(127);
}

// A line from the pipe, or "" when none came in time.
std::string ReadLine(int fd, double deadlineMs)
{
  std::string line;
  const auto start = std::chrono::steady_clock::now();
  char c = 0;
  while (Since(start) < deadlineMs) {
    pollfd ready = {fd, POLLIN, 0};
    if (poll(&ready, 1, 100) <= 0) continue;
    if (read(fd, &c, 1) != 1) break;
    if (c == '\n') return line;
    line += c;
  }
  return "";
}

// The processes a process has started (of all its threads).
std::vector<pid_t> ChildrenOf(pid_t pid)
{
  std::vector<pid_t> children;
  const fs::path tasks = "/proc/" + std::to_string(pid) + "/task";
  std::error_code error;
  for (const fs::directory_entry& task : fs::directory_iterator(tasks, error)) {
    std::ifstream list(task.path() / "children");
    pid_t child = 0;
    while (list >> child) children.push_back(child);
  }
  return children;
}

// The fields of /proc/<pid>/stat after the name: state first, then ppid and so on
// (empty when the process is gone).
std::vector<std::string> StatFields(pid_t pid)
{
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  std::vector<std::string> fields;
  const size_t close = text.rfind(')');
  std::istringstream rest(close == std::string::npos ? "" : text.substr(close + 1));
  for (std::string field; rest >> field;) fields.push_back(field);
  return fields;
}

// A process's state letter (R running, S asleep, Z ended, ...), or 0 when it is gone.
char ProcessState(pid_t pid)
{
  const std::vector<std::string> fields = StatFields(pid);
  return fields.empty() ? 0 : fields[0][0];
}

// The CPU time a process has used so far (all its threads), in milliseconds.
double CpuMilliseconds(pid_t pid)
{
  const std::vector<std::string> fields = StatFields(pid);
  if (fields.size() < 13) return 0.0;
  return (std::stod(fields[11]) + std::stod(fields[12])) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Whether the process's main thread waits for the child that shows the message box,
// and that child has settled down to wait for the player (so it is past its start).
bool WaitsForAChild(pid_t pid)
{
  std::ifstream wchan("/proc/" + std::to_string(pid) + "/wchan");
  std::string waitsIn;
  wchan >> waitsIn;
  const std::vector<pid_t> children = ChildrenOf(pid);
  return waitsIn == "do_wait" && children.size() == 1 && ProcessState(children[0]) == 'S';
}

// Waits for the process to end; its wait status, or -1 after the deadline. Says how
// long that took and the CPU time the process had used in all by its end.
int WaitForEnd(pid_t pid, double deadlineMs, double* tookMs, double* cpuMs)
{
  const auto start = std::chrono::steady_clock::now();
  int status = -1;
  rusage used = {};
  while (Since(start) < deadlineMs && wait4(pid, &status, WNOHANG, &used) != pid) {
    status = -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  *tookMs = Since(start);
  *cpuMs =
      (used.ru_utime.tv_sec + used.ru_stime.tv_sec) * 1000.0 + (used.ru_utime.tv_usec + used.ru_stime.tv_usec) / 1000.0;
  return status;
}

// Every process the game had started must end soon after it (gone, or a zombie); one
// left over is killed.
void ExpectNoneLeft(const std::vector<pid_t>& started)
{
  const auto start = std::chrono::steady_clock::now();
  const auto running = [](pid_t pid) { return ProcessState(pid) != 0 && ProcessState(pid) != 'Z'; };
  for (const pid_t pid : started) {
    while (running(pid) && Since(start) < 5000.0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_FALSE(running(pid)) << "process " << pid << " outlived the game";
    if (running(pid)) kill(pid, SIGKILL);
  }
}

// Whether the wave recording was closed: its sizes are written only when the device closes.
bool SoundDeviceClosed(const fs::path& recording)
{
  const std::string bytes = FileBytes(recording);
  if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") != 0) return false;
  uint32_t riffSize = 0;
  std::memcpy(&riffSize, bytes.data() + 4, 4);
  return riffSize == bytes.size() - 8;
}

// The display of an Xvfb of the test's own (started once, on a free display; it dies
// with the test), or "" with the reason when there is none.
std::string TestDisplay(std::string* why)
{
  static std::string display;
  const std::string server = "/usr/bin/Xvfb";
  if (!display.empty()) return display;
  *why = "Xvfb is not installed (apt-get install xvfb)";
  if (access(server.c_str(), X_OK) != 0) return "";
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return "";
  Spawn({server, "-displayfd", std::to_string(pipeFds[1]), "-screen", "0", "1280x800x24", "-nolisten", "tcp"},
        EnvironmentWith({}), ::testing::TempDir() + "end_signal_xvfb.log", pipeFds[1]);
  close(pipeFds[1]);
  const std::string number = ReadLine(pipeFds[0], 20000.0);
  close(pipeFds[0]);
  *why = "Xvfb did not start";
  if (!number.empty()) display = ":" + number;
  return display;
}

class EndSignalTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    folder = fs::path(::testing::TempDir()) / ("solverica_end_signal_" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::ofstream(folder / "alsoft.conf") << "[wave]\nfile = " << (folder / "sound.wav").string() << "\n";
  }
  void TearDown() override { fs::remove_all(folder); }

  // A session bus address, as a desktop always sets one, that leads nowhere. Without
  // any, SDL's D-Bus library would start (and wait for) a helper on the X display.
  std::string NoSessionBus() const { return "unix:path=" + (folder / "no-bus").string(); }

  // This program again as a child in the state; the signal once it is there; then the
  // checks. Box states wait for the box's own process first.
  void EndChildInState(const std::string& state, int signal, const std::string& display)
  {
    SCOPED_TRACE(state + " / " + strsignal(signal));
    int pipeFds[2];
    ASSERT_EQ(pipe2(pipeFds, O_CLOEXEC), 0);
    const bool box = !display.empty();
    const std::vector<std::string> environment = EnvironmentWith({
        {stateVariable, state},
        {readyVariable, std::to_string(pipeFds[1])},
        {"SDL_VIDEODRIVER", box ? "x11" : "offscreen"},
        {"DISPLAY", display},
        {"DBUS_SESSION_BUS_ADDRESS", NoSessionBus()},
        {"ALSOFT_DRIVERS", "wave"},
        {"ALSOFT_CONF", (folder / "alsoft.conf").string()},
        {"SOLVERICA_QUALITY", "auto"},  // what the renderer chooses for a player
    });
    const std::string log = (folder / "child.log").string();
    const pid_t child = Spawn({"/proc/self/exe", "--gtest_filter=EndSignalChild.*"}, environment, log, pipeFds[1]);
    close(pipeFds[1]);
    const std::string scratch = ReadLine(pipeFds[0], readyDeadlineMs);
    close(pipeFds[0]);
    if (scratch.empty()) {
      kill(child, SIGKILL);
      waitpid(child, nullptr, 0);
      FAIL() << "the child never reached the state:\n" << FileBytes(log);
    }
    SendAndCheck(child, signal, box, log);
    EXPECT_EQ(FileBytes(fs::path(scratch) / "res/dat/save.dat"), savedBytes) << "the save is whole";
    EXPECT_FALSE(fs::exists(fs::path(scratch) / "res/dat/save.dat.tmp"));
    EXPECT_TRUE(SoundDeviceClosed(folder / "sound.wav")) << "the sound device was closed";
    fs::remove_all(scratch);
  }

  // The signal (once the box, if any, shows), the end in time with the right status,
  // and nothing left running. Prints how long the end took.
  void SendAndCheck(pid_t game, int signal, bool box, const std::string& log)
  {
    // The box's process wakes now and then (X events), so the first sight of it
    // waiting is what counts, not a second look.
    const auto waitStart = std::chrono::steady_clock::now();
    bool boxShows = false;
    while (box && !(boxShows = WaitsForAChild(game)) && Since(waitStart) < readyDeadlineMs) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const std::vector<pid_t> started = ChildrenOf(game);
    if (box) {
      EXPECT_TRUE(boxShows) << "the message box runs in a process of its own";
    }
    kill(game, signal);
    const double cpuBefore = CpuMilliseconds(game);
    double took = 0.0;
    double cpu = 0.0;
    const int status = WaitForEnd(game, endDeadlineMs, &took, &cpu);
    if (status == -1) {
      kill(game, SIGKILL);
      waitpid(game, nullptr, 0);
    }
    std::printf("  %-9s after %6.0f ms, %5.0f ms of CPU\n", strsignal(signal), took, cpu - cpuBefore);
    // Its own exit with 0, or 130 after Ctrl+C; a killed game is simply dead.
    const bool endedWell =
        signal == SIGKILL ? status != -1 && WIFSIGNALED(status)
                          : status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == (signal == SIGINT ? 130 : 0);
    EXPECT_TRUE(endedWell) << "wait status " << status << " (-1: not ended in " << endDeadlineMs << " ms)\n"
                           << FileBytes(log);
    ExpectNoneLeft(started);
  }

  fs::path folder;
};

const int endSignals[] = {SIGTERM, SIGINT, SIGHUP};

}  // namespace

TEST_F(EndSignalTest, EachSignalEndsTheGameFromEachStateWithItsFilesWhole)
{
  for (const char* state : {"title", "stage", "loading", "menu", "ending"}) {
    std::printf("%s\n", state);
    for (const int signal : endSignals) EndChildInState(state, signal, "");
  }
}

TEST_F(EndSignalTest, TheTitlesQuitQuestionEndsWithTheGame)
{
  std::string why;
  const std::string display = TestDisplay(&why);
  if (display.empty()) GTEST_SKIP() << why;
  std::printf("quit question\n");
  for (const int signal : endSignals) EndChildInState("quit-question", signal, display);
}

// The program itself, with its defaults: the start-up question is the first thing a
// player meets. Its box's process must end with the game, also when the game is killed.
TEST_F(EndSignalTest, TheStartUpQuestionEndsWithTheGameEvenWhenItIsKilled)
{
  std::string why;
  const std::string display = TestDisplay(&why);
  if (display.empty()) GTEST_SKIP() << why;
  const fs::path build = PlaythroughBuildDir();
  if (access((build / "solverica").c_str(), X_OK) != 0) GTEST_SKIP() << "no solverica beside the tests";
  const fs::path config = folder / "config" / "solverica";
  fs::create_directories(config);
  const std::string settings = "# by hand\r\nfullscreen = ask\r\n  music_volume=40 \r\n";
  std::ofstream(config / "settings.ini", std::ios::binary) << settings;
  const std::vector<std::string> environment = EnvironmentWith({
      {"HOME", folder.string()},
      {"XDG_CONFIG_HOME", (folder / "config").string()},
      {"XDG_DATA_HOME", (folder / "data").string()},
      {"SDL_VIDEODRIVER", "x11"},
      {"DISPLAY", display},
      {"DBUS_SESSION_BUS_ADDRESS", NoSessionBus()},
      {"ALSOFT_DRIVERS", "null"},
  });
  std::printf("start-up question\n");
  for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGKILL}) {
    SCOPED_TRACE(strsignal(signal));
    const std::string log = (folder / "game.log").string();
    SendAndCheck(Spawn({(build / "solverica").string()}, environment, log), signal, true, log);
    EXPECT_EQ(FileBytes(config / "settings.ini"), settings) << "the settings are whole";
  }
}
