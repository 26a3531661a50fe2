// The primary buffer: the mix. Internal to platform/dsound.
#pragma once

#include "buffer_common.h"

namespace dsound_openal {

// The mix: its volume is OpenAL's listener gain; its format and pan are kept and
// reported (OpenAL Soft chooses the real output format itself).
class CPrimaryBuffer final : public CBufferCommon {
public:
  // Starts with DirectSound's default primary format, 8-bit stereo at 22050 Hz.
  CPrimaryBuffer(std::shared_ptr<SoundDevice> soundDevice, DWORD bufferFlags);

  HRESULT QueryInterface(REFIID riid, void** object) override;
  HRESULT GetCurrentPosition(DWORD* playCursor, DWORD* writeCursor) override;
  HRESULT GetStatus(DWORD* out) override;
  // Writing the mix directly is not offered.
  HRESULT Lock(DWORD, DWORD, void**, DWORD*, void**, DWORD*, DWORD) override { return DSERR_PRIOLEVELNEEDED; }
  HRESULT Play(DWORD reserved, DWORD priority, DWORD playFlags) override;
  // The mix has no position to set.
  HRESULT SetCurrentPosition(DWORD) override { return DSERR_INVALIDCALL; }
  HRESULT SetFormat(const WAVEFORMATEX* value) override;
  HRESULT SetVolume(LONG value) override;
  // Master pan: kept and reported.
  HRESULT SetPan(LONG value) override { return AcceptPan(value); }
  HRESULT Stop() override;
  // Nothing can be locked, so nothing unlocks.
  HRESULT Unlock(void*, DWORD, void*, DWORD) override { return DSERR_INVALIDCALL; }

  // The device the listener talks to.
  const std::shared_ptr<SoundDevice>& Device() const { return device; }

private:
  ~CPrimaryBuffer() override = default;

  bool playing = false;
};

}  // namespace dsound_openal
