// Probe for tests/layers: the engine's own headers are reachable, game code is not.
#include "graphics.h"
#include "mesh.h"
#include "sound.h"

#include "scene/scene_game.h"
