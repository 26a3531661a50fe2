// libFuzzer target for the WAV loading path: the bytes become a file that CSound
// loads as a 2D and as a positional sound on OpenAL's silent device, after a walk
// over every chunk with the RIFF reader. Crashes, sanitizer reports and a buffer
// larger than the file are failures.
#include "sound.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace OstrelLibrary;

namespace {

std::string inputPath;

// Walks the chunks between the read position and `parent`'s end, descending into
// RIFF and LIST chunks, reading a little of each chunk's data.
void WalkChunks(HMMIO file, const MMCKINFO* parent, int depth)
{
  for (int count = 0; count < 64; ++count) {
    MMCKINFO chunk = {};
    if (mmioDescend(file, &chunk, parent, 0) != MMSYSERR_NOERROR) return;
    if ((uint64_t)chunk.dwDataOffset + chunk.cksize > (uint64_t)mmioSeek(file, 0, SEEK_END)) abort();
    mmioSeek(file, (LONG)chunk.dwDataOffset, SEEK_SET);
    if ((chunk.ckid == FOURCC_RIFF || chunk.ckid == FOURCC_LIST) && depth < 8) {
      mmioSeek(file, 4, SEEK_CUR);
      WalkChunks(file, &chunk, depth + 1);
    } else {
      char bytes[32];
      const LONG wanted = chunk.cksize < sizeof(bytes) ? (LONG)chunk.cksize : (LONG)sizeof(bytes);
      if (mmioRead(file, bytes, wanted) != wanted) abort();
    }
    if (mmioAscend(file, &chunk, 0) != MMSYSERR_NOERROR) return;
  }
}

// Checks a loaded sound: its buffer can hold no more than the file did, and the
// operations the game uses run on it.
void Exercise(CSound& sound, size_t fileSize)
{
  if (!sound.buffer) return;
  void* part1 = nullptr;
  void* part2 = nullptr;
  DWORD bytes1 = 0;
  DWORD bytes2 = 0;
  if (sound.buffer->Lock(0, 0, &part1, &bytes1, &part2, &bytes2, DSBLOCK_ENTIREBUFFER) == DS_OK) {
    if ((size_t)bytes1 + bytes2 > fileSize) abort();
    sound.buffer->Unlock(part1, 0, part2, 0);
  }
  sound.Play(0);
  sound.ChangeVolume(-100);
  sound.Restart();
  sound.Stop();
}

// Removes this process's input file when the fuzzer exits.
void RemoveInput()
{
  remove(inputPath.c_str());
}

}  // namespace

// Opens the silent device once and picks this process's input file.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
  setenv("ALSOFT_DRIVERS", "null", 1);
  InitSound(nullptr);
  if (!directSound) {
    fprintf(stderr, "wav_fuzz: OpenAL's null device did not open\n");
    abort();
  }
  const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  inputPath = std::string(folder) + "/solverica-wav-fuzz-" + std::to_string(getpid()) + ".wav";
  atexit(RemoveInput);
  return 0;
}

// One input: written out, walked, loaded twice.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  FILE* file = fopen(inputPath.c_str(), "wb");
  if (!file) abort();
  if (size > 0 && fwrite(data, 1, size, file) != size) abort();
  fclose(file);

  HMMIO walked = mmioOpenA(inputPath.c_str(), nullptr, MMIO_ALLOCBUF | MMIO_READ);
  if (walked) {
    WalkChunks(walked, nullptr, 0);
    mmioClose(walked, 0);
  }
  CSound sound;
  sound.Load(inputPath.c_str());
  Exercise(sound, size);
  CSound positional;
  positional.Load3D(inputPath.c_str());
  Exercise(positional, size);
  return 0;
}
