// CEffectBase: the base of every short-lived visual effect the game scene keeps in its
// effect list. It holds what the scene needs to run the list (the placement the queue
// builds live effects from, the world matrix the list is sorted by, the finished flag)
// and what the billboard effects animate with. The billboard drawing comes with them.
#pragma once

#include <memory>
#include <string>

#include "d3dx9.h"
#include "engine/graphics.h"
#include "engine/texture.h"

class CSceneGame;

class CEffectBase {
public:
  // The running game scene, set by its Init; effects lock it for one use.
  static std::weak_ptr<CSceneGame> currentScene;

  int active = 0;          // switchable effects (magic ray and charge)
  D3DXMATRIX world;        // what the quad or mesh is drawn with; sorted by
  D3DXMATRIX baseMatrix;   // placement; queued effects are rebuilt from it
  D3DXMATRIX scaleMatrix;  // growth on top of world
  float size = 1.0f;
  std::shared_ptr<OstrelLibrary::CTexture> texture;
  OstrelLibrary::TexturedVertex quad[4];
  int frameTimer = 0;
  float scroll = 0.0f;
  int scrollDirection = -1;
  int colour = 0;  // MagicColour of coloured effects
  int frameIndex = 0;
  float lastFrame = 0.0f;
  float frameWidth = 0.0f;
  int frameDelay = 0;
  int finished = 0;  // set when done; the scene then removes the effect

  CEffectBase();
  CEffectBase(const CEffectBase&) = delete;
  CEffectBase& operator=(const CEffectBase&) = delete;

  // The class's own name string.
  virtual const std::string& GetName() const;
  // Lets go of the texture.
  virtual ~CEffectBase();
  // One frame of animation.
  virtual void Update() = 0;
  // Draws the effect in the additive part of the 3D pass.
  virtual void Draw() = 0;

  // world = the camera's view rotation undone, then baseMatrix: the quad faces the camera.
  void Billboard();
  // Billboard, mirrored about the puddle plane (and unculled) during the reflection pass.
  void BillboardReflected();
  // The next cell, back to the first after the last.
  void AnimateLoop();
  // The next cell; past the last the effect is finished and stays on the last.
  void AnimateOnce();
  // The texture coordinates of the current cell of the strip.
  void SetCellCoordinates();
  // The quad w x h, centred or standing on its bottom edge, in one colour.
  void SetQuad(float w, float h, bool bottomAnchored, D3DCOLOR quadColour = 0xFFFFFFFF);
  // The quad with the texture at world; nothing without a texture.
  void DrawQuad() const;
  // Gives culling back after a mirrored billboard of the reflection pass.
  static void RestoreCullAfterReflection();
  // True while the scene's pause or escape menu holds the stage.
  static bool IsSceneHalted();
  // The texture's size in pixels; 0 without a texture.
  float TextureWidth() const;
  float TextureHeight() const;
};

// The shared texture for a path from the engine's cache.
std::shared_ptr<OstrelLibrary::CTexture> LoadEffectTexture(const std::string& path);
