// Secondary buffers on OpenAL Soft: every secondary buffer is one OpenAL source
// playing one OpenAL buffer, or a stream of queued pieces for a long sound made
// from a file. Calls on a stream hold the device's stream lock, since its pump
// thread refills it. DirectSound's space is left-handed and OpenAL's
// right-handed: z is negated on the way in. DirectSound's 3D model (minimum
// distance 1, the listener's rolloff factor) is OpenAL's inverse-distance-clamped
// model with reference distance 1.
// Depends on: OpenAL Soft (AL/al.h).
#include "secondary_buffer.h"

#include "buffer_3d.h"

#include <algorithm>
#include <cmath>
#include <mutex>

namespace dsound_openal {

// Makes the source, then its bytes: silence kept here, or the file's.
CSecondaryBuffer::CSecondaryBuffer(std::shared_ptr<SoundDevice> soundDevice, const DSBUFFERDESC& description,
                                   ALenum openALFormat, const FileBytes* fromFile)
    : CBufferCommon(std::move(soundDevice), description.dwFlags, 0, CopyFormat(description.lpwfxFormat)),
      alFormat(openALFormat),
      bufferBytes(description.dwBufferBytes)
{
  const WAVEFORMATEX* wave = Format();
  playableBytes = bufferBytes / wave->nBlockAlign * wave->nBlockAlign;
  positioned = (flags & DSBCAPS_CTRL3D) && wave->nChannels == 1;
  device->MakeCurrent();
  alGetError();
  if (!MakeSource()) return;
  if (!fromFile) {
    data.assign(bufferBytes, Silence());
    created = MakeStaticBuffer(data);
    return;
  }
  file = *fromFile;
  bytesInFile = true;
  if (ShouldStream(*wave, playableBytes)) {
    created = MakeStream(file);
    return;
  }
  // Read for the upload only: OpenAL's copy is the only one kept.
  std::vector<BYTE> bytes;
  ReadFileBytes(file, Silence(), bytes);
  created = MakeStaticBuffer(bytes);
}

namespace {
// Every buffer with a source, so that a group's new gain reaches those playing. Never
// destroyed: buffers still held at exit are released after static objects are gone.
std::vector<CSecondaryBuffer*>& BuffersWithSources()
{
  static std::vector<CSecondaryBuffer*>* const list = new std::vector<CSecondaryBuffer*>;
  return *list;
}
}  // namespace

// The group gains again on every buffer that has a source.
void ApplyGroupGains()
{
  for (CSecondaryBuffer* buffer : BuffersWithSources()) buffer->ApplyGain();
}

// The source with its distance model and group gain.
bool CSecondaryBuffer::MakeSource()
{
  alGenSources(1, &source);
  if (alGetError() != AL_NO_ERROR) return false;
  BuffersWithSources().push_back(this);
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
  return alGetError() == AL_NO_ERROR;
}

// One OpenAL buffer holding the playable part of `bytes`, attached to the source.
bool CSecondaryBuffer::MakeStaticBuffer(const std::vector<BYTE>& bytes)
{
  alGenBuffers(1, &alBuffer);
  if (alGetError() != AL_NO_ERROR) return false;
  alBufferData(alBuffer, alFormat, bytes.data(), (ALsizei)playableBytes, (ALsizei)Format()->nSamplesPerSec);
  alSourcei(source, AL_BUFFER, (ALint)alBuffer);
  return alGetError() == AL_NO_ERROR;
}

// A stream of the playable part of the file's bytes, fed by the device's pump.
bool CSecondaryBuffer::MakeStream(const FileBytes& range)
{
  FileBytes playable = range;
  playable.bytes = playableBytes;
  std::lock_guard<std::mutex> hold(device->Pump().Mutex());
  stream = std::make_unique<CStream>(playable, *Format(), alFormat, source);
  if (!stream->Opened()) {
    stream.reset();
    return false;
  }
  device->Pump().Add(stream.get());
  return alGetError() == AL_NO_ERROR;
}

// Gives the source and buffer back to OpenAL; a lost buffer's went with the context.
CSecondaryBuffer::~CSecondaryBuffer()
{
  device->MakeCurrent();
  auto& list = device->positioned;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  std::erase(BuffersWithSources(), this);
  if (Lost()) return;
  if (stream) {
    std::lock_guard<std::mutex> hold(device->Pump().Mutex());
    device->Pump().Remove(stream.get());
    stream.reset();
  }
  if (source) {
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, 0);
    alDeleteSources(1, &source);
  }
  if (alBuffer) alDeleteBuffers(1, &alBuffer);
}

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
  if (riid == IID_IDirectSound3DBuffer && (flags & DSBCAPS_CTRL3D)) {
    *object = New3DBuffer(this);
    return DS_OK;
  }
  return DSERR_NOINTERFACE;
}

