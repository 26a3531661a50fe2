// CSpriteAlignment: the crosshair at the screen centre, shown once the first magic is
// available. It turns red and 10 % larger while the camera aims at a magic target.
#pragma once

#include "sprite/sprite_base.h"

class CSpriteAlignment : public CSpriteBase {
public:
  int magicReady = 0;
  D3DXVECTOR3 normalScale{1.0f, 1.0f, 1.0f};
  D3DXVECTOR3 aimScale{1.1f, 1.1f, 1.0f};

  // Centred on the back buffer.
  CSpriteAlignment();
  // Readiness from the magic state, the colour and size from what the camera aims at.
  void Update() override;
  // Only during play, once magic is ready.
  void Draw() override;
};
