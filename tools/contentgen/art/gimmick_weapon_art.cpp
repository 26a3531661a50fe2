// The cannon and its shell, the crack wall and its pieces, and the popping fist. The
// cannon is dark iron with gold bands; the crack wall is pale stone split by dark
// cracks; the fist is a red glove on a striped piston, so it reads as a danger.
#include <cmath>

#include "art/art_context.h"
#include "art/gimmick_art.h"
#include "art/gimmick_parts.h"
#include "art/model_helpers.h"
#include "image/noise.h"
#include "mesh/primitives.h"

namespace contentgen {

namespace {

// The barrel leans 45 degrees up along +z and ends at the muzzle (0, 2.1, 1.5), where
// the shell leaves; the carriage stands on two wheels.
CMeshData MakeCannon(const CPalette& palette, float grow)
{
  CMeshData cannon;
  cannon.materials = {MakeMaterial("iron", palette.Get("iron"), 0.7f, 30),
                      MakeMaterial("band", palette.Get("gold"), 0.8f, 30),
                      MakeMaterial("carriage", palette.Get("wood_dark"), 0.05f, 4)};
  cannon.MergeSharingMaterials(
      BoxBetween(-0.7f - grow, 0.3f - grow, -0.9f - grow, 0.7f + grow, 0.9f + grow, 0.9f + grow, 2, 0.05f));
  // From (0, 0.3, -0.3) to beyond the muzzle: 2.55 long at 45 degrees.
  cannon.MergeSharingMaterials(TiltedRod(0.38f + grow, 2.55f, 0.3f, -0.3f, 45, 0));
  if (grow > 0.0f) return cannon;
  for (const float x : {-0.8f, 0.8f}) {
    for (const float z : {-0.55f, 0.55f}) {
      cannon.MergeSharingMaterials(
          Placed(MakeCylinder(0.4f, 0.15f, 20), Combine(RotationZ(90), Translation(x, 0.4f, z)), 2));
      cannon.MergeSharingMaterials(
          Placed(MakeCylinder(0.12f, 0.18f, 10), Combine(RotationZ(90), Translation(x, 0.4f, z)), 1));
    }
  }
  const Transform muzzleRing = Combine(RotationX(45), Translation(0, 2.1f, 1.5f));
  cannon.MergeSharingMaterials(Placed(MakeTorus(0.38f, 0.09f, 24, 8), muzzleRing, 1));
  const Transform breechRing = Combine(RotationX(45), Translation(0, 0.95f, 0.35f));
  cannon.MergeSharingMaterials(Placed(MakeTorus(0.39f, 0.08f, 24, 8), breechRing, 1));
  cannon.MergeSharingMaterials(Placed(MakeSphere(0.3f, 8, 12), Translation(0, 0.3f, -0.3f), 0));
  return cannon;
}

// What rays and the player meet: the carriage and a box along the barrel.
CMeshData MakeCannonCollision(const CPalette& palette)
{
  CMeshData shape;
  shape.materials = {MakeMaterial("iron", palette.Get("iron"), 0, 1)};
  shape.MergeSharingMaterials(BoxBetween(-1.0f, 0, -0.95f, 1.0f, 0.95f, 0.95f, 0));
  const Transform barrel = Combine(Translation(0, 1.25f, 0), Combine(RotationX(45), Translation(0, 0.3f, -0.3f)));
  shape.MergeSharingMaterials(Placed(MakeBox(0.8f, 2.5f, 0.8f), barrel, 0));
  return shape;
}

// A dark iron ball.
CMeshData MakeShell(const CPalette& palette)
{
  CMeshData shell;
  shell.materials = {MakeMaterial("iron", palette.Get("iron"), 0.8f, 40)};
  shell.MergeSharingMaterials(MakeSphere(0.3f, 10, 16));
  return shell;
}

// Pale blocks in running bond split by a spray of dark jagged cracks from one point.
CCanvas DrawCrackedStone(const CPalette& palette)
{
  const int size = 256;
  CCanvas wall(size, size);
  const Color light = palette.Get("stone_light"), mid = palette.Get("stone_mid"), mortar = palette.Get("mortar");
  wall.Shade([&](float x, float y, Color) {
    const int row = static_cast<int>(y / 32);
    const float bx = std::fmod(x + (row % 2) * 32.0f, 64.0f), by = std::fmod(y, 32.0f);
    const float edge = std::min(std::min(bx, 64 - bx), std::min(by, 32 - by));
    const Color stone = Mix(light, mid, 0.25f + 0.4f * FractalNoise(x / 20.0f, y / 20.0f, 71, 4, 0));
    return WithAlpha(Mix(mortar, stone, std::clamp((edge - 1.5f) / 1.5f, 0.0f, 1.0f)), 1);
  });
  const Color crack = palette.Get("crack");
  const float cx = 128, cy = 120;
  for (int i = 0; i < 9; ++i) {
    float angle = static_cast<float>(i) * 0.698f + 0.3f;
    float x = cx, y = cy, width = 7.0f;
    for (int s = 0; s < 7; ++s) {
      angle += (FractalNoise(static_cast<float>(i), static_cast<float>(s), 83, 1, 0) - 0.5f) * 1.2f;
      const float nx = x + std::cos(angle) * 22.0f, ny = y + std::sin(angle) * 22.0f;
      wall.Fill(CLine(x, y, nx, ny, width + 3.0f), CPaint::Solid(Mix(crack, mid, 0.5f)));
      wall.Fill(CLine(x, y, nx, ny, width), CPaint::Solid(crack));
      x = nx;
      y = ny;
      width = std::max(1.5f, width * 0.75f);
    }
  }
  wall.Fill(CCircle(cx, cy, 12), CPaint::Solid(crack));
  return wall;
}

// A slab 7 wide, 8 high and 1 thick across a passage along z, cracked on both faces.
CMeshData MakeCrackWall()
{
  CMeshData wall = BoxBetween(-3.5f, 0, -0.5f, 3.5f, 8.0f, 0.5f, 0);
  wall.materials = {MakeTexturedMaterial("cracked", "crack_wall.png", 0.05f, 4)};
  return wall;
}

// One broken block of the wall, squat and uneven.
CMeshData MakeCrackPiece(const CPalette& palette)
{
  CMeshData piece;
  piece.materials = {MakeMaterial("stone", palette.Get("stone_mid"), 0.05f, 4)};
  piece.MergeSharingMaterials(Placed(MakeBevelBox(0.8f, 0.55f, 0.65f, 0.08f, 1), RotationY(20), 0));
  return piece;
}

// The glove's front is at x = 0, facing +x; a striped piston runs 10 back into the
// wall it sits in, so some of it still shows when the fist is fully out.
CMeshData MakePoppingFist(const CPalette& palette)
{
  CMeshData fist;
  fist.materials = {
      MakeMaterial("glove", palette.Get("magic_red"), 0.5f, 20), MakeMaterial("cuff", palette.Get("collar"), 0.2f, 8),
      MakeMaterial("warning", palette.Get("warning"), 0.3f, 10), MakeMaterial("dark", palette.Get("iron"), 0.5f, 20)};
  fist.MergeSharingMaterials(BoxBetween(-1.8f, 0.4f, -1.0f, -0.2f, 2.6f, 1.0f, 0, 0.45f));
  for (int i = 0; i < 4; ++i) {
    const float y = 0.75f + 0.5f * static_cast<float>(i);
    fist.MergeSharingMaterials(
        Placed(MakeCapsule(0.26f, 1.5f, 4, 12), Combine(RotationX(90), Translation(-0.25f, y, 0)), 0));
  }
  fist.MergeSharingMaterials(BoxBetween(-2.3f, 0.5f, -0.9f, -1.7f, 2.5f, 0.9f, 1, 0.1f));
  for (int i = 0; i < 10; ++i) {
    const float x = -2.3f - static_cast<float>(i + 1);
    fist.MergeSharingMaterials(BoxBetween(x, 1.0f, -0.5f, x + 1.0f, 2.0f, 0.5f, i % 2 == 0 ? 2 : 3));
  }
  return fist;
}

// The glove alone, as rays, blocks and the player meet it.
CMeshData MakePoppingFistCollision(const CPalette& palette)
{
  CMeshData shape;
  shape.materials = {MakeMaterial("glove", palette.Get("magic_red"), 0, 1)};
  shape.MergeSharingMaterials(BoxBetween(-2.3f, 0.4f, -1.0f, 0.0f, 2.6f, 1.0f, 0));
  return shape;
}

}  // namespace

// The cannon with its overlays and shell, the crack wall and the fist.
bool GenerateWeaponArt(CArtContext& context, std::string* error)
{
  const CPalette& palette = context.palette;
  return context.AddMesh("game/object/cannon.x", MakeCannon(palette, 0), error) &&
         context.AddMesh("game/object/cannon_collision.x", MakeCannonCollision(palette), error) &&
         context.AddMesh("game/object/blue_hit_cannon.x", HitShell(MakeCannon(palette, 0.05f), kBlueStripes), error) &&
         context.AddMesh("game/object/red_hit_cannon.x", HitShell(MakeCannon(palette, 0.05f), kRedStripes), error) &&
         context.AddMesh("game/object/shell.x", MakeShell(palette), error) &&
         context.AddPng("game/object/crack_wall.png", DrawCrackedStone(palette), error) &&
         context.AddMesh("game/object/crack_wall.x", MakeCrackWall(), error) &&
         context.AddMesh("game/object/crack_wall_piece.x", MakeCrackPiece(palette), error) &&
         context.AddMesh("game/object/popping_fist.x", MakePoppingFist(palette), error) &&
         context.AddMesh("game/object/collision_popping_fist.x.x", MakePoppingFistCollision(palette), error);
}

}  // namespace contentgen
