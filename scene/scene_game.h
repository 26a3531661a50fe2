// CSceneGame: one stage. It owns the stage's actors, effects and HUD sprites, runs them
// once a frame in a fixed order, handles the pause and escape toggles and the music,
// turns the frame's effect requests into live effects, draws the shadow pass, the 3D
// pass and the post-processing, and decides what follows the stage.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/records.h"
#include "app/stage_clock.h"
#include "d3dx9.h"
#include "engine/sound.h"
#include "scene/scene_base.h"

class CActorBase;
class CEffectBase;
class CSpriteBase;

class CSceneGame : public CSceneBase {
public:
  std::vector<std::shared_ptr<CActorBase>> actors;         // update and draw order
  std::vector<std::shared_ptr<CActorBase>> pendingActors;  // added after the actor step
  std::vector<std::shared_ptr<CEffectBase>> effects;
  std::vector<std::shared_ptr<CEffectBase>> pendingEffects;  // built into live ones at the effect step
  std::vector<std::shared_ptr<CSpriteBase>> sprites;
  std::shared_ptr<CSceneBase> nextScene;       // what Update hands the loop
  std::shared_ptr<CSceneBase> requestedScene;  // what gameplay or a menu asked for
  std::shared_ptr<CActorBase> player;          // the CGamePlayer
  std::shared_ptr<CActorBase> camera;          // the CGameCamera
  int cameraEvent = 1;                         // the opening camera move runs
  int paused = 0;
  int orbObtained = 0;
  int goalReached = 0;
  int escapeOpen = 0;
  std::unique_ptr<OstrelLibrary::CSound> bgm;
  std::unique_ptr<OstrelLibrary::CSound> pauseSound;
  int quietVolume = -1000;  // music while the opening, a menu or the orb message runs
  int volumeStep = 35;      // music raised per frame back to full volume
  CStageClock clock;        // this attempt's time, stopped at the goal
  ClearTime clearTime;      // what the clear screen shows, set at the goal

  CSceneGame();
  // "CSceneGame".
  const std::string& GetName() const override;
  // Uninit again, then the two sounds.
  ~CSceneGame() override;
  // Loads the stage and starts the music.
  void Init() override;
  // Lets go of both scene references and empties the five lists.
  void Uninit(std::shared_ptr<CSceneBase> incoming) override;
  // Toggles, music, actors, effects, sprites, then the scene transition.
  std::shared_ptr<CSceneBase> Update() override;
  // The shadow pass, then actors and effects into the blur shader's scene target.
  void Draw() override;
  // The image with bloom onto the back buffer, then the sprites.
  void DrawSprite() override;
  // The composite covers the screen once the blur shader and its targets exist.
  bool DrawsWholeScreen() const override;

  // Asks for a change of scene; only the class of the object matters.
  void RequestScene(const std::shared_ptr<CSceneBase>& scene);
  // The player, not owned.
  std::weak_ptr<CActorBase> GetPlayer() const;
  // The camera, not owned.
  std::weak_ptr<CActorBase> GetCamera() const;
  // Switches the magic ray of the colour on or off from the given hand matrix.
  void FireMagicRay(int active, int colour, const D3DXMATRIX& start);

  // The effect queue: each builds the effect now and queues it for the effect step.
  void AddFugitiveDust(const D3DXVECTOR3& position, float scale, float drop);
  void AddTorchFire(const D3DXMATRIX& placement);
  void AddParticle(const D3DXMATRIX& placement, int colour);
  void AddRing(int colour);
  void AddBlast(const D3DXMATRIX& placement);
  void AddDropWater(const D3DXMATRIX& placement);

  // Reads the stage: map, player, camera, then the stage file's gimmicks.
  void LoadStage();
  // The stage's time so far in update ticks; at the goal, the run's time.
  int StageTicks() const;

private:
  // Pause and escape toggles.
  void UpdateToggles();
  // Music volume for the phase the stage is in.
  void UpdateMusic();
  // One tick on the clock while the player has control.
  void UpdateClock();
  // At the goal's touch: the clock stops and the time goes to the records.
  void StopClockAtGoal();
  // Every actor's frame, then queued actors added and destroyed ones removed.
  void UpdateActors();
  // Every effect's frame, queued ones built, finished ones removed, far-to-near sort.
  void UpdateEffects();
  // The fade-out to the requested scene and, at full black, the stage clear.
  void UpdateTransition();
  // The point the effect sort and the opening's shadows follow: the camera's eye.
  D3DXVECTOR3 CameraEye() const;
};
