// CSound on a silent OpenAL device: the playing flag, Restart, volume fades, the
// formats a WAV may carry, and files that must leave the sound empty. Also the
// DirectSound buffer behaviour CSound relies on (positions and locks).
#include "sound.h"
#include "wav_bytes.h"

#include <gtest/gtest.h>

#include <functional>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

using namespace OstrelLibrary;
using namespace wavbytes;

namespace {

// Run alone (not through ctest), the tests still get OpenAL's silent device; this
// happens before any OpenAL call, so OpenAL reads it.
const int useNullDevice = setenv("ALSOFT_DRIVERS", "null", 0);

// Every test gets a fresh process-wide device and a folder for its files.
class SoundTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    (void)useNullDevice;
    dir = MakeTempDir();
    ASSERT_FALSE(dir.empty());
    InitSound(nullptr);
    ASSERT_NE(directSound, nullptr) << "OpenAL's null device should open";
    ASSERT_NE(primaryBuffer, nullptr);
    ASSERT_NE(listener, nullptr);
  }

  void TearDown() override
  {
    UninitSound();
    RemoveTempDir(dir);
  }

  // Writes `bytes` as a file in the test folder and returns its path.
  std::string Write(const std::string& name, const std::string& bytes)
  {
    const std::string path = dir + "/" + name;
    EXPECT_TRUE(WriteFile(path, bytes));
    return path;
  }

  // The buffer's real status bits.
  static DWORD Status(const CSound& sound)
  {
    DWORD status = 0;
    EXPECT_EQ(sound.buffer->GetStatus(&status), DS_OK);
    return status;
  }

  static void Wait(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

  // Polls until the condition holds, however slowly the mixer runs on a busy machine;
  // the minute's limit only keeps a broken mixer from hanging the test.
  static bool WaitUntil(const std::function<bool()>& condition)
  {
    for (int i = 0; i < 6000 && !condition(); ++i) Wait(10);
    return condition();
  }

  // A buffer's play position.
  static DWORD Position(IDirectSoundBuffer* buffer)
  {
    DWORD position = 0;
    EXPECT_EQ(buffer->GetCurrentPosition(&position, nullptr), DS_OK);
    return position;
  }

  std::string dir;
};

// ---- the process-wide objects --------------------------------------------------------

TEST_F(SoundTest, InitSoundSetsPrimaryFormatAndRolloff)
{
  WAVEFORMATEX format = {};
  DWORD written = 0;
  ASSERT_EQ(primaryBuffer->GetFormat(&format, sizeof(format), &written), DS_OK);
  EXPECT_EQ(format.wFormatTag, WAVE_FORMAT_PCM);
  EXPECT_EQ(format.nChannels, 2);
  EXPECT_EQ(format.nSamplesPerSec, 44100u);
  EXPECT_EQ(format.wBitsPerSample, 16);
  EXPECT_EQ(format.nBlockAlign, 4);
  float rolloff = 0.0f;
  ASSERT_EQ(listener->GetRolloffFactor(&rolloff), DS_OK);
  EXPECT_FLOAT_EQ(rolloff, 0.05f);
}

// ---- loading ----------------------------------------------------------------------------

TEST_F(SoundTest, LoadReadsFrequencyAndPrimaryVolume)
{
  primaryBuffer->SetVolume(-300);
  CSound sound;
  sound.Load(Write("tone.wav", ToneWav(440, 0.1, 0.5, 22050)).c_str());
  ASSERT_NE(sound.buffer, nullptr);
  EXPECT_EQ(sound.buffer3D, nullptr);
  EXPECT_EQ(sound.is3D, 0);
  EXPECT_EQ(sound.playing, 0);
  EXPECT_EQ(sound.frequency, 22050u);
  EXPECT_EQ(sound.volume, -300);
  EXPECT_EQ(sound.pan, 0);
}

