// CMagicButtons: which magic colours the player is asking for this frame. Held magic
// (the game as made) follows the mouse buttons; toggled magic (the magic_toggle
// setting) starts a colour at one press of its button and stops it at the next, for
// players who cannot keep a button held. Casting itself is the magic state's business.
#pragma once

struct InputSnapshot;

class CMagicButtons {
public:
  // Reads this frame's buttons. `toggled` chooses the way of casting; a scene event
  // (opening, goal, orb message) lets toggled colours go, as it ends held casts.
  void Update(const InputSnapshot& input, bool toggled, bool sceneEvent);
  // Whether blue (left button) or red (right button) is asked for.
  bool Blue() const { return blue; }
  bool Red() const { return red; }

private:
  bool blue = false;
  bool red = false;
};
