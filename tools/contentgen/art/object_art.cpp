// The orb and torch meshes. An orb is a glassy sphere in its magic's colour with a
// brighter core showing through and a gold band round it, centred on its origin (the
// stage places it at chest height). The torch stands on the floor: an iron post on a
// round foot, a gold collar and an iron bowl whose rim sits at 1.1, where the game
// sets its flame.
#include "art/art_context.h"
#include "art/hud_art.h"
#include "art/model_helpers.h"
#include "mesh/primitives.h"

namespace contentgen {

namespace {

// The sphere, its core, a tilted gold band and two small studs on the band.
CMeshData MakeOrb(const CPalette& palette, const char* colour, const char* light)
{
  CMeshData orb;
  orb.materials = {MakeGlowMaterial("shell", palette.Get(colour), 0.9f, 60, 0.25f),
                   MakeGlowMaterial("core", palette.Get(light), 0.5f, 20, 0.6f),
                   MakeGlowMaterial("band", palette.Get("gold"), 0.7f, 30, 0.15f)};
  orb.MergeSharingMaterials(MakeSphere(0.42f, 20, 28));
  orb.MergeSharingMaterials(Placed(MakeSphere(0.2f, 10, 14), Translation(0.0f, 0.06f, -0.3f), 1));
  const Transform tilt = Combine(RotationX(90), RotationZ(25));
  orb.MergeSharingMaterials(Placed(MakeTorus(0.47f, 0.04f, 40, 8), tilt, 2));
  for (const float side : {-1.0f, 1.0f}) {
    const Transform stud = Combine(Translation(side * 0.47f, 0.0f, 0.0f), RotationZ(25));
    orb.MergeSharingMaterials(Placed(MakeSphere(0.07f, 6, 10), stud, 2));
  }
  return orb;
}

// Foot, post, collar, bowl and the embers in it.
CMeshData MakeTorch(const CPalette& palette)
{
  CMeshData torch;
  const Color iron = Mix(palette.Get("metal"), palette.Get("outline"), 0.45f);
  torch.materials = {MakeMaterial("iron", iron, 0.5f, 25), MakeMaterial("gold", palette.Get("gold"), 0.7f, 30),
                     MakeGlowMaterial("embers", palette.Get("magic_red_light"), 0.1f, 5, 0.8f)};
  torch.MergeSharingMaterials(Placed(MakeCylinder(0.26f, 0.08f, 20), Translation(0, 0.04f, 0), 0));
  torch.MergeSharingMaterials(Placed(MakeCylinder(0.06f, 0.92f, 12), Translation(0, 0.5f, 0), 0));
  torch.MergeSharingMaterials(Placed(MakeTorus(0.08f, 0.03f, 16, 6), Translation(0, 0.35f, 0), 1));
  torch.MergeSharingMaterials(Placed(MakeTorus(0.08f, 0.03f, 16, 6), Translation(0, 0.88f, 0), 1));
  torch.MergeSharingMaterials(
      MakeLathe({{0.0f, 0.92f, true}, {0.1f, 0.92f, true}, {0.24f, 1.06f}, {0.27f, 1.1f, true}, {0.0f, 1.1f}}, 20));
  torch.MergeSharingMaterials(
      Placed(MakeSphere(0.17f, 8, 12), Combine(Scaling(1, 0.35f, 1), Translation(0, 1.08f, 0)), 2));
  return torch;
}

}  // namespace

// Three meshes into the queue.
bool GenerateObjectArt(CArtContext& context, std::string* error)
{
  const CPalette& palette = context.palette;
  return context.AddMesh("game/object/blue_magic_orb.x", MakeOrb(palette, "magic_blue", "magic_blue_light"), error) &&
         context.AddMesh("game/object/red_magic_orb.x", MakeOrb(palette, "magic_red", "magic_red_light"), error) &&
         context.AddMesh("game/object/torch.x", MakeTorch(palette), error);
}

}  // namespace contentgen
