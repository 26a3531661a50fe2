// Steps the stage gimmicks share: whether a menu holds the stage, loading their meshes
// and positional sounds, playing a sound heard from the player, the toon and outline
// draws of a mesh at a matrix, the hit glow's scroll and pulse, and finding the scene's
// actors of one class.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "actor/actor_base.h"

// True while the pause or the return-to-title menu holds the stage, or there is none.
bool GimmickSceneHalted();
// The translation row of a matrix.
D3DXVECTOR3 MatrixPosition(const D3DXMATRIX& matrix);
// A mesh from the path cache.
std::shared_ptr<OstrelLibrary::CMesh> LoadGimmickMesh(const char* path);
// A new positional sound of the file; the caller owns it.
std::unique_ptr<OstrelLibrary::CSound> LoadPositionalSound(const char* path);
// Plays the sound at the source with the player's world as the listener; nothing
// when the actor has no live player link.
void PlayHeardByPlayer(const CActorBase& actor, OstrelLibrary::CSound* sound, const D3DXVECTOR3& source, DWORD flags);
// Stops the sound first, so a one-shot starts again from its beginning.
void RestartHeardByPlayer(const CActorBase& actor, OstrelLibrary::CSound* sound, const D3DXVECTOR3& source);
// The mesh toon-shaded at the matrix with the reflection power and UV scroll.
void ToonDrawAt(const OstrelLibrary::CMesh* mesh, const D3DXMATRIX& matrix, float refPower, float uvScroll);
// The mesh's black outline at the matrix with the thickness.
void OutlineAt(const OstrelLibrary::CMesh* mesh, const D3DXMATRIX& matrix, float size);
// The mesh into the shadow map at the matrix.
void ShadowAt(const OstrelLibrary::CMesh* mesh, const D3DXMATRIX& matrix);
// The toon effect's ramp: the softer one for stone (true) or the toon one (false).
void UseStoneRamp(bool stone);
// The hit overlay's scroll while magic is held and its glow pulse every frame.
void StepHitGlow(CActorBase& actor);
// The overlay for the colour held: the red or the blue hit mesh, none otherwise.
const OstrelLibrary::CMesh* HitOverlayMesh(const CActorBase& actor);
// The running scene's actors of the class, in list order.
std::vector<std::shared_ptr<CActorBase>> SceneActorsNamed(const std::string& name);
