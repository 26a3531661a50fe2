// The getters and checks the primary and secondary buffers share.
#include "buffer_common.h"

#include <algorithm>
#include <cstring>

namespace dsound_openal {

// Keeps the device and the format; `alwaysControls` joins the flags for the checks.
CBufferCommon::CBufferCommon(std::shared_ptr<SoundDevice> soundDevice, DWORD bufferFlags, DWORD alwaysControls,
                             std::vector<BYTE> waveFormat)
    : device(std::move(soundDevice)),
      flags(bufferFlags),
      format(std::move(waveFormat)),
      controls(bufferFlags | alwaysControls)
{
}

// Hands out the format as GetFormat does: the size needed when `out` is null.
HRESULT CBufferCommon::GetFormat(WAVEFORMATEX* out, DWORD sizeAllocated, DWORD* sizeWritten)
{
  if (!out) {
    if (!sizeWritten) return DSERR_INVALIDPARAM;
    *sizeWritten = (DWORD)format.size();
    return DS_OK;
  }
  const DWORD size = std::min<DWORD>(sizeAllocated, (DWORD)format.size());
  memcpy(out, format.data(), size);
  if (sizeWritten) *sizeWritten = size;
  return DS_OK;
}

// Volume in hundredths of a decibel.
HRESULT CBufferCommon::GetVolume(LONG* out)
{
  if (!out) return DSERR_INVALIDPARAM;
  if (!(controls & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
  *out = volume;
  return DS_OK;
}

// Pan in hundredths of a decibel of attenuation on the far side.
HRESULT CBufferCommon::GetPan(LONG* out)
{
  if (!out) return DSERR_INVALIDPARAM;
  if (!(controls & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
  *out = pan;
  return DS_OK;
}

// Samples per second of the format.
HRESULT CBufferCommon::GetFrequency(DWORD* out)
{
  if (!out) return DSERR_INVALIDPARAM;
  if (!(controls & DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
  *out = Format()->nSamplesPerSec;
  return DS_OK;
}

// DSBVOLUME_MIN to DSBVOLUME_MAX, with volume control.
HRESULT CBufferCommon::AcceptVolume(LONG value)
{
  if (!(controls & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
  if (value < DSBVOLUME_MIN || value > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
  volume = value;
  return DS_OK;
}

// DSBPAN_LEFT to DSBPAN_RIGHT, with pan control.
HRESULT CBufferCommon::AcceptPan(LONG value)
{
  if (!(controls & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
  if (value < DSBPAN_LEFT || value > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
  pan = value;
  return DS_OK;
}

}  // namespace dsound_openal
