// CSceneGame: one stage's frame (toggles, music, actors, effects, sprites, transition),
// its two draw passes and the effect queue.
#include "scene/scene_game.h"

#include <algorithm>

#include "actor/actor_base.h"
#include "actor/game_camera.h"
#include "actor/player/game_player.h"
#include "app/application.h"
#include "app/input.h"
#include "app/source_stage.h"
#include "app/stage_set.h"
#include "app/stage_watch.h"
#include "effect/effect_base.h"
#include "effect/effect_billboards.h"
#include "effect/effect_magic_charge.h"
#include "effect/effect_magic_ray.h"
#include "effect/effect_mesh.h"
#include "replay/stage_attempt.h"
#include "scene/stage_loader.h"
#include "engine/graphics.h"
#include "shader/shader_manager.h"
#include "sprite/sprite_alignment.h"
#include "sprite/sprite_base.h"
#include "sprite/sprite_clear_time.h"
#include "sprite/sprite_hud.h"
#include "sprite/sprite_menu.h"
#include "sprite/sprite_options.h"

namespace {

const std::string sceneGameName = "CSceneGame";

// The actors every stage has besides the map: "CGamePlayer" and "CGameCamera".
std::shared_ptr<CActorBase> CreateStageActor(const std::string& name)
{
  if (name == "CGamePlayer") return std::make_shared<CGamePlayer>();
  if (name == "CGameCamera") return std::make_shared<CGameCamera>();
  return nullptr;
}

// The four magic effects the scene keeps for the whole stage ("CEffectMagicRay",
// "CEffectMagicCharge", with colour 2 blue or 1 red).
std::shared_ptr<CEffectBase> CreateMagicEffect(const std::string& name, int colour)
{
  if (name == "CEffectMagicRay") return std::make_shared<CEffectMagicRay>(colour);
  if (name == "CEffectMagicCharge") return std::make_shared<CEffectMagicCharge>(colour);
  return nullptr;
}

// The scene's sprites, in drawing order; each is built here once its class exists.
const char* const spriteOrder[] = {"CSpriteAlignment", "CSpriteClear",      "CSpriteClearTime", "CSpriteEscape",
                                   "CSpritePause",     "CSpriteStageTitle", "CSpriteSpaceSkip", "CSpriteText"};
std::shared_ptr<CSpriteBase> CreateGameSprite(const std::string& name)
{
  if (name == "CSpriteAlignment") return std::make_shared<CSpriteAlignment>();
  if (name == "CSpriteClear") return std::make_shared<CSpriteClear>();
  if (name == "CSpriteClearTime") return std::make_shared<CSpriteClearTime>();
  if (name == "CSpriteEscape") return std::make_shared<CSpriteEscape>();
  if (name == "CSpritePause") return std::make_shared<CSpritePause>();
  if (name == "CSpriteStageTitle") return std::make_shared<CSpriteStageTitle>();
  if (name == "CSpriteSpaceSkip") return std::make_shared<CSpriteSpaceSkip>();
  if (name == "CSpriteText") return std::make_shared<CSpriteText>();
  return nullptr;
}

// The translation row of a matrix.
D3DXVECTOR3 PositionOf(const D3DXMATRIX& matrix)
{
  return D3DXVECTOR3(matrix._41, matrix._42, matrix._43);
}

// The live effect for a queued one, built from its stored data by class:
//   "CEffectParticle"     baseMatrix, colour
//   "CEffectTorchFire"    baseMatrix
//   "CEffectRing"         colour
//   "CEffectFugitiveDust" baseMatrix's translation, size, its own drop
//   "CEffectBlast"        baseMatrix
//   "CEffectDropWater"    baseMatrix
// A queued effect of any other class is dropped.
std::shared_ptr<CEffectBase> CreateLiveEffect(const CEffectBase& queued)
{
  const std::string& name = queued.GetName();
  if (name == "CEffectParticle") return std::make_shared<CEffectParticle>(queued.baseMatrix, queued.colour);
  if (name == "CEffectTorchFire") return std::make_shared<CEffectTorchFire>(queued.baseMatrix);
  if (name == "CEffectRing") return std::make_shared<CEffectRing>(queued.colour);
  if (name == "CEffectFugitiveDust") {
    const float drop = static_cast<const CEffectFugitiveDust&>(queued).drop;
    return std::make_shared<CEffectFugitiveDust>(PositionOf(queued.baseMatrix), queued.size, drop);
  }
  if (name == "CEffectBlast") return std::make_shared<CEffectBlast>(queued.baseMatrix);
  if (name == "CEffectDropWater") return std::make_shared<CEffectDropWater>(queued.baseMatrix);
  return nullptr;
}

// The queued dust, built at request time.
std::shared_ptr<CEffectBase> CreateQueuedDust(const D3DXVECTOR3& position, float scale, float drop)
{
  return std::make_shared<CEffectFugitiveDust>(position, scale, drop);
}

// The other queued effects, built at request time from a placement or a colour.
std::shared_ptr<CEffectBase> CreateQueuedEffect(const std::string& name, const D3DXMATRIX* placement, int colour)
{
  D3DXMATRIX at;
  D3DXMatrixIdentity(&at);
  if (placement) at = *placement;
  if (name == "CEffectParticle") return std::make_shared<CEffectParticle>(at, colour);
  if (name == "CEffectTorchFire") return std::make_shared<CEffectTorchFire>(at);
  if (name == "CEffectRing") return std::make_shared<CEffectRing>(colour);
  if (name == "CEffectBlast") return std::make_shared<CEffectBlast>(at);
  if (name == "CEffectDropWater") return std::make_shared<CEffectDropWater>(at);
  return nullptr;
}

// Normal alpha blending, the state every pass expects back.
void SetNormalBlend(IDirect3DDevice9* device)
{
  device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
  device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
}

// Once a stage is up: the pictures and meshes an earlier stage loaded that nothing holds
// now, and the puddle's targets when this stage has no puddle. A retry of the same stage
// finds its own still in the caches, since they are held again by then.
void ReleaseWhatTheStageDoesNotUse(const std::vector<std::shared_ptr<CActorBase>>& actors)
{
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  graphics->ReleaseUnheldTextures("res/game/");
  graphics->ReleaseUnheldMeshes("res/game/");
  const bool hasPuddle = std::any_of(actors.begin(), actors.end(), [](const std::shared_ptr<CActorBase>& actor) {
    return actor && actor->GetName() == "CGameDropWaterPoint";
  });
  if (!hasPuddle) CShaderManager::GetInstance()->puddle.ReleaseTargets();
}

}  // namespace

