// The OpenAL device shared by a DirectSound object and its buffers, and the
// conversions every buffer uses. Volumes in hundredths of a decibel become gains
// 10^(v/2000).
// Depends on: OpenAL Soft (AL/al.h, AL/alc.h, AL/alext.h).
#include "sound_device.h"

#include "secondary_buffer.h"

#include <AL/alext.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <mutex>

namespace dsound_openal {

float groupGains[2] = {1.0f, 1.0f};

namespace {

// The open devices. Never destroyed, so a device closed by a late static destructor
// still finds the list.
std::mutex openListMutex;
std::vector<SoundDevice*>* openList = nullptr;

// Adds a device; the first one registers the exit handler. OpenAL is loaded and set
// up by then, so the handler runs before OpenAL's own clean-up at exit.
void AddOpen(SoundDevice* device)
{
  std::lock_guard<std::mutex> hold(openListMutex);
  if (!openList) {
    openList = new std::vector<SoundDevice*>;
    std::atexit(CloseEveryDevice);
  }
  openList->push_back(device);
}

// Takes a device off the list.
void RemoveOpen(SoundDevice* device)
{
  std::lock_guard<std::mutex> hold(openListMutex);
  if (openList) openList->erase(std::remove(openList->begin(), openList->end(), device), openList->end());
}

}  // namespace

// Gain of a volume in hundredths of a decibel.
float GainOf(LONG volume)
{
  return std::pow(10.0f, (float)volume / 2000.0f);
}

// Listed until closed.
SoundDevice::SoundDevice(ALCdevice* openedDevice, ALCcontext* createdContext)
    : device(openedDevice), context(createdContext)
{
  AddOpen(this);
}

// Closes the device once the DirectSound object and every buffer are gone.
SoundDevice::~SoundDevice()
{
  Close();
}

// The stream thread first: it calls OpenAL with this context until it is joined.
void SoundDevice::Close()
{
  if (!context) return;
  RemoveOpen(this);
  pump.reset();
  if (alcGetCurrentContext() == context) alcMakeContextCurrent(nullptr);
  alcDestroyContext(context);
  alcCloseDevice(device);
  context = nullptr;
  device = nullptr;
  positioned.clear();
}

// Takes the list's copy, since each Close edits the list.
void CloseEveryDevice()
{
  std::vector<SoundDevice*> open;
  {
    std::lock_guard<std::mutex> hold(openListMutex);
    if (openList) open = *openList;
  }
  for (SoundDevice* device : open) device->Close();
}

// The list's length.
int OpenDeviceCount()
{
  std::lock_guard<std::mutex> hold(openListMutex);
  return openList ? static_cast<int>(openList->size()) : 0;
}

// Sets the listener's rolloff factor on every positioned source.
void SoundDevice::SetRolloff(float factor)
{
  rolloff = factor;
  MakeCurrent();
  for (CSecondaryBuffer* buffer : positioned) buffer->SetRolloff(factor);
}

// The pump of this device's streams, started at the first call.
CStreamPump& SoundDevice::Pump()
{
  if (!pump) pump = std::make_unique<CStreamPump>(context);
  return *pump;
}

// The OpenAL format of a wave format, or 0 when OpenAL cannot play it.
ALenum OpenALFormatOf(const WAVEFORMATEX* format, bool hasFloat32)
{
  WORD tag = format->wFormatTag;
  if (tag == WAVE_FORMAT_EXTENSIBLE) {
    if (format->cbSize < sizeof(WAVEFORMATEXTENSIBLE) - sizeof(WAVEFORMATEX)) return 0;
    const WAVEFORMATEXTENSIBLE* extensible = (const WAVEFORMATEXTENSIBLE*)format;
    if (extensible->SubFormat == KSDATAFORMAT_SUBTYPE_PCM)
      tag = WAVE_FORMAT_PCM;
    else if (extensible->SubFormat == KSDATAFORMAT_SUBTYPE_IEEE_FLOAT)
      tag = WAVE_FORMAT_IEEE_FLOAT;
    else
      return 0;
  }
  const WORD channels = format->nChannels;
  const WORD bits = format->wBitsPerSample;
  if (channels != 1 && channels != 2) return 0;
  if (format->nBlockAlign != channels * bits / 8) return 0;
  if (format->nSamplesPerSec < DSBFREQUENCY_MIN || format->nSamplesPerSec > DSBFREQUENCY_MAX) return 0;
  if (tag == WAVE_FORMAT_PCM && bits == 8) return channels == 1 ? AL_FORMAT_MONO8 : AL_FORMAT_STEREO8;
  if (tag == WAVE_FORMAT_PCM && bits == 16) return channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
  if (tag == WAVE_FORMAT_IEEE_FLOAT && bits == 32 && hasFloat32) {
    return channels == 1 ? AL_FORMAT_MONO_FLOAT32 : AL_FORMAT_STEREO_FLOAT32;
  }
  return 0;
}

// Copies a wave format with its extra bytes.
std::vector<BYTE> CopyFormat(const WAVEFORMATEX* format)
{
  const BYTE* bytes = (const BYTE*)format;
  const size_t size =
      format->wFormatTag == WAVE_FORMAT_PCM ? sizeof(WAVEFORMATEX) : sizeof(WAVEFORMATEX) + format->cbSize;
  std::vector<BYTE> copy(bytes, bytes + size);
  if (format->wFormatTag == WAVE_FORMAT_PCM) ((WAVEFORMATEX*)copy.data())->cbSize = 0;
  return copy;
}

}  // namespace dsound_openal
