// The six sprites of the title scene: background with a bobbing cloud, the player
// picture, a pulsing light ray, the click-to-start prompt, the sliding logo and the
// Start / Continue menu. They follow the scene's titleState.
#pragma once

#include "sprite/sprite_base.h"
#include "sprite/sprite_options.h"

// One frame of a cloud layer bobbing between 0 and -20 pixels, 0.1 a frame.
void BobCloud(D3DXMATRIX& cloudMatrix, int& rising);

class CTitleBackground : public CSpriteBase {
public:
  std::shared_ptr<OstrelLibrary::CTexture> cloudTexture;
  D3DXMATRIX cloudMatrix;
  int cloudDirection = 1;  // 1 rising, 0 sinking

  // Loads the background and the cloud.
  CTitleBackground();
  // The cloud bobs between 0 and -20 pixels, 0.1 per frame.
  void Update() override;
  // Background, then cloud, both opaque.
  void Draw() override;
};

class CTitlePlayer : public CSpriteBase {
public:
  // Loads the picture; it stays at the top-left corner.
  CTitlePlayer();
  // Stands still.
  void Update() override;
  // Opaque.
  void Draw() override;
};

class CTitleRay : public CSpriteBase {
public:
  // Loads the picture.
  CTitleRay();
  // Pulses between 100 and 255 in steps of 4.
  void Update() override;
  // At its opacity.
  void Draw() override;
};

class CTitleClickToStart : public CSpriteBase {
public:
  // Loads the prompt and the click sound; centred, 250 below the middle.
  CTitleClickToStart();
  // While waiting: blinks, and a click opens the menu.
  void Update() override;
  // Only while waiting for the click.
  void Draw() override;
};

class CTitleLogo : public CSpriteBase {
public:
  float targetY = 50.0f;
  D3DXVECTOR3 step = D3DXVECTOR3(0.0f, 0.5f, 0.0f);
  int alphaStep = 2;

  // Loads the logo, centred in x at the top edge and invisible.
  CTitleLogo();
  // Slides down and fades in; jumps to its place once the prompt was clicked.
  void Update() override;
  // At its opacity.
  void Draw() override;
};

class CTitleOption : public CSpriteBase {
public:
  int ready = 0;
  int readyCounter = 0;
  int readyDelay = 6;
  MenuButton startButton;
  MenuButton continueButton;
  float startOffset = 275.0f;
  float continueOffset = 160.0f;
  // The smaller options button in the bottom-right corner, 16 pixels above the records
  // button and as wide (x 976-1256, y 536-608 on 1280 x 720), and the page it opens.
  MenuButton optionsButton;
  float optionsOffsetX = 476.0f;
  float optionsOffsetY = 212.0f;
  COptionsPage optionsPage;

  // Loads the buttons and the hover and choice sounds; Continue stands above Start.
  CTitleOption();
  // While the menu is up: hover on the buttons, and a choice once the menu is ready;
  // while the options page is up, the page alone.
  void Update() override;
  // The buttons, only while the menu is up; the options page over them.
  void Draw() override;

private:
  // What Start and Continue share: leave the title behind the fade.
  void Choose(bool newGame);
};
