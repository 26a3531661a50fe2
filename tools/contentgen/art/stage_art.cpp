// The stages: for every content/stages/stageN.txt, res/game/map/map.N.x (drawn and
// collided with), depth_map.N.x (the shadow pass) and res/dat/map.N.dat (the stage
// file); and the tower's surfaces the map meshes share, each with its normal map:
// stone flags, brick, wooden boards, dark trim stone, riveted metal plates, veined
// marble and glazed floor tiles.
#include "art/stage_art.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "art/art_context.h"
#include "stage/stage_geometry.h"
#include "stage/stage_sky.h"
#include "image/canvas.h"
#include "image/image_writers.h"
#include "image/noise.h"

namespace contentgen {

// The mesh and stage types of the stage builder, used here as our own.
using namespace stagebuild;

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

// The relief of a bonded surface: blocks w x h, every other row shifted, the joints
// sunk to `sink` pixels from the edge, the faces roughened by three octaves of noise.
struct BondRelief {
  float w, h, shift;
  float sink;
  float joint, rough;  // weights of the joint depth and of the noise
  float noiseScale;
  uint32_t seed;
  int period;
};

// Writes the relief as a grey height map.
void ShadeBondHeight(CCanvas* height, const BondRelief& relief)
{
  height->Shade([&](float x, float y, Color) {
    int cell = 0;
    const float edge = BondEdge(x, y, relief.w, relief.h, relief.shift, &cell);
    const float h =
        std::clamp(edge / relief.sink, 0.0f, 1.0f) * relief.joint +
        relief.rough * FractalNoise(x / relief.noiseScale, y / relief.noiseScale, relief.seed, 3, relief.period);
    return Color{h, h, h, 1};
  });
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
  ShadeBondHeight(height, BondRelief{64, 64, 32, 5.0f, 0.8f, 0.2f, 16, 37, 16});
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
  ShadeBondHeight(height, BondRelief{64, 32, 32, 5.0f, 0.85f, 0.15f, 10, 43, 0});
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
    return WithAlpha(Mix(mortar, Mix(dark, stone, 0.6f + 0.4f * bevel), std::clamp((edge - 1.5f) / 1.5f, 0.0f, 1.0f)),
                     1);
  });
  ShadeBondHeight(height, BondRelief{128, 64, 64, 8.0f, 0.9f, 0.1f, 12, 67, 0});
}

// Riveted plates two units square, brushed along u, with a rivet near each corner.
void DrawMetalPlate(const CPalette& palette, CCanvas* colour, CCanvas* height)
{
  const Color light = palette.Get("metal"), dark = palette.Get("metal_dark");
  // Distance to the plate's edge, and to its nearest rivet.
  auto plate = [](float x, float y, float* edge, float* rivet) {
    const float cx = std::fmod(x, 128.0f), cy = std::fmod(y, 128.0f);
    *edge = std::min(std::min(cx, 128.0f - cx), std::min(cy, 128.0f - cy));
    const float rx = std::min(std::fabs(cx - 10.0f), std::fabs(cx - 118.0f));
    const float ry = std::min(std::fabs(cy - 10.0f), std::fabs(cy - 118.0f));
    *rivet = std::sqrt(rx * rx + ry * ry);
  };
  colour->Shade([&](float x, float y, Color) {
    float edge = 0, rivet = 0;
    plate(x, y, &edge, &rivet);
    const float brushed = FractalNoise(x / 64.0f, y / 2.0f, 71, 3, 4);
    Color metal = Mix(light, dark, 0.15f + 0.35f * brushed);
    metal = Mix(dark, metal, std::clamp((edge - 1.5f) / 2.0f, 0.0f, 1.0f));
    if (rivet < 4.5f) metal = Mix(light, dark, rivet / 6.0f);
    return WithAlpha(metal, 1);
  });
  height->Shade([&](float x, float y, Color) {
    float edge = 0, rivet = 0;
    plate(x, y, &edge, &rivet);
    float h = 0.6f + 0.4f * std::clamp(edge / 4.0f, 0.0f, 1.0f);
    if (rivet < 4.5f) h = 1.0f - 0.3f * rivet / 4.5f;
    return Color{h, h, h, 1};
  });
}

// Pale marble slabs two units square with soft grey veins running across them.
void DrawMarble(const CPalette& palette, CCanvas* colour, CCanvas* height)
{
  const Color light = palette.Get("marble_light"), vein = palette.Get("marble_vein"), mortar = palette.Get("stone_mid");
  auto veins = [](float x, float y) {
    const float warp = FractalNoise(x / 64.0f, y / 64.0f, 83, 4, 4) * 9.0f;
    return std::pow(std::fabs(std::sin((x + y) * 0.0245f + warp)), 12.0f);
  };
  colour->Shade([&](float x, float y, Color) {
    int cell = 0;
    const float edge = BondEdge(x, y, 128, 128, 0, &cell);
    const float cloud = FractalNoise(x / 32.0f, y / 32.0f, 89 + cell % 3, 4, 8);
    const Color stone = Mix(Mix(light, vein, 0.12f * cloud), vein, 0.55f * veins(x, y));
    return WithAlpha(Mix(mortar, stone, std::clamp((edge - 0.8f) / 1.0f, 0.0f, 1.0f)), 1);
  });
  height->Shade([&](float x, float y, Color) {
    int cell = 0;
    const float h = 0.7f + 0.3f * std::clamp(BondEdge(x, y, 128, 128, 0, &cell) / 2.0f, 0.0f, 1.0f);
    return Color{h, h, h, 1};
  });
}

// Glazed clay tiles half a unit square, two tones in a chequer, each a little mottled.
void DrawFloorTile(const CPalette& palette, CCanvas* colour, CCanvas* height)
{
  const Color light = palette.Get("tile_light"), dark = palette.Get("tile_dark"), grout = palette.Get("mortar");
  colour->Shade([&](float x, float y, Color) {
    int cell = 0;
    const float edge = BondEdge(x, y, 32, 32, 0, &cell);
    const int row = static_cast<int>(y / 32), column = static_cast<int>(x / 32);
    const float n = FractalNoise(x / 16.0f, y / 16.0f, 97, 3, 16);
    const Color tile = Mix((row + column) % 2 ? light : dark, light, 0.25f * n);
    return WithAlpha(Mix(grout, tile, std::clamp((edge - 1.0f) / 1.2f, 0.0f, 1.0f)), 1);
  });
  height->Shade([&](float x, float y, Color) {
    int cell = 0;
    const float h = std::clamp(BondEdge(x, y, 32, 32, 0, &cell) / 3.0f, 0.0f, 1.0f);
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

// The palette's colour as the stage builder takes it.
Rgba PaletteRgba(const CPalette& palette, const char* name)
{
  const Color c = palette.Get(name);
  return {c.r, c.g, c.b, c.a};
}

}  // namespace

// Every stage source there is; stages without one are left to later content.
bool GenerateStages(CArtContext& context, std::string* error)
{
  void (*const painters[kStageMaterialCount])(const CPalette&, CCanvas*, CCanvas*) = {
      DrawStoneFloor, DrawBrickWall, DrawWoodFloor, DrawTrimStone, DrawMetalPlate, DrawMarble, DrawFloorTile};
  for (int i = 0; i < kStageMaterialCount; ++i) {
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
    const StageSky sky = {PaletteRgba(context.palette, "sky_horizon"), PaletteRgba(context.palette, "sky_high"),
                          PaletteRgba(context.palette, "sky_zenith")};
    ColourStageSky(sky, &geometry.map);
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
