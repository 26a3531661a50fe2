// What every piece of DirectSound on OpenAL Soft shares: the OpenAL device and
// context behind one DirectSound object, the volume groups, and the conversions of
// volumes and wave formats. Internal to platform/dsound.
// Depends on: OpenAL Soft (AL/al.h, AL/alc.h).
#pragma once

#include "dsound.h"

#include "stream_pump.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <memory>
#include <vector>

namespace dsound_openal {

class CSecondaryBuffer;

// The player's volume for each group of buffers, as a gain factor (1: as mixed).
extern float groupGains[2];

// Gain of a volume in hundredths of a decibel.
float GainOf(LONG volume);

// The OpenAL device and context behind one DirectSound object, shared by its buffers.
// Every open device is on a process-wide list that is closed at exit, before OpenAL
// shuts itself down: a device OpenAL finds still open then, with a stream thread still
// calling it, ends the process in an assertion.
struct SoundDevice {
  ALCdevice* device = nullptr;
  ALCcontext* context = nullptr;
  DWORD cooperativeLevel = 0;
  bool hasFloat32 = false;
  float rolloff = DS3D_DEFAULTROLLOFFFACTOR;  // the listener's, given to every positioned source
  std::vector<CSecondaryBuffer*> positioned;  // sources that follow the rolloff factor
  std::unique_ptr<CStreamPump> pump;          // made for the first stream

  // Takes the opened device and context and puts them on the list closed at exit.
  SoundDevice(ALCdevice* openedDevice, ALCcontext* createdContext);
  // Closes the device once the DirectSound object and every buffer are gone.
  ~SoundDevice();
  SoundDevice(const SoundDevice&) = delete;
  SoundDevice& operator=(const SoundDevice&) = delete;

  // Stops the stream thread, destroys the context and closes the device. Buffers still
  // held are lost from then on: their OpenAL objects went with the context.
  void Close();
  // Not yet closed.
  bool IsOpen() const { return context != nullptr; }

  // Makes this device's context the one OpenAL calls go to; once closed, none, so a
  // lost buffer's calls reach no other device.
  void MakeCurrent() const
  {
    if (alcGetCurrentContext() != context) alcMakeContextCurrent(context);
  }

  // Sets the listener's rolloff factor on every positioned source.
  void SetRolloff(float factor);

  // The pump of this device's streams, started at the first call.
  CStreamPump& Pump();
};

// Closes every device still open (the process-wide list's exit handler).
void CloseEveryDevice();

// How many devices are open.
int OpenDeviceCount();

// The OpenAL format of a wave format, or 0 when OpenAL cannot play it.
ALenum OpenALFormatOf(const WAVEFORMATEX* format, bool hasFloat32);

// Copies a wave format with its extra bytes.
std::vector<BYTE> CopyFormat(const WAVEFORMATEX* format);

}  // namespace dsound_openal
