// Post-processing of the game image: the bright pass straight into a five-level blur
// pyramid, its levels folded into one glow, then one composite of the image and the glow
// onto the screen (grey while a menu is open); also the plain copy and the single box
// blur the puddle uses.
#pragma once

#include "engine/texture.h"
#include "shader/shader_base.h"

class CBlurShader : public CShaderBase {
public:
  static constexpr int kLevelCount = 5;

  // Blur pyramid: pair i is levels[2i] (A_i) and levels[2i + 1] (B_i); pair i is a
  // quarter of the back buffer halved i times. 8-bit: the bright pass scales the glow
  // down to a quarter, so it stays below 1 unless the image is four times over white.
  OstrelLibrary::CTexture levels[2 * kLevelCount];
  OstrelLibrary::CTexture sceneTarget;  // the game scene's 3D image (float), back-buffer size
  // Low quality only: the composite at the scene target's size, scaled up onto the screen.
  OstrelLibrary::CTexture compositeTarget;
  // The folded glow the last BuildBloom made (a level's A), or none.
  const OstrelLibrary::CTexture* glow = nullptr;

  ~CBlurShader() override = default;
  // Loads the effect and creates the scene target and the pyramid.
  void Load() override;
  // Releases the effect, the pyramid and the scene target.
  void ReleaseAll() override;
  // (Re)creates the scene target: back-buffer size, or half of it at low quality with
  // the composite target beside it.
  void CreateSceneTarget();
  // Copies the input, tinted by colour, into the current target at the given size.
  void DrawCopy(const OstrelLibrary::CTexture& input, float width, float height, const D3DXVECTOR4* colour);
  // Keeps the bright parts of input, written into output.
  void DrawBright(const OstrelLibrary::CTexture& input, OstrelLibrary::CTexture& output);
  // Box-blurs input into output with normal alpha blending; with an area, only that
  // rectangle of output is written.
  void DrawAverage(const OstrelLibrary::CTexture& input, OstrelLibrary::CTexture& output, const RECT* area = nullptr);
  // Horizontal blur of input into the current target.
  void DrawXBlur(const OstrelLibrary::CTexture& input, float width, float height);
  // Vertical blur of input into the current target.
  void DrawYBlur(const OstrelLibrary::CTexture& input, float width, float height);
  // Keeps the bright parts of input at a quarter of its size, written into output.
  void DrawBrightDown(const OstrelLibrary::CTexture& input, OstrelLibrary::CTexture& output);
  // Builds the pyramid from the bright image: each B_i a blurred half of the one before
  // (a bright image that already is B_0 is blurred where it lies); then folds the B_i
  // into A_0, the sum of all levels at the largest one's size, which becomes the glow.
  void BuildBloom(const OstrelLibrary::CTexture& bright, OstrelLibrary::CTexture* pyramid);
  // The image plus the glow (grey while "g_is_monotone" is set), written over the
  // current target at the given size in one pass.
  void DrawComposite(const OstrelLibrary::CTexture& image, float width, float height);
  // The whole chain after the scene was drawn into sceneTarget and the back buffer bound
  // again: bright pass into B_0, pyramid, composite onto the back buffer (at low
  // quality into compositeTarget, then copied up).
  void Apply();

  // A_i and B_i of the pyramid.
  OstrelLibrary::CTexture& LevelA(int i) { return levels[2 * i]; }
  OstrelLibrary::CTexture& LevelB(int i) { return levels[2 * i + 1]; }

private:
  // One full-target quad of a technique reading input.
  void DrawPass(const char* technique, const OstrelLibrary::CTexture& input, float width, float height);
  // Draws a technique from input into output's surface (within area if one is given),
  // restoring the target after.
  void DrawInto(const char* technique, const OstrelLibrary::CTexture& input, OstrelLibrary::CTexture& output,
                const RECT* area = nullptr);
};
