// Building a player's stage source for this run. Pictures are named from the built
// meshes' folder back to res/game/map/, as the engine finds a mesh's textures beside it.
#include "app/source_stage.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "mesh/xfile_writer.h"
#include "stage/stage_checker.h"
#include "stage/stage_sky.h"

namespace {

SourceStage g_sourceStage;
std::chrono::steady_clock::time_point g_programStart = std::chrono::steady_clock::now();
bool g_drawnNoted = false;

// Milliseconds since a moment.
double MillisecondsSince(std::chrono::steady_clock::time_point start)
{
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// A whole file written, or false.
bool WriteWhole(const std::string& path, const std::string& bytes)
{
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  return static_cast<bool>(file);
}

// Every textured material names its picture in res/game/map/ from the mesh's folder.
void PointTexturesAtRes(const std::string& folder, stagebuild::CMeshData* mesh)
{
  std::error_code failed;
  const std::filesystem::path maps = std::filesystem::absolute("res/game/map", failed);
  const std::string relative = std::filesystem::relative(maps, folder, failed).generic_string();
  for (stagebuild::Material& material : mesh->materials) {
    if (!material.textureFile.empty()) material.textureFile = relative + "/" + material.textureFile;
  }
}

// The map, the depth mesh and the stage file into the folder.
bool WriteBuiltStage(stagebuild::StageGeometry& geometry, std::string* report)
{
  SourceStage& stage = g_sourceStage;
  stagebuild::ColourStageSky(stagebuild::DefaultStageSky(), &geometry.map);
  PointTexturesAtRes(stage.folder, &geometry.map);
  stage.mapMesh = stage.folder + "/map.x";
  stage.depthMesh = stage.folder + "/depth_map.x";
  stage.stageFile = stage.folder + "/map.dat";
  std::string map, depth, error;
  if (!stagebuild::FormatXFile(geometry.map, stage.mapMesh, &map, &error) ||
      !stagebuild::FormatXFile(geometry.depthMap, stage.depthMesh, &depth, &error)) {
    *report = error + "\n";
    return false;
  }
  if (!WriteWhole(stage.mapMesh, map) || !WriteWhole(stage.depthMesh, depth) ||
      !WriteWhole(stage.stageFile, stagebuild::StageFileText(geometry.actors))) {
    *report = stage.folder + ": cannot write the built stage\n";
    return false;
  }
  return true;
}

}  // namespace

const SourceStage& CurrentSourceStage()
{
  return g_sourceStage;
}

int SourceStageNumber()
{
  return g_sourceStage.magic == stagebuild::kStageMagicNone ? 1 : 2;
}

// Read, check (warnings are shown but do not stop the play), build, write.
bool BuildSourceStage(const std::string& sourcePath, std::string* report)
{
  const auto start = std::chrono::steady_clock::now();
  std::string text;
  if (!stagebuild::ReadStageSource(sourcePath, &text, report)) {
    *report += "\n";
    return false;
  }
  stagebuild::StageGeometry geometry;
  const stagebuild::StageCheckResult check = stagebuild::CheckStageSource(text, &geometry);
  if (check.errors > 0 || check.warnings > 0) *report = stagebuild::FormatStageCheck(sourcePath, check);
  if (check.errors > 0) return false;
  std::string pattern = (std::filesystem::temp_directory_path() / "solverica-stage-XXXXXX").string();
  if (!mkdtemp(pattern.data())) {
    *report += pattern + ": cannot make a folder for the built stage\n";
    return false;
  }
  g_sourceStage.folder = pattern;
  g_sourceStage.sourcePath = sourcePath;
  g_sourceStage.magic = geometry.magic;
  g_sourceStage.solids = geometry.solids;
  if (!WriteBuiltStage(geometry, report)) {
    RemoveSourceStage();
    return false;
  }
  g_sourceStage.active = true;
  g_sourceStage.buildMilliseconds = MillisecondsSince(start);
  return true;
}

// The running stage's record is put back whole when the new build fails.
bool RebuildSourceStage(std::string* report)
{
  const SourceStage previous = g_sourceStage;
  if (!BuildSourceStage(previous.sourcePath, report)) {
    g_sourceStage = previous;
    return false;
  }
  std::error_code ignored;
  std::filesystem::remove_all(previous.folder, ignored);
  return true;
}

void RemoveSourceStage()
{
  if (g_sourceStage.folder.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(g_sourceStage.folder, ignored);
  g_sourceStage = SourceStage();
}

void NoteSourceStageDrawn()
{
  if (!g_sourceStage.active || g_drawnNoted) return;
  g_drawnNoted = true;
  std::fprintf(stderr, "solverica: %s built in %.0f ms, first drawn %.0f ms after start\n",
               g_sourceStage.sourcePath.c_str(), g_sourceStage.buildMilliseconds, MillisecondsSince(g_programStart));
}

void MarkProgramStart()
{
  g_programStart = std::chrono::steady_clock::now();
}