// The two sounds exist from the start, empty until Init loads them.
CSceneGame::CSceneGame()
    : bgm(std::make_unique<OstrelLibrary::CSound>()), pauseSound(std::make_unique<OstrelLibrary::CSound>())
{
}

// "CSceneGame".
const std::string& CSceneGame::GetName() const
{
  return sceneGameName;
}

// Everything is already empty after the loop's Uninit; the sounds go last.
CSceneGame::~CSceneGame()
{
  Uninit(nullptr);
  pauseSound.reset();
  bgm.reset();
}

// The stage starts: links for actors, effects and sprites, the stage, music, cursor.
void CSceneGame::Init()
{
  nextScene = shared_from_this();
  requestedScene = shared_from_this();
  const std::shared_ptr<CSceneGame> self = std::static_pointer_cast<CSceneGame>(shared_from_this());
  CActorBase::currentScene = self;
  CEffectBase::currentScene = self;
  CSpriteBase::currentScene = self;

  StageAttemptBegins(*this);  // the seed first: loading the stage draws from it
  player = CreateStageActor("CGamePlayer");
  camera = CreateStageActor("CGameCamera");
  LoadStage();

  const std::pair<const char*, int> magicEffects[] = {
      {"CEffectMagicRay", 2}, {"CEffectMagicRay", 1}, {"CEffectMagicCharge", 2}, {"CEffectMagicCharge", 1}};
  for (const auto& [name, colour] : magicEffects) {
    std::shared_ptr<CEffectBase> effect = CreateMagicEffect(name, colour);
    if (effect) effects.push_back(effect);
  }
  for (const char* name : spriteOrder) {
    std::shared_ptr<CSpriteBase> sprite = CreateGameSprite(name);
    if (sprite) sprites.push_back(sprite);
  }

  bgm->Load("res/sound/game_bgm.wav");
  bgm->Play(1);
  pauseSound->Load("res/sound/pause.wav");
  CApplication* application = CApplication::GetInstance();
  application->fadeOut = 0;
  SetCursorVisible(false);
  SetCursorPos(application->cursorHome.x, application->cursorHome.y);
  ReleaseWhatTheStageDoesNotUse(actors);
  StageWatchSceneBegins(*this);
}

