// What every art generator gets: the palette, the font, and the queue of files for
// res/. Files are only queued while generating; WriteQueued writes them once every
// generator has succeeded, so a broken source leaves res/ as it was.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "art/palette.h"
#include "image/canvas.h"
#include "image/font.h"
#include "mesh/mesh.h"

namespace contentgen {

// The mesh and stage types of the stage builder, used here as our own.
using namespace stagebuild;

class CArtContext {
public:
  CPalette palette;
  CFont font;
  std::string resDir;
  std::string contentDir;  // sources the generators read beyond the palette

  // Path of a file under res/ (for messages).
  std::string Res(const std::string& relative) const { return resDir + "/" + relative; }
  // Queues bytes for res/relative.
  void AddFile(const std::string& relative, std::vector<uint8_t> bytes);
  // Encodes and queues a PNG; false with a message naming the file if encoding fails.
  bool AddPng(const std::string& relative, const CCanvas& canvas, std::string* error);
  // Formats and queues a .x mesh; false with a message naming the file when the mesh is refused.
  bool AddMesh(const std::string& relative, const CMeshData& mesh, std::string* error);
  // Writes every queued file atomically (unchanged files are left alone).
  bool WriteQueued(std::string* error);
  size_t QueuedCount() const { return queued.size(); }

private:
  std::map<std::string, std::vector<uint8_t>> queued;
};

// The generators, one per area of res/.
bool GenerateShaderArt(CArtContext& context, std::string* error);
bool GenerateIcon(CArtContext& context, std::string* error);
bool GeneratePlayer(CArtContext& context, std::string* error);
bool GenerateTestTree(CArtContext& context, std::string* error);
// The colour symbols: HUD pictures, hit glow tiles and the rotation door's marks.
bool GenerateSymbolArt(CArtContext& context, std::string* error);
// The test stages: the gimmick playground under res/test/gimmicks/ and the ending hall
// under res/test/ending/ (test_playground.cpp).
bool GenerateTestStages(CArtContext& context, std::string* error);
// A test stage's map lives under res/test/, two folders below the stage surfaces in
// res/game/map/: its materials name them by that relative path.
void UseGameMapSurfaces(CMeshData* map);

}  // namespace contentgen
