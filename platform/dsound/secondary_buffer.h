// A secondary buffer: one sound on one OpenAL source. Its bytes are either kept
// here for Lock/Unlock (a buffer filled through Lock) or left in their file (a
// buffer made from a file): short sounds then live in one OpenAL buffer only, long
// ones are streamed. Internal to platform/dsound.
#pragma once

#include "buffer_common.h"
#include "stream.h"

namespace dsound_openal {

// One sound: an OpenAL source playing one OpenAL buffer or a stream.
class CSecondaryBuffer final : public CBufferCommon {
public:
  // Takes an already checked description and the OpenAL format of its wave format;
  // the bytes are silence, or those of `fromFile` (which holds them) when given.
  CSecondaryBuffer(std::shared_ptr<SoundDevice> soundDevice, const DSBUFFERDESC& description, ALenum openALFormat,
                   const FileBytes* fromFile);

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

  // The buffer's volume times its group's.
  void ApplyGain();

private:
  ~CSecondaryBuffer() override;

  // The source with its distance model and group gain.
  bool MakeSource();
  // One OpenAL buffer holding `bytes`, attached to the source.
  bool MakeStaticBuffer(const std::vector<BYTE>& bytes);
  // A stream from the file, fed by the device's pump.
  bool MakeStream(const FileBytes& range);
  // Brings a file's bytes into `data`, so that Lock can hand them out (a stream
  // becomes one static buffer, keeping its position and play).
  void TakeBytesFromFile();
  // Gives OpenAL `data`, from `position`, playing or not.
  void AttachData(DWORD position, bool play);
  // The byte of silence of the format.
  BYTE Silence() const;

  // AL_INITIAL, AL_PLAYING, AL_PAUSED or AL_STOPPED.
  ALint SourceState() const;
  // Byte position of play.
  DWORD CurrentPosition() const;
  // Where the source sits for OpenAL.
  void ApplyPlacement();
  // Gives OpenAL the current bytes, keeping the play state and position.
  void Upload();

  const ALenum alFormat;
  const DWORD bufferBytes;
  std::vector<BYTE> data;  // kept only for a buffer filled through Lock
  FileBytes file;          // where the bytes lie until a Lock takes them
  bool bytesInFile = false;
  std::unique_ptr<CStream> stream;
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

// Gives every buffer with a source its volume times its group's gain anew.
void ApplyGroupGains();

}  // namespace dsound_openal
