// A gamepad for tests: an SDL virtual controller with every standard axis and button,
// its triggers at rest. The caller holds SDL's joystick subsystem while it exists.
#pragma once

#include <SDL.h>

// Attaches the controller and opens it for setting its state; null on failure.
inline SDL_Joystick* AttachVirtualPad(const char* name, int* deviceIndex)
{
  SDL_VirtualJoystickDesc description;
  SDL_zero(description);
  description.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  description.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  description.naxes = SDL_CONTROLLER_AXIS_MAX;
  description.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  description.name = name;
  *deviceIndex = SDL_JoystickAttachVirtualEx(&description);
  if (*deviceIndex < 0) return nullptr;
  SDL_Joystick* pad = SDL_JoystickOpen(*deviceIndex);
  if (!pad) return nullptr;
  // A trigger at rest reads the lowest value of its axis.
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT, SDL_JOYSTICK_AXIS_MIN);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, SDL_JOYSTICK_AXIS_MIN);
  return pad;
}