TEST_F(SoundTest, LoadCopiesTheDataChunkIntoTheBuffer)
{
  const std::string samples = Tone16(440, 0.05, 0.5);
  CSound sound;
  // A chunk before "data" and one after it must not leak into the buffer.
  sound.Load(Write("tone.wav", Riff(PcmFormat(1, 44100, 16) + Chunk("LIST", "INFOxxxx") + Chunk("data", samples) +
                                    Chunk("junk", "after")))
                 .c_str());
  ASSERT_NE(sound.buffer, nullptr);
  void* part1 = nullptr;
  void* part2 = nullptr;
  DWORD bytes1 = 0;
  DWORD bytes2 = 0;
  ASSERT_EQ(sound.buffer->Lock(0, 0, &part1, &bytes1, &part2, &bytes2, DSBLOCK_ENTIREBUFFER), DS_OK);
  ASSERT_EQ(bytes1, samples.size());
  EXPECT_EQ(bytes2, 0u);
  EXPECT_EQ(memcmp(part1, samples.data(), samples.size()), 0);
  EXPECT_EQ(sound.buffer->Unlock(part1, bytes1, part2, bytes2), DS_OK);
}

TEST_F(SoundTest, Load3DGivesAPositionalBufferInNormalMode)
{
  CSound sound;
  sound.Load3D(Write("tone.wav", ToneWav(440, 0.1, 0.5)).c_str());
  ASSERT_NE(sound.buffer, nullptr);
  ASSERT_NE(sound.buffer3D, nullptr);
  EXPECT_EQ(sound.is3D, 1);
  DWORD mode = 99;
  EXPECT_EQ(sound.buffer3D->GetMode(&mode), DS_OK);
  EXPECT_EQ(mode, (DWORD)DS3DMODE_NORMAL);
  // Positional buffers have no pan control.
  EXPECT_EQ(sound.buffer->SetPan(100), DSERR_CONTROLUNAVAIL);
}

TEST_F(SoundTest, ExtensibleFormatWithExtraBytesIsAcceptedAsIs)
{
  // WAVE_FORMAT_EXTENSIBLE: 22 extra bytes (valid bits, channel mask, PCM sub-format).
  std::string extra = U16(16) + U32(0x4);
  extra.append((const char*)&KSDATAFORMAT_SUBTYPE_PCM, sizeof(GUID));
  const std::string fmt = PcmFields(WAVE_FORMAT_EXTENSIBLE, 1, 44100, 16) + U16((uint16_t)extra.size()) + extra;
  CSound sound;
  sound.Load(Write("ext.wav", Riff(Chunk("fmt ", fmt) + Chunk("data", Tone16(440, 0.05, 0.5)))).c_str());
  ASSERT_NE(sound.buffer, nullptr);
  DWORD size = 0;
  ASSERT_EQ(sound.buffer->GetFormat(nullptr, 0, &size), DS_OK);
  ASSERT_EQ(size, fmt.size());
  std::string handed(size, '\0');
  ASSERT_EQ(sound.buffer->GetFormat((WAVEFORMATEX*)handed.data(), size, &size), DS_OK);
  EXPECT_EQ(handed, fmt);
}

TEST_F(SoundTest, FloatFormatWithEmptyExtraIsAccepted)
{
  std::string samples;
  for (int i = 0; i < 1000; ++i) {
    const float value = 0.25f * (float)((i % 50) - 25) / 25.0f;
    samples.append((const char*)&value, sizeof(value));
  }
  const std::string fmt = PcmFields(WAVE_FORMAT_IEEE_FLOAT, 1, 44100, 32) + U16(0);
  CSound sound;
  sound.Load(Write("float.wav", Riff(Chunk("fmt ", fmt) + Chunk("data", samples))).c_str());
  EXPECT_NE(sound.buffer, nullptr);
}

TEST_F(SoundTest, LoadingAgainReplacesTheBuffer)
{
  const std::string path = Write("tone.wav", ToneWav(440, 0.05, 0.5));
  CSound sound;
  sound.Load3D(path.c_str());
  ASSERT_NE(sound.buffer3D, nullptr);
  sound.Load(path.c_str());
  ASSERT_NE(sound.buffer, nullptr);
  EXPECT_EQ(sound.buffer3D, nullptr);
  EXPECT_EQ(sound.is3D, 0);
}

