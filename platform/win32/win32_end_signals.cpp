// The session's request to end, as Linux sends it: SIGTERM (logout, shutdown), SIGHUP
// (the terminal went away) and SIGINT (Ctrl+C) stand in for WM_CLOSE to every window,
// so the game takes the same way out as its close button. The handler only records the
// signal; the message pump closes the windows. SDL shows a message box from a forked
// child and waits for it, so the handler also ends that child: the box then returns its
// default answer and the loop runs again. Every child the game forks asks the kernel to
// kill it when the game dies, so none outlives a killed game.
// Limits: Linux only (prctl, pidfds); SIGHUP ignored at start (nohup) stays ignored.
#include "win32_comforts.h"
#include "win32_state.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <new>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Lives in a page shared with forked children, so that a box's child and a signal that
// comes while the child starts always find each other.
struct SharedEndState {
  std::atomic<int> signal{0};      // the first end signal, 0 before
  std::atomic<pid_t> boxChild{0};  // the process showing the message box, 0 when none
};

const int endSignals[] = {SIGTERM, SIGINT, SIGHUP};
SharedEndState* shared = nullptr;
pid_t forkingPid = 0;       // the process that forked, as its child sees it
bool boxShowing = false;    // set round SDL's box: a child forked meanwhile shows it
bool endDelivered = false;  // the pump has closed the windows

// Ends the box's process, but only while it is still our child and not yet reaped:
// once SDL has reaped it, its pid may already belong to another program.
void EndBoxChild(pid_t child)
{
  const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, child, 0));
  if (pidfd < 0) {
    if (errno == ENOSYS) kill(child, SIGKILL);  // a kernel older than pidfds
    return;
  }
  siginfo_t info = {};
  if (waitid(P_PIDFD, static_cast<id_t>(pidfd), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == 0) {
    syscall(SYS_pidfd_send_signal, pidfd, SIGKILL, nullptr, 0);
  }
  close(pidfd);
}

// The handler (async-signal-safe): keeps the first signal, ends a box that is showing.
void OnEndSignal(int number)
{
  const int savedErrno = errno;
  int none = 0;
  shared->signal.compare_exchange_strong(none, number);
  const pid_t child = shared->boxChild.load();
  if (child > 0) EndBoxChild(child);
  errno = savedErrno;
}

// In the parent, just before any fork.
void BeforeFork()
{
  forkingPid = getpid();
}

// In every forked child (async-signal-safe): the end signals end it as any program, it
// dies with its parent, and a box's child makes itself known, or ends at once when the
// game is already ending.
void InForkedChild()
{
  for (const int number : endSignals) signal(number, SIG_DFL);
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != forkingPid) _exit(1);  // the parent died before the line above
  if (!boxShowing) return;
  shared->boxChild.store(getpid());
  if (shared->signal.load() != 0) _exit(1);
}

}  // namespace

// The handlers, the fork hooks and the shared page; once.
void Win32CatchEndSignals()
{
  if (shared) return;
  void* page = mmap(nullptr, sizeof(SharedEndState), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  static SharedEndState unshared;  // without the page a box child cannot see the signal, the rest works
  shared = page == MAP_FAILED ? &unshared : new (page) SharedEndState();
  pthread_atfork(BeforeFork, nullptr, InForkedChild);
  // SDL would turn SIGINT and SIGTERM into its quit event, but only while it pumps events.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  struct sigaction action = {};
  action.sa_handler = OnEndSignal;
  sigemptyset(&action.sa_mask);
  for (const int number : endSignals) sigaddset(&action.sa_mask, number);
  action.sa_flags = SA_RESTART;  // a file being written goes on being written
  for (const int number : endSignals) {
    struct sigaction before = {};
    sigaction(number, nullptr, &before);
    // nohup keeps its meaning; SIGINT is caught even where a shell's background job
    // would ignore it, since the game is no job of a terminal but a window of its own.
    if (number != SIGHUP || before.sa_handler != SIG_IGN) sigaction(number, &action, nullptr);
  }
}

// 0 until a signal came.
int Win32EndSignal()
{
  return shared ? shared->signal.load() : 0;
}

// Once per run, for the pump.
bool Win32TakeEndRequest()
{
  if (endDelivered || Win32EndSignal() == 0) return false;
  endDelivered = true;
  return true;
}

// Marks the time SDL's box is up; its child is forgotten when it is down again.
void Win32MessageBoxShowing(bool showing)
{
  boxShowing = showing;
  if (!showing && shared) shared->boxChild.store(0);
}