// No self-reference may outlive the scene's turn.
void CSceneGame::Uninit(std::shared_ptr<CSceneBase> incoming)
{
  (void)incoming;
  StageAttemptEnds(*this);
  requestedScene.reset();
  nextScene.reset();
  actors.clear();
  pendingActors.clear();
  effects.clear();
  pendingEffects.clear();
  sprites.clear();
}

// The frame's steps in their fixed order; the transition decides what runs next.
std::shared_ptr<CSceneBase> CSceneGame::Update()
{
  // A watched source saved and built: the same stage again, rebuilt.
  if (std::shared_ptr<CSceneBase> reloaded = ReloadWatchedStage(*this)) return reloaded;
  StageAttemptTick(*this);  // the input this update reads goes into the replay
  UpdateToggles();
  UpdateMusic();
  UpdateClock();
  UpdateActors();
  StopClockAtGoal();
  UpdateEffects();
  for (size_t i = 0; i < sprites.size(); ++i) sprites[i]->Update();
  UpdateTransition();

  const std::shared_ptr<CSceneBase> self = shared_from_this();
  if (nextScene == self) return self;
  std::string name = nextScene ? nextScene->GetName() : std::string();
  nextScene.reset();
  requestedScene.reset();
  // A stage played from its source has no title to go back to: leaving it ends the game,
  // unless it is a stage set chosen on the title.
  if (CurrentSourceStage().active && name == "CSceneTitle" && !StageSetReturnsToTitle()) name.clear();
  return CreateSceneByName(name);
}

// Space pauses except while the opening, the goal, the orb message or the escape menu
// runs; Escape toggles its menu in any phase unless a fade is running.
void CSceneGame::UpdateToggles()
{
  // The options page over the pause menu holds the keys until it is left.
  if (COptionsPage::AnyOpen()) return;
  CApplication* application = CApplication::GetInstance();
  if (!cameraEvent && !goalReached && !orbObtained && !escapeOpen && application->input.spacePressed) {
    paused = !paused;
    SetCursorPos(application->cursorHome.x, application->cursorHome.y);
    pauseSound->Restart();
    SetCursorVisible(paused != 0);
  }
  if (application->input.escapePressed && application->fadeAlpha == 0) {
    paused = 0;
    escapeOpen = !escapeOpen;
    SetCursorPos(application->cursorHome.x, application->cursorHome.y);
    pauseSound->Restart();
    SetCursorVisible(escapeOpen != 0);
  }
}

// Stopped after the goal, quiet while anything holds the stage, rising otherwise; a
// pending change fades the music out with the screen.
void CSceneGame::UpdateMusic()
{
  if (requestedScene != shared_from_this()) {
    bgm->ChangeVolume(-volumeStep);
    return;
  }
  if (goalReached) {
    bgm->Stop();
  } else if (!cameraEvent && !paused && !escapeOpen && !orbObtained) {
    bgm->ChangeVolume(volumeStep);
  } else if (bgm->volume != quietVolume) {
    bgm->volume = std::clamp(quietVolume, DSBVOLUME_MIN, DSBVOLUME_MAX);
    if (bgm->buffer) bgm->buffer->SetVolume(bgm->volume);
  }
}

// The tick counts when the actors are about to run with the player in control: not in
// the opening, a menu, the orb message, after the goal or while leaving. The goal is
// touched in an actor step, so that tick counts and the next one does not.
void CSceneGame::UpdateClock()
{
  const bool leaving = requestedScene != shared_from_this();
  if (cameraEvent || paused || escapeOpen || orbObtained || goalReached || leaving) return;
  clock.Tick();
}

// Once per attempt; the records file is written only when a time was bettered, and
// only for the player's own attempt (a replay's or a source stage's clear is shown).
void CSceneGame::StopClockAtGoal()
{
  if (!goalReached || clock.IsStopped()) return;
  clock.Stop();
  const int stage = CApplication::GetInstance()->stageNumber;
  if (StageSetActive()) {
    RecordStageSetClear(clock.Ticks(), &clearTime);
    return;
  }
  if (!StageAttemptIsThePlayers()) {
    clearTime.ticks = clock.Ticks();
    clearTime.previousBest = CurrentSourceStage().active ? 0 : GameRecords().StageBest(stage);
    clearTime.newBest = false;
    return;
  }
  if (RecordStageClear(GameRecords(), CGameClock::GetInstance(), stage, clock.Ticks(), &clearTime)) {
    SaveGameRecords();
  }
}