// Current play position in bytes; the write cursor is reported at the same place.
HRESULT CSecondaryBuffer::GetCurrentPosition(DWORD* playCursor, DWORD* writeCursor)
{
  if (Lost()) return DSERR_BUFFERLOST;
  const DWORD position = CurrentPosition();
  if (playCursor) *playCursor = position;
  if (writeCursor) *writeCursor = position;
  return DS_OK;
}

// Playing and looping bits from the source's real state.
HRESULT CSecondaryBuffer::GetStatus(DWORD* out)
{
  if (!out) return DSERR_INVALIDPARAM;
  *out = 0;
  if (Lost()) {
    *out = DSBSTATUS_BUFFERLOST;
    return DS_OK;
  }
  bool sounding = false;
  if (stream) {
    std::lock_guard<std::mutex> hold(device->Pump().Mutex());
    stream->Pump();
    sounding = stream->Playing();
  } else {
    sounding = SourceState() == AL_PLAYING;
  }
  if (sounding) *out = DSBSTATUS_PLAYING | (looping ? DSBSTATUS_LOOPING : 0);
  return DS_OK;
}

// Hands out the bytes from `offset`, wrapping round to the start for a second part.
// A buffer made from a file reads its bytes back from there first.
HRESULT CSecondaryBuffer::Lock(DWORD offset, DWORD bytes, void** part1, DWORD* bytes1, void** part2, DWORD* bytes2,
                               DWORD lockFlags)
{
  const DWORD size = bufferBytes;
  if (!part1 || !bytes1 || locked) return DSERR_INVALIDPARAM;
  if (Lost()) return DSERR_BUFFERLOST;
  if (lockFlags & DSBLOCK_FROMWRITECURSOR) offset = CurrentPosition();
  if (lockFlags & DSBLOCK_ENTIREBUFFER) bytes = size;
  if (offset >= size || bytes == 0 || bytes > size) return DSERR_INVALIDPARAM;
  const DWORD first = std::min(bytes, size - offset);
  const DWORD second = bytes - first;
  if (second > 0 && (!part2 || !bytes2)) return DSERR_INVALIDPARAM;
  if (bytesInFile) TakeBytesFromFile();
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
HRESULT CSecondaryBuffer::Play(DWORD, DWORD, DWORD playFlags)
{
  if (Lost()) return DSERR_BUFFERLOST;
  device->MakeCurrent();
  looping = (playFlags & DSBPLAY_LOOPING) != 0;
  if (stream) {
    std::lock_guard<std::mutex> hold(device->Pump().Mutex());
    stream->Play(looping);
    return DS_OK;
  }
  alSourcei(source, AL_LOOPING, looping ? AL_TRUE : AL_FALSE);
  if (SourceState() != AL_PLAYING) alSourcePlay(source);
  return DS_OK;
}

// Moves the play position (rounded down to a whole sample frame).
HRESULT CSecondaryBuffer::SetCurrentPosition(DWORD position)
{
  if (position >= bufferBytes) return DSERR_INVALIDPARAM;
  if (Lost()) return DSERR_BUFFERLOST;
  const DWORD blockAlign = Format()->nBlockAlign;
  position = position / blockAlign * blockAlign;
  if (position >= playableBytes) position = 0;
  device->MakeCurrent();
  if (stream) {
    std::lock_guard<std::mutex> hold(device->Pump().Mutex());
    stream->SetPosition(position);
    return DS_OK;
  }
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

// Volume in hundredths of a decibel, DSBVOLUME_MIN to DSBVOLUME_MAX.
HRESULT CSecondaryBuffer::SetVolume(LONG value)
{
  const HRESULT accepted = AcceptVolume(value);
  if (accepted == DS_OK) ApplyGain();
  return accepted;
}

// Pan, DSBPAN_LEFT to DSBPAN_RIGHT.
HRESULT CSecondaryBuffer::SetPan(LONG value)
{
  const HRESULT accepted = AcceptPan(value);
  if (accepted == DS_OK) ApplyPlacement();
  return accepted;
}

// Stops and keeps the position, so the next Play continues from there.
HRESULT CSecondaryBuffer::Stop()
{
  if (Lost()) return DSERR_BUFFERLOST;
  device->MakeCurrent();
  if (stream) {
    std::lock_guard<std::mutex> hold(device->Pump().Mutex());
    stream->Stop();
    return DS_OK;
  }
  if (SourceState() == AL_PLAYING) alSourcePause(source);
  return DS_OK;
}

// Takes the written bytes to OpenAL; the parts must be the ones Lock handed out.
HRESULT CSecondaryBuffer::Unlock(void* part1, DWORD bytes1, void* part2, DWORD bytes2)
{
  if (!locked) return DSERR_INVALIDCALL;
  if (part1 != lockPart1 || bytes1 > lockBytes1) return DSERR_INVALIDPARAM;
  if (part2 != lockPart2 || bytes2 > lockBytes2) return DSERR_INVALIDPARAM;
  locked = false;
  if (Lost()) return DSERR_BUFFERLOST;
  Upload();
  return DS_OK;
}

// The buffer's volume times its group's.
void CSecondaryBuffer::ApplyGain()
{
  device->MakeCurrent();
  alSourcef(source, AL_GAIN, GainOf(volume) * groupGains[group]);
}

// The gain OpenAL holds for the source.
float CSecondaryBuffer::Gain() const
{
  device->MakeCurrent();
  ALfloat gain = -1.0f;
  alGetSourcef(source, AL_GAIN, &gain);
  return gain;
}

// Joins a volume group.
void CSecondaryBuffer::SetGroup(int newGroup)
{
  group = newGroup;
  ApplyGain();
}

// The listener's rolloff factor changed.
void CSecondaryBuffer::SetRolloff(float factor)
{
  alSourcef(source, AL_ROLLOFF_FACTOR, factor);
}

// 3D position in DirectSound's space.
HRESULT CSecondaryBuffer::Get3DPosition(D3DVECTOR* out) const
{
  if (!out) return DSERR_INVALIDPARAM;
  *out = position3D;
  return DS_OK;
}

// Places the sound in DirectSound's space.
HRESULT CSecondaryBuffer::Set3DPosition(float x, float y, float z)
{
  position3D = {x, y, z};
  ApplyPlacement();
  return DS_OK;
}

// DS3DMODE_NORMAL, DS3DMODE_HEADRELATIVE or DS3DMODE_DISABLE.
HRESULT CSecondaryBuffer::Get3DMode(DWORD* out) const
{
  if (!out) return DSERR_INVALIDPARAM;
  *out = mode3D;
  return DS_OK;
}

// Sets the 3D processing mode.
HRESULT CSecondaryBuffer::Set3DMode(DWORD value)
{
  if (value > DS3DMODE_DISABLE) return DSERR_INVALIDPARAM;
  mode3D = value;
  ApplyPlacement();
  return DS_OK;
}

// AL_INITIAL, AL_PLAYING, AL_PAUSED or AL_STOPPED.
ALint CSecondaryBuffer::SourceState() const
{
  device->MakeCurrent();
  ALint state = AL_INITIAL;
  alGetSourcei(source, AL_SOURCE_STATE, &state);
  return state;
}

// Byte position: OpenAL's while playing or paused, the pending one before a play,
// 0 once a one-shot play has run to its end.
DWORD CSecondaryBuffer::CurrentPosition() const
{
  if (stream) {
    std::lock_guard<std::mutex> hold(device->Pump().Mutex());
    stream->Pump();
    return stream->Position();
  }
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
void CSecondaryBuffer::ApplyPlacement()
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
void CSecondaryBuffer::Upload()
{
  const ALint state = SourceState();
  AttachData(CurrentPosition(), state == AL_PLAYING || state == AL_PAUSED);
  if (state == AL_PAUSED) alSourcePause(source);
}

// Gives OpenAL `data` as the source's one buffer, from `position`, playing or not.
void CSecondaryBuffer::AttachData(DWORD position, bool play)
{
  device->MakeCurrent();
  alSourceStop(source);
  alSourcei(source, AL_BUFFER, 0);
  alBufferData(alBuffer, alFormat, data.data(), (ALsizei)playableBytes, (ALsizei)Format()->nSamplesPerSec);
  alSourcei(source, AL_BUFFER, (ALint)alBuffer);
  alSourcei(source, AL_LOOPING, looping ? AL_TRUE : AL_FALSE);
  alSourceRewind(source);
  pendingPosition = position < playableBytes ? position : 0;
  if (pendingPosition > 0) alSourcei(source, AL_BYTE_OFFSET, (ALint)pendingPosition);
  if (play) alSourcePlay(source);
}

// Reads the file's bytes into `data`; a stream gives way to one static buffer
// that goes on from where the stream was.
void CSecondaryBuffer::TakeBytesFromFile()
{
  ReadFileBytes(file, Silence(), data);
  bytesInFile = false;
  if (!stream) return;
  DWORD position = 0;
  bool wasPlaying = false;
  {
    std::lock_guard<std::mutex> hold(device->Pump().Mutex());
    stream->Pump();
    position = stream->Position();
    wasPlaying = stream->Playing();
    device->Pump().Remove(stream.get());
    stream.reset();
  }
  device->MakeCurrent();
  alGenBuffers(1, &alBuffer);
  AttachData(position, wasPlaying);
}

// 8-bit samples are unsigned: silence is their middle.
BYTE CSecondaryBuffer::Silence() const
{
  return (alFormat == AL_FORMAT_MONO8 || alFormat == AL_FORMAT_STEREO8) ? 0x80 : 0;
}

}  // namespace dsound_openal
