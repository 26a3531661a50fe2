// DirectSound 8 on OpenAL Soft. A DirectSound object owns an OpenAL device and
// context; every secondary buffer is one OpenAL source playing one OpenAL buffer,
// with the sound's bytes also kept here for Lock/Unlock. Buffers share the device,
// so it stays open until the last of them is released.
// DirectSound's space is left-handed and OpenAL's right-handed: z is negated on the
// way in. Volumes in hundredths of a decibel become gains 10^(v/2000). DirectSound's
// 3D model (minimum distance 1, the listener's rolloff factor) is OpenAL's
// inverse-distance-clamped model with reference distance 1.
// Depends on: OpenAL Soft (AL/al.h, AL/alc.h, AL/alext.h).
#include "dsound.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

const GUID IID_IDirectSoundBuffer = {0x50c3a1e0, 0x5b21, 0x4a7e, {0x9d, 0x10, 0x61, 0x72, 0x80, 0x01, 0x00, 0x01}};
const GUID IID_IDirectSoundBuffer8 = {0x50c3a1e0, 0x5b21, 0x4a7e, {0x9d, 0x10, 0x61, 0x72, 0x80, 0x01, 0x00, 0x08}};
const GUID IID_IDirectSound3DBuffer = {0x50c3a1e0, 0x5b21, 0x4a7e, {0x9d, 0x10, 0x61, 0x72, 0x80, 0x01, 0x03, 0x0b}};
const GUID IID_IDirectSound3DListener = {0x50c3a1e0, 0x5b21, 0x4a7e, {0x9d, 0x10, 0x61, 0x72, 0x80, 0x01, 0x03, 0x0c}};
const GUID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
const GUID DS3DALG_DEFAULT = GUID_NULL;
const GUID DS3DALG_NO_VIRTUALIZATION = {0x50c3a1e0, 0x5b21, 0x4a7e, {0x9d, 0x10, 0x61, 0x72, 0x80, 0x01, 0xa1, 0x00}};

namespace {

class CSecondaryBuffer;

// The player's volume for each group of buffers, as a gain factor (1: as mixed).
float groupGains[2] = {1.0f, 1.0f};

// Gain of a volume in hundredths of a decibel.
float GainOf(LONG volume)
{
  return std::pow(10.0f, (float)volume / 2000.0f);
}

// The OpenAL device and context behind one DirectSound object, shared by its buffers.
struct SoundDevice {
  ALCdevice* device = nullptr;
  ALCcontext* context = nullptr;
  DWORD cooperativeLevel = 0;
  bool hasFloat32 = false;
  float rolloff = DS3D_DEFAULTROLLOFFFACTOR;   // the listener's, given to every positioned source
  std::vector<CSecondaryBuffer*> positioned;  // sources that follow the rolloff factor

  // Closes the device once the DirectSound object and every buffer are gone.
  ~SoundDevice()
  {
    if (alcGetCurrentContext() == context) alcMakeContextCurrent(nullptr);
    alcDestroyContext(context);
    alcCloseDevice(device);
  }

  // Makes this device's context the one OpenAL calls go to.
  void MakeCurrent() const
  {
    if (alcGetCurrentContext() != context) alcMakeContextCurrent(context);
  }