// ---- files that leave the sound empty -----------------------------------------------------

// Every operation on an empty sound does nothing.
void ExpectEmptyAndInert(CSound& sound, const std::string& what)
{
  SCOPED_TRACE(what);
  EXPECT_EQ(sound.buffer, nullptr);
  EXPECT_EQ(sound.buffer3D, nullptr);
  sound.Play(1);
  EXPECT_EQ(sound.playing, 0);
  sound.Restart();
  EXPECT_EQ(sound.playing, 0);
  D3DXMATRIX at = {};
  at._11 = at._22 = at._33 = at._44 = 1.0f;
  sound.Play3D(at, D3DXVECTOR3(1, 2, 3), DSBPLAY_LOOPING);
  EXPECT_EQ(sound.playing, 0);
  sound.ChangeVolume(-500);
  EXPECT_EQ(sound.volume, 0);
  sound.Stop();
  EXPECT_EQ(sound.playing, 0);
  EXPECT_EQ(sound.frequency, 0u);
}

TEST_F(SoundTest, BadFilesLeaveTheSoundEmpty)
{
  const std::string fmt = PcmFormat(1, 44100, 16);
  const std::string data = Chunk("data", Tone16(440, 0.01, 0.5));
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"not RIFF", Chunk("RIFX", "WAVE" + fmt + data)},
      {"RIFF but not WAVE", Riff(fmt + data, "AVI ")},
      {"no fmt", Riff(data)},
      {"no data", Riff(fmt)},
      {"fmt shorter than 16 bytes", Riff(Chunk("fmt ", PcmFields(1, 1, 44100, 16).substr(0, 14)) + data)},
      {"data longer than the file", Riff(fmt + LyingChunk("data", 1u << 30, Tone16(440, 0.01, 0.5)))},
      {"RIFF longer than the file", LyingChunk("RIFF", 1u << 20, "WAVE" + fmt + data)},
      {"extra format bytes past the chunk",
       Riff(Chunk("fmt ", PcmFields(WAVE_FORMAT_IEEE_FLOAT, 1, 44100, 32) + U16(40)) + data)},
      {"empty data", Riff(fmt + Chunk("data", ""))},
      {"block align that does not match",
       Riff(Chunk("fmt ", PcmFields(1, 1, 44100, 16).substr(0, 12) + U16(3) + U16(16)) + data)},
      {"24-bit samples", Riff(Chunk("fmt ", PcmFields(1, 1, 44100, 24)) + Chunk("data", std::string(30, '\0')))},
      {"three channels", Riff(Chunk("fmt ", PcmFields(1, 3, 44100, 16)) + Chunk("data", std::string(60, '\0')))},
      {"sample rate out of range", Riff(Chunk("fmt ", PcmFields(1, 1, 50, 16)) + data)},
      {"compressed format", Riff(Chunk("fmt ", PcmFields(2, 1, 44100, 4) + U16(2) + "ab") + data)},
      {"empty file", ""},
  };
  for (const auto& badCase : cases) {
    CSound sound;
    sound.Load(Write("bad.wav", badCase.bytes).c_str());
    ExpectEmptyAndInert(sound, badCase.what);
    CSound positional;
    positional.Load3D(Write("bad.wav", badCase.bytes).c_str());
    ExpectEmptyAndInert(positional, std::string(badCase.what) + " (3D)");
  }
  CSound missing;
  missing.Load((dir + "/missing.wav").c_str());
  ExpectEmptyAndInert(missing, "missing file");
  CSound folder;
  folder.Load(dir.c_str());
  ExpectEmptyAndInert(folder, "a folder");
}

// ---- the playing flag ---------------------------------------------------------------------

