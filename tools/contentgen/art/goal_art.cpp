// The goal: modelled in its own frame with the origin on the floor it stands on and
// the player arriving from -z. A round gold plate with a glowing inlay, a gold ring
// standing upright behind it, and pale blue steps floating up through the ring: the
// way up to the next floor. Only the plate collides, so the player can step on it.
// The final magic orb is a bright sphere in a tilted halo.
#include "art/goal_art.h"

#include "art/art_context.h"
#include "art/model_helpers.h"
#include "mesh/primitives.h"

namespace contentgen {

namespace {

// The plate the player steps on: 1.5 across the middle, 0.1 thick.
CMeshData MakePlate()
{
  return Placed(MakeCylinder(1.5f, 0.1f, 48), Translation(0, 0.05f, 0), 0);
}

// Plate, inlay, ring, steps and the three studs on the ring.
CMeshData MakeGoal(const CPalette& palette)
{
  CMeshData goal;
  goal.materials = {MakeGlowMaterial("gold", palette.Get("gold"), 0.7f, 30, 0.25f),
                    MakeGlowMaterial("light", palette.Get("magic_blue_light"), 0.2f, 10, 0.6f),
                    MakeGlowMaterial("halo", palette.Get("sun_glow"), 0.5f, 20, 0.5f)};
  goal.MergeSharingMaterials(MakePlate());
  goal.MergeSharingMaterials(Placed(MakeCylinder(1.1f, 0.03f, 48), Translation(0, 0.11f, 0), 1));
  // The ring stands in the xy plane, centred over the third step.
  const Transform ringPlace = Combine(RotationX(90), Translation(0, 1.6f, 1.1f));
  goal.MergeSharingMaterials(Placed(MakeTorus(1.25f, 0.12f, 48, 12), ringPlace, 0));
  goal.MergeSharingMaterials(Placed(MakeTorus(1.08f, 0.04f, 48, 8), ringPlace, 2));
  for (int i = 0; i < 5; ++i) {
    const float y = 0.3f + 0.4f * static_cast<float>(i);
    const float z = 0.3f + 0.45f * static_cast<float>(i);
    goal.MergeSharingMaterials(Placed(MakeBevelBox(1.2f, 0.12f, 0.5f, 0.04f, 2), Translation(0, y, z), 1));
  }
  for (const float angle : {-40.0f, 0.0f, 40.0f}) {
    const Transform stud = Combine(Translation(0, 1.25f, 0), Combine(RotationZ(angle), Translation(0, 1.6f, 1.1f)));
    goal.MergeSharingMaterials(Placed(MakeSphere(0.16f, 8, 12), stud, 2));
  }
  return goal;
}

// The collision mesh: the plate alone.
CMeshData MakeGoalCollision(const CPalette& palette)
{
  CMeshData plate;
  plate.materials = {MakeMaterial("gold", palette.Get("gold"), 0.7f, 30)};
  plate.MergeSharingMaterials(MakePlate());
  return plate;
}

// A warm sphere with a brighter core showing through, in a tilted gold halo.
CMeshData MakeFinalOrb(const CPalette& palette)
{
  CMeshData orb;
  orb.materials = {MakeGlowMaterial("orb", palette.Get("sun"), 0.9f, 50, 0.3f),
                   MakeGlowMaterial("halo", palette.Get("gold"), 0.7f, 30, 0.2f)};
  orb.MergeSharingMaterials(MakeSphere(0.8f, 24, 32));
  const Transform tilt = Combine(RotationX(70), RotationZ(20));
  orb.MergeSharingMaterials(Placed(MakeTorus(1.15f, 0.06f, 48, 8), tilt, 1));
  return orb;
}

}  // namespace

// Three meshes into the queue.
bool GenerateGoalArt(CArtContext& context, std::string* error)
{
  const CPalette& palette = context.palette;
  return context.AddMesh("game/map/goal.x", MakeGoal(palette), error) &&
         context.AddMesh("game/map/goal_collision.x", MakeGoalCollision(palette), error) &&
         context.AddMesh("game/object/final_magic_orb.x", MakeFinalOrb(palette), error);
}

}  // namespace contentgen
