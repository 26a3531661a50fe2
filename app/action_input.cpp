// Reading the bound inputs: the held actions of the snapshot and the edges of the
// pressed ones.
#include "app/action_input.h"

#include "app/application.h"
#include "app/input.h"
#include "app/settings.h"
#include "win32_comforts.h"

namespace {

bool actionLatch[gameActionCount] = {};

// Whether any of the inputs is down, or is the one being pressed.
bool AnyDown(const int inputs[bindingSlots], int pressedNow)
{
  for (int slot = 0; slot < bindingSlots; ++slot) {
    if (inputs[slot] == 0) continue;
    if (inputs[slot] == pressedNow || InputDown(inputs[slot])) return true;
  }
  return false;
}

// An action of this run's bindings, with the press being handled.
bool Held(GameAction action, int pressedNow)
{
  int inputs[bindingSlots] = {};
  EffectiveInputs(RunSettings().bindings, action, PadUsable(), inputs);
  return AnyDown(inputs, pressedNow);
}

}  // namespace

// Keys and mouse buttons without touching their tap bits, pad buttons through the pad.
bool InputDown(int input)
{
  if (IsPadInput(input)) return Win32GamepadButtonDown(input - padInputBase);
  if (input <= 0 || input > 255) return false;
  // GetKeyState leaves a tap's "pressed since" bit to the triggered actions.
  return (GetKeyState(input) & 0x8000) != 0;
}

// Off in the settings, or none plugged in: keyboard and mouse only.
bool PadUsable()
{
  return RunSettings().gamepad && Win32GamepadCount() > 0;
}

// Any effective input of the action.
bool ActionHeld(const KeyBindings& bindings, GameAction action)
{
  int inputs[bindingSlots] = {};
  EffectiveInputs(bindings, action, PadUsable(), inputs);
  return AnyDown(inputs, 0);
}

// Every input once. A key's one query also says whether it went down since the last
// (a tap shorter than a frame), which the query clears for every other reader.
void CInputEdges::Sample()
{
  for (int input = 1; input < inputCount; ++input) {
    if (IsPadInput(input) || input > 255) {
      const bool now = InputDown(input);
      went[input] = now && !down[input];
      down[input] = now;
      continue;
    }
    const SHORT state = GetAsyncKeyState(input);
    const bool now = (state & 0x8000) != 0;
    went[input] = (now && !down[input]) || (state & 0x0001) != 0;
    down[input] = now;
  }
}

// From the last sample.
bool CInputEdges::WentDown(int input) const
{
  return input > 0 && input < inputCount && went[input];
}

// Pad buttons first: the pad's A also clicks the mouse's left button in menus, and
// the button pressed is the one meant. Then the lowest numbered key or mouse button.
int CInputEdges::FirstWentDown() const
{
  for (int input = padInputBase; input < inputCount; ++input) {
    if (went[input]) return input;
  }
  for (int input = 1; input < padInputBase; ++input) {
    if (went[input] && !InputName(input).empty()) return input;
  }
  return 0;
}

// What is held now is old news, and so is a tap not yet read (the click that began
// the wait).
void CInputEdges::Settle()
{
  for (int input = 1; input < inputCount; ++input) {
    const bool key = !IsPadInput(input) && input <= 255;
    down[input] = key ? (GetAsyncKeyState(input) & 0x8000) != 0 : InputDown(input);
    went[input] = false;
  }
}

// Both colours hold both buttons, as pressing both would.
void RefreshHeldActions(InputSnapshot* input, int pressedNow)
{
  const bool both = Held(GameAction::Both, pressedNow);
  const int left = (Held(GameAction::Blue, pressedNow) || both) ? 1 : 0;
  const int right = (Held(GameAction::Red, pressedNow) || both) ? 1 : 0;
  // A button member going down is a press, whichever input is bound to it (toggled magic).
  if (left && !input->leftButton) input->leftPressed = 1;
  if (right && !input->rightButton) input->rightPressed = 1;
  input->leftButton = left;
  input->rightButton = right;
  input->keyW = Held(GameAction::Forward, 0) ? 1 : 0;
  input->keyS = Held(GameAction::Backward, 0) ? 1 : 0;
  input->keyA = Held(GameAction::Left, 0) ? 1 : 0;
  input->keyD = Held(GameAction::Right, 0) ? 1 : 0;
}

// A latch an action, as TriggerKey keeps one a key; a tap between two calls counts once.
bool TriggerAction(GameAction action)
{
  const int index = static_cast<int>(action);
  int inputs[bindingSlots] = {};
  EffectiveInputs(RunSettings().bindings, action, PadUsable(), inputs);
  bool down = false;
  bool pressedSince = false;
  for (int slot = 0; slot < bindingSlots; ++slot) {
    if (inputs[slot] == 0) continue;
    if (IsPadInput(inputs[slot]) || inputs[slot] > 255) {
      down = down || InputDown(inputs[slot]);
      continue;
    }
    // One query a key: the low bit says it went down since the last one (a tap).
    const SHORT state = GetAsyncKeyState(inputs[slot]);
    down = down || (state & 0x8000) != 0;
    pressedSince = pressedSince || (state & 0x0001) != 0;
  }
  return CountPress(down, pressedSince, &actionLatch[index]);
}

// The latches of the held actions closed, and the taps not yet read taken.
void SwallowHeldActions()
{
  for (int index = 0; index < gameActionCount; ++index) {
    const GameAction action = static_cast<GameAction>(index);
    if (Held(action, 0)) actionLatch[index] = true;
    int inputs[bindingSlots] = {};
    EffectiveInputs(RunSettings().bindings, action, PadUsable(), inputs);
    for (const int input : inputs) {
      if (input > 0 && input <= 255 && !IsPadInput(input)) GetAsyncKeyState(input);
    }
  }
}