TEST_F(SoundTest, PlayTwicePlaysOnceAndRestartPlaysAgain)
{
  CSound sound;
  sound.Load(Write("blip.wav", ToneWav(440, 0.08, 0.5)).c_str());
  ASSERT_NE(sound.buffer, nullptr);
  sound.Play(0);
  EXPECT_EQ(sound.playing, 1);
  EXPECT_TRUE(Status(sound) & DSBSTATUS_PLAYING);
  EXPECT_FALSE(Status(sound) & DSBSTATUS_LOOPING);
  // The one-shot ends by itself, but the flag does not follow the buffer.
  EXPECT_TRUE(WaitUntil([&] { return !(Status(sound) & DSBSTATUS_PLAYING); }));
  EXPECT_EQ(sound.playing, 1);
  sound.Play(0);
  EXPECT_FALSE(Status(sound) & DSBSTATUS_PLAYING) << "a second Play must not start the sound";
  sound.Restart();
  EXPECT_EQ(sound.playing, 1);
  EXPECT_TRUE(Status(sound) & DSBSTATUS_PLAYING);
}

TEST_F(SoundTest, RestartWhilePlayingStartsFromTheBeginning)
{
  CSound sound;
  sound.Load(Write("long.wav", ToneWav(440, 2.0, 0.5)).c_str());
  ASSERT_NE(sound.buffer, nullptr);
  sound.Play(0);
  ASSERT_TRUE(WaitUntil([&] { return Position(sound.buffer) > 44100u * 2 / 10; })) << "a tenth of a second played";
  DWORD before = 0;
  ASSERT_EQ(sound.buffer->GetCurrentPosition(&before, nullptr), DS_OK);
  sound.Restart();
  DWORD after = 0;
  ASSERT_EQ(sound.buffer->GetCurrentPosition(&after, nullptr), DS_OK);
  EXPECT_LT(after, before / 2);
  EXPECT_TRUE(Status(sound) & DSBSTATUS_PLAYING);
}

TEST_F(SoundTest, StopRewindsAndClearsTheFlag)
{
  CSound sound;
  sound.Load(Write("long.wav", ToneWav(440, 2.0, 0.5)).c_str());
  ASSERT_NE(sound.buffer, nullptr);
  sound.Play(1);
  EXPECT_TRUE(Status(sound) & DSBSTATUS_LOOPING);
  ASSERT_TRUE(WaitUntil([&] { return Position(sound.buffer) > 0; }));
  sound.Stop();
  EXPECT_EQ(sound.playing, 0);
  EXPECT_FALSE(Status(sound) & DSBSTATUS_PLAYING);
  DWORD position = 1;
  ASSERT_EQ(sound.buffer->GetCurrentPosition(&position, nullptr), DS_OK);
  EXPECT_EQ(position, 0u);
}

TEST_F(SoundTest, Play3DMovesListenerAndSourceAndPlaysOnce)
{
  CSound sound;
  sound.Load3D(Write("blip.wav", ToneWav(440, 0.08, 0.5)).c_str());
  ASSERT_NE(sound.buffer3D, nullptr);
  D3DXMATRIX at = {};
  at._11 = at._22 = at._33 = at._44 = 1.0f;
  at._41 = 4.0f;
  at._42 = 5.0f;
  at._43 = 6.0f;
  sound.Play3D(at, D3DXVECTOR3(7, 8, 9), 0);
  EXPECT_EQ(sound.playing, 1);
  D3DVECTOR heard = {};
  ASSERT_EQ(listener->GetPosition(&heard), DS_OK);
  EXPECT_EQ(heard.x, 4.0f);
  EXPECT_EQ(heard.y, 5.0f);
  EXPECT_EQ(heard.z, 6.0f);
  D3DVECTOR source = {};
  ASSERT_EQ(sound.buffer3D->GetPosition(&source), DS_OK);
  EXPECT_EQ(source.x, 7.0f);
  EXPECT_EQ(source.z, 9.0f);
  ASSERT_TRUE(WaitUntil([&] { return !(Status(sound) & DSBSTATUS_PLAYING); }));
  // Positions still follow while the flag stays set, but the sound does not start again.
  sound.Play3D(at, D3DXVECTOR3(1, 1, 1), 0);
  ASSERT_EQ(sound.buffer3D->GetPosition(&source), DS_OK);
  EXPECT_EQ(source.x, 1.0f);
  EXPECT_FALSE(Status(sound) & DSBSTATUS_PLAYING);
}

