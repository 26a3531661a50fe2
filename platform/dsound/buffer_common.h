// What the primary and the secondary buffers share: their device, flags, wave
// format, volume and pan, and the getters and checks on them. Internal to
// platform/dsound.
#pragma once

#include "sound_device.h"

#include <memory>
#include <vector>

namespace dsound_openal {

// The common part of both buffer classes. `controls` are the flags the buffer was
// made with plus the controls it always has (the mix's pan and frequency).
class CBufferCommon : public IDirectSoundBuffer8 {
public:
  // The wave format with its extra bytes; the size needed when `out` is null.
  HRESULT GetFormat(WAVEFORMATEX* out, DWORD sizeAllocated, DWORD* sizeWritten) override;
  // Volume in hundredths of a decibel.
  HRESULT GetVolume(LONG* out) override;
  // Pan in hundredths of a decibel of attenuation on the far side.
  HRESULT GetPan(LONG* out) override;
  // Samples per second of the format.
  HRESULT GetFrequency(DWORD* out) override;
  // Buffers live in memory here; only a closed device loses them, for good.
  HRESULT Restore() override { return Lost() ? DSERR_BUFFERLOST : DS_OK; }

protected:
  CBufferCommon(std::shared_ptr<SoundDevice> soundDevice, DWORD bufferFlags, DWORD alwaysControls,
                std::vector<BYTE> waveFormat);

  // The device was closed (at exit) while the buffer was still held.
  bool Lost() const { return !device->IsOpen(); }
  // The stored wave format.
  const WAVEFORMATEX* Format() const { return (const WAVEFORMATEX*)format.data(); }
  // Takes a new volume if the buffer has volume control and it is in range.
  HRESULT AcceptVolume(LONG value);
  // Takes a new pan if the buffer has pan control and it is in range.
  HRESULT AcceptPan(LONG value);

  std::shared_ptr<SoundDevice> device;
  const DWORD flags;
  std::vector<BYTE> format;
  LONG volume = 0;
  LONG pan = 0;

private:
  const DWORD controls;
};

}  // namespace dsound_openal
