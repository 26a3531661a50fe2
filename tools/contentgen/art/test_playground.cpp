// The gimmick playground under res/test/gimmicks/: a stage built from its own source
// (content/test/gimmick_playground.txt) the way the real stages are, so routes can try
// every gimmick on one small floor: map.x, depth_map.x and the stage file map.dat.
#include <fstream>
#include <sstream>

#include "art/art_context.h"
#include "art/stage_geometry.h"

namespace contentgen {

// The source is required: the routes that use the playground cannot run without it.
bool GenerateGimmickPlayground(CArtContext& context, std::string* error)
{
  const std::string source = context.contentDir + "/test/gimmick_playground.txt";
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
  context.AddFile("test/gimmicks/map.dat", std::vector<uint8_t>(stageFile.begin(), stageFile.end()));
  return context.AddMesh("test/gimmicks/map.x", geometry.map, error) &&
         context.AddMesh("test/gimmicks/depth_map.x", geometry.depthMap, error);
}

// Only materials with a surface picture change; the depth map has none.
void UseGameMapSurfaces(CMeshData* map)
{
  for (Material& material : map->materials) {
    if (!material.textureFile.empty()) material.textureFile = "../../game/map/" + material.textureFile;
  }
}

}  // namespace contentgen
