// The three self-running sequences of the ending: CEndingInside (the climb to the top
// of the tower, the narration, the charge), CEndingOutside (the tower shakes and takes
// off) and CEndingSpace (the tower in space and the credits). Each sets the fade when
// it is done; the ending scene replaces it at full black.
#pragma once

#include "sprite/sprite_base.h"
#include "sprite/sprite_game_time.h"

// One step of a value bouncing between low and high; falling is 1 while it goes down.
void PingPong(int& value, int& falling, int low, int high, int step);

class CEndingInside : public CSpriteBase {
public:
  std::shared_ptr<OstrelLibrary::CTexture> playerTexture;
  D3DXMATRIX playerMatrix;
  D3DXVECTOR3 playerStep = D3DXVECTOR3(0.0f, -3.0f, 0.0f);
  std::shared_ptr<OstrelLibrary::CTexture> narrationTexture;
  D3DXMATRIX narrationMatrix;
  int narrationAlpha = 0;
  int narrationStep = 3;
  int narrationShown = 0;  // 0 fading in, 1 fading out
  std::shared_ptr<OstrelLibrary::CTexture> chargeTexture;
  D3DXMATRIX chargeMatrixA;
  D3DXMATRIX chargeMatrixB;
  int chargeAlpha = 0;
  int chargeStep = 10;
  int chargeFalling = 0;
  OstrelLibrary::CTexture flashTexture;  // one white texel, stretched over the screen
  D3DXMATRIX flashMatrix;
  int chargeStarting = 1;
  int flashAlpha = 0;
  OstrelLibrary::CSound music;
  OstrelLibrary::CSound orbSound;
  OstrelLibrary::CSound chargeSound;
  LONG musicFadeStep = -80;

  // Loads the pictures and sounds, makes the flash texel and starts the music.
  CEndingInside();
  // "CEndingInside".
  const std::string& GetName() const override;
  // The climb, the two narration panels and the charge, in that order.
  void Update() override;
  // Wall, player, narration, both glows, the flash.
  void Draw() override;

private:
  // The narration fades in and out; after the second panel the sequence ends.
  void UpdateNarration();
  // From the top: the flash once, then the glows pulse.
  void UpdateCharge();
};

class CEndingOutside : public CSpriteBase {
public:
  int frameCount = 0;
  int shakeCount = 0;
  int shakeDelay = 60;
  int takeOffDelay = 200;
  std::shared_ptr<OstrelLibrary::CTexture> backgroundTexture;
  std::shared_ptr<OstrelLibrary::CTexture> magicTexture;
  D3DXMATRIX magicMatrix;
  std::shared_ptr<OstrelLibrary::CTexture> towerTexture;
  D3DXMATRIX towerMatrix;
  D3DXMATRIX shakeMatrix;
  D3DXMATRIX towerPositionMatrix;
  float towerSpeed = 2.0f;
  std::shared_ptr<OstrelLibrary::CTexture> cloudTexture;
  D3DXMATRIX cloudMatrix;
  int cloudRising = 1;
  OstrelLibrary::CSound rumbleSound;
  OstrelLibrary::CSound raySound;

  // Loads the pictures and sounds; the glow starts invisible and rising.
  CEndingOutside();
  // "CEndingOutside".
  const std::string& GetName() const override;
  // Still, shaking, taking off; the glow follows the tower and the cloud bobs.
  void Update() override;
  // Background, tower, glow, cloud.
  void Draw() override;
};

class CEndingSpace : public CSpriteBase {
public:
  std::shared_ptr<OstrelLibrary::CTexture> spaceTexture;
  D3DXMATRIX spaceMatrixA;
  D3DXMATRIX spaceMatrixB;
  float scrollSpeed = 0.5f;
  float scrollHeight = 720.0f;
  std::shared_ptr<OstrelLibrary::CTexture> towerTexture;
  D3DXMATRIX towerMatrix;
  D3DXMATRIX shakeMatrix;
  D3DXMATRIX towerPositionMatrix;
  float towerSpeed = 2.0f;
  float towerStopY = 250.0f;
  std::shared_ptr<OstrelLibrary::CTexture> magicTexture;
  D3DXMATRIX magicMatrix;
  std::shared_ptr<OstrelLibrary::CTexture> creditTexture;
  D3DXMATRIX creditMatrix;
  int creditPage = 1;
  int creditPageCount = 5;
  int creditsDone = 0;
  OstrelLibrary::CSound music;
  CWholeGameTime wholeGameTime;  // under the last credit page

  // Loads the pictures, the first credit page and the music; the tower waits below.
  CEndingSpace();
  // "CEndingSpace".
  const std::string& GetName() const override;
  // Music, scroll, tower, glow, credits, in that order.
  void Update() override;
  // Both background copies, tower, glow, credit page; the whole game's time under the last.
  void Draw() override;

private:
  // The page scrolls up once the tower has stopped; the next one follows it.
  void UpdateCredits();
};
