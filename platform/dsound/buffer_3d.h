// The 3D interface of a secondary buffer. Internal to platform/dsound.
#pragma once

#include "dsound.h"

namespace dsound_openal {

class CSecondaryBuffer;

// A new 3D interface of `buffer`, holding a reference on it.
IDirectSound3DBuffer* New3DBuffer(CSecondaryBuffer* buffer);

}  // namespace dsound_openal
