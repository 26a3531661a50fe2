// A program that uses sound the way the game and the test programs do and leaves by the
// way its argument names, so the exit tests can run it many times at once:
//   sound_exit_probe return|exit|uninit|thread
// It opens the device, streams looping music (the pump thread runs) and plays an effect,
// both sounds held by static objects that outlive main, and then: returns from main with the
// device open (return), calls exit() from below main (exit), closes everything first as
// the game does (uninit), or calls exit() from a second thread while music plays (thread).
#include "sound.h"
#include "wav_bytes.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

using namespace OstrelLibrary;
using namespace wavbytes;

namespace {

// Destroyed after the exit handlers registered after them: their buffers are then lost.
CSound music;
CSound heldToTheEnd;

// Leaves the process from inside a call, as an error path would.
[[noreturn]] void LeaveFromBelowMain()
{
  std::exit(0);
}

}  // namespace

// Plays, then leaves as asked; 2 for an unknown way, 3 when the device does not open.
int main(int argc, char** argv)
{
  setenv("ALSOFT_DRIVERS", "null", 0);
  const std::string way = argc > 1 ? argv[1] : "";
  if (way != "return" && way != "exit" && way != "uninit" && way != "thread") return 2;
  const std::string dir = MakeTempDir();
  const std::string musicPath = dir + "/probe_bgm.wav";
  const std::string effect = dir + "/probe.wav";
  WriteFile(musicPath, ToneWav(220, 3.0, 0.3));
  WriteFile(effect, ToneWav(880, 0.2, 0.3));
  InitSound(nullptr);
  if (!directSound) return 3;
  music.Load(musicPath.c_str());
  music.Play(1);
  heldToTheEnd.Load(effect.c_str());
  heldToTheEnd.Play(0);
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  RemoveTempDir(dir);
  if (way == "exit") LeaveFromBelowMain();
  if (way == "thread") {
    std::thread leaving(LeaveFromBelowMain);
    leaving.join();
  }
  if (way == "uninit") {
    music.Stop();
    heldToTheEnd.Stop();
    UninitSound();
  }
  return 0;
}