  // Sets the listener's rolloff factor on every positioned source.
  void SetRolloff(float factor);
};

// The OpenAL format of a wave format, or 0 when OpenAL cannot play it.
ALenum OpenALFormatOf(const WAVEFORMATEX* format, bool hasFloat32)
{
  WORD tag = format->wFormatTag;
  if (tag == WAVE_FORMAT_EXTENSIBLE) {
    if (format->cbSize < sizeof(WAVEFORMATEXTENSIBLE) - sizeof(WAVEFORMATEX)) return 0;
    const WAVEFORMATEXTENSIBLE* extensible = (const WAVEFORMATEXTENSIBLE*)format;
    if (extensible->SubFormat == KSDATAFORMAT_SUBTYPE_PCM) tag = WAVE_FORMAT_PCM;
    else if (extensible->SubFormat == KSDATAFORMAT_SUBTYPE_IEEE_FLOAT) tag = WAVE_FORMAT_IEEE_FLOAT;
    else return 0;
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
  const size_t size = format->wFormatTag == WAVE_FORMAT_PCM ? sizeof(WAVEFORMATEX) : sizeof(WAVEFORMATEX) + format->cbSize;
  std::vector<BYTE> copy(bytes, bytes + size);
  if (format->wFormatTag == WAVE_FORMAT_PCM) ((WAVEFORMATEX*)copy.data())->cbSize = 0;
  return copy;
}

// Hands out a format as GetFormat does: the size needed when `format` is null.
HRESULT GetFormatCopy(const std::vector<BYTE>& stored, WAVEFORMATEX* format, DWORD sizeAllocated, DWORD* sizeWritten)
{
  if (!format) {
    if (!sizeWritten) return DSERR_INVALIDPARAM;
    *sizeWritten = (DWORD)stored.size();
    return DS_OK;
  }
  const DWORD size = std::min<DWORD>(sizeAllocated, (DWORD)stored.size());
  memcpy(format, stored.data(), size);
  if (sizeWritten) *sizeWritten = size;
  return DS_OK;
}

// ---- secondary buffers ------------------------------------------------------------

// One sound: an OpenAL source playing an OpenAL buffer holding `data`.
class CSecondaryBuffer final : public IDirectSoundBuffer8 {
public:
  // Takes an already checked description and the OpenAL format of its wave format.
  CSecondaryBuffer(std::shared_ptr<SoundDevice> soundDevice, const DSBUFFERDESC& description, ALenum openALFormat)
    : device(std::move(soundDevice)), flags(description.dwFlags), format(CopyFormat(description.lpwfxFormat)),
      alFormat(openALFormat)
  {
    const WAVEFORMATEX* wave = Format();
    const bool eightBit = (alFormat == AL_FORMAT_MONO8 || alFormat == AL_FORMAT_STEREO8);
    data.assign(description.dwBufferBytes, eightBit ? 0x80 : 0);
    playableBytes = description.dwBufferBytes / wave->nBlockAlign * wave->nBlockAlign;
    positioned = (flags & DSBCAPS_CTRL3D) && wave->nChannels == 1;
    device->MakeCurrent();
    alGetError();
    alGenSources(1, &source);
    if (alGetError() != AL_NO_ERROR) return;
    alGenBuffers(1, &alBuffer);
    if (alGetError() != AL_NO_ERROR) return;
    alBufferData(alBuffer, alFormat, data.data(), (ALsizei)playableBytes, (ALsizei)wave->nSamplesPerSec);
    alSourcei(source, AL_BUFFER, (ALint)alBuffer);
    alSourcef(source, AL_REFERENCE_DISTANCE, DS3D_DEFAULTMINDISTANCE);
    alSourcef(source, AL_MAX_DISTANCE, DS3D_DEFAULTMAXDISTANCE);
    alSourcef(source, AL_GAIN, groupGains[group]);
    if (positioned) {
      device->positioned.push_back(this);
      alSourcef(source, AL_ROLLOFF_FACTOR, device->rolloff);
    } else {
      alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
    }
    ApplyPlacement();
    created = alGetError() == AL_NO_ERROR;
  }

  // False when OpenAL could not give a source or buffer (the creation then fails).
  bool Created() const { return created; }

  // Defined below C3DBuffer, which it hands out.
  HRESULT QueryInterface(REFIID riid, void** object) override;

  // Current play position in bytes; the write cursor is reported at the same place.
  HRESULT GetCurrentPosition(DWORD* playCursor, DWORD* writeCursor) override
  {
    const DWORD position = CurrentPosition();
    if (playCursor) *playCursor = position;
    if (writeCursor) *writeCursor = position;
    return DS_OK;
  }

  // The wave format with its extra bytes.
  HRESULT GetFormat(WAVEFORMATEX* out, DWORD sizeAllocated, DWORD* sizeWritten) override
  {
    return GetFormatCopy(format, out, sizeAllocated, sizeWritten);
  }

  // Volume in hundredths of a decibel.
  HRESULT GetVolume(LONG* out) override
  {
    if (!out) return DSERR_INVALIDPARAM;
    if (!(flags & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
    *out = volume;
    return DS_OK;
  }

  // Pan in hundredths of a decibel of attenuation on the far side.
  HRESULT GetPan(LONG* out) override
  {
    if (!out) return DSERR_INVALIDPARAM;
    if (!(flags & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
    *out = pan;
    return DS_OK;
  }

  // Samples per second of the data.
  HRESULT GetFrequency(DWORD* out) override
  {
    if (!out) return DSERR_INVALIDPARAM;
    if (!(flags & DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
    *out = Format()->nSamplesPerSec;
    return DS_OK;
  }

  // Playing and looping bits from the source's real state.
  HRESULT GetStatus(DWORD* out) override
  {
    if (!out) return DSERR_INVALIDPARAM;
    *out = 0;
    if (SourceState() == AL_PLAYING) *out = DSBSTATUS_PLAYING | (looping ? DSBSTATUS_LOOPING : 0);
    return DS_OK;
  }

  // Hands out the bytes from `offset`, wrapping round to the start for a second part.
  HRESULT Lock(DWORD offset, DWORD bytes, void** part1, DWORD* bytes1, void** part2, DWORD* bytes2,
               DWORD lockFlags) override
  {
    const DWORD size = (DWORD)data.size();
    if (!part1 || !bytes1 || locked) return DSERR_INVALIDPARAM;
    if (lockFlags & DSBLOCK_FROMWRITECURSOR) offset = CurrentPosition();
    if (lockFlags & DSBLOCK_ENTIREBUFFER) bytes = size;
    if (offset >= size || bytes == 0 || bytes > size) return DSERR_INVALIDPARAM;
    const DWORD first = std::min(bytes, size - offset);
    const DWORD second = bytes - first;
    if (second > 0 && (!part2 || !bytes2)) return DSERR_INVALIDPARAM;
    lockPart1 = data.data() + offset;
    lockBytes1 = first;
    lockPart2 = second > 0 ? data.data() : nullptr;
    lockBytes2 = second;
    *part1 = lockPart1;
    *bytes1 = lockBytes1;
    if (part2) *part2 = lockPart2;
    if (bytes2) *bytes2 = lockBytes2;
    locked = true;
    return DS_OK;
  }

  // Plays from the current position; DSBPLAY_LOOPING loops. A playing buffer keeps
  // playing and only takes the new looping flag.
  HRESULT Play(DWORD, DWORD, DWORD playFlags) override
  {
    device->MakeCurrent();
    looping = (playFlags & DSBPLAY_LOOPING) != 0;
    alSourcei(source, AL_LOOPING, looping ? AL_TRUE : AL_FALSE);
    if (SourceState() != AL_PLAYING) alSourcePlay(source);
    return DS_OK;
  }

  // Moves the play position (rounded down to a whole sample frame).
  HRESULT SetCurrentPosition(DWORD position) override
  {
    if (position >= data.size()) return DSERR_INVALIDPARAM;
    const DWORD blockAlign = Format()->nBlockAlign;
    position = position / blockAlign * blockAlign;
    if (position >= playableBytes) position = 0;
    device->MakeCurrent();
    if (SourceState() == AL_PLAYING) {
      alSourcei(source, AL_BYTE_OFFSET, (ALint)position);
    } else {
      // A rewound source takes the offset at its next play.
      alSourceRewind(source);
      if (position > 0) alSourcei(source, AL_BYTE_OFFSET, (ALint)position);
      pendingPosition = position;
    }
    return DS_OK;
  }

  // Only the primary buffer has a format to set.
  HRESULT SetFormat(const WAVEFORMATEX*) override { return DSERR_INVALIDCALL; }

  // Volume in hundredths of a decibel, DSBVOLUME_MIN to DSBVOLUME_MAX.
  HRESULT SetVolume(LONG value) override
  {
    if (!(flags & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
    if (value < DSBVOLUME_MIN || value > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
    volume = value;
    ApplyGain();
    return DS_OK;
  }

  // The buffer's volume times its group's.
  void ApplyGain()
  {
    device->MakeCurrent();
    alSourcef(source, AL_GAIN, GainOf(volume) * groupGains[group]);
  }

  // The gain OpenAL holds for the source.
  float Gain() const
  {
    device->MakeCurrent();
    ALfloat gain = -1.0f;
    alGetSourcef(source, AL_GAIN, &gain);
    return gain;
  }

  // Joins a volume group.
  void SetGroup(int newGroup)
  {
    group = newGroup;
    ApplyGain();
  }

  // Pan, DSBPAN_LEFT to DSBPAN_RIGHT.
  HRESULT SetPan(LONG value) override
  {
    if (!(flags & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
    if (value < DSBPAN_LEFT || value > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
    pan = value;
    ApplyPlacement();
    return DS_OK;
  }

  // Stops and keeps the position, so the next Play continues from there.
  HRESULT Stop() override
  {
    device->MakeCurrent();
    if (SourceState() == AL_PLAYING) alSourcePause(source);
    return DS_OK;
  }

  // Takes the written bytes to OpenAL; the parts must be the ones Lock handed out.
  HRESULT Unlock(void* part1, DWORD bytes1, void* part2, DWORD bytes2) override
  {
    if (!locked) return DSERR_INVALIDCALL;
    if (part1 != lockPart1 || bytes1 > lockBytes1) return DSERR_INVALIDPARAM;
    if (part2 != lockPart2 || bytes2 > lockBytes2) return DSERR_INVALIDPARAM;
    locked = false;
    Upload();
    return DS_OK;
  }

  // Buffers live in memory here and are never lost.
  HRESULT Restore() override { return DS_OK; }

  // 3D position in DirectSound's space.
  HRESULT Get3DPosition(D3DVECTOR* out) const
  {
    if (!out) return DSERR_INVALIDPARAM;
    *out = position3D;
    return DS_OK;
  }

  // Places the sound in DirectSound's space.
  HRESULT Set3DPosition(float x, float y, float z)
  {
    position3D = {x, y, z};
    ApplyPlacement();
    return DS_OK;
  }

  // DS3DMODE_NORMAL, DS3DMODE_HEADRELATIVE or DS3DMODE_DISABLE.
  HRESULT Get3DMode(DWORD* out) const
  {
    if (!out) return DSERR_INVALIDPARAM;
    *out = mode3D;
    return DS_OK;
  }

  // Sets the 3D processing mode.
  HRESULT Set3DMode(DWORD value)
  {
    if (value > DS3DMODE_DISABLE) return DSERR_INVALIDPARAM;
    mode3D = value;
    ApplyPlacement();
    return DS_OK;
  }

  // The listener's rolloff factor changed.
  void SetRolloff(float factor)
  {
    alSourcef(source, AL_ROLLOFF_FACTOR, factor);
  }

  // The buffer keeps its own flags; the 3D interface exists only with DSBCAPS_CTRL3D.
  bool Has3D() const { return (flags & DSBCAPS_CTRL3D) != 0; }

private:
  // Gives the source and buffer back to OpenAL.
  ~CSecondaryBuffer() override
  {
    device->MakeCurrent();
    auto& list = device->positioned;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    if (source) {
      alSourceStop(source);
      alSourcei(source, AL_BUFFER, 0);
      alDeleteSources(1, &source);
    }
    if (alBuffer) alDeleteBuffers(1, &alBuffer);
  }

  // The stored wave format.
  const WAVEFORMATEX* Format() const { return (const WAVEFORMATEX*)format.data(); }

  // AL_INITIAL, AL_PLAYING, AL_PAUSED or AL_STOPPED.
  ALint SourceState() const
  {
    device->MakeCurrent();
    ALint state = AL_INITIAL;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state;
  }

  // Byte position: OpenAL's while playing or paused, the pending one before a play,
  // 0 once a one-shot play has run to its end.
  DWORD CurrentPosition() const
  {
    const ALint state = SourceState();
    if (state == AL_PLAYING || state == AL_PAUSED) {
      ALint offset = 0;
      alGetSourcei(source, AL_BYTE_OFFSET, &offset);
      return offset > 0 ? (DWORD)offset : 0;
    }
    return state == AL_INITIAL ? pendingPosition : 0;
  }

  // Where the source sits for OpenAL. Positioned (mono 3D) sources in normal mode are
  // placed in the world; head-relative ones relative to the listener; disabled 3D
  // and stereo data sit in the listener's head; 2D mono sources are turned round the
  // head by their pan (an approximation: DirectSound attenuates one channel).
  void ApplyPlacement()
  {
    device->MakeCurrent();
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    bool relative = true;
    if (positioned && mode3D != DS3DMODE_DISABLE) {
      x = position3D.x;
      y = position3D.y;
      z = -position3D.z;
      relative = mode3D == DS3DMODE_HEADRELATIVE;
    } else if (!(flags & DSBCAPS_CTRL3D) && Format()->nChannels == 1 && pan != 0) {
      const float farGain = GainOf(-std::abs(pan));
      const float angle = (1.0f - farGain) * 1.5707963f;
      x = std::sin(angle) * (pan < 0 ? -1.0f : 1.0f);
      z = -std::cos(angle);
    }
    alSourcei(source, AL_SOURCE_RELATIVE, relative ? AL_TRUE : AL_FALSE);
    alSource3f(source, AL_POSITION, x, y, z);
  }

  // Gives OpenAL the current bytes, keeping the play state and position.
  void Upload()
  {
    const ALint state = SourceState();
    const DWORD position = CurrentPosition();
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, 0);
    alBufferData(alBuffer, alFormat, data.data(), (ALsizei)playableBytes, (ALsizei)Format()->nSamplesPerSec);
    alSourcei(source, AL_BUFFER, (ALint)alBuffer);
    alSourceRewind(source);
    pendingPosition = position < playableBytes ? position : 0;
    if (pendingPosition > 0) alSourcei(source, AL_BYTE_OFFSET, (ALint)pendingPosition);
    if (state == AL_PLAYING || state == AL_PAUSED) alSourcePlay(source);
    if (state == AL_PAUSED) alSourcePause(source);
  }

  std::shared_ptr<SoundDevice> device;
  const DWORD flags;
  const std::vector<BYTE> format;
  const ALenum alFormat;
  std::vector<BYTE> data;
  DWORD playableBytes = 0;  // whole sample frames of data
  ALuint source = 0;
  ALuint alBuffer = 0;
  bool created = false;
  bool positioned = false;
  int group = DSOUND_GROUP_EFFECTS;
  LONG volume = 0;
  LONG pan = 0;
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

// Sets the listener's rolloff factor on every positioned source.
void SoundDevice::SetRolloff(float factor)
{
  rolloff = factor;
  MakeCurrent();
  for (CSecondaryBuffer* buffer : positioned) buffer->SetRolloff(factor);
}

// The 3D interface of a secondary buffer; keeps the buffer alive while held.
class C3DBuffer final : public IDirectSound3DBuffer {
public:
  // Holds a reference on its buffer.
  explicit C3DBuffer(CSecondaryBuffer* owner) : buffer(owner) { buffer->AddRef(); }

  // Answers for itself and hands anything else to its buffer.
  HRESULT QueryInterface(REFIID riid, void** object) override
  {
    if (!object) return DSERR_INVALIDPARAM;
    if (riid == IID_IDirectSound3DBuffer) {
      AddRef();
      *object = this;
      return DS_OK;
    }
    return buffer->QueryInterface(riid, object);
  }

  // Position in DirectSound's space.
  HRESULT GetPosition(D3DVECTOR* position) override { return buffer->Get3DPosition(position); }
  // Places the sound; every setting applies at once.
  HRESULT SetPosition(float x, float y, float z, DWORD) override { return buffer->Set3DPosition(x, y, z); }
  // The 3D processing mode.
  HRESULT GetMode(DWORD* mode) override { return buffer->Get3DMode(mode); }
  // Sets the 3D processing mode at once.
  HRESULT SetMode(DWORD mode, DWORD) override { return buffer->Set3DMode(mode); }

private:
  // Lets go of the buffer.
  ~C3DBuffer() override { buffer->Release(); }

  CSecondaryBuffer* const buffer;
};

// Hands out the buffer itself, or a new 3D interface for a 3D buffer.
HRESULT CSecondaryBuffer::QueryInterface(REFIID riid, void** object)
{
  if (!object) return DSERR_INVALIDPARAM;
  *object = nullptr;
  if (riid == IID_IDirectSoundBuffer || riid == IID_IDirectSoundBuffer8) {
    AddRef();
    *object = static_cast<IDirectSoundBuffer8*>(this);
    return DS_OK;
  }
  if (riid == IID_IDirectSound3DBuffer && Has3D()) {
    *object = static_cast<IDirectSound3DBuffer*>(new C3DBuffer(this));
    return DS_OK;
  }
  return DSERR_NOINTERFACE;
}

// ---- the primary buffer and the listener ----------------------------------------

// The mix: its volume is OpenAL's listener gain; its format and pan are kept and
// reported (OpenAL Soft chooses the real output format itself).
class CPrimaryBuffer final : public IDirectSoundBuffer {
public:
  // Starts with DirectSound's default primary format, 8-bit stereo at 22050 Hz.
  CPrimaryBuffer(std::shared_ptr<SoundDevice> soundDevice, DWORD bufferFlags)
    : device(std::move(soundDevice)), flags(bufferFlags)
  {
    WAVEFORMATEX initial = {WAVE_FORMAT_PCM, 2, 22050, 44100, 2, 8, 0};
    format = CopyFormat(&initial);
  }

  // Defined below CListener, which it hands out.
  HRESULT QueryInterface(REFIID riid, void** object) override;

  // The mix has no position the game can read.
  HRESULT GetCurrentPosition(DWORD* playCursor, DWORD* writeCursor) override
  {
    if (playCursor) *playCursor = 0;
    if (writeCursor) *writeCursor = 0;
    return DS_OK;
  }

  // The format last set.
  HRESULT GetFormat(WAVEFORMATEX* out, DWORD sizeAllocated, DWORD* sizeWritten) override
  {
    return GetFormatCopy(format, out, sizeAllocated, sizeWritten);
  }

  // Master volume in hundredths of a decibel.
  HRESULT GetVolume(LONG* out) override
  {
    if (!out) return DSERR_INVALIDPARAM;
    if (!(flags & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
    *out = volume;
    return DS_OK;
  }

  // Master pan.
  HRESULT GetPan(LONG* out) override
  {
    if (!out) return DSERR_INVALIDPARAM;
    *out = pan;
    return DS_OK;
  }

  // Samples per second of the format last set.
  HRESULT GetFrequency(DWORD* out) override
  {
    if (!out) return DSERR_INVALIDPARAM;
    *out = ((const WAVEFORMATEX*)format.data())->nSamplesPerSec;
    return DS_OK;
  }

  // Playing (and looping) once Play has been called.
  HRESULT GetStatus(DWORD* out) override
  {
    if (!out) return DSERR_INVALIDPARAM;
    *out = playing ? (DSBSTATUS_PLAYING | DSBSTATUS_LOOPING) : 0;
    return DS_OK;
  }

  // Writing the mix directly is not offered.
  HRESULT Lock(DWORD, DWORD, void**, DWORD*, void**, DWORD*, DWORD) override { return DSERR_PRIOLEVELNEEDED; }

  // The mix always runs; remembered only for GetStatus.
  HRESULT Play(DWORD, DWORD, DWORD) override
  {
    playing = true;
    return DS_OK;
  }

  // The mix has no position to set.
  HRESULT SetCurrentPosition(DWORD) override { return DSERR_INVALIDCALL; }

  // Takes a PCM format; needs the priority cooperative level or above.
  HRESULT SetFormat(const WAVEFORMATEX* value) override
  {
    if (!value) return DSERR_INVALIDPARAM;
    if (device->cooperativeLevel < DSSCL_PRIORITY) return DSERR_PRIOLEVELNEEDED;
    if (OpenALFormatOf(value, device->hasFloat32) == 0) return DSERR_BADFORMAT;
    format = CopyFormat(value);
    return DS_OK;
  }

  // Master volume: OpenAL's listener gain.
  HRESULT SetVolume(LONG value) override
  {
    if (!(flags & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
    if (value < DSBVOLUME_MIN || value > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
    volume = value;
    device->MakeCurrent();
    alListenerf(AL_GAIN, GainOf(volume));
    return DS_OK;
  }

  // Master pan: kept and reported.
  HRESULT SetPan(LONG value) override
  {
    if (value < DSBPAN_LEFT || value > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
    pan = value;
    return DS_OK;
  }

  // Remembered only for GetStatus.
  HRESULT Stop() override
  {
    playing = false;
    return DS_OK;
  }

  // Nothing can be locked, so nothing unlocks.
  HRESULT Unlock(void*, DWORD, void*, DWORD) override { return DSERR_INVALIDCALL; }

  // Never lost.
  HRESULT Restore() override { return DS_OK; }

  // The device the listener talks to.
  const std::shared_ptr<SoundDevice>& Device() const { return device; }

private:
  ~CPrimaryBuffer() override = default;

  std::shared_ptr<SoundDevice> device;
  const DWORD flags;
  std::vector<BYTE> format;
  LONG volume = 0;
  LONG pan = 0;
  bool playing = false;
};

// The listener of a primary buffer; OpenAL's listener with z negated.
class CListener final : public IDirectSound3DListener {
public:
  // Holds a reference on the primary buffer.
  explicit CListener(CPrimaryBuffer* owner) : primary(owner) { primary->AddRef(); }

  // Answers for itself and hands anything else to the primary buffer.
  HRESULT QueryInterface(REFIID riid, void** object) override
  {
    if (!object) return DSERR_INVALIDPARAM;
    if (riid == IID_IDirectSound3DListener) {
      AddRef();
      *object = this;
      return DS_OK;
    }
    return primary->QueryInterface(riid, object);
  }

  // Position in DirectSound's space.
  HRESULT GetPosition(D3DVECTOR* out) override
  {
    if (!out) return DSERR_INVALIDPARAM;
    *out = position;
    return DS_OK;
  }

  // Moves the listener; applies at once.
  HRESULT SetPosition(float x, float y, float z, DWORD) override
  {
    position = {x, y, z};
    primary->Device()->MakeCurrent();
    alListener3f(AL_POSITION, x, y, -z);
    return DS_OK;
  }

  // The rolloff factor of every positioned sound.
  HRESULT GetRolloffFactor(float* out) override
  {
    if (!out) return DSERR_INVALIDPARAM;
    *out = primary->Device()->rolloff;
    return DS_OK;
  }

  // Sets the rolloff factor, DS3D_MINROLLOFFFACTOR to DS3D_MAXROLLOFFFACTOR; applies at once.
  HRESULT SetRolloffFactor(float rolloff, DWORD) override
  {
    if (!(rolloff >= DS3D_MINROLLOFFFACTOR && rolloff <= DS3D_MAXROLLOFFFACTOR)) return DSERR_INVALIDPARAM;
    primary->Device()->SetRolloff(rolloff);
    return DS_OK;
  }

  // Every setting has already been applied.
  HRESULT CommitDeferredSettings() override { return DS_OK; }

private:
  // Lets go of the primary buffer.
  ~CListener() override { primary->Release(); }

  CPrimaryBuffer* const primary;
  D3DVECTOR position = {0.0f, 0.0f, 0.0f};
};

// Hands out the buffer itself, or the listener when the buffer was made with DSBCAPS_CTRL3D.
HRESULT CPrimaryBuffer::QueryInterface(REFIID riid, void** object)
{
  if (!object) return DSERR_INVALIDPARAM;
  *object = nullptr;
  if (riid == IID_IDirectSoundBuffer) {
    AddRef();
    *object = static_cast<IDirectSoundBuffer*>(this);
    return DS_OK;
  }
  if (riid == IID_IDirectSound3DListener && (flags & DSBCAPS_CTRL3D)) {
    *object = static_cast<IDirectSound3DListener*>(new CListener(this));
    return DS_OK;
  }
  return DSERR_NOINTERFACE;
}

// ---- the device -----------------------------------------------------------------

// The device object: creates buffers; the primary buffer is made once and shared.
class CDirectSound final : public IDirectSound8 {
public:
  // Takes the opened OpenAL device.
  explicit CDirectSound(std::shared_ptr<SoundDevice> soundDevice) : device(std::move(soundDevice)) {}

  // Creates the primary buffer (one per device, handed out again on later calls) or a
  // secondary buffer of dwBufferBytes bytes in the given format.
  HRESULT CreateSoundBuffer(const DSBUFFERDESC* description, IDirectSoundBuffer** buffer, IUnknown* outer) override
  {
    if (!buffer) return DSERR_INVALIDPARAM;
    *buffer = nullptr;
    if (outer || !description || description->dwSize != sizeof(DSBUFFERDESC)) return DSERR_INVALIDPARAM;
    if (description->dwFlags & DSBCAPS_PRIMARYBUFFER) {
      if (description->dwBufferBytes != 0 || description->lpwfxFormat) return DSERR_INVALIDPARAM;
      if (!primary) primary = new CPrimaryBuffer(device, description->dwFlags);
      primary->AddRef();
      *buffer = primary;
      return DS_OK;
    }
    if (!description->lpwfxFormat) return DSERR_INVALIDPARAM;
    const DWORD bytes = description->dwBufferBytes;
    const WAVEFORMATEX* format = description->lpwfxFormat;
    if (bytes < DSBSIZE_MIN || bytes > DSBSIZE_MAX) return DSERR_INVALIDPARAM;
    const ALenum alFormat = OpenALFormatOf(format, device->hasFloat32);
    if (alFormat == 0) return DSERR_BADFORMAT;
    if (bytes < format->nBlockAlign) return DSERR_INVALIDPARAM;
    CSecondaryBuffer* created = new CSecondaryBuffer(device, *description, alFormat);
    if (!created->Created()) {
      created->Release();
      return DSERR_OUTOFMEMORY;
    }
    *buffer = created;
    return DS_OK;
  }

  // Records the level; DSSCL_PRIORITY or above lets the primary format be set.
  HRESULT SetCooperativeLevel(HWND, DWORD level) override
  {
    if (level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY) return DSERR_INVALIDPARAM;
    device->cooperativeLevel = level;
    return DS_OK;
  }

private:
  // Lets go of the primary buffer; buffers still held keep the OpenAL device open.
  ~CDirectSound() override
  {
    if (primary) primary->Release();
  }

  std::shared_ptr<SoundDevice> device;
  CPrimaryBuffer* primary = nullptr;
};

}  // namespace

// Applies to buffers created or given a volume from now on.
void DirectSoundSetGroupGain(int group, float gain)
{
  if (group != DSOUND_GROUP_MUSIC && group != DSOUND_GROUP_EFFECTS) return;
  groupGains[group] = gain < 0.0f ? 0.0f : gain;
}

// Moves a buffer made here into a group and gives it the group's gain at once.
void DirectSoundSetBufferGroup(IDirectSoundBuffer8* buffer, int group)
{
  CSecondaryBuffer* const secondary = dynamic_cast<CSecondaryBuffer*>(buffer);
  if (!secondary || (group != DSOUND_GROUP_MUSIC && group != DSOUND_GROUP_EFFECTS)) return;
  secondary->SetGroup(group);
}

// Read back from OpenAL.
float DirectSoundBufferGain(IDirectSoundBuffer8* buffer)
{
  CSecondaryBuffer* const secondary = dynamic_cast<CSecondaryBuffer*>(buffer);
  return secondary ? secondary->Gain() : -1.0f;
}

// Opens OpenAL's default device with room for many sources (every sound in the game
// holds one) and the inverse-distance-clamped model.
HRESULT DirectSoundCreate8(const GUID* deviceId, IDirectSound8** directSound, IUnknown* outer)
{
  if (!directSound) return DSERR_INVALIDPARAM;
  *directSound = nullptr;
  if (outer) return DSERR_INVALIDPARAM;
  if (deviceId && !(*deviceId == GUID_NULL)) return DSERR_NODRIVER;
  ALCdevice* alDevice = alcOpenDevice(nullptr);
  if (!alDevice) return DSERR_NODRIVER;
  const ALCint attributes[] = {ALC_MONO_SOURCES, 1024, ALC_STEREO_SOURCES, 256, 0};
  ALCcontext* context = alcCreateContext(alDevice, attributes);
  if (!context) {
    alcCloseDevice(alDevice);
    return DSERR_NODRIVER;
  }
  auto device = std::make_shared<SoundDevice>();
  device->device = alDevice;
  device->context = context;
  device->MakeCurrent();
  device->hasFloat32 = alIsExtensionPresent("AL_EXT_FLOAT32") == AL_TRUE;
  alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
  // DirectSound's default orientation (front +z, top +y) with z negated.
  const ALfloat orientation[] = {0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f};
  alListenerfv(AL_ORIENTATION, orientation);
  alListener3f(AL_POSITION, 0.0f, 0.0f, 0.0f);
  *directSound = new CDirectSound(device);
  return DS_OK;
}
