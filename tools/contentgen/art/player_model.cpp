// The player: a small mage in a violet hooded robe with white gloves and brown boots.
// Each mesh is modelled in the frame its body part is drawn in:
//   body and feet: the player's frame (feet on y = 0, facing +z);
//   head and eyes: the head frame, origin at (0, 1.0, 0) of the player;
//   arm: the shoulder frame, the arm reaching along +z from the joint at the origin,
//        which the part's x rotation of 90 degrees turns to hang straight down.
// Feet swing about the player's x axis at ground level, so they sit round z = 0.
#include <cmath>

#include "art/art_context.h"
#include "art/model_helpers.h"
#include "image/canvas.h"
#include "image/image_writers.h"
#include "mesh/primitives.h"

namespace contentgen {

namespace {

const float kPi = 3.14159265358979f;

// The robe's outline from the neck down to the hem (player frame).
std::vector<ProfilePoint> RobeProfile()
{
  return {{0, 0.93f},     {0.10f, 0.93f, true}, {0.16f, 0.9f},   {0.22f, 0.85f},       {0.25f, 0.78f}, {0.25f, 0.64f},
          {0.255f, 0.5f}, {0.27f, 0.38f},       {0.295f, 0.27f}, {0.315f, 0.2f, true}, {0.0f, 0.2f}};
}

// The v texture coordinate the lathe gives profile point k (arc length fraction).
float ProfileV(const std::vector<ProfilePoint>& profile, size_t k)
{
  float total = 0, upTo = 0;
  for (size_t i = 0; i + 1 < profile.size(); ++i) {
    const float len = std::hypot(profile[i + 1].radius - profile[i].radius, profile[i + 1].y - profile[i].y);
    if (i < k) upTo += len;
    total += len;
  }
  return upTo / total;
}

// Robe texture: violet cloth darkening to the hem, a cream collar, a gold hem band
// and small gold stars. Also returns the height field for its normal map.
void DrawRobe(const CPalette& palette, CCanvas* colour, CCanvas* height)
{
  const std::vector<ProfilePoint> profile = RobeProfile();
  const float collarEnd = ProfileV(profile, 3) * 256, hemStart = ProfileV(profile, 8) * 256;
  const float hemEnd = ProfileV(profile, 9) * 256;
  colour->Fill(
      CRoundedRect(0, 0, 256, 256, 0),
      CPaint::Linear(0, collarEnd, 0, hemEnd,
                     {{0, palette.Get("robe_light")}, {0.35f, palette.Get("robe")}, {1, palette.Get("robe_dark")}}));
  colour->Fill(CRoundedRect(-1, -1, 257, collarEnd, 0), CPaint::Solid(palette.Get("collar")));
  colour->Fill(CRoundedRect(-1, collarEnd - 3, 257, collarEnd, 0), CPaint::Solid(palette.Get("trim")));
  colour->Fill(CRoundedRect(-1, hemStart, 257, 257, 0), CPaint::Solid(palette.Get("trim")));
  colour->Fill(CRoundedRect(-1, hemStart + 4, 257, hemStart + 7, 0), CPaint::Solid(palette.Get("gold_dark")));
  // Stars in two staggered rows, repeated across the u seam.
  for (int i = 0; i < 8; ++i) {
    const float x = 16.0f + 32.0f * i, y = (i % 2 == 0) ? collarEnd + 40 : collarEnd + 90;
    for (const float shift : {-256.0f, 0.0f, 256.0f}) {
      const CPolygon star(StarPoints(x + shift, y, 7, 3, 5, 0));
      colour->Fill(star, CPaint::Solid(palette.Get("trim")));
    }
  }
  // Height: a fine weave on the cloth, the hem band raised with a groove.
  height->Shade([&](float x, float y, Color) {
    float h = 0.5f + 0.08f * std::sin(x * kPi / 2.0f) * std::sin(y * kPi / 2.0f);
    if (y > hemStart) h = 0.9f - ((y > hemStart + 4 && y < hemStart + 7) ? 0.3f : 0.0f);
    if (y < collarEnd) h = 0.8f;
    return Color{h, h, h, 1};
  });
}

// Face texture on the head sphere (u = 0.5 looks forward, v from the top pole down):
// skin, rosy cheeks and a small smile. Eyes are separate meshes.
CCanvas DrawFace(const CPalette& palette)
{
  // Feature positions are worked out on the sphere: cheeks 0.2 to each side and a
  // little below the eyes, the mouth 0.1 below the centre; s = pixels per 1/256 of u.
  const float s = 2;
  CCanvas face(512, 256);
  face.Fill(CRoundedRect(0, 0, 512, 256, 0),
            CPaint::Linear(0, 40 * s, 0, 128 * s, {{0, palette.Get("skin")}, {1, palette.Get("skin_shade")}}));
  for (const float cx : {101.0f, 155.0f}) {
    const CEllipse cheek(cx * s, 69 * s, 6 * s, 3.5f * s);
    face.Glow(cheek, 5 * s, WithAlpha(palette.Get("blush"), 0.5f));
    face.Fill(cheek, CPaint::Solid(WithAlpha(palette.Get("blush"), 0.8f)));
  }
  // The smile: a short arc of round-capped segments.
  const Color mouth = palette.Get("mouth");
  float lastX = 0, lastY = 0;
  for (int i = 0; i <= 12; ++i) {
    const float t = -1.0f + 2.0f * i / 12.0f;
    const float x = (128 + t * 6.5f) * s, y = (74.5f + (1 - t * t) * 3.0f) * s;
    if (i > 0) face.Fill(CLine(lastX, lastY, x, y, 2.2f * s), CPaint::Solid(mouth));
    lastX = x;
    lastY = y;
  }
  return face;
}

// A point on the face sphere looking along (x, y) from its centre (z forward), pulled in by `sink`.
Vec3 OnFace(float x, float y, float sink)
{
  const Vec3 centre{0, 0.17f, 0};
  const float radius = 0.36f;
  const Vec3 dir = Normalize({x, y, std::sqrt(std::max(radius * radius - x * x - y * y, 0.0f))});
  return centre + dir * (radius - sink);
}

// The two eyes, made by `makeEye` at the origin facing +z, turned to follow the face.
CMeshData PlaceEyes(const CMeshData& eye)
{
  CMeshData both;
  both.materials = eye.materials;
  for (const float side : {-1.0f, 1.0f}) {
    const Vec3 at = OnFace(side * 0.12f, 0.015f, 0.012f);
    const float yaw = std::atan2(at.x, at.z) * 180.0f / kPi;
    CMeshData one = eye;
    one.ApplyTransform(Combine(RotationY(yaw), Translation(at.x, at.y, at.z)));
    both.MergeSharingMaterials(one);
  }
  return both;
}

// Writes a model, reporting which one failed.
bool WriteModel(CArtContext& context, const CMeshData& mesh, const std::string& name, std::string* error)
{
  return context.AddMesh("game/player/" + name, mesh, error);
}

// Torso: the robe lathe with a gold belt and buckle.
CMeshData MakeBody(const CPalette& palette)
{
  CMeshData body;
  body.materials = {MakeTexturedMaterial("robe", "player_body.png", 0.15f, 12),
                    MakeMaterial("gold", palette.Get("gold"), 0.8f, 40)};
  CMeshData robe = MakeLathe(RobeProfile(), 40);
  body.MergeSharingMaterials(robe);
  body.MergeSharingMaterials(Placed(MakeTorus(0.262f, 0.026f, 40, 10), Translation(0, 0.5f, 0), 1));
  body.MergeSharingMaterials(Placed(MakeBevelBox(0.1f, 0.085f, 0.04f, 0.015f, 2), Translation(0, 0.5f, 0.275f), 1));
  return body;
}

// Head: face sphere, hood round it with a gold rim, a hood tip leaning back with a pom-pom.
CMeshData MakeHead(const CPalette& palette)
{
  CMeshData head;
  head.materials = {MakeTexturedMaterial("face", "player_head.png", 0.05f, 8),
                    MakeMaterial("hood", palette.Get("robe"), 0.15f, 12),
                    MakeMaterial("gold", palette.Get("gold"), 0.8f, 40)};
  const Vec3 faceCentre{0, 0.17f, 0}, hoodCentre{0, 0.19f, -0.07f};
  const float faceRadius = 0.36f, hoodRadius = 0.39f;
  head.MergeSharingMaterials(Placed(MakeSphere(faceRadius, 24, 32), Translation(0, 0.17f, 0), 0));
  head.MergeSharingMaterials(Placed(MakeSphere(hoodRadius, 24, 32), Translation(0, 0.19f, -0.07f), 1));
  // The rim sits on the circle where the two spheres meet.
  const Vec3 axis = Normalize(faceCentre - hoodCentre);  // points forward out of the opening
  const Vec3 d = hoodCentre - faceCentre;
  const float along = (Dot(d, d) + faceRadius * faceRadius - hoodRadius * hoodRadius) / (2 * Length(d));
  const Vec3 rimCentre = faceCentre + Normalize(d) * along;
  const float rimRadius = std::sqrt(faceRadius * faceRadius - along * along);
  const float pitch = std::atan2(-axis.y, axis.z) * 180.0f / kPi;  // tilt of the opening
  head.MergeSharingMaterials(Placed(MakeTorus(rimRadius, 0.035f, 40, 10),
                                    Combine(RotationX(90 + pitch), Translation(rimCentre.x, rimCentre.y, rimCentre.z)),
                                    2));
  // Hood tip: a cone drooping back 55 degrees from upright, its base buried in the hood.
  const float tipLength = 0.32f;
  const Vec3 tipBase{0, 0.38f, -0.25f};
  const Vec3 tipAxis{0, std::cos(55 * kPi / 180), -std::sin(55 * kPi / 180)};
  const Vec3 coneCentre = tipBase + tipAxis * (tipLength * 0.5f);
  head.MergeSharingMaterials(Placed(MakeCone(0.16f, tipLength, 24),
                                    Combine(RotationX(-55), Translation(coneCentre.x, coneCentre.y, coneCentre.z)), 1));
  const Vec3 tip = tipBase + tipAxis * tipLength;
  head.MergeSharingMaterials(Placed(MakeSphere(0.05f, 10, 14), Translation(tip.x, tip.y, tip.z), 2));
  return head;
}

// Open eyes: tall dark ovals with a white catch-light that glows a little.
CMeshData MakeDefaultEyes(const CPalette& palette)
{
  CMeshData eye;
  eye.materials = {MakeMaterial("eye", palette.Get("eye"), 0.3f, 30),
                   MakeMaterial("eye_shine", palette.Get("eye_shine"), 0, 1)};
  eye.materials[1].emissive = {0.6f, 0.6f, 0.6f, 1};
  eye.MergeSharingMaterials(Placed(MakeSphere(1, 12, 16), Scaling(0.045f, 0.068f, 0.03f), 0));
  eye.MergeSharingMaterials(Placed(MakeSphere(0.016f, 8, 10), Translation(0.014f, 0.026f, 0.022f), 1));
  return PlaceEyes(eye);
}

// Happy eyes: two upturned arcs.
CMeshData MakeGleeEyes(const CPalette& palette)
{
  std::vector<Vec2> arc;
  const int steps = 12;
  for (int i = 0; i <= steps; ++i) {  // outer edge, left to right over the top
    const float a = kPi - kPi * i / steps;
    arc.push_back({0.05f * std::cos(a), 0.05f * std::sin(a) - 0.015f});
  }
  for (int i = steps; i >= 0; --i) {  // inner edge back
    const float a = kPi - kPi * i / steps;
    arc.push_back({0.03f * std::cos(a), 0.03f * std::sin(a) - 0.015f});
  }
  CMeshData eye;
  eye.materials = {MakeMaterial("eye", palette.Get("eye"), 0.3f, 30)};
  eye.MergeSharingMaterials(MakeExtrusion(arc, 0.03f));
  return PlaceEyes(eye);
}

// Arm: a bell sleeve from the shoulder ball to the cuff, then the gloved hand. The
// glove is its own material with a faint emissive: it is the part meant to shine
// when magic is cast.
CMeshData MakeArm(const CPalette& palette)
{
  CMeshData arm;
  arm.materials = {MakeMaterial("sleeve", palette.Get("robe"), 0.15f, 12),
                   MakeMaterial("glove", palette.Get("glove"), 0.3f, 20)};
  arm.materials[1].emissive = {0.12f, 0.12f, 0.14f, 1};
  // The lathe runs down -y; a -90 degree x rotation turns -y into +z.
  const std::vector<ProfilePoint> sleeve = {{0, 0.1f},       {0.06f, 0.085f}, {0.095f, 0.04f},       {0.105f, -0.03f},
                                            {0.11f, -0.18f}, {0.13f, -0.28f}, {0.14f, -0.32f, true}, {0, -0.32f}};
  arm.MergeSharingMaterials(Placed(MakeLathe(sleeve, 24), RotationX(-90), 0));
  // A mitten just past the cuff and a thumb on its front (+y here is forward when hanging).
  arm.MergeSharingMaterials(
      Placed(MakeSphere(1, 14, 18), Combine(Scaling(0.085f, 0.075f, 0.09f), Translation(0, 0, 0.41f)), 1));
  arm.MergeSharingMaterials(Placed(MakeSphere(0.035f, 8, 10), Translation(0, 0.06f, 0.37f), 1));
  return arm;
}

// One boot at x = side * 0.13: a rounded upper on a flat sole, toes towards +z.
CMeshData MakeFoot(const CPalette& palette, float side)
{
  CMeshData foot;
  foot.materials = {MakeMaterial("boot", palette.Get("boot"), 0.25f, 16),
                    MakeMaterial("sole", palette.Get("boot_sole"), 0.05f, 4)};
  const float x = side * 0.13f;
  foot.MergeSharingMaterials(
      Placed(MakeSphere(1, 14, 18), Combine(Scaling(0.105f, 0.09f, 0.16f), Translation(x, 0.095f, 0.06f)), 0));
  foot.MergeSharingMaterials(Placed(MakeBevelBox(0.19f, 0.045f, 0.3f, 0.02f, 2), Translation(x, 0.0225f, 0.07f), 1));
  return foot;
}

}  // namespace

// res/game/player/: the seven meshes and their textures.
bool GeneratePlayer(CArtContext& context, std::string* error)
{
  const CPalette& palette = context.palette;
  CCanvas robe(256, 256), robeHeight(256, 256);
  DrawRobe(palette, &robe, &robeHeight);
  const CCanvas robeNormals = HeightToNormalMap(robeHeight, 2.5f, kNormalMapFlat);
  if (!context.AddPng("game/player/player_body.png", robe, error) ||
      !context.AddPng("game/player/player_body.normal.png", robeNormals, error) ||
      !context.AddPng("game/player/player_head.png", DrawFace(palette), error)) {
    return false;
  }

  return WriteModel(context, MakeBody(palette), "player_body.x", error) &&
         WriteModel(context, MakeHead(palette), "player_head.x", error) &&
         WriteModel(context, MakeDefaultEyes(palette), "player_default_eye.x", error) &&
         WriteModel(context, MakeGleeEyes(palette), "player_glee_eye.x", error) &&
         WriteModel(context, MakeArm(palette), "player_arm.x", error) &&
         WriteModel(context, MakeFoot(palette, -1), "player_left_foot.x", error) &&
         WriteModel(context, MakeFoot(palette, 1), "player_right_foot.x", error);
}

}  // namespace contentgen
