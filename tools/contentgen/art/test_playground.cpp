// Test stages built from their own sources under content/test/ the way the real stages
// are: map.x, depth_map.x and the stage file map.dat in a folder of res/test/. The
// gimmick playground (res/test/gimmicks/) lets routes try every gimmick on one small
// floor; the ending hall (res/test/ending/) is a short walk to the final orb, so the
// ending's routes do not depend on solving the real top floor.
#include <fstream>
#include <sstream>

#include "art/art_context.h"
#include "stage/stage_geometry.h"

namespace contentgen {

// The mesh and stage types of the stage builder, used here as our own.
using namespace stagebuild;

namespace {

// One test stage from content/test/SOURCE into res/test/FOLDER/. The source is
// required: the routes that use the stage cannot run without it.
bool GenerateTestStage(CArtContext& context, const std::string& sourceName, const std::string& folder,
                       std::string* error)
{
  const std::string source = context.contentDir + "/test/" + sourceName;
  std::ifstream file(source, std::ios::binary);
  if (!file) {
    *error = source + ": cannot be read";
    return false;
  }
  std::stringstream text;
  text << file.rdbuf();
  StageGeometry geometry;
  if (!BuildStageGeometry(text.str(), source, &geometry, error)) return false;
  UseGameMapSurfaces(&geometry.map);
  const std::string stageFile = StageFileText(geometry.actors);
  context.AddFile(folder + "/map.dat", std::vector<uint8_t>(stageFile.begin(), stageFile.end()));
  return context.AddMesh(folder + "/map.x", geometry.map, error) &&
         context.AddMesh(folder + "/depth_map.x", geometry.depthMap, error);
}

}  // namespace

// The playground and the ending hall.
bool GenerateTestStages(CArtContext& context, std::string* error)
{
  return GenerateTestStage(context, "gimmick_playground.txt", "test/gimmicks", error) &&
         GenerateTestStage(context, "ending_hall.txt", "test/ending", error);
}

// Only materials with a surface picture change; the depth map has none.
void UseGameMapSurfaces(CMeshData* map)
{
  for (Material& material : map->materials) {
    if (!material.textureFile.empty()) material.textureFile = "../../game/map/" + material.textureFile;
  }
}

}  // namespace contentgen
