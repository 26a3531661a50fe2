// A small res/ tree for tests under res/test/: a flat floor, a wall, a step and a
// box as separate meshes, the three fixed pieces merged into map.x (with depth_map.x,
// the same shape untextured for the shadow pass), their textures with normal maps,
// and a picture of set text that shows the font covers what the game writes.
//   floor.x: 20 x 20, top face at y = 0
//   wall.x:  6 wide, 3 high, 0.5 thick, standing on y = 0, centred on the origin
//   step.x:  2 x 0.5 x 2, standing on y = 0
//   box.x:   1.5 cube with rounded edges, standing on y = 0
//   map.x:   floor, the wall at z = 5, the step at x = 3
//   stage/map.3.x, depth_map.3.x, map.3.dat: a small open-air arena to play stage 3's
//   magic in (the routes link it in as stage 3): two metal blocks, one beside a 3-high
//   platform with stairs, so the player can step onto it, and a goal.
#include <cmath>

#include "art/art_context.h"
#include "art/model_helpers.h"
#include "stage/stage_geometry.h"
#include "image/canvas.h"
#include "image/image_writers.h"
#include "image/noise.h"
#include "mesh/primitives.h"

namespace contentgen {

// The mesh and stage types of the stage builder, used here as our own.
using namespace stagebuild;

namespace {

// Sandstone floor tiles (4 x 4 per texture) with soft variation; height for the grooves.
void DrawFloorTiles(const CPalette& palette, CCanvas* colour, CCanvas* height)
{
  const Color light = palette.Get("floor_light"), dark = palette.Get("floor_dark");
  const Color mortar = palette.Get("mortar");
  colour->Shade([&](float x, float y, Color) {
    const float tx = std::fmod(x, 64.0f), ty = std::fmod(y, 64.0f);
    const float edge = std::min(std::min(tx, 64 - tx), std::min(ty, 64 - ty));
    const int cell = static_cast<int>(x / 64) + 4 * static_cast<int>(y / 64);
    const float n = FractalNoise(x / 32.0f, y / 32.0f, 3 + cell % 3, 4, 8);
    const Color stone = Mix(light, dark, 0.25f + 0.5f * n);
    return WithAlpha(Mix(mortar, stone, std::clamp((edge - 1.5f) / 1.5f, 0.0f, 1.0f)), 1);
  });
  height->Shade([&](float x, float y, Color) {
    const float tx = std::fmod(x, 64.0f), ty = std::fmod(y, 64.0f);
    const float edge = std::min(std::min(tx, 64 - tx), std::min(ty, 64 - ty));
    const float h = std::clamp(edge / 4.0f, 0.0f, 1.0f) * 0.8f + 0.2f * FractalNoise(x / 16, y / 16, 5, 3, 16);
    return Color{h, h, h, 1};
  });
}

// Stone bricks in running bond (8 rows, 4 bricks a row); height for the mortar lines.
void DrawBricks(const CPalette& palette, CCanvas* colour, CCanvas* height)
{
  const Color light = palette.Get("stone_light"), mid = palette.Get("stone_mid"), mortar = palette.Get("mortar");
  auto edgeOf = [](float x, float y, int* brick) {
    const int row = static_cast<int>(y / 32);
    const float shifted = std::fmod(x + (row % 2) * 32.0f, 256.0f);
    const float bx = std::fmod(shifted, 64.0f), by = std::fmod(y, 32.0f);
    *brick = row * 5 + static_cast<int>(shifted / 64);
    return std::min(std::min(bx, 64 - bx), std::min(by, 32 - by));
  };
  colour->Shade([&](float x, float y, Color) {
    int brick = 0;
    const float edge = edgeOf(x, y, &brick);
    const float n = FractalNoise(x / 24.0f, y / 24.0f, 9, 4, 0);
    const Color stone = Mix(light, mid, 0.2f * static_cast<float>(brick % 4) + 0.3f * n);
    return WithAlpha(Mix(mortar, stone, std::clamp((edge - 2.0f) / 1.5f, 0.0f, 1.0f)), 1);
  });
  height->Shade([&](float x, float y, Color) {
    int brick = 0;
    const float h =
        std::clamp(edgeOf(x, y, &brick) / 5.0f, 0.0f, 1.0f) * 0.85f + 0.15f * FractalNoise(x / 12, y / 12, 4, 3, 0);
    return Color{h, h, h, 1};
  });
}

// Wooden crate face: planks with a darker frame.
CCanvas DrawCrate(const CPalette& palette)
{
  CCanvas crate(128, 128);
  const Color light = palette.Get("wood_light"), dark = palette.Get("wood_dark");
  crate.Shade([&](float x, float y, Color) {
    const float grain = FractalNoise(x / 40.0f, y / 4.0f, 17, 3, 0);
    const bool seam = std::fmod(y, 32.0f) < 2.0f;
    return WithAlpha(seam ? dark : Mix(light, dark, 0.15f + 0.35f * grain), 1);
  });
  const CRoundedRect frame(4, 4, 124, 124, 6);
  crate.Stroke(frame, 10, CPaint::Solid(dark));
  crate.Fill(CLine(14, 14, 114, 114, 10), CPaint::Solid(dark));
  return crate;
}

// A strip of the words the game shows, in both scripts, to look at the font with.
bool DrawTextSample(CArtContext& context, std::string* error)
{
  const CPalette& palette = context.palette;
  CCanvas sample(512, 160);
  sample.Fill(CRoundedRect(0, 0, 512, 160, 18),
              CPaint::Linear(0, 0, 0, 160, {{0, palette.Get("sky_high")}, {1, palette.Get("sky_horizon")}}));
  const char* lines[3] = {"Solverica", "魔法で塔をのぼろう", "引き寄せる青 / 弾き返す赤"};
  const Rect boxes[3] = {{16, 6, 496, 60}, {16, 64, 496, 108}, {16, 112, 496, 152}};
  const Color colours[3] = {palette.Get("robe_dark"), palette.Get("outline"), palette.Get("outline")};
  for (int i = 0; i < 3; ++i) {
    if (!context.font.DrawText(&sample, lines[i], boxes[i], 64, TextAlign::Centre, colours[i], nullptr, error)) {
      *error = context.Res("test/text_sample.png") + ": " + *error;
      return false;
    }
  }
  return context.AddPng("test/text_sample.png", sample, error);
}

// The arena: floor x -15..15, z -15..25, walls 9 high, no ceiling (a launch may rise to
// its full height). The player starts at the origin facing +z, block B straight ahead.
const char* const kMagicArena =
    "wallheight 9\n"
    "floor stone -16 -16 16 26 0\n"
    "wall -16 -16 16 -15\nwall -16 25 16 26\nwall -16 -15 -15 25\nwall 15 -15 16 25\n"
    "box trim -12 0 0 -8 3 8\n"            // the platform, top at 3
    "stairs stone -12 -8 -8 0 0 3 8 +z\n"  // up to it from the south
    "actor CGameMetalBlock 0 0 8\n"        // B: pushed and pulled
    "actor CGameMetalBlock -6.5 0 4\n"     // A: beside the platform, stood on
    "actor CGameGoal 10 0 20\n";

// The arena's meshes and stage file under test/stage/.
bool DrawMagicArena(CArtContext& context, std::string* error)
{
  StageGeometry geometry;
  if (!BuildStageGeometry(kMagicArena, "magic arena", &geometry, error)) return false;
  UseGameMapSurfaces(&geometry.map);
  const std::string stageFile = StageFileText(geometry.actors);
  context.AddFile("test/stage/map.3.dat", std::vector<uint8_t>(stageFile.begin(), stageFile.end()));
  return context.AddMesh("test/stage/map.3.x", geometry.map, error) &&
         context.AddMesh("test/stage/depth_map.3.x", geometry.depthMap, error);
}

}  // namespace

// res/test/.
bool GenerateTestTree(CArtContext& context, std::string* error)
{
  const CPalette& palette = context.palette;
  CCanvas floorColour(256, 256), floorHeight(256, 256), brickColour(256, 256), brickHeight(256, 256);
  DrawFloorTiles(palette, &floorColour, &floorHeight);
  DrawBricks(palette, &brickColour, &brickHeight);
  if (!context.AddPng("test/floor.png", floorColour, error) ||
      !context.AddPng("test/floor.normal.png", HeightToNormalMap(floorHeight, 4, kNormalMapFlat), error) ||
      !context.AddPng("test/wall.png", brickColour, error) ||
      !context.AddPng("test/wall.normal.png", HeightToNormalMap(brickHeight, 4, kNormalMapFlat), error) ||
      !context.AddPng("test/box.png", DrawCrate(palette), error)) {
    return false;
  }

  CMeshData floor = Placed(MakeBox(20, 0.5f, 20), Translation(0, -0.25f, 0), 0);
  floor.ScaleUv(5, 5);
  floor.materials = {MakeTexturedMaterial("floor", "floor.png", 0.05f, 4)};
  CMeshData wall = Placed(MakeBox(6, 3, 0.5f), Translation(0, 1.5f, 0), 0);
  wall.ScaleUv(2, 1);
  wall.materials = {MakeTexturedMaterial("wall", "wall.png", 0.05f, 4)};
  CMeshData step = Placed(MakeBox(2, 0.5f, 2), Translation(0, 0.25f, 0), 0);
  step.materials = {MakeTexturedMaterial("wall", "wall.png", 0.05f, 4)};
  CMeshData box = Placed(MakeBevelBox(1.5f, 1.5f, 1.5f, 0.08f, 2), Translation(0, 0.75f, 0), 0);
  box.materials = {MakeTexturedMaterial("crate", "box.png", 0.1f, 8)};

  CMeshData map = floor;
  CMeshData placedWall = wall, placedStep = step;
  placedWall.ApplyTransform(Translation(0, 0, 5));
  placedStep.ApplyTransform(Translation(3, 0, 0));
  map.Merge(placedWall);
  map.Merge(placedStep);
  CMeshData depthMap = map;
  depthMap.materials = {MakeMaterial("depth", {1, 1, 1, 1}, 0, 0)};
  depthMap.SetMaterialIndex(0);

  return context.AddMesh("test/floor.x", floor, error) && context.AddMesh("test/wall.x", wall, error) &&
         context.AddMesh("test/step.x", step, error) && context.AddMesh("test/box.x", box, error) &&
         context.AddMesh("test/map.x", map, error) && context.AddMesh("test/depth_map.x", depthMap, error) &&
         DrawTextSample(context, error) && GenerateTestStages(context, error) && DrawMagicArena(context, error);
}

}  // namespace contentgen
