// IDirectSoundBuffer for the primary buffer: the mix. OpenAL Soft mixes on its own
// and picks its output format, so the primary format and pan are only kept and
// reported; the volume is OpenAL's listener gain. With DSBCAPS_CTRL3D it hands out
// the listener.
#include "primary_buffer.h"

#include "listener.h"

namespace dsound_openal {

namespace {

// DirectSound's default primary format, 8-bit stereo at 22050 Hz.
std::vector<BYTE> InitialFormat()
{
  WAVEFORMATEX initial = {WAVE_FORMAT_PCM, 2, 22050, 44100, 2, 8, 0};
  return CopyFormat(&initial);
}

}  // namespace

// The mix always has its pan and frequency to report.
CPrimaryBuffer::CPrimaryBuffer(std::shared_ptr<SoundDevice> soundDevice, DWORD bufferFlags)
    : CBufferCommon(std::move(soundDevice), bufferFlags, DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY, InitialFormat())
{
}

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
    *object = NewListener(this);
    return DS_OK;
  }
  return DSERR_NOINTERFACE;
}

// The mix has no position the game can read.
HRESULT CPrimaryBuffer::GetCurrentPosition(DWORD* playCursor, DWORD* writeCursor)
{
  if (playCursor) *playCursor = 0;
  if (writeCursor) *writeCursor = 0;
  return DS_OK;
}

// Playing (and looping) once Play has been called.
HRESULT CPrimaryBuffer::GetStatus(DWORD* out)
{
  if (!out) return DSERR_INVALIDPARAM;
  *out = playing ? (DSBSTATUS_PLAYING | DSBSTATUS_LOOPING) : 0;
  return DS_OK;
}

// The mix always runs; remembered only for GetStatus.
HRESULT CPrimaryBuffer::Play(DWORD, DWORD, DWORD)
{
  playing = true;
  return DS_OK;
}

// Takes a PCM format; needs the priority cooperative level or above.
HRESULT CPrimaryBuffer::SetFormat(const WAVEFORMATEX* value)
{
  if (!value) return DSERR_INVALIDPARAM;
  if (device->cooperativeLevel < DSSCL_PRIORITY) return DSERR_PRIOLEVELNEEDED;
  if (OpenALFormatOf(value, device->hasFloat32) == 0) return DSERR_BADFORMAT;
  format = CopyFormat(value);
  return DS_OK;
}

// Master volume: OpenAL's listener gain.
HRESULT CPrimaryBuffer::SetVolume(LONG value)
{
  const HRESULT accepted = AcceptVolume(value);
  if (accepted != DS_OK) return accepted;
  device->MakeCurrent();
  alListenerf(AL_GAIN, GainOf(volume));
  return DS_OK;
}

// Remembered only for GetStatus.
HRESULT CPrimaryBuffer::Stop()
{
  playing = false;
  return DS_OK;
}

}  // namespace dsound_openal
