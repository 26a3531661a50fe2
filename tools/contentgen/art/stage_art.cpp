// The stages: for every content/stages/stageN.txt, res/game/map/map.N.x (drawn and
// collided with), depth_map.N.x (the shadow pass) and res/dat/map.N.dat (the stage
// file); and the tower's surfaces the map meshes share, each with its normal map:
// stone flags, brick, wooden boards and dark trim stone.
#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "art/art_context.h"
#include "art/stage_geometry.h"
#include "image/canvas.h"
#include "image/image_writers.h"
#include "image/noise.h"

namespace contentgen {

namespace {

const int kTextureSize = 256;

// Distance to the nearest edge of a cell of a running-bond grid of w x h cells, rows
// shifted by half a cell; `cell` gets a number for the cell.
float BondEdge(float x, float y, float w, float h, float shift, int* cell)
{
  const int row = static_cast<int>(y / h);
  const float shifted = std::fmod(x + (row % 2) * shift, static_cast<float>(kTextureSize));
  const float cx = std::fmod(shifted, w), cy = std::fmod(y, h);
  *cell = row * 7 + static_cast<int>(shifted / w);
  return std::min(std::min(cx, w - cx), std::min(cy, h - cy));
}

// Flagstones: staggered rows of one-unit slabs with worn, mottled faces.
void DrawStoneFloor(const CPalette& palette, CCanvas* colour, CCanvas* height)
{
  const Color light = palette.Get("floor_light"), dark = palette.Get("floor_dark"), mortar = palette.Get("mortar");
  colour->Shade([&](float x, float y, Color) {
    int cell = 0;
    const float edge = BondEdge(x, y, 64, 64, 32, &cell);
    const float n = FractalNoise(x / 32.0f, y / 32.0f, 31 + cell % 5, 4, 8);
    const Color stone = Mix(light, dark, 0.15f + 0.12f * static_cast<float>(cell % 3) + 0.4f * n);
    return WithAlpha(Mix(mortar, stone, std::clamp((edge - 1.5f) / 1.5f, 0.0f, 1.0f)), 1);
  });
  height->Shade([&](float x, float y, Color) {
    int cell = 0;
    const float edge = BondEdge(x, y, 64, 64, 32, &cell);
    const float h = std::clamp(edge / 5.0f, 0.0f, 1.0f) * 0.8f + 0.2f * FractalNoise(x / 16, y / 16, 37, 3, 16);
    return Color{h, h, h, 1};
  });
}

// Bricks half a unit high and a unit long in running bond, each a little different.
void DrawBrickWall(const CPalette& palette, CCanvas* colour, CCanvas* height)
{
  const Color light = palette.Get("stone_light"), mid = palette.Get("stone_mid"), dark = palette.Get("stone_dark");
  const Color mortar = palette.Get("mortar");
  colour->Shade([&](float x, float y, Color) {
    int cell = 0;
    const float edge = BondEdge(x, y, 64, 32, 32, &cell);
    const float n = FractalNoise(x / 20.0f, y / 20.0f, 41, 4, 0);
    const float tone = 0.18f * static_cast<float>((cell * 5) % 4) + 0.3f * n;
    const Color brick = tone < 0.5f ? Mix(light, mid, tone * 2.0f) : Mix(mid, dark, (tone - 0.5f) * 0.8f);
    return WithAlpha(Mix(mortar, brick, std::clamp((edge - 2.0f) / 1.5f, 0.0f, 1.0f)), 1);
  });
  height->Shade([&](float x, float y, Color) {
    int cell = 0;
    const float h = std::clamp(BondEdge(x, y, 64, 32, 32, &cell) / 5.0f, 0.0f, 1.0f) * 0.85f +
                    0.15f * FractalNoise(x / 10, y / 10, 43, 3, 0);
    return Color{h, h, h, 1};
  });
}

// Boards half a unit wide running along u, their ends staggered, with grain and knots.
void DrawWoodFloor(const CPalette& palette, CCanvas* colour, CCanvas* height)
{
  const Color light = palette.Get("wood_light"), dark = palette.Get("wood_dark");
  auto board = [](float x, float y, float* across, float* along, int* index) {
    const int row = static_cast<int>(y / 32);
    const float shifted = std::fmod(x + static_cast<float>((row * 83) % 256), 256.0f);
    *index = row * 3 + static_cast<int>(shifted / 128);
    *across = std::min(std::fmod(y, 32.0f), 32.0f - std::fmod(y, 32.0f));
    *along = std::min(std::fmod(shifted, 128.0f), 128.0f - std::fmod(shifted, 128.0f));
  };
  colour->Shade([&](float x, float y, Color) {
    float across = 0, along = 0;
    int index = 0;
    board(x, y, &across, &along, &index);
    const float grain = FractalNoise(x / 48.0f, y / 3.0f, 53 + index % 4, 3, 0);
    const float rings = 0.5f + 0.5f * std::sin(y * 0.9f + grain * 6.0f);
    Color wood = Mix(light, dark, 0.12f + 0.1f * static_cast<float>(index % 3) + 0.25f * rings * grain);
    const float seam = std::min(across, along);
    wood = Mix(dark, wood, std::clamp((seam - 0.8f) / 1.2f, 0.0f, 1.0f));
    return WithAlpha(wood, 1);
  });
  height->Shade([&](float x, float y, Color) {
    float across = 0, along = 0;
    int index = 0;
    board(x, y, &across, &along, &index);
    const float h = std::clamp(std::min(across, along) / 3.0f, 0.0f, 1.0f) * 0.85f +
                    0.15f * FractalNoise(x / 48.0f, y / 3.0f, 53 + index % 4, 3, 0);
    return Color{h, h, h, 1};
  });
}

// Large dark dressed blocks, two by two, for bases, pillars and edges.
void DrawTrimStone(const CPalette& palette, CCanvas* colour, CCanvas* height)
{
  const Color mid = palette.Get("stone_mid"), dark = palette.Get("stone_dark"), mortar = palette.Get("mortar");
  colour->Shade([&](float x, float y, Color) {
    int cell = 0;
    const float edge = BondEdge(x, y, 128, 64, 64, &cell);
    const float n = FractalNoise(x / 24.0f, y / 24.0f, 61, 4, 0);
    const Color stone = Mix(mid, dark, 0.45f + 0.1f * static_cast<float>(cell % 3) + 0.25f * n);
    const float bevel = std::clamp((edge - 2.0f) / 5.0f, 0.0f, 1.0f);
    return WithAlpha(Mix(mortar, Mix(dark, stone, 0.6f + 0.4f * bevel), std::clamp((edge - 1.5f) / 1.5f, 0.0f, 1.0f)), 1);
  });
  height->Shade([&](float x, float y, Color) {
    int cell = 0;
    const float h = std::clamp(BondEdge(x, y, 128, 64, 64, &cell) / 8.0f, 0.0f, 1.0f) * 0.9f +
                    0.1f * FractalNoise(x / 12, y / 12, 67, 3, 0);
    return Color{h, h, h, 1};
  });
}

// Queues a surface's colour and its normal map beside the map meshes.
bool AddSurface(CArtContext& context, const char* file, void (*draw)(const CPalette&, CCanvas*, CCanvas*),
                std::string* error)
{
  CCanvas colour(kTextureSize, kTextureSize), height(kTextureSize, kTextureSize);
  draw(context.palette, &colour, &height);
  const std::string name = std::string("game/map/") + file;
  const std::string normal = name.substr(0, name.size() - 4) + ".normal.png";
  return context.AddPng(name, colour, error) &&
         context.AddPng(normal, HeightToNormalMap(height, 4, kNormalMapFlat), error);
}

}  // namespace

// Every stage source there is; stages without one are left to later content.
bool GenerateStages(CArtContext& context, std::string* error)
{
  void (*const painters[4])(const CPalette&, CCanvas*, CCanvas*) = {DrawStoneFloor, DrawBrickWall, DrawWoodFloor,
                                                                     DrawTrimStone};
  for (int i = 0; i < 4; ++i) {
    if (!AddSurface(context, kStageMaterialTextures[i], painters[i], error)) return false;
  }
  for (int n = 1; n <= 8; ++n) {
    const std::string source = context.contentDir + "/stages/stage" + std::to_string(n) + ".txt";
    std::ifstream file(source, std::ios::binary);
    if (!file) continue;
    std::stringstream text;
    text << file.rdbuf();
    StageGeometry geometry;
    if (!BuildStageGeometry(text.str(), source, &geometry, error)) return false;
    const std::string number = std::to_string(n);
    const std::string stageFile = StageFileText(geometry.actors);
    context.AddFile("dat/map." + number + ".dat", std::vector<uint8_t>(stageFile.begin(), stageFile.end()));
    if (!context.AddMesh("game/map/map." + number + ".x", geometry.map, error) ||
        !context.AddMesh("game/map/depth_map." + number + ".x", geometry.depthMap, error)) {
      return false;
    }
  }
  return true;
}

}  // namespace contentgen
