// The 3D listener of the primary buffer. Internal to platform/dsound.
#pragma once

#include "dsound.h"

namespace dsound_openal {

class CPrimaryBuffer;

// A new listener of `primary`, holding a reference on it.
IDirectSound3DListener* NewListener(CPrimaryBuffer* primary);

}  // namespace dsound_openal
