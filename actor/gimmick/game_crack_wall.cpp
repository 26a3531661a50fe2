// CGameCrackWall: the shell test, the shatter, the falling pieces and drawing.
#include "actor/gimmick/game_crack_wall.h"

#include "actor/gimmick/game_cannon.h"
#include "actor/gimmick/gimmick_common.h"
#include "app/game_random.h"

namespace {
const std::string gameCrackWallName = "CGameCrackWall";
const float degreesToRadians = 0.017453292f;
// More fallen pieces than this in one frame remove the wall.
const int fallenToRemove = 98;

// A random integer from 0 to count - 1.
int RandomBelow(int count)
{
  return GameRandom().Below(count);
}
}  // namespace

// Intact; every piece hidden at rest.
CGameCrackWall::CGameCrackWall(const D3DXMATRIX& placement)
{
  for (CrackPiece& piece : pieces) {
    D3DXMatrixIdentity(&piece.world);
    D3DXMatrixIdentity(&piece.position);
    D3DXMatrixIdentity(&piece.spin);
    piece.velocity = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    piece.angles = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
  }
  pieceMesh = LoadGimmickMesh("res/game/object/crack_wall_piece.x");
  landingSound = LoadPositionalSound("res/sound/piece_landing.wav");
  world = placement;
  mesh = LoadGimmickMesh("res/game/object/crack_wall.x");
  radius = 3.5f;
  height = 8.0f;
}

// "CGameCrackWall".
const std::string& CGameCrackWall::GetName() const
{
  return gameCrackWallName;
}

// The sound and the piece mesh; the base lets go of the rest.
CGameCrackWall::~CGameCrackWall()
{
  landingSound.reset();
  pieceMesh.reset();
}

// A halted stage holds the pieces in the air.
void CGameCrackWall::Update()
{
  if (GimmickSceneHalted()) return;
  RefreshPlayerLink();
  SettleOnGround(world);
  CheckShell();
  Shatter();
  MovePieces();
}

// Only a shell that burst on a crack wall counts, and only near this one's centre: a
// burst on anything else beside the wall leaves it standing.
void CGameCrackWall::CheckShell()
{
  if (broken) return;
  const D3DXVECTOR3 centre(world._41, world._42 + height * 0.5f, world._43);
  for (const std::shared_ptr<CActorBase>& actor : SceneActorsNamed("CGameCannon")) {
    const CGameCannon* cannon = static_cast<const CGameCannon*>(actor.get());
    if (cannon->GetHitName() != gameCrackWallName) continue;
    const D3DXVECTOR3 apart = MatrixPosition(cannon->shellMatrix) - centre;
    if (D3DXVec3Length(&apart) <= breakReach * height) {
      shatterPending = 1;
      broken = 1;
      return;
    }
  }
}

// Spread over the wall's breadth and height; the pieces fly up a little and apart.
void CGameCrackWall::Shatter()
{
  if (!broken || !shatterPending) return;
  for (CrackPiece& piece : pieces) {
    piece.visible = 1;
    piece.position = world;
    piece.position._42 += height;
    piece.position._41 += static_cast<float>(RandomBelow(6) - 3);
    piece.position._42 += static_cast<float>(RandomBelow(20) - 10);
    const int r1 = RandomBelow(1000), r2 = RandomBelow(100), r3 = RandomBelow(1000);
    piece.velocity = D3DXVECTOR3((r1 - 500) / 5000.0f, (r2 + 500) / 5000.0f, (r3 - 500) / 5000.0f);
  }
  shatterPending = 0;
}

// Every piece moves, hidden or not; the first to vanish is heard (the sound is never
// stopped, so it plays once).
void CGameCrackWall::MovePieces()
{
  if (!broken) return;
  int fallen = 0;
  for (CrackPiece& piece : pieces) {
    D3DXMATRIX step;
    D3DXMatrixTranslation(&step, piece.velocity.x, piece.velocity.y, piece.velocity.z);
    piece.position = step * piece.position;
    piece.velocity.y -= pieceGravity;
    piece.angles.x += static_cast<float>(RandomBelow(5));
    piece.angles.y += static_cast<float>(RandomBelow(5));
    piece.angles.z += static_cast<float>(RandomBelow(5));
    D3DXMatrixRotationYawPitchRoll(&piece.spin, piece.angles.y * degreesToRadians, piece.angles.x * degreesToRadians,
                                   piece.angles.z * degreesToRadians);
    piece.world = piece.spin * piece.position;
    if (piece.position._42 < vanishHeight) {
      piece.visible = 0;
      PlayHeardByPlayer(*this, landingSound.get(), MatrixPosition(world), 0);
      ++fallen;
    }
  }
  if (fallen > fallenToRemove) destroyed = 1;
}

// Intact it is stone on the map's ramp; broken, only the pieces still in sight.
void CGameCrackWall::Draw()
{
  if (!broken) {
    UseStoneRamp(true);
    ToonDrawAt(mesh.get(), world, 0.0f, 0.0f);
    UseStoneRamp(false);
    OutlineAt(mesh.get(), world, 0.025f);
    return;
  }
  for (const CrackPiece& piece : pieces) {
    if (!piece.visible) continue;
    ToonDrawAt(pieceMesh.get(), piece.world, 0.0f, 0.0f);
    OutlineAt(pieceMesh.get(), piece.world, 0.025f);
  }
}

// The visible pieces once broken.
void CGameCrackWall::DrawShadow()
{
  if (!broken) return;
  for (const CrackPiece& piece : pieces) {
    if (piece.visible) ShadowAt(pieceMesh.get(), piece.world);
  }
}
