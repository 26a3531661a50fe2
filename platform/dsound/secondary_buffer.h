// A secondary buffer: one sound, an OpenAL source playing an OpenAL buffer, with the
// sound's bytes also kept here for Lock/Unlock. Internal to platform/dsound.
#pragma once

#include "buffer_common.h"

namespace dsound_openal {

// One sound: an OpenAL source playing an OpenAL buffer holding `data`.
class CSecondaryBuffer final : public CBufferCommon {
public:
  // Takes an already checked description and the OpenAL format of its wave format.
  CSecondaryBuffer(std::shared_ptr<SoundDevice> soundDevice, const DSBUFFERDESC& description, ALenum openALFormat);

  // False when OpenAL could not give a source or buffer (the creation then fails).
  bool Created() const { return created; }

  HRESULT QueryInterface(REFIID riid, void** object) override;
  HRESULT GetCurrentPosition(DWORD* playCursor, DWORD* writeCursor) override;
  HRESULT GetStatus(DWORD* out) override;
  HRESULT Lock(DWORD offset, DWORD bytes, void** part1, DWORD* bytes1, void** part2, DWORD* bytes2,
               DWORD lockFlags) override;
  HRESULT Play(DWORD reserved, DWORD priority, DWORD playFlags) override;
  HRESULT SetCurrentPosition(DWORD position) override;
  // Only the primary buffer has a format to set.
  HRESULT SetFormat(const WAVEFORMATEX*) override { return DSERR_INVALIDCALL; }
  HRESULT SetVolume(LONG value) override;
  HRESULT SetPan(LONG value) override;
  HRESULT Stop() override;
  HRESULT Unlock(void* part1, DWORD bytes1, void* part2, DWORD bytes2) override;

  // The gain OpenAL holds for the source.
  float Gain() const;
  // Joins a volume group.
  void SetGroup(int newGroup);
  // The listener's rolloff factor changed.
  void SetRolloff(float factor);

  // The 3D side, reached through C3DBuffer.
  HRESULT Get3DPosition(D3DVECTOR* out) const;
  HRESULT Set3DPosition(float x, float y, float z);
  HRESULT Get3DMode(DWORD* out) const;
  HRESULT Set3DMode(DWORD value);

private:
  ~CSecondaryBuffer() override;

  // The buffer's volume times its group's.
  void ApplyGain();
  // AL_INITIAL, AL_PLAYING, AL_PAUSED or AL_STOPPED.
  ALint SourceState() const;
  // Byte position of play.
  DWORD CurrentPosition() const;
  // Where the source sits for OpenAL.
  void ApplyPlacement();
  // Gives OpenAL the current bytes, keeping the play state and position.
  void Upload();

  const ALenum alFormat;
  std::vector<BYTE> data;
  DWORD playableBytes = 0;  // whole sample frames of data
  ALuint source = 0;
  ALuint alBuffer = 0;
  bool created = false;
  bool positioned = false;
  int group = DSOUND_GROUP_EFFECTS;
  bool looping = false;
  DWORD pendingPosition = 0;
  bool locked = false;
  BYTE* lockPart1 = nullptr;
  DWORD lockBytes1 = 0;
  BYTE* lockPart2 = nullptr;
  DWORD lockBytes2 = 0;
  D3DVECTOR position3D = {0.0f, 0.0f, 0.0f};
  DWORD mode3D = DS3DMODE_NORMAL;
};

}  // namespace dsound_openal