// Ticks so far.
int CSceneGame::StageTicks() const
{
  return clock.Ticks();
}

// Index loop: an actor's update may queue more, which waits for the end of the step.
void CSceneGame::UpdateActors()
{
  for (size_t i = 0; i < actors.size(); ++i) actors[i]->Update();
  for (const std::shared_ptr<CActorBase>& pending : pendingActors) {
    CreateActorByName(pending->GetName(), pending->world, actors);
  }
  pendingActors.clear();
  std::erase_if(actors, [](const std::shared_ptr<CActorBase>& actor) { return actor->destroyed != 0; });
}

// The list is sorted every frame, farthest from the camera first, so that additive
// effects are drawn far to near.
void CSceneGame::UpdateEffects()
{
  for (size_t i = 0; i < effects.size(); ++i) effects[i]->Update();
  for (const std::shared_ptr<CEffectBase>& queued : pendingEffects) {
    std::shared_ptr<CEffectBase> live = CreateLiveEffect(*queued);
    if (live) effects.push_back(live);
  }
  pendingEffects.clear();
  std::erase_if(effects, [](const std::shared_ptr<CEffectBase>& effect) { return effect->finished != 0; });

  const D3DXVECTOR3 eye = CameraEye();
  std::sort(effects.begin(), effects.end(),
            [&eye](const std::shared_ptr<CEffectBase>& a, const std::shared_ptr<CEffectBase>& b) {
              const D3DXVECTOR3 toA = PositionOf(a->world) - eye;
              const D3DXVECTOR3 toB = PositionOf(b->world) - eye;
              return D3DXVec3Length(&toA) > D3DXVec3Length(&toB);
            });
}

// Fades out to the requested scene. At full black a reached goal clears the stage,
// unless the request is the title: stage 8 leads to the ending, the others to the next
// stage, whose number is saved.
void CSceneGame::UpdateTransition()
{
  if (requestedScene == shared_from_this()) return;
  CApplication* application = CApplication::GetInstance();
  application->fadeOut = 1;
  if (application->fadeAlpha < 255) return;
  // A retry's abandoned attempt still took the player's time.
  const bool timedAttempt = StageAttemptIsThePlayers() || StageSetActive();
  if (!goalReached && requestedScene && requestedScene->GetName() == "CSceneGame" && timedAttempt) {
    CGameClock::GetInstance().Add(clock.Ticks());
  }
  // A stage set goes on to its next stage (saved in the set's own save), or its ending.
  if (goalReached && requestedScene && requestedScene->GetName() != "CSceneTitle" && StageSetActive()) {
    const StageSetStep step = AdvanceStageSet();
    if (step == StageSetStep::Ending) requestedScene = CreateSceneByName("CSceneEnding");
    if (step == StageSetStep::Failed) {
      requestedScene = StageSetReturnsToTitle() ? CreateSceneByName("CSceneTitle") : nullptr;
      EndStageSet();
    }
  }
  // A stage played from its source starts again after its goal; nothing is saved.
  else if (goalReached && requestedScene && requestedScene->GetName() != "CSceneTitle" &&
           !CurrentSourceStage().active) {
    if (application->stageNumber == 8) {
      requestedScene = CreateSceneByName("CSceneEnding");
    } else {
      application->stageNumber += 1;
      application->WriteSaveData();
    }
  }
  nextScene = requestedScene;
}

// Light 0's shadow map follows the opening camera, then the player; actors and effects
// go into the blur shader's scene target.
void CSceneGame::Draw()
{
  IDirect3DDevice9* device = OstrelLibrary::CGraphics::GetInstance()->device;
  if (!device) return;
  CShaderManager* shaders = CShaderManager::GetInstance();

  D3DLIGHT9 light = {};
  device->GetLight(0, &light);
  const D3DXVECTOR3 direction(light.Direction.x, light.Direction.y, light.Direction.z);
  D3DXVECTOR3 focus(0.0f, 0.0f, 0.0f);
  if (cameraEvent) {
    focus = CameraEye();
  } else if (player) {
    focus = PositionOf(player->world);
  }
  shaders->shadowMap.BeginShadowPass(focus - direction * 75.0f);
  for (size_t i = 0; i < actors.size(); ++i) actors[i]->DrawShadow();
  shaders->shadowMap.EndShadowPass();

  IDirect3DSurface9* savedTarget = nullptr;
  device->GetRenderTarget(0, &savedTarget);
  if (shaders->blur.sceneTarget.surface) device->SetRenderTarget(0, shaders->blur.sceneTarget.surface);
  device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0xFF000000, 1.0f, 0);
  for (size_t i = 0; i < actors.size(); ++i) actors[i]->Draw();
  device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
  device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  for (size_t i = 0; i < effects.size(); ++i) effects[i]->Draw();
  SetNormalBlend(device);
  if (savedTarget) {
    device->SetRenderTarget(0, savedTarget);
    savedTarget->Release();
  }
}