TEST_F(SoundTest, Play3DOnAPlainSoundPlaysWithoutPositioning)
{
  CSound sound;
  sound.Load(Write("blip.wav", ToneWav(440, 0.5, 0.5)).c_str());
  ASSERT_NE(sound.buffer, nullptr);
  D3DXMATRIX at = {};
  sound.Play3D(at, D3DXVECTOR3(1, 2, 3), 0);
  EXPECT_EQ(sound.playing, 1);
  EXPECT_TRUE(Status(sound) & DSBSTATUS_PLAYING);
}

// ---- volume -----------------------------------------------------------------------------------

TEST_F(SoundTest, ChangeVolumeFadesDownToTheFloorAndStays)
{
  CSound sound;
  sound.Load(Write("tone.wav", ToneWav(440, 0.05, 0.5)).c_str());
  ASSERT_NE(sound.buffer, nullptr);
  ASSERT_EQ(sound.volume, 0);
  for (int i = 0; i < 99; ++i) sound.ChangeVolume(-100);
  EXPECT_EQ(sound.volume, -9900);
  sound.ChangeVolume(-100);
  EXPECT_EQ(sound.volume, -10000);
  LONG applied = 0;
  ASSERT_EQ(sound.buffer->GetVolume(&applied), DS_OK);
  EXPECT_EQ(applied, -10000);
  for (int i = 0; i < 10; ++i) sound.ChangeVolume(-100);
  EXPECT_EQ(sound.volume, -10000);
  sound.ChangeVolume(-2147483647);
  EXPECT_EQ(sound.volume, -10000);
}

TEST_F(SoundTest, ChangeVolumeNeverRisesAboveZero)
{
  CSound sound;
  sound.Load(Write("tone.wav", ToneWav(440, 0.05, 0.5)).c_str());
  ASSERT_NE(sound.buffer, nullptr);
  sound.ChangeVolume(-70);
  sound.ChangeVolume(35);
  EXPECT_EQ(sound.volume, -35);
  sound.ChangeVolume(35);
  sound.ChangeVolume(35);
  EXPECT_EQ(sound.volume, 0);
  sound.ChangeVolume(2147483647);
  EXPECT_EQ(sound.volume, 0);
  LONG applied = 1;
  ASSERT_EQ(sound.buffer->GetVolume(&applied), DS_OK);
  EXPECT_EQ(applied, 0);
}

TEST_F(SoundTest, PlayAppliesTheStoredVolume)
{
  CSound sound;
  sound.Load(Write("tone.wav", ToneWav(440, 0.05, 0.5)).c_str());
  ASSERT_NE(sound.buffer, nullptr);
  sound.volume = -1234;
  sound.Play(0);
  LONG applied = 0;
  ASSERT_EQ(sound.buffer->GetVolume(&applied), DS_OK);
  EXPECT_EQ(applied, -1234);
}

// ---- DirectSound buffers ------------------------------------------------------------------

// A 2D buffer of `bytes` bytes of 16-bit mono at 44100 Hz.
IDirectSoundBuffer* MakeBuffer(DWORD bytes)
{
  WAVEFORMATEX format = {WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};
  DSBUFFERDESC description = {};
  description.dwSize = sizeof(description);
  description.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY;
  description.dwBufferBytes = bytes;
  description.lpwfxFormat = &format;
  IDirectSoundBuffer* buffer = nullptr;
  EXPECT_EQ(directSound->CreateSoundBuffer(&description, &buffer, nullptr), DS_OK);
  return buffer;
}

