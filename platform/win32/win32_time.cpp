// The winmm timer (timeGetTime and its period calls) and MoveFileExA.
// timeGetTime counts milliseconds of the monotonic clock in 32 bits, wrapping like
// the Windows one; Linux timers are already millisecond-exact, so the period calls
// only check their argument. A test can fix the clock (test_seam.h).
#include "test_seam.h"
#include "win32_state.h"

#include <chrono>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {

bool clockFixed = false;
DWORD fixedNow = 0;

// Flushes a file or directory to disk by path; false when it cannot be opened.
bool SyncPath(const char* path, int flags)
{
  const int descriptor = open(path, flags);
  if (descriptor < 0) return false;
  const bool synced = fsync(descriptor) == 0;
  close(descriptor);
  return synced;
}

}  // namespace

// Milliseconds since an arbitrary start, modulo 2^32.
DWORD timeGetTime()
{
  if (clockFixed) return fixedNow;
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

// Accepts a resolution of 1 ms or more; there is nothing to change.
MMRESULT timeBeginPeriod(UINT period)
{
  return period == 0 ? TIMERR_NOCANDO : TIMERR_NOERROR;
}

// Counterpart of timeBeginPeriod.
MMRESULT timeEndPeriod(UINT period)
{
  return period == 0 ? TIMERR_NOCANDO : TIMERR_NOERROR;
}

// Renames a file, replacing the target in one step when asked (POSIX rename is
// atomic). With MOVEFILE_WRITE_THROUGH the data and the directory entry are on disk
// before it returns, so a crash leaves the old file or the new one, never a torn one.
BOOL MoveFileExA(LPCSTR existingName, LPCSTR newName, DWORD flags)
{
  if (!existingName || !newName) return FALSE;
  if (!(flags & MOVEFILE_REPLACE_EXISTING) && access(newName, F_OK) == 0) return FALSE;
  if ((flags & MOVEFILE_WRITE_THROUGH) && !SyncPath(existingName, O_RDONLY)) return FALSE;
  if (std::rename(existingName, newName) != 0) return FALSE;
  if (flags & MOVEFILE_WRITE_THROUGH) {
    std::string directory(newName);
    const size_t slash = directory.find_last_of('/');
    directory = slash == std::string::npos ? "." : directory.substr(0, slash == 0 ? 1 : slash);
    SyncPath(directory.c_str(), O_RDONLY | O_DIRECTORY);
  }
  return TRUE;
}

// ---- internal and test seam -----------------------------------------------------------

// Whether a test has fixed the clock.
bool Win32ClockIsFixed()
{
  return clockFixed;
}

// Lets simulated time pass.
void Win32AdvanceFixedClock(DWORD milliseconds)
{
  fixedNow += milliseconds;
}

// Fixes the clock at a value.
void Win32TestSetClock(DWORD now)
{
  clockFixed = true;
  fixedNow = now;
}

// Moves the fixed clock on.
void Win32TestAdvanceClock(DWORD milliseconds)
{
  fixedNow += milliseconds;
}

// Back to real time.
void Win32TestUseRealClock()
{
  clockFixed = false;
}