bool CSceneGame::DrawsWholeScreen() const
{
  const CBlurShader& blur = CShaderManager::GetInstance()->blur;
  return blur.effect && blur.sceneTarget.surface;
}

// Grey while a menu is open; the composite adds the five blurred levels as glow.
void CSceneGame::DrawSprite()
{
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  CBlurShader& blur = CShaderManager::GetInstance()->blur;
  if (graphics->device && blur.effect) {
    blur.effect->SetInt("g_is_monotone", (paused || escapeOpen) ? 1 : 0);
    blur.Apply();
    SetNormalBlend(graphics->device);
  }
  for (size_t i = 0; i < sprites.size(); ++i) sprites[i]->Draw();
}

// Only the class of the requested object is used, at the end of the fade.
void CSceneGame::RequestScene(const std::shared_ptr<CSceneBase>& scene)
{
  requestedScene = scene;
}

// A weak copy of the player.
std::weak_ptr<CActorBase> CSceneGame::GetPlayer() const
{
  return player;
}

// A weak copy of the camera.
std::weak_ptr<CActorBase> CSceneGame::GetCamera() const
{
  return camera;
}

// The first ray of that colour is switched; no ray of that colour, nothing happens.
void CSceneGame::FireMagicRay(int active, int colour, const D3DXMATRIX& start)
{
  for (const std::shared_ptr<CEffectBase>& effect : effects) {
    if (effect->GetName() == "CEffectMagicRay" && effect->colour == colour) {
      static_cast<CEffectMagicRay&>(*effect).SetActive(active, start);
      return;
    }
  }
}

// The queue never touches the live list, which may be being walked.
void CSceneGame::AddFugitiveDust(const D3DXVECTOR3& position, float scale, float drop)
{
  std::shared_ptr<CEffectBase> effect = CreateQueuedDust(position, scale, drop);
  if (effect) pendingEffects.push_back(effect);
}

// Queues a torch flame.
void CSceneGame::AddTorchFire(const D3DXMATRIX& placement)
{
  std::shared_ptr<CEffectBase> effect = CreateQueuedEffect("CEffectTorchFire", &placement, 0);
  if (effect) pendingEffects.push_back(effect);
}

// Queues a burst of magic particles.
void CSceneGame::AddParticle(const D3DXMATRIX& placement, int colour)
{
  std::shared_ptr<CEffectBase> effect = CreateQueuedEffect("CEffectParticle", &placement, colour);
  if (effect) pendingEffects.push_back(effect);
}

// Queues a magic ring round the player.
void CSceneGame::AddRing(int colour)
{
  std::shared_ptr<CEffectBase> effect = CreateQueuedEffect("CEffectRing", nullptr, colour);
  if (effect) pendingEffects.push_back(effect);
}

// Queues a blast.
void CSceneGame::AddBlast(const D3DXMATRIX& placement)
{
  std::shared_ptr<CEffectBase> effect = CreateQueuedEffect("CEffectBlast", &placement, 0);
  if (effect) pendingEffects.push_back(effect);
}

// Queues a falling water drop.
void CSceneGame::AddDropWater(const D3DXMATRIX& placement)
{
  std::shared_ptr<CEffectBase> effect = CreateQueuedEffect("CEffectDropWater", &placement, 0);
  if (effect) pendingEffects.push_back(effect);
}

// The camera's eye; the origin while there is no camera.
D3DXVECTOR3 CSceneGame::CameraEye() const
{
  const CGameCamera* gameCamera = dynamic_cast<const CGameCamera*>(camera.get());
  if (!gameCamera) return D3DXVECTOR3(0.0f, 0.0f, 0.0f);
  return gameCamera->eye;
}
