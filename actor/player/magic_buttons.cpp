// CMagicButtons: held or toggled magic from the frame's input snapshot.
#include "actor/player/magic_buttons.h"

#include "app/application.h"

// Held: the buttons as they are. Toggled: each press flips its colour, taps included.
void CMagicButtons::Update(const InputSnapshot& input, bool toggled, bool sceneEvent)
{
  if (!toggled) {
    blue = input.leftButton != 0;
    red = input.rightButton != 0;
    return;
  }
  if (sceneEvent) {
    blue = false;
    red = false;
    return;
  }
  if (input.leftPressed) blue = !blue;
  if (input.rightPressed) red = !red;
}
