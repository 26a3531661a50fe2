// The two menus of a stage: CSpritePause (resume, retry, back to the title) while the
// game scene is paused, and CSpriteEscape (yes / no to returning to the title) while
// its escape question is open. Both end themselves through the scene's flags or by
// requesting another scene, whose change then happens behind the fade.
#pragma once

#include "sprite/sprite_base.h"
#include "sprite/sprite_options.h"

class CSpritePause : public CSpriteBase {
public:
  std::shared_ptr<OstrelLibrary::CTexture> heading;
  D3DXMATRIX headingTransform;
  int pulseStep = 3;
  MenuButton resumeButton;
  MenuButton retryButton;
  MenuButton titleButton;
  int headingOffset = -200;
  int retryOffset = 100;
  int titleOffset = 200;
  // The options button in the corner where the title has its own, and its page.
  MenuButton optionsButton;
  float optionsOffsetX = 486.0f;
  float optionsOffsetY = 212.0f;
  COptionsPage optionsPage;

  // Loads the heading, the buttons and the hover and click sounds.
  CSpritePause();
  // While paused: the heading pulses; with no fade running the buttons answer the
  // mouse; while the options page is up, the page alone.
  void Update() override;
  // While paused: the heading, then resume, retry, title and options; the options
  // page instead while it is up.
  void Draw() override;
};

class CSpriteEscape : public CSpriteBase {
public:
  std::shared_ptr<OstrelLibrary::CTexture> question;
  D3DXMATRIX questionTransform;
  float questionY = 100.0f;
  int pulseStep = 3;
  MenuButton yesButton;
  MenuButton noButton;
  float buttonOffsetX = 250.0f;
  int buttonOffsetY = 100;

  // Loads the question, yes and no, and the hover and click sounds.
  CSpriteEscape();
  // While the question is open and no fade runs: pulse, hover and the two answers.
  void Update() override;
  // While the question is open: the question, then yes and no.
  void Draw() override;
};
