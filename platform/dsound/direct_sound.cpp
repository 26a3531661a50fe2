// IDirectSound8 on OpenAL Soft, DirectSoundCreate8, the interface identifiers and
// the volume groups. A DirectSound object owns an OpenAL device and context; its
// buffers share them, so the device stays open until the last of them is released,
// or until the process exits, whichever comes first.
// Depends on: OpenAL Soft (AL/al.h, AL/alc.h, AL/alext.h).
#include "dsound.h"

#include "primary_buffer.h"
#include "secondary_buffer.h"

#include <AL/alext.h>
#include <AL/efx.h>

const GUID IID_IDirectSoundBuffer = {0x50c3a1e0, 0x5b21, 0x4a7e, {0x9d, 0x10, 0x61, 0x72, 0x80, 0x01, 0x00, 0x01}};
const GUID IID_IDirectSoundBuffer8 = {0x50c3a1e0, 0x5b21, 0x4a7e, {0x9d, 0x10, 0x61, 0x72, 0x80, 0x01, 0x00, 0x08}};
const GUID IID_IDirectSound3DBuffer = {0x50c3a1e0, 0x5b21, 0x4a7e, {0x9d, 0x10, 0x61, 0x72, 0x80, 0x01, 0x03, 0x0b}};
const GUID IID_IDirectSound3DListener = {0x50c3a1e0, 0x5b21, 0x4a7e, {0x9d, 0x10, 0x61, 0x72, 0x80, 0x01, 0x03, 0x0c}};
const GUID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
const GUID DS3DALG_DEFAULT = GUID_NULL;
const GUID DS3DALG_NO_VIRTUALIZATION = {0x50c3a1e0, 0x5b21, 0x4a7e, {0x9d, 0x10, 0x61, 0x72, 0x80, 0x01, 0xa1, 0x00}};

using namespace dsound_openal;

namespace {

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
    if (description->dwFlags & DSBCAPS_PRIMARYBUFFER) return HandOutPrimary(*description, buffer);
    return CreateSecondary(*description, nullptr, buffer);
  }

  // A secondary buffer whose bytes stay in their file.
  HRESULT CreateFromFile(const DSBUFFERDESC& description, const FileBytes& range, IDirectSoundBuffer** buffer)
  {
    if (description.dwFlags & DSBCAPS_PRIMARYBUFFER) return DSERR_INVALIDPARAM;
    if (!FileHolds(range)) return DSERR_INVALIDPARAM;
    return CreateSecondary(description, &range, buffer);
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

  // The one primary buffer, made at the first request.
  HRESULT HandOutPrimary(const DSBUFFERDESC& description, IDirectSoundBuffer** buffer)
  {
    if (description.dwBufferBytes != 0 || description.lpwfxFormat) return DSERR_INVALIDPARAM;
    if (!primary) primary = new CPrimaryBuffer(device, description.dwFlags);
    primary->AddRef();
    *buffer = primary;
    return DS_OK;
  }

  // A new secondary buffer, silent or with the bytes of `fromFile`, once its size and
  // format are checked.
  HRESULT CreateSecondary(const DSBUFFERDESC& description, const FileBytes* fromFile, IDirectSoundBuffer** buffer)
  {
    if (!description.lpwfxFormat) return DSERR_INVALIDPARAM;
    if (!device->IsOpen()) return DSERR_NODRIVER;
    const DWORD bytes = description.dwBufferBytes;
    const WAVEFORMATEX* format = description.lpwfxFormat;
    if (bytes < DSBSIZE_MIN || bytes > DSBSIZE_MAX) return DSERR_INVALIDPARAM;
    const ALenum alFormat = OpenALFormatOf(format, device->hasFloat32);
    if (alFormat == 0) return DSERR_BADFORMAT;
    if (bytes < format->nBlockAlign) return DSERR_INVALIDPARAM;
    CSecondaryBuffer* created = new CSecondaryBuffer(device, description, alFormat, fromFile);
    if (!created->Created()) {
      created->Release();
      return DSERR_OUTOFMEMORY;
    }
    *buffer = created;
    return DS_OK;
  }

  std::shared_ptr<SoundDevice> device;
  CPrimaryBuffer* primary = nullptr;
};

}  // namespace

// Heard at once: the buffers playing take the new gain too.
void DirectSoundSetGroupGain(int group, float gain)
{
  if (group != DSOUND_GROUP_MUSIC && group != DSOUND_GROUP_EFFECTS) return;
  groupGains[group] = gain < 0.0f ? 0.0f : gain;
  ApplyGroupGains();
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

// Every device still open, as at exit.
void DirectSoundCloseAll()
{
  CloseEveryDevice();
}

// The process-wide list's length.
int DirectSoundOpenDevices()
{
  return OpenDeviceCount();
}

// Checks what CreateSoundBuffer checks, and that the file holds the bytes.
HRESULT DirectSoundCreateBufferFromFile(IDirectSound8* directSound, const DSBUFFERDESC* description, const char* path,
                                        DWORD offset, IDirectSoundBuffer** buffer)
{
  if (!buffer) return DSERR_INVALIDPARAM;
  *buffer = nullptr;
  CDirectSound* const device = dynamic_cast<CDirectSound*>(directSound);
  if (!device || !description || description->dwSize != sizeof(DSBUFFERDESC) || !path) return DSERR_INVALIDPARAM;
  return device->CreateFromFile(*description, {path, offset, description->dwBufferBytes}, buffer);
}

// Opens OpenAL's default device with room for many sources (every sound in the game
// holds one) and the inverse-distance-clamped model. DirectSound has no effect sends, so
// none are asked for: each of the mixer's 256 voices is then smaller (0.7 MB in all).
HRESULT DirectSoundCreate8(const GUID* deviceId, IDirectSound8** directSound, IUnknown* outer)
{
  if (!directSound) return DSERR_INVALIDPARAM;
  *directSound = nullptr;
  if (outer) return DSERR_INVALIDPARAM;
  if (deviceId && !(*deviceId == GUID_NULL)) return DSERR_NODRIVER;
  ALCdevice* alDevice = alcOpenDevice(nullptr);
  if (!alDevice) return DSERR_NODRIVER;
  const ALCint attributes[] = {ALC_MONO_SOURCES, 1024, ALC_STEREO_SOURCES, 256, ALC_MAX_AUXILIARY_SENDS, 0, 0};
  ALCcontext* context = alcCreateContext(alDevice, attributes);
  if (!context) {
    alcCloseDevice(alDevice);
    return DSERR_NODRIVER;
  }
  auto device = std::make_shared<SoundDevice>(alDevice, context);
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
