// CActorBase: the base of every object in the 3D stage (map, player, camera, gimmicks,
// the player's body parts): its transform and meshes, the constants of the shared ground
// and wall tests, the magic it holds, its own sound and weak links to the player, the
// camera and the player's states. The collision queries live in actor_collision.cpp.
#pragma once

#include <memory>
#include <string>

#include "d3dx9.h"
#include "engine/mesh.h"
#include "engine/sound.h"

class CSceneGame;
class CStateBase;

// The magic an actor holds; Both only a rotation door can hold.
enum MagicColour : int {
  None = 0,
  Red = 1,   // repulsion
  Blue = 2,  // attraction
  Both = 3,
};

class CActorBase : public std::enable_shared_from_this<CActorBase> {
public:
  // The running game scene, set by its Init; actors lock it for one use.
  static std::weak_ptr<CSceneGame> currentScene;

  D3DXMATRIX world;                                   // position in the translation row
  std::shared_ptr<OstrelLibrary::CMesh> mesh;         // drawn, shadowed, hit by every ray
  std::shared_ptr<OstrelLibrary::CMesh> blueHitMesh;  // overlay while magicColour is Blue
  std::shared_ptr<OstrelLibrary::CMesh> redHitMesh;   // overlay while magicColour is Red
  float fallSpeed = 0.2f;
  float radius = 0.3f;
  float height = 0.0f;
  float switchRange = 15.0f;
  float specularPower = 1.0f;
  float specularCamera = 0.0f;
  D3DXVECTOR3 aimDirection;
  int partSide = 0;
  int magicColour = None;
  float hitScroll = 0.0f;
  float hitGlow = 0.0f;
  int hitGlowFalling = 0;
  float noHitDistance = -1.0f;
  int switchOn = 0;
  int onGround = 0;
  int airFrames = 0;
  int hardLandingFrames = 5;
  int hardLanded = 0;
  int settled = 0;
  std::unique_ptr<OstrelLibrary::CSound> sound;  // created by the subclass, owned here
  int destroyed = 0;
  std::weak_ptr<CActorBase> player;
  std::weak_ptr<CStateBase> walkState;
  std::weak_ptr<CStateBase> magicState;
  std::weak_ptr<CActorBase> camera;

  CActorBase();
  CActorBase(const CActorBase&) = delete;
  CActorBase& operator=(const CActorBase&) = delete;

  // The class's own name string.
  virtual const std::string& GetName() const;
  // Lets go of the links, the sound and the meshes, in that order.
  virtual ~CActorBase();
  // One frame of behaviour.
  virtual void Update() = 0;
  // Draws the actor in the main 3D pass.
  virtual void Draw() = 0;
  // Draws the main mesh into the shadow map.
  virtual void DrawShadow();
  // Moves the actor by a world-space offset (lifts carry what stands on them this way).
  virtual void Move(float dx, float dy, float dz);

  // A copy of the main mesh pointer.
  std::shared_ptr<OstrelLibrary::CMesh> GetActorMesh() const;
  // Takes the magic a ray brings; a rotation door combines the two colours.
  void SetMagic(int colour);
  // Tints the toon effect's emissive for the hit overlay by the colour held.
  void ApplyMagicEmissive() const;
  // The glowing hit overlay every magic target draws over itself while it holds magic:
  // additive, unlit, "g_alpha" = hitGlow, the colour's emissive, the UV scrolled by
  // hitScroll, drawn `times` times at the matrix; every state is given back afterwards.
  void DrawHitOverlay(const D3DXMATRIX& matrix, const OstrelLibrary::CMesh* overlay, int times = 1) const;
  // Refills the player link from the game scene when it is empty or gone.
  void RefreshPlayerLink();
  // Refills the camera link from the game scene when it is empty or gone.
  void RefreshCameraLink();
  // Keeps a weak copy of the player's walk state (body parts).
  void SetWalkState(const std::shared_ptr<CStateBase>& state);
  // Keeps a weak copy of the player's magic state (body parts).
  void SetMagicState(const std::shared_ptr<CStateBase>& state);

  // ---- collision (rays against the meshes of the scene's actors) ----
  // True for the classes the ground and blocking rays pass through.
  static bool IsRayIgnoredClass(const std::string& name);
  // The ray against this actor's own mesh, given in world space: the nearest face and
  // its distance in world units (the direction is not renormalised in object space).
  bool IntersectWorldRay(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, float* distance, DWORD* face) const;
  // Distance along the ray to the target's mesh, or noHitDistance; names what it hit.
  float RayDistance(const std::weak_ptr<CActorBase>& target, const D3DXVECTOR3& origin, const D3DXVECTOR3& direction,
                    float maxDist, std::string& outName) const;
  // 1 when some solid actor's mesh lies within maxDist along the ray.
  int IsRayBlocked(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, float maxDist, std::string& outName) const;
  // 1 when a switched-on actor stands nearer than distance to the matrix's position.
  int IsSwitchOnNear(const D3DXMATRIX& matrix, float distance) const;
  // Gravity and landing for one frame, with five ground rays over a square footprint.
  void FallAndLand(D3DXMATRIX& matrix, float footprint);
  // Drops a gimmick onto the floor once; inert after that.
  void SettleOnGround(D3DXMATRIX& matrix);
  // Dust and the landing sound after a hard landing.
  void PlayLandingFeedback(const D3DXVECTOR3& position, float dustScale, float dustDrop);
  // Keeps the matrix at least clearance away from the faces it moves towards.
  void PushOutOfWall(D3DXMATRIX& matrix, float clearance, const D3DXVECTOR3& origin, const D3DXVECTOR3& direction);
  // Pushes the player sideways out of metal blocks and doors.
  void PushOutOfBlocks(D3DXMATRIX& matrix) const;
};

// The signed yaw step in degrees that turns `from` towards `to`; normalises both.
float TurnStep(D3DXVECTOR3& from, D3DXVECTOR3& to, float maxStep, float deadZone);
