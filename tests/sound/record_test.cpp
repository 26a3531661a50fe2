// Listening tests: each scenario runs in a child process of this test program with
// OpenAL's wave-file driver, which records the mix; the parent then reads the
// recording back and measures it. A fresh process is needed because OpenAL reads
// its driver and configuration only once. Also: no sound device at all.
#include "sound.h"
#include "wav_bytes.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

using namespace OstrelLibrary;
using namespace wavbytes;

namespace {

const char* const kChildVariable = "SOLVERICA_SOUND_CHILD";  // the child's output folder
const double kRate = 44100.0;

// The recorded mix, one float vector per channel in the file's order (stereo: left,
// right; quad: front left, front right, back left, back right). `left` and `right`
// are the first two.
struct Recording {
  std::vector<std::vector<float>> channels;
  std::vector<float> left;
  std::vector<float> right;
};

// Sum of squares of every channel over frames [from, to).
double Energy(const Recording& recording, size_t from, size_t to)
{
  double sum = 0.0;
  for (const std::vector<float>& channel : recording.channels) {
    for (size_t i = from; i < std::min(to, channel.size()); ++i) sum += (double)channel[i] * channel[i];
  }
  return sum;
}

// Sum of squares of one channel over the whole recording.
double ChannelEnergy(const std::vector<float>& channel)
{
  double sum = 0.0;
  for (const float sample : channel) sum += (double)sample * sample;
  return sum;
}

// Reads OpenAL's recording (32-bit float, 44100 Hz, plain or extensible) with our own
// RIFF reader; false when it is not such a file.
bool ReadRecording(const std::string& path, Recording& out)
{
  HMMIO file = mmioOpenA(path.c_str(), nullptr, MMIO_ALLOCBUF | MMIO_READ);
  if (!file) return false;
  bool read = false;
  MMCKINFO riff = {};
  MMCKINFO chunk = {};
  chunk.ckid = mmioFOURCC('f', 'm', 't', ' ');
  WAVEFORMATEX format = {};
  if (mmioDescend(file, &riff, nullptr, 0) == 0 && mmioDescend(file, &chunk, &riff, MMIO_FINDCHUNK) == 0 &&
      chunk.cksize >= 16 && mmioRead(file, (HPSTR)&format, 16) == 16 && format.nChannels >= 2 &&
      format.wBitsPerSample == 32 && format.nSamplesPerSec == 44100 && mmioAscend(file, &chunk, 0) == 0) {
    chunk = {};
    chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
    if (mmioDescend(file, &chunk, &riff, MMIO_FINDCHUNK) == 0) {
      std::vector<float> frames(chunk.cksize / sizeof(float));
      const LONG bytes = (LONG)(frames.size() * sizeof(float));
      read = mmioRead(file, (HPSTR)frames.data(), bytes) == bytes;
      out.channels.assign(format.nChannels, std::vector<float>());
      for (size_t i = 0; i < frames.size(); ++i) out.channels[i % format.nChannels].push_back(frames[i]);
      out.left = out.channels[0];
      out.right = out.channels[1];
    }
  }
  mmioClose(file, 0);
  return read;
}

// Runs one child test of this program with the given OpenAL driver and the child
// variable naming `folder`; returns its exit status (-1 if it did not exit).
int RunChild(const std::string& testName, const std::string& drivers, const std::string& folder)
{
  std::vector<std::string> variables;
  for (char** entry = environ; *entry; ++entry) {
    const std::string variable = *entry;
    if (variable.rfind("ALSOFT_", 0) == 0 || variable.rfind(kChildVariable, 0) == 0) continue;
    variables.push_back(variable);
  }
  variables.push_back("ALSOFT_DRIVERS=" + drivers);
  variables.push_back("ALSOFT_CONF=" + folder + "/alsoft.conf");
  variables.push_back(std::string(kChildVariable) + "=" + folder);
  std::vector<char*> environment;
  for (std::string& variable : variables) environment.push_back(variable.data());
  environment.push_back(nullptr);
  std::string filter = "--gtest_filter=" + testName;
  char program[] = "/proc/self/exe";
  char* arguments[] = {program, filter.data(), nullptr};
  fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    execve(program, arguments, environment.data());
    _exit(127);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// Runs a child scenario recording into a fresh folder with the given speaker
// layout and reads what it recorded.
Recording Record(const std::string& scenario, const std::string& layout = "stereo")
{
  Recording recording;
  const std::string folder = MakeTempDir();
  EXPECT_FALSE(folder.empty());
  const std::string config = "[general]\nchannels = " + layout +
                             "\nsample-type = float32\nfrequency = 44100\n"
                             "hrtf = false\noutput-limiter = false\ndither = false\n[wave]\nfile = " +
                             folder + "/recording.wav\n";
  EXPECT_TRUE(WriteFile(folder + "/alsoft.conf", config));
  EXPECT_EQ(RunChild("SoundChild." + scenario, "wave", folder), 0);
  EXPECT_EQ(ReadFile(folder + "/done"), scenario) << "the child scenario did not run to its end";
  EXPECT_TRUE(ReadRecording(folder + "/recording.wav", recording)) << "no readable recording";
  RemoveTempDir(folder);
  return recording;
}

// The child's folder, or null outside a child (the scenario is then skipped).
const char* ChildFolder()
{
  return getenv(kChildVariable);
}

// Ends a child scenario: closes the device so the recording is complete, and
// leaves a mark that the scenario got this far.
void FinishChild(const char* scenario)
{
  UninitSound();
  EXPECT_TRUE(WriteFile(std::string(ChildFolder()) + "/done", scenario));
}

// Loads a generated WAV into `sound` (positional when asked).
void LoadTone(CSound& sound, double seconds, bool positional)
{
  const std::string path = std::string(ChildFolder()) + "/tone.wav";
  ASSERT_TRUE(WriteFile(path, ToneWav(440, seconds, 0.5)));
  if (positional)
    sound.Load3D(path.c_str());
  else
    sound.Load(path.c_str());
  ASSERT_NE(sound.buffer, nullptr);
}

void Wait(int milliseconds)
{
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// Waits until the mixer has taken the whole one-shot, however busy the machine; the
// minute's limit only keeps a broken mixer from hanging the child.
void WaitUntilPlayed(const CSound& sound)
{
  for (int i = 0; i < 6000; ++i) {
    DWORD status = 0;
    if (sound.buffer->GetStatus(&status) != DS_OK || !(status & DSBSTATUS_PLAYING)) break;
    Wait(10);
  }
  // Then some silence after it, which the recordings look at.
  Wait(300);
}

// Plays a positional tone `distance` units in front of (or `side` units to the
// right of) a listener placed away from the origin.
// With `changeRolloff` the listener's rolloff factor changes while the sound exists
// (it must reach sounds already loaded) and ends at the game's 0.05.
void PlayPositioned(const char* scenario, float side, float distance, bool changeRolloff = false)
{
  if (!ChildFolder()) GTEST_SKIP() << "run by the recording tests";
  InitSound(nullptr);
  ASSERT_NE(directSound, nullptr);
  {
    if (changeRolloff) listener->SetRolloffFactor(1.0f, DS3D_IMMEDIATE);
    CSound sound;
    LoadTone(sound, 0.3, true);
    if (changeRolloff) listener->SetRolloffFactor(0.05f, DS3D_IMMEDIATE);
    D3DXMATRIX at = {};
    at._11 = at._22 = at._33 = at._44 = 1.0f;
    at._41 = 10.0f;
    at._42 = 2.0f;
    at._43 = -5.0f;
    sound.Play3D(at, D3DXVECTOR3(10.0f + side, 2.0f, -5.0f + distance), 0);
    WaitUntilPlayed(sound);
  }
  FinishChild(scenario);
}

// ---- child scenarios (skipped unless started by a recording test) ---------------------

TEST(SoundChild, Tone)
{
  if (!ChildFolder()) GTEST_SKIP() << "run by the recording tests";
  InitSound(nullptr);
  ASSERT_NE(directSound, nullptr);
  {
    CSound sound;
    LoadTone(sound, 0.3, false);
    sound.Play(0);
    WaitUntilPlayed(sound);
  }
  FinishChild("Tone");
}

TEST(SoundChild, Quieter)
{
  if (!ChildFolder()) GTEST_SKIP() << "run by the recording tests";
  InitSound(nullptr);
  ASSERT_NE(directSound, nullptr);
  {
    CSound sound;
    LoadTone(sound, 0.3, false);
    sound.ChangeVolume(-600);
    sound.Play(0);
    WaitUntilPlayed(sound);
  }
  FinishChild("Quieter");
}

TEST(SoundChild, Near)
{
  PlayPositioned("Near", 0.0f, 1.0f);
}
TEST(SoundChild, Far)
{
  PlayPositioned("Far", 0.0f, 50.0f);
}
TEST(SoundChild, FarRolloffChanged)
{
  PlayPositioned("FarRolloffChanged", 0.0f, 50.0f, true);
}
TEST(SoundChild, Right)
{
  PlayPositioned("Right", 3.0f, 1.0f);
}
TEST(SoundChild, Behind)
{
  PlayPositioned("Behind", 0.0f, -2.0f);
}

TEST(SoundChild, Loop)
{
  if (!ChildFolder()) GTEST_SKIP() << "run by the recording tests";
  InitSound(nullptr);
  ASSERT_NE(directSound, nullptr);
  {
    CSound sound;
    LoadTone(sound, 0.2, false);
    sound.Play(1);
    Wait(900);
  }
  FinishChild("Loop");
}

// Music longer than the stream's queue: 1.5 s of 440 Hz, a whole number of cycles, so
// the data itself joins its end to its start without a step.
TEST(SoundChild, MusicLoop)
{
  if (!ChildFolder()) GTEST_SKIP() << "run by the recording tests";
  InitSound(nullptr);
  ASSERT_NE(directSound, nullptr);
  {
    const std::string path = std::string(ChildFolder()) + "/loop_bgm.wav";
    ASSERT_TRUE(WriteFile(path, ToneWav(440, 1.5, 0.5)));
    CSound music;
    music.Load(path.c_str());
    ASSERT_NE(music.buffer, nullptr);
    music.Play(1);
    Wait(4200);
  }
  FinishChild("MusicLoop");
}

TEST(SoundChild, NoDevice)
{
  if (!ChildFolder()) GTEST_SKIP() << "run by the no-device test";
  InitSound(nullptr);
  EXPECT_EQ(directSound, nullptr);
  EXPECT_EQ(primaryBuffer, nullptr);
  EXPECT_EQ(listener, nullptr);
  const std::string path = std::string(ChildFolder()) + "/tone.wav";
  ASSERT_TRUE(WriteFile(path, ToneWav(440, 0.1, 0.5)));
  CSound sound;
  sound.Load(path.c_str());
  EXPECT_EQ(sound.buffer, nullptr);
  sound.Play(1);
  sound.Restart();
  sound.ChangeVolume(-100);
  sound.Stop();
  CSound positional;
  positional.Load3D(path.c_str());
  EXPECT_EQ(positional.buffer, nullptr);
  D3DXMATRIX at = {};
  positional.Play3D(at, D3DXVECTOR3(0, 0, 1), DSBPLAY_LOOPING);
  EXPECT_EQ(positional.playing, 0);
  EXPECT_EQ(sound.playing, 0);
  EXPECT_TRUE(WriteFile(std::string(ChildFolder()) + "/done", "NoDevice"));
}

// ---- the recording tests -------------------------------------------------------------

// What the joints of a recorded looping tone sound like: how many joints lay well
// inside the recording, the longest run of silence from the first sound to the last
// joint, the biggest sample-to-sample step within a few milliseconds of a joint,
// and the biggest step of the tone itself inside its first pass.
struct Joints {
  int count = 0;
  size_t longestSilence = 0;
  float jointStep = 0.0f;
  float ownStep = 0.0f;
};

// The biggest step between neighbouring samples of [from, to).
float BiggestStep(const std::vector<float>& channel, size_t from, size_t to)
{
  float biggest = 0.0f;
  for (size_t i = from + 1; i < std::min(to, channel.size()); ++i) {
    biggest = std::max(biggest, std::fabs(channel[i] - channel[i - 1]));
  }
  return biggest;
}

// Measures the joints of a tone looping every `loopSeconds` in the left channel.
Joints MeasureJoints(const Recording& recording, double loopSeconds)
{
  Joints joints;
  const std::vector<float>& left = recording.left;
  const float quiet = 1e-4f;
  size_t first = 0;
  while (first < left.size() && std::fabs(left[first]) < quiet) ++first;
  size_t last = left.size();
  while (last > first && std::fabs(left[last - 1]) < quiet) --last;
  // The sound is cut off when the child lets it go: stay well before that.
  const size_t margin = 2048;
  const size_t loop = (size_t)std::lround(loopSeconds * kRate);
  if (first == left.size() || last < first + loop + 2 * margin) return joints;
  joints.ownStep = BiggestStep(left, first + margin, first + loop - margin);
  size_t lastJoint = first;
  for (size_t joint = first + loop; joint + margin < last - margin; joint += loop) {
    ++joints.count;
    joints.jointStep = std::max(joints.jointStep, BiggestStep(left, joint - 256, joint + 256));
    lastJoint = joint;
  }
  size_t run = 0;
  for (size_t i = first; i < lastJoint + margin; ++i) {
    run = std::fabs(left[i]) < 1e-3f ? run + 1 : 0;
    joints.longestSilence = std::max(joints.longestSilence, run);
  }
  return joints;
}

// Checks that every joint is seamless: no gap, no step beyond the tone's own.
void ExpectSeamless(const Joints& joints, int minimumJoints)
{
  std::printf("%d joints: longest silence %zu samples, biggest step at a joint %.4f, the tone's own %.4f\n",
              joints.count, joints.longestSilence, joints.jointStep, joints.ownStep);
  EXPECT_GE(joints.count, minimumJoints);
  ASSERT_GT(joints.ownStep, 0.01f);
  // A sine crosses zero in one sample; a gap would be a run of silence.
  EXPECT_LE(joints.longestSilence, 2u) << "a gap in the loop";
  EXPECT_LE(joints.jointStep, joints.ownStep * 1.05f) << "a click at the loop's joint";
}

TEST(SoundRecording, ToneReachesTheRecordingAndEnds)
{
  const Recording recording = Record("Tone");
  ASSERT_GT(recording.left.size(), (size_t)(0.5 * kRate));
  // The tone is heard...
  float peak = 0.0f;
  for (const float sample : recording.left) peak = std::max(peak, std::fabs(sample));
  EXPECT_GT(peak, 0.2f);
  // ...at its own pitch: count rising zero crossings over the loud part.
  size_t first = 0;
  while (first < recording.left.size() && std::fabs(recording.left[first]) < 0.05f) ++first;
  const size_t span = (size_t)(0.2 * kRate);
  ASSERT_LT(first + span, recording.left.size());
  int rising = 0;
  for (size_t i = first + 1; i < first + span; ++i) {
    if (recording.left[i - 1] < 0.0f && recording.left[i] >= 0.0f) ++rising;
  }
  EXPECT_NEAR(rising / 0.2, 440.0, 15.0);
  // A one-shot is silent once its 0.3 s are over.
  EXPECT_LT(Energy(recording, first + (size_t)(0.35 * kRate), recording.left.size()), 1e-6);
}

TEST(SoundRecording, VolumeIsHundredthsOfADecibel)
{
  const double full = Energy(Record("Tone"), 0, SIZE_MAX);
  const double quieter = Energy(Record("Quieter"), 0, SIZE_MAX);
  ASSERT_GT(full, 0.0);
  // -600 hundredths of a decibel: gain 10^(-600/2000).
  EXPECT_NEAR(std::sqrt(quieter / full), std::pow(10.0, -0.3), 0.02);
}

TEST(SoundRecording, FarSoundIsQuieterByTheDistanceModel)
{
  const double near = Energy(Record("Near"), 0, SIZE_MAX);
  const double far = Energy(Record("Far"), 0, SIZE_MAX);
  ASSERT_GT(near, 0.0);
  // Inverse distance clamped, minimum distance 1, rolloff 0.05: 1 / (1 + 0.05 (d - 1)).
  const double expected = (1.0 / (1.0 + 0.05 * 49.0)) / (1.0 / (1.0 + 0.05 * 0.0));
  const double ratio = std::sqrt(far / near);
  std::printf("far/near amplitude ratio %.4f, model %.4f\n", ratio, expected);
  EXPECT_NEAR(ratio, expected, 0.03);
  const double changed = std::sqrt(Energy(Record("FarRolloffChanged"), 0, SIZE_MAX) / near);
  EXPECT_NEAR(changed, expected, 0.03) << "a rolloff change must reach sounds already loaded";
}

TEST(SoundRecording, PositiveXIsOnTheRight)
{
  const Recording recording = Record("Right");
  const double left = ChannelEnergy(recording.left);
  const double right = ChannelEnergy(recording.right);
  ASSERT_GT(right, 0.0);
  EXPECT_GT(right, 2.0 * left);
}

TEST(SoundRecording, NegativeZIsBehindTheListener)
{
  // Four speakers tell front from back: DirectSound's listener faces +z by default.
  const Recording recording = Record("Behind", "quad");
  ASSERT_EQ(recording.channels.size(), 4u);
  const double front = ChannelEnergy(recording.channels[0]) + ChannelEnergy(recording.channels[1]);
  const double back = ChannelEnergy(recording.channels[2]) + ChannelEnergy(recording.channels[3]);
  ASSERT_GT(back, 0.0);
  EXPECT_GT(back, 2.0 * front);
}

TEST(SoundRecording, LoopKeepsPlayingPastItsLength)
{
  const Recording recording = Record("Loop");
  size_t first = 0;
  while (first < recording.left.size() && std::fabs(recording.left[first]) < 0.05f) ++first;
  // The tone lasts 0.2 s; 0.5 s to 0.7 s after it started it must still sound, as loud as at first.
  const double start = Energy(recording, first, first + (size_t)(0.2 * kRate));
  const double later = Energy(recording, first + (size_t)(0.5 * kRate), first + (size_t)(0.7 * kRate));
  ASSERT_GT(start, 0.0);
  EXPECT_NEAR(later / start, 1.0, 0.1);
}

TEST(SoundRecording, ALoopedEffectJoinsWithoutAGapOrAClick)
{
  ExpectSeamless(MeasureJoints(Record("Loop"), 0.2), 3);
}

TEST(SoundRecording, StreamedMusicJoinsWithoutAGapOrAClick)
{
  // Two joints of the loop, and every joint of the stream's queued pieces between.
  ExpectSeamless(MeasureJoints(Record("MusicLoop"), 1.5), 2);
}

TEST(SoundRecording, NoDeviceLeavesEverySoundSilent)
{
  const std::string folder = MakeTempDir();
  ASSERT_FALSE(folder.empty());
  ASSERT_TRUE(WriteFile(folder + "/alsoft.conf", ""));
  EXPECT_EQ(RunChild("SoundChild.NoDevice", "no-such-driver", folder), 0);
  EXPECT_EQ(ReadFile(folder + "/done"), "NoDevice");
  RemoveTempDir(folder);
}

}  // namespace
