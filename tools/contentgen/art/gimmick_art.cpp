// The switches, doors and lifts and the rotation door, with their overlay shells.
// Metal that magic moves is bright steel with rivets and blue-grey trim; wood that
// magic ignores is warm planks; stone doors take the map's colours.
#include "art/gimmick_art.h"

#include "art/art_context.h"
#include "art/gimmick_parts.h"
#include "art/model_helpers.h"
#include "mesh/primitives.h"

namespace contentgen {

namespace {

// Steel (0), dark steel (1) and gold trim (2): the materials of metal a magic moves.
std::vector<Material> SteelMaterials(const CPalette& palette)
{
  return {MakeMaterial("steel", palette.Get("metal"), 0.9f, 40),
          MakeMaterial("steel_dark", palette.Get("steel_dark"), 0.6f, 20),
          MakeMaterial("trim", palette.Get("gold"), 0.8f, 30)};
}

// Rivet heads at the corners of a square of half-size h on the plane y.
void AddRivets(CMeshData* mesh, float h, float y, int material)
{
  for (const float x : {-h, h}) {
    for (const float z : {-h, h})
      mesh->MergeSharingMaterials(Placed(MakeSphere(0.09f, 6, 10), Translation(x, y, z), material));
  }
}

// A stone base plate and a gold plate on it; the plate is scaled in y from its foot.
CMeshData MakeButtonFoundation(const CPalette& palette)
{
  CMeshData base;
  base.materials = {MakeMaterial("stone", palette.Get("stone_dark"), 0.1f, 4),
                    MakeMaterial("ring", palette.Get("steel_dark"), 0.5f, 20)};
  base.MergeSharingMaterials(BoxBetween(-1.2f, 0, -1.2f, 1.2f, 0.2f, 1.2f, 0, 0.05f));
  base.MergeSharingMaterials(Placed(MakeTorus(0.85f, 0.06f, 32, 8), Translation(0, 0.2f, 0), 1));
  return base;
}

// The round push plate with a raised rim, from y 0 to 0.45.
CMeshData MakeButtonSwitch(const CPalette& palette)
{
  CMeshData plate;
  plate.materials = {MakeMaterial("plate", palette.Get("gold"), 0.8f, 30),
                     MakeMaterial("top", palette.Get("sun_glow"), 0.6f, 20)};
  plate.MergeSharingMaterials(Placed(MakeCylinder(0.75f, 0.4f, 32), Translation(0, 0.2f, 0), 0));
  plate.MergeSharingMaterials(Placed(MakeCylinder(0.55f, 0.05f, 32), Translation(0, 0.425f, 0), 1));
  return plate;
}

// The lever's stone block with a steel slot along z, where the handle swings.
CMeshData MakeLiverFoundation(const CPalette& palette)
{
  CMeshData base;
  base.materials = {MakeMaterial("stone", palette.Get("stone_dark"), 0.1f, 4),
                    MakeMaterial("slot", palette.Get("steel_dark"), 0.5f, 20)};
  base.MergeSharingMaterials(BoxBetween(-0.6f, 0, -0.7f, 0.6f, 0.3f, 0.7f, 0, 0.05f));
  base.MergeSharingMaterials(BoxBetween(-0.2f, 0.3f, -0.55f, 0.2f, 0.34f, 0.55f, 1));
  return base;
}

// The handle in its hinge's frame: a hub along x, a steel rod leaning 45 degrees
// towards +z and a red knob; grown for its overlay shell.
CMeshData MakeLiverHandle(const CPalette& palette, float grow)
{
  CMeshData handle;
  handle.materials = SteelMaterials(palette);
  handle.materials.push_back(MakeMaterial("knob", palette.Get("magic_red"), 0.7f, 30));
  handle.MergeSharingMaterials(Placed(MakeCylinder(0.14f + grow, 0.45f + grow, 16), RotationZ(90), 1));
  handle.MergeSharingMaterials(TiltedRod(0.07f + grow, 1.1f, 0, 0, 45, 0));
  handle.MergeSharingMaterials(
      Placed(MakeSphere(0.2f + grow, 10, 16), Translation(0, 1.15f * 0.7071f, 1.15f * 0.7071f), 3));
  return handle;
}

// The lever as rays meet it, in the placement's frame: the block and a box round the
// handle at rest.
CMeshData MakeLiverCollision(const CPalette& palette)
{
  CMeshData shape;
  shape.materials = {MakeMaterial("lever", palette.Get("metal"), 0, 1)};
  shape.MergeSharingMaterials(BoxBetween(-0.6f, 0, -0.7f, 0.6f, 0.3f, 0.7f, 0));
  const Transform lean = Combine(Translation(0, 0.6f, 0), Combine(RotationX(45), Translation(0, 0.3f, 0)));
  shape.MergeSharingMaterials(Placed(MakeBox(0.45f, 1.3f, 0.45f), lean, 0));
  return shape;
}

// A stone door 4.4 wide and 7 tall with iron bands and studs; it lowers into a passage
// along z.
CMeshData MakeDoor(const CPalette& palette)
{
  CMeshData door;
  door.materials = {MakeMaterial("stone", palette.Get("stone_mid"), 0.05f, 4),
                    MakeMaterial("iron", palette.Get("steel_dark"), 0.5f, 20),
                    MakeMaterial("stud", palette.Get("gold"), 0.7f, 30)};
  door.MergeSharingMaterials(BoxBetween(-2.2f, 0, -0.4f, 2.2f, 7.0f, 0.4f, 0, 0.06f));
  for (const float y : {0.6f, 3.5f, 6.4f}) {
    door.MergeSharingMaterials(BoxBetween(-2.25f, y - 0.2f, -0.46f, 2.25f, y + 0.2f, 0.46f, 1));
    for (const float x : {-1.6f, 0.0f, 1.6f}) {
      for (const float z : {-0.48f, 0.48f}) {
        door.MergeSharingMaterials(Placed(MakeSphere(0.1f, 6, 10), Translation(x, y, z), 2));
      }
    }
  }
  return door;
}

// A riveted steel platform 3 x 0.45 x 3 with a gold rim band.
CMeshData MakeMetalLift(const CPalette& palette, float grow)
{
  CMeshData lift;
  lift.materials = SteelMaterials(palette);
  lift.MergeSharingMaterials(
      BoxBetween(-1.5f - grow, -grow, -1.5f - grow, 1.5f + grow, 0.45f + grow, 1.5f + grow, 0, 0.06f));
  if (grow > 0.0f) return lift;
  lift.MergeSharingMaterials(BoxBetween(-1.52f, 0.12f, -1.52f, 1.52f, 0.2f, 1.52f, 2));
  lift.MergeSharingMaterials(BoxBetween(-1.0f, 0.45f, -1.0f, 1.0f, 0.48f, 1.0f, 1));
  AddRivets(&lift, 1.25f, 0.46f, 1);
  return lift;
}

// Two steel rails beside the platform's path, 18 long along +z, on steel sleepers.
CMeshData MakeMetalLiftRail(const CPalette& palette)
{
  CMeshData rail;
  rail.materials = SteelMaterials(palette);
  for (const float x : {-1.75f, 1.75f})
    rail.MergeSharingMaterials(BoxBetween(x - 0.1f, 0, -1.6f, x + 0.1f, 0.22f, 16.6f, 0));
  for (float z = -1.2f; z < 16.6f; z += 1.5f)
    rail.MergeSharingMaterials(BoxBetween(-1.95f, 0, z - 0.15f, 1.95f, 0.08f, z + 0.15f, 1));
  return rail;
}

// Wooden planks on two beams, 3 x 0.45 x 3: plainly not metal.
CMeshData MakeWoodLift(const CPalette& palette)
{
  CMeshData lift;
  lift.materials = {MakeMaterial("plank", palette.Get("wood_light"), 0.05f, 4),
                    MakeMaterial("beam", palette.Get("wood_dark"), 0.05f, 4)};
  for (const float x : {-1.1f, 1.1f})
    lift.MergeSharingMaterials(BoxBetween(x - 0.2f, 0, -1.5f, x + 0.2f, 0.25f, 1.5f, 1));
  for (int i = 0; i < 6; ++i) {
    const float z = -1.5f + 0.5f * static_cast<float>(i);
    lift.MergeSharingMaterials(BoxBetween(-1.5f, 0.25f, z + 0.02f, 1.5f, 0.45f, z + 0.48f, 0, 0.03f));
  }
  return lift;
}

// Two wooden posts each side (along x) with a cross beam at the top: the way the
// platform climbs, 9 high, open along z for walking on and off.
CMeshData MakeWoodLiftRail(const CPalette& palette)
{
  CMeshData rail;
  rail.materials = {MakeMaterial("post", palette.Get("wood_dark"), 0.05f, 4),
                    MakeMaterial("beam", palette.Get("wood_light"), 0.05f, 4)};
  for (const float x : {-1.85f, 1.85f}) {
    for (const float z : {-1.2f, 1.2f})
      rail.MergeSharingMaterials(BoxBetween(x - 0.15f, 0, z - 0.15f, x + 0.15f, 9.0f, z + 0.15f, 0));
    rail.MergeSharingMaterials(BoxBetween(x - 0.2f, 8.8f, -1.45f, x + 0.2f, 9.2f, 1.45f, 1));
  }
  return rail;
}

// A heavy steel door 5.8 wide and 6 tall on an axle through its middle; a red disc on
// the +x half and a blue one on the -x half show that it wants both magics.
CMeshData MakeRotationDoor(const CPalette& palette, float grow)
{
  CMeshData door;
  door.materials = SteelMaterials(palette);
  door.materials.push_back(MakeMaterial("red", palette.Get("magic_red"), 0.6f, 30));
  door.materials.push_back(MakeMaterial("blue", palette.Get("magic_blue"), 0.6f, 30));
  door.MergeSharingMaterials(
      BoxBetween(-2.9f - grow, -grow, -0.3f - grow, 2.9f + grow, 6.0f + grow, 0.3f + grow, 0, 0.05f));
  if (grow > 0.0f) return door;
  door.MergeSharingMaterials(Placed(MakeCylinder(0.35f, 6.2f, 20), Translation(0, 3.1f, 0), 1));
  for (const float y : {0.4f, 5.6f})
    door.MergeSharingMaterials(BoxBetween(-2.92f, y - 0.15f, -0.33f, 2.92f, y + 0.15f, 0.33f, 2));
  for (const float z : {-0.32f, 0.32f}) {
    const Transform face = RotationX(90);
    door.MergeSharingMaterials(Placed(MakeCylinder(0.6f, 0.06f, 24), Combine(face, Translation(1.5f, 2.5f, z)), 3));
    door.MergeSharingMaterials(Placed(MakeCylinder(0.6f, 0.06f, 24), Combine(face, Translation(-1.5f, 2.5f, z)), 4));
  }
  return door;
}

// The three stripe pictures and the switch, lever, door and lift meshes.
bool AddSwitchesAndLifts(CArtContext& context, std::string* error)
{
  const CPalette& palette = context.palette;
  const Color both = Mix(palette.Get("magic_red_light"), palette.Get("magic_blue_light"), 0.5f);
  return context.AddPng(std::string("game/object/") + kBlueStripes, DrawHitStripes(palette.Get("magic_blue_light")),
                        error) &&
         context.AddPng(std::string("game/object/") + kRedStripes, DrawHitStripes(palette.Get("magic_red_light")),
                        error) &&
         context.AddPng(std::string("game/object/") + kBothStripes, DrawHitStripes(both), error) &&
         context.AddMesh("game/object/button_foundation.x", MakeButtonFoundation(palette), error) &&
         context.AddMesh("game/object/button_switch.x", MakeButtonSwitch(palette), error) &&
         context.AddMesh("game/object/liver_foundation.x", MakeLiverFoundation(palette), error) &&
         context.AddMesh("game/object/liver_handle.x", MakeLiverHandle(palette, 0), error) &&
         context.AddMesh("game/object/blue_hit_liver_handle.x", HitShell(MakeLiverHandle(palette, 0.05f), kBlueStripes),
                         error) &&
         context.AddMesh("game/object/liver.x", MakeLiverCollision(palette), error) &&
         context.AddMesh("game/object/door.x", MakeDoor(palette), error) &&
         context.AddMesh("game/object/metal_lift.x", MakeMetalLift(palette, 0), error) &&
         context.AddMesh("game/object/blue_hit_lift.x", HitShell(MakeMetalLift(palette, 0.05f), kBlueStripes), error) &&
         context.AddMesh("game/object/red_hit_lift.x", HitShell(MakeMetalLift(palette, 0.05f), kRedStripes), error) &&
         context.AddMesh("game/object/metal_lift_rail.x", MakeMetalLiftRail(palette), error) &&
         context.AddMesh("game/object/wood_lift.x", MakeWoodLift(palette), error) &&
         context.AddMesh("game/object/wood_lift_rail.x", MakeWoodLiftRail(palette), error);
}

}  // namespace

// Switches, doors, lifts, the rotation door, then the weapons.
bool GenerateGimmickArt(CArtContext& context, std::string* error)
{
  const CPalette& palette = context.palette;
  return AddSwitchesAndLifts(context, error) &&
         context.AddMesh("game/object/rotation_door.x", MakeRotationDoor(palette, 0), error) &&
         context.AddMesh("game/object/blue_hit_rotation_door.x",
                         HitShell(MakeRotationDoor(palette, 0.06f), kBlueStripes), error) &&
         context.AddMesh("game/object/red_hit_rotation_door.x", HitShell(MakeRotationDoor(palette, 0.06f), kRedStripes),
                         error) &&
         context.AddMesh("game/object/double_hit_rotation_door.x",
                         HitShell(MakeRotationDoor(palette, 0.06f), kBothStripes), error) &&
         GenerateWeaponArt(context, error);
}

}  // namespace contentgen
