// Sound effects and music through DirectSound: the process-wide device and the
// WAV buffers of CSound. WAV headers are read with the multimedia file functions;
// every size in the file is checked before it is used. The samples stay in the
// file for the buffer to take (DirectSoundCreateBufferFromFile): effects go to
// OpenAL once, music streams, and the game never holds a copy.
#include "sound.h"

#include "asset_report.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace OstrelLibrary {

IDirectSound8* directSound = nullptr;
IDirectSoundBuffer* primaryBuffer = nullptr;
IDirectSound3DListener* listener = nullptr;

namespace {

const DWORD flags2D =
    DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLFREQUENCY | DSBCAPS_GLOBALFOCUS | DSBCAPS_GETCURRENTPOSITION2;
const DWORD flags3D =
    DSBCAPS_CTRL3D | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLFREQUENCY | DSBCAPS_GLOBALFOCUS | DSBCAPS_GETCURRENTPOSITION2;

// Reads the "fmt " chunk into `format` (WAVEFORMATEX plus its extra bytes) and leaves
// the file on the bytes of the "data" chunk, described in `data`. False for a file
// that is not RIFF/WAVE, lacks either chunk, or whose format runs past its chunk.
bool ReadWaveFile(HMMIO file, std::vector<BYTE>& format, MMCKINFO& data)
{
  MMCKINFO riff = {};
  if (mmioDescend(file, &riff, nullptr, 0) != MMSYSERR_NOERROR) return false;
  if (riff.ckid != FOURCC_RIFF || riff.fccType != mmioFOURCC('W', 'A', 'V', 'E')) return false;

  MMCKINFO chunk = {};
  chunk.ckid = mmioFOURCC('f', 'm', 't', ' ');
  if (mmioDescend(file, &chunk, &riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR) return false;
  if (chunk.cksize < sizeof(PCMWAVEFORMAT)) return false;
  PCMWAVEFORMAT pcm;
  if (mmioRead(file, (HPSTR)&pcm, sizeof(pcm)) != (LONG)sizeof(pcm)) return false;
  // Other tags carry an extra size and that many bytes, which must lie inside the
  // chunk; a 16-byte chunk simply has none.
  WORD extra = 0;
  if (pcm.wFormatTag != WAVE_FORMAT_PCM && chunk.cksize >= sizeof(WAVEFORMATEX)) {
    if (mmioRead(file, (HPSTR)&extra, sizeof(extra)) != (LONG)sizeof(extra)) return false;
    if (sizeof(WAVEFORMATEX) + extra > chunk.cksize) return false;
  }
  format.assign(sizeof(WAVEFORMATEX) + extra, 0);
  memcpy(format.data(), &pcm, sizeof(pcm));
  ((WAVEFORMATEX*)format.data())->cbSize = extra;
  if (extra > 0 && mmioRead(file, (HPSTR)format.data() + sizeof(WAVEFORMATEX), extra) != extra) return false;
  if (mmioAscend(file, &chunk, 0) != MMSYSERR_NOERROR) return false;

  if (mmioSeek(file, (LONG)(riff.dwDataOffset + sizeof(FOURCC)), SEEK_SET) < 0) return false;
  data = {};
  data.ckid = mmioFOURCC('d', 'a', 't', 'a');
  return mmioDescend(file, &data, &riff, MMIO_FINDCHUNK) == MMSYSERR_NOERROR;
}

}  // namespace

// Creates the process-wide objects. Without a sound device they stay null and
// every CSound stays empty.
void InitSound(HWND window)
{
  if (directSound) return;
  if (FAILED(DirectSoundCreate8(nullptr, &directSound, nullptr))) {
    directSound = nullptr;
    return;
  }
  directSound->SetCooperativeLevel(window, DSSCL_PRIORITY);

  DSBUFFERDESC description = {};
  description.dwSize = sizeof(DSBUFFERDESC);
  description.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D | DSBCAPS_CTRLVOLUME;
  description.guid3DAlgorithm = DS3DALG_DEFAULT;
  if (FAILED(directSound->CreateSoundBuffer(&description, &primaryBuffer, nullptr))) {
    primaryBuffer = nullptr;
    return;
  }
  WAVEFORMATEX format = {};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 2;
  format.nSamplesPerSec = 44100;
  format.nAvgBytesPerSec = 176400;
  format.nBlockAlign = 4;
  format.wBitsPerSample = 16;
  primaryBuffer->SetFormat(&format);

  if (FAILED(primaryBuffer->QueryInterface(IID_IDirectSound3DListener, (void**)&listener))) {
    listener = nullptr;
    return;
  }
  listener->SetRolloffFactor(0.05f, DS3D_IMMEDIATE);
}

// Releases the listener, the primary buffer and the device.
void UninitSound()
{
  if (listener) listener->Release();
  listener = nullptr;
  if (primaryBuffer) primaryBuffer->Release();
  primaryBuffer = nullptr;
  if (directSound) directSound->Release();
  directSound = nullptr;
}

// Releases the buffer, then its 3D interface.
CSound::~CSound()
{
  if (buffer) buffer->Release();
  buffer = nullptr;
  if (buffer3D) buffer3D->Release();
  buffer3D = nullptr;
}

// Loads a WAV file into a new 2D buffer.
void CSound::Load(const char* path)
{
  LoadFile(path, 0);
}

// Loads a WAV file into a new positional buffer.
void CSound::Load3D(const char* path)
{
  LoadFile(path, 1);
}

// Reads the file, creates the buffer and copies the data into it. A sound that was
// already loaded gives up its old buffer first. Any failure leaves the sound empty.
void CSound::LoadFile(const char* path, int positional)
{
  if (buffer) buffer->Release();
  if (buffer3D) buffer3D->Release();
  buffer = nullptr;
  buffer3D = nullptr;
  is3D = 0;
  playing = 0;
  if (!directSound || !path) return;

  HMMIO file = mmioOpenA(path, nullptr, MMIO_ALLOCBUF | MMIO_READ);
  if (!file) {
    ReportUnusableAsset(path, "cannot be opened");
    return;
  }
  std::vector<BYTE> format;
  MMCKINFO data = {};
  if (!ReadWaveFile(file, format, data)) {
    ReportUnusableAsset(path, "not a sound the game can play");
    mmioClose(file, 0);
    return;
  }

  DSBUFFERDESC description = {};
  description.dwSize = sizeof(DSBUFFERDESC);
  description.dwFlags = flags2D;
  description.guid3DAlgorithm = DS3DALG_DEFAULT;
  if (positional) {
    is3D = 1;
    description.dwFlags = flags3D;
    description.guid3DAlgorithm = DS3DALG_NO_VIRTUALIZATION;
  }
  description.dwBufferBytes = data.cksize;
  description.lpwfxFormat = (WAVEFORMATEX*)format.data();

  IDirectSoundBuffer* created = nullptr;
  if (SUCCEEDED(DirectSoundCreateBufferFromFile(directSound, &description, path, data.dwDataOffset, &created))) {
    if (FAILED(created->QueryInterface(IID_IDirectSoundBuffer8, (void**)&buffer))) buffer = nullptr;
    created->Release();
  }
  // Music files end in _bgm.wav; they follow the music volume, the rest the effects'.
  const std::string name(path);
  if (buffer && name.size() >= 8 && name.compare(name.size() - 8, 8, "_bgm.wav") == 0) {
    DirectSoundSetBufferGroup(buffer, DSOUND_GROUP_MUSIC);
  }
  if (!buffer) ReportUnusableAsset(path, "not a sound the game can play");
  if (buffer) {
    buffer->SetCurrentPosition(0);
    buffer->GetFrequency(&frequency);
    if (primaryBuffer) {
      primaryBuffer->GetVolume(&volume);
      primaryBuffer->GetPan(&pan);
    }
    if (positional) {
      if (FAILED(buffer->QueryInterface(IID_IDirectSound3DBuffer, (void**)&buffer3D))) buffer3D = nullptr;
      if (buffer3D) buffer3D->SetMode(DS3DMODE_NORMAL, DS3D_IMMEDIATE);
    }
  }
  mmioClose(file, 0);
}

// Sets volume and pan and plays from the current position, unless marked as playing.
void CSound::Play(int loop)
{
  if (!buffer || playing) return;
  buffer->SetVolume(volume);
  buffer->SetPan(pan);
  buffer->Play(0, 0, loop ? DSBPLAY_LOOPING : 0);
  playing = 1;
}

// Stops and rewinds a sound marked as playing, then plays it once.
void CSound::Restart()
{
  if (!buffer) return;
  if (playing) {
    buffer->Stop();
    buffer->SetCurrentPosition(0);
    playing = 0;
  }
  Play(0);
}

// Moves the listener to the matrix's translation row and the sound to `position`,
// then plays with `flags` unless marked as playing.
void CSound::Play3D(const D3DXMATRIX& listenerMatrix, const D3DXVECTOR3& position, DWORD flags)
{
  if (!buffer) return;
  if (listener) listener->SetPosition(listenerMatrix._41, listenerMatrix._42, listenerMatrix._43, DS3D_IMMEDIATE);
  if (buffer3D) buffer3D->SetPosition(position.x, position.y, position.z, DS3D_IMMEDIATE);
  if (!playing) {
    buffer->Play(0, 0, flags);
    playing = 1;
  }
}

// Stops and rewinds a sound marked as playing.
void CSound::Stop()
{
  if (!buffer || !playing) return;
  buffer->Stop();
  buffer->SetCurrentPosition(0);
  playing = 0;
}

// Moves the volume by delta, kept within -10000 to 0; the buffer hears of changes only.
void CSound::ChangeVolume(LONG delta)
{
  if (!buffer) return;
  const long long wanted = std::max(std::min((long long)volume + delta, 0LL), (long long)DSBVOLUME_MIN);
  if (wanted == volume) return;
  volume = (LONG)wanted;
  buffer->SetVolume(volume);
}

}  // namespace OstrelLibrary
