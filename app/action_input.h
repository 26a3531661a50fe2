// The game's actions read through the key bindings: what is held, what went down, and
// the input snapshot's action members filled from them. Keys and mouse buttons are read
// with GetAsyncKeyState, pad buttons from the pad.
#pragma once

#include "app/key_bindings.h"

struct InputSnapshot;

// Whether an input is down now.
bool InputDown(int input);

// Whether a pad can play now: switched on in the settings and one plugged in.
bool PadUsable();

// Whether any input bound to the action (see EffectiveInputs) is down now.
bool ActionHeld(const KeyBindings& bindings, GameAction action);

// Down-going edges of inputs, one sample a call of Sample: the page's keys and the
// capture of a new binding, without taking another caller's TriggerKey latch.
class CInputEdges {
public:
  // Reads every input; what was up at the last sample and is down now went down.
  void Sample();
  // Whether the input went down at the last sample.
  bool WentDown(int input) const;
  // The first input that went down at the last sample, 0 for none.
  int FirstWentDown() const;
  // Takes the inputs held now as already seen, so only a fresh press counts next.
  void Settle();

private:
  static const int inputCount = padInputBase + padButtonCount;
  bool down[inputCount] = {};
  bool went[inputCount] = {};
};

// Fills the held members of the snapshot (walking, both mouse-button members) from the
// bindings of this run. A mouse button whose press message is being handled counts as
// held even if it is already up again, so a click shorter than a frame still casts.
void RefreshHeldActions(InputSnapshot* input, int pressedNow = 0);

// True on the first call that sees the action down, false until it was seen up again;
// one caller an action a frame (pause, back and screenshot each have one).
bool TriggerAction(GameAction action);

// Takes every action held now as already triggered: a press a menu used (Escape that
// left the options page, a key just bound) is no press for the game as well.
void SwallowHeldActions();