TEST_F(SoundTest, LockWrapsRoundTheEndOfTheBuffer)
{
  IDirectSoundBuffer* buffer = MakeBuffer(1000);
  ASSERT_NE(buffer, nullptr);
  void* part1 = nullptr;
  void* part2 = nullptr;
  DWORD bytes1 = 0;
  DWORD bytes2 = 0;
  ASSERT_EQ(buffer->Lock(900, 300, &part1, &bytes1, &part2, &bytes2, 0), DS_OK);
  EXPECT_EQ(bytes1, 100u);
  EXPECT_EQ(bytes2, 200u);
  EXPECT_EQ((BYTE*)part1 - (BYTE*)part2, 900);
  // A second lock while locked, and an unlock with foreign pointers, are refused.
  void* other = nullptr;
  DWORD otherBytes = 0;
  EXPECT_NE(buffer->Lock(0, 10, &other, &otherBytes, nullptr, nullptr, 0), DS_OK);
  EXPECT_EQ(buffer->Unlock((BYTE*)part1 + 1, 10, part2, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->Unlock(part1, bytes1 + 1, part2, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->Unlock(part1, bytes1, part2, bytes2), DS_OK);
  EXPECT_EQ(buffer->Unlock(part1, bytes1, part2, bytes2), DSERR_INVALIDCALL);
  EXPECT_EQ(buffer->Lock(1000, 10, &part1, &bytes1, &part2, &bytes2, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->Lock(0, 1001, &part1, &bytes1, &part2, &bytes2, 0), DSERR_INVALIDPARAM);
  buffer->Release();
}

TEST_F(SoundTest, PositionIsKeptByStopAndTakenByPlay)
{
  IDirectSoundBuffer* buffer = MakeBuffer(44100 * 2 * 2);
  ASSERT_NE(buffer, nullptr);
  ASSERT_EQ(buffer->SetCurrentPosition(1001), DS_OK);
  DWORD position = 0;
  ASSERT_EQ(buffer->GetCurrentPosition(&position, nullptr), DS_OK);
  EXPECT_EQ(position, 1000u) << "positions fall on whole samples";
  ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
  ASSERT_EQ(buffer->GetCurrentPosition(&position, nullptr), DS_OK);
  EXPECT_GE(position, 1000u);
  ASSERT_TRUE(WaitUntil([&] { return Position(buffer) > 1000u + 88200u / 10; })) << "a tenth of a second played";
  ASSERT_EQ(buffer->Stop(), DS_OK);
  DWORD stopped = 0;
  ASSERT_EQ(buffer->GetCurrentPosition(&stopped, nullptr), DS_OK);
  EXPECT_GT(stopped, 1000u + 88200u / 10);
  // However long it stays stopped, the position holds.
  Wait(100);
  ASSERT_EQ(buffer->GetCurrentPosition(&position, nullptr), DS_OK);
  EXPECT_EQ(position, stopped);
  ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
  ASSERT_EQ(buffer->GetCurrentPosition(&position, nullptr), DS_OK);
  EXPECT_GE(position, stopped);
  EXPECT_EQ(buffer->SetCurrentPosition(44100 * 2 * 2), DSERR_INVALIDPARAM);
  buffer->Release();
}

// ---- music streamed from its file ---------------------------------------------------------

// Over a second of sound is streamed; a looping one wraps its position round to the
// start and keeps playing past its length.
TEST_F(SoundTest, StreamedMusicLoopsAndItsPositionWraps)
{
  CSound music;
  music.Load(Write("loop_bgm.wav", ToneWav(440, 1.2, 0.5)).c_str());
  ASSERT_NE(music.buffer, nullptr);
  music.Play(1);
  EXPECT_EQ(Status(music), (DWORD)(DSBSTATUS_PLAYING | DSBSTATUS_LOOPING));
  const DWORD length = 44100 * 2 * 12 / 10;
  ASSERT_TRUE(WaitUntil([&] { return Position(music.buffer) > length / 2; }));
  ASSERT_TRUE(WaitUntil([&] { return Position(music.buffer) < length / 4; })) << "the position wraps at the joint";
  EXPECT_TRUE(Status(music) & DSBSTATUS_PLAYING);
  music.Stop();
  EXPECT_EQ(Position(music.buffer), 0u);
  EXPECT_FALSE(Status(music) & DSBSTATUS_PLAYING);
}

// A streamed one-shot ends by itself at position 0, like a static buffer, and plays
// again from the start.
TEST_F(SoundTest, StreamedOneShotEndsAndPlaysAgain)
{
  IDirectSoundBuffer* buffer = nullptr;
  WAVEFORMATEX format = {WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};
  DSBUFFERDESC description = {};
  description.dwSize = sizeof(description);
  description.dwFlags = DSBCAPS_CTRLVOLUME;
  description.lpwfxFormat = &format;
  const std::string samples = Tone16(440, 1.2, 0.5);
  const std::string path = Write("long.wav", "0123456789" + samples + "tail");
  description.dwBufferBytes = (DWORD)samples.size();
  ASSERT_EQ(DirectSoundCreateBufferFromFile(directSound, &description, path.c_str(), 10, &buffer), DS_OK);
  ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
  ASSERT_TRUE(WaitUntil([&] { return Position(buffer) > 88200u; })) << "past the first second queued";
  ASSERT_TRUE(WaitUntil([&] {
    DWORD status = 0;
    buffer->GetStatus(&status);
    return status == 0;
  }));
  EXPECT_EQ(Position(buffer), 0u);
  ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
  DWORD status = 0;
  ASSERT_EQ(buffer->GetStatus(&status), DS_OK);
  EXPECT_EQ(status, (DWORD)DSBSTATUS_PLAYING);
  buffer->Release();
  // The file must hold every byte the buffer is to have.
  description.dwBufferBytes += 5;
  EXPECT_EQ(DirectSoundCreateBufferFromFile(directSound, &description, path.c_str(), 10, &buffer), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer, nullptr);
}

// Nothing keeps the music's bytes, yet a Lock hands them out, read back from the file;
// the buffer plays on from where it was.
TEST_F(SoundTest, LockOnStreamedMusicReadsTheFileAndPlayingGoesOn)
{
  const std::string samples = Tone16(440, 1.5, 0.5);
  CSound music;
  music.Load(
      Write("long_bgm.wav", Riff(PcmFormat(1, 44100, 16) + Chunk("data", samples) + Chunk("junk", "x"))).c_str());
  ASSERT_NE(music.buffer, nullptr);
  music.Play(1);
  ASSERT_TRUE(WaitUntil([&] { return Position(music.buffer) > 8820u; }));
  void* part1 = nullptr;
  void* part2 = nullptr;
  DWORD bytes1 = 0;
  DWORD bytes2 = 0;
  ASSERT_EQ(music.buffer->Lock(0, 0, &part1, &bytes1, &part2, &bytes2, DSBLOCK_ENTIREBUFFER), DS_OK);
  ASSERT_EQ(bytes1, samples.size());
  EXPECT_EQ(memcmp(part1, samples.data(), samples.size()), 0);
  ASSERT_EQ(music.buffer->Unlock(part1, bytes1, part2, bytes2), DS_OK);
  EXPECT_EQ(Status(music), (DWORD)(DSBSTATUS_PLAYING | DSBSTATUS_LOOPING));
  EXPECT_GT(Position(music.buffer), 8820u);
}

TEST_F(SoundTest, SoundsOutliveTheDeviceObject)
{
  CSound sound;
  sound.Load3D(Write("tone.wav", ToneWav(440, 0.2, 0.5)).c_str());
  ASSERT_NE(sound.buffer, nullptr);
  UninitSound();
  // The buffer keeps its OpenAL device until it is released itself.
  D3DXMATRIX at = {};
  sound.Play3D(at, D3DXVECTOR3(0, 0, 2), 0);
  EXPECT_TRUE(Status(sound) & DSBSTATUS_PLAYING);
  sound.Stop();
}

TEST_F(SoundTest, ClosingEveryDeviceLosesTheBuffersStillHeld)
{
  CSound music;
  music.Load(Write("long_bgm.wav", ToneWav(220, 2.0, 0.5)).c_str());
  CSound effect;
  effect.Load3D(Write("tone.wav", ToneWav(440, 0.2, 0.5)).c_str());
  ASSERT_NE(music.buffer, nullptr);
  ASSERT_NE(effect.buffer, nullptr);
  music.Play(1);
  effect.Play(0);
  EXPECT_EQ(DirectSoundOpenDevices(), 1);
  UninitSound();
  EXPECT_EQ(DirectSoundOpenDevices(), 1) << "the sounds still hold the device";
  DirectSoundCloseAll();  // what the exit handler does
  EXPECT_EQ(DirectSoundOpenDevices(), 0);
  EXPECT_EQ(Status(music), (DWORD)DSBSTATUS_BUFFERLOST) << "the streamed buffer";
  EXPECT_EQ(Status(effect), (DWORD)DSBSTATUS_BUFFERLOST);
  EXPECT_EQ(effect.buffer->Play(0, 0, 0), DSERR_BUFFERLOST);
  EXPECT_EQ(music.buffer->Stop(), DSERR_BUFFERLOST);
  DWORD position = 0;
  EXPECT_EQ(music.buffer->GetCurrentPosition(&position, nullptr), DSERR_BUFFERLOST);
  void* part = nullptr;
  DWORD bytes = 0;
  EXPECT_EQ(effect.buffer->Lock(0, 4, &part, &bytes, nullptr, nullptr, 0), DSERR_BUFFERLOST);
  EXPECT_EQ(effect.buffer->Restore(), DSERR_BUFFERLOST);
  music.ChangeVolume(-100);  // reaches no device, and does not fail
  // A device opened afterwards works, and the lost sounds' release leaves it alone.
  InitSound(nullptr);
  ASSERT_NE(directSound, nullptr);
  CSound fresh;
  fresh.Load(Write("fresh.wav", ToneWav(660, 0.5, 0.5)).c_str());
  ASSERT_NE(fresh.buffer, nullptr);
  music.Stop();
  effect.Stop();
  IDirectSoundBuffer8* const lostMusic = music.buffer;
  music.buffer = nullptr;
  lostMusic->Release();
  fresh.Play(0);
  EXPECT_TRUE(Status(fresh) & DSBSTATUS_PLAYING);
  EXPECT_EQ(DirectSoundOpenDevices(), 1);
}

}  // namespace

// ---- the player's volumes ---------------------------------------------------------------

TEST_F(SoundTest, MusicAndEffectsFollowTheirOwnVolumeSettings)
{
  DirectSoundSetGroupGain(DSOUND_GROUP_MUSIC, 0.5f);
  DirectSoundSetGroupGain(DSOUND_GROUP_EFFECTS, 0.25f);
  CSound music;
  music.Load(Write("title_bgm.wav", ToneWav(220, 0.1, 0.5)).c_str());
  CSound effect;
  effect.Load(Write("click.wav", ToneWav(880, 0.1, 0.5)).c_str());
  ASSERT_NE(music.buffer, nullptr);
  ASSERT_NE(effect.buffer, nullptr);
  EXPECT_FLOAT_EQ(DirectSoundBufferGain(music.buffer), 0.5f) << "a _bgm.wav file is music";
  EXPECT_FLOAT_EQ(DirectSoundBufferGain(effect.buffer), 0.25f);
  // The game's own volume changes multiply with the player's.
  music.ChangeVolume(-2000);  // -20 dB: a tenth
  EXPECT_NEAR(DirectSoundBufferGain(music.buffer), 0.05f, 1e-4f);
  DirectSoundSetGroupGain(DSOUND_GROUP_MUSIC, 1.0f);
  DirectSoundSetGroupGain(DSOUND_GROUP_EFFECTS, 1.0f);
  CSound loud;
  loud.Load(Write("game_bgm.wav", ToneWav(220, 0.1, 0.5)).c_str());
  EXPECT_FLOAT_EQ(DirectSoundBufferGain(loud.buffer), 1.0f) << "the defaults leave the mix as it was";
}
