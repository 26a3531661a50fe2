// Probe for tests/layers: every platform header is reachable, game code is not.
#include "d3dx9.h"
#include "d3dx9effect.h"
#include "d3dx9mesh.h"
#include "dsound.h"
#include "windows.h"

#include "actor/actor_base.h"
