// Key bindings: which keys, mouse buttons and pad buttons play each action of the game.
// An input is one number: 1 to 255 a virtual key (VK_LBUTTON, VK_RBUTTON and VK_MBUTTON
// are the mouse buttons), padInputBase + n the pad's button n, 0 none. Each action has
// two places for inputs; settings.ini names them in words ("blue = mouse_left, E").
#pragma once

#include <string>

enum class GameAction { Forward, Backward, Left, Right, Blue, Red, Both, Pause, Back, Screenshot };

const int gameActionCount = 10;
const int bindingSlots = 2;
const int padInputBase = 256;
const int padButtonCount = 15;

struct KeyBindings {
  int inputs[gameActionCount][bindingSlots] = {};

  bool operator==(const KeyBindings& other) const = default;
  // The inputs of an action.
  const int* Of(GameAction action) const { return inputs[static_cast<int>(action)]; }
  int* Of(GameAction action) { return inputs[static_cast<int>(action)]; }
};

// The game as made: W/A/S/D, the mouse buttons, Space, Escape and F12, with E, R and F
// as the keyboard's blue, red and both colours (Q already hides puddles).
KeyBindings DefaultKeyBindings();

// The action of a settings key ("forward", "blue", ...); false for another word.
bool ActionFromKey(const std::string& key, GameAction* action);
// The settings key of an action.
const char* ActionKey(GameAction action);
// What the options page calls an action.
const char* ActionLabel(GameAction action);

// The name of an input ("W", "space", "mouse_left", "pad_a"); "" for none or an input
// without a name.
std::string InputName(int input);
// The input a name stands for, in any case; 0 when the name is unknown.
int InputFromName(const std::string& name);
// Whether the input is a pad button.
bool IsPadInput(int input);

// Reads a binding's value: one or two input names separated by a comma. "" when read,
// otherwise what is wrong (an unknown name, none at all, more than two).
std::string ParseBinding(const std::string& value, int inputs[bindingSlots]);
// The value ParseBinding reads back: the names joined by ", ".
std::string FormatBinding(const int inputs[bindingSlots]);

// Puts an input in an action's place. An input already used by another action (or the
// other place of this one) is swapped with what the place held, so that no input plays
// two actions. Refused (false, nothing changed) when the swap would leave the other
// action without any input. An action's empty place is always its second.
bool BindInput(KeyBindings* bindings, GameAction action, int slot, int input);

// The inputs that play an action now: its bindings, except that an action bound only to
// pad buttons falls back to its default keys and mouse buttons while no pad is usable.
void EffectiveInputs(const KeyBindings& bindings, GameAction action, bool padUsable, int out[bindingSlots]);
