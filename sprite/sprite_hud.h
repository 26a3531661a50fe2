// The game scene's HUD sprites (besides the crosshair): CSpriteClear, the lettering
// that rises after the goal; CSpriteStageTitle, the stage's name banner that a magic
// ray draws in during the opening; CSpriteSpaceSkip, the hint that Space skips the
// opening; CSpriteText, the message box after a magic orb, closed by a click.
#pragma once

#include "sprite/sprite_base.h"

class CSpriteFont;

// One letter of the clear lettering: its cell of the strip and its own motion.
struct ClearLetter {
  RECT source = {0, 0, 0, 0};
  D3DXMATRIX transform;
  D3DXMATRIX position;
  D3DXMATRIX letterScale;
  int landed = 0;
  int alpha = 0;

  ClearLetter();
};

class CSpriteClear : public CSpriteBase {
public:
  static const int kLetterCount = 8;
  int clearPhase = 0;       // 0 rising and settling, 1 fading out
  float baseline = 330.0f;  // where the letters start
  ClearLetter letters[kLetterCount];

  // The strip of eight 53 x 74 letters, each placed along the baseline.
  CSpriteClear();
  // After the goal: the letters rise one after another, settle, then fade in turn.
  void Update() override;
  // After the goal, except on the last stage, whose ending takes over.
  void Draw() override;

private:
  // Rise, overshoot and settle; the next letter starts once this one passes 260.
  void RiseLetters();
  // Grow, drift and fade; the next letter starts once this one is at 150 or below.
  void FadeLetters();
};

class CSpriteStageTitle : public CSpriteBase {
public:
  static const int kSegmentCount = 11;
  static const int kRayFrameCount = 6;
  float speed = 8.0f;
  float stopX = 240.0f;  // back-buffer width / 2 - 400
  int bannerState = 0;   // 0 sliding in, 1 holding, 2 sliding out
  int holdCounter = 0;
  int holdFrames = 100;
  std::shared_ptr<OstrelLibrary::CTexture> rayTexture;
  std::shared_ptr<OstrelLibrary::CTexture> headTexture;
  D3DXMATRIX headTransform;
  D3DXMATRIX segments[kSegmentCount];
  int segmentCount = kSegmentCount;
  RECT rayFrames[kRayFrameCount];
  int rayFrameCount = kRayFrameCount;
  int rayFrame = 0;
  int rayTimer = 0;
  int glowStep = 10;
  int glowAlpha = 0;
  int glowPhase = 1;
  int headMinAlpha = 150;
  int headAlpha = 150;
  int headPhase = 0;
  std::unique_ptr<OstrelLibrary::CSound> raySound;
  std::unique_ptr<OstrelLibrary::CSound> titleSound;
  std::string setName;                // a stage set's name, written on its banner
  std::string setLine;                // and its place in the set under it
  std::unique_ptr<CSpriteFont> font;  // for that name; only a stage set's banner has it

  // The stage's own name, the ray sheet, its head and the two sounds; just off the
  // right edge.
  CSpriteStageTitle();
  // The two sounds.
  ~CSpriteStageTitle() override;
  // During the opening: slide, hold, slide out, with the ray running ahead and behind.
  void Update() override;
  // During the opening: the ray and its head, the banner and its glow.
  void Draw() override;

private:
  // In, hold for 100 frames, out.
  void Slide();
  // The ray's frames, segments and sound.
  void AnimateRay();
  // The banner's glow and the head's pulse.
  void AnimateGlow();
  // The blue ray while sliding in, the red one while sliding out.
  D3DCOLOR RayColour() const;
};

class CSpriteSpaceSkip : public CSpriteBase {
public:
  // The hint in the bottom-left corner.
  CSpriteSpaceSkip();
  // During the opening it blinks.
  void Update() override;
  // During the opening.
  void Draw() override;
};

class CSpriteText : public CSpriteBase {
public:
  std::shared_ptr<OstrelLibrary::CTexture> boxTexture;
  std::shared_ptr<OstrelLibrary::CTexture> hintTexture;
  std::shared_ptr<OstrelLibrary::CTexture> messageTexture;
  float slideSpeed = 1.5f;
  float restY = 50.0f;
  int fadeStep = 10;
  int hintAlpha = 255;
  int closing = 0;
  std::unique_ptr<OstrelLibrary::CSound> orbSound;
  int opened = 0;  // this message has started (its sound played)

  // The box, the hint and the stage's message; the click and orb sounds.
  CSpriteText();
  // The orb sound.
  ~CSpriteText() override;
  // While the orb message runs: slide in, wait for a click once settled, fade out.
  void Update() override;
  // While the orb message runs: box, hint, message.
  void Draw() override;
};
