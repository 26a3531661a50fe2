// The stage file and the actor factory. LoadStage is the game scene's own step; the
// reading and the factory stand apart so that gimmicks queued during play use the same
// table.
#include "scene/stage_loader.h"

#include <cctype>
#include <cstdio>

#include "actor/actor_base.h"
#include "actor/game_map.h"
#include "actor/gimmick/game_goal.h"
#include "app/application.h"
#include "scene/scene_game.h"
#include "windows.h"

namespace {

// Longer class names do not fit the reader's 256-character buffer.
const size_t nameBufferSize = 256;

// A constructor from the factory table.
using ActorConstructor = std::shared_ptr<CActorBase> (*)(const D3DXMATRIX& world);

// Builds one gimmick class at the stage entry's matrix.
template <class T>
std::shared_ptr<CActorBase> Construct(const D3DXMATRIX& world)
{
  return std::make_shared<T>(world);
}

// The factory, compared in this order. A gimmick's constructor joins its row when its
// class lands; until then its name creates nothing, as an unknown name does.
struct ActorKind {
  const char* name;
  ActorConstructor construct;
};
const ActorKind actorKinds[] = {
    {"CGameMetalBlock", nullptr},   {"CGameLiver", nullptr},        {"CGameWoodLift", nullptr},
    {"CGameTorch", nullptr},        {"CGameGoal", Construct<CGameGoal>}, {"CGameButton", nullptr},
    {"CGameDoor", nullptr},         {"CGameRotationDoor", nullptr}, {"CGameMetalLift", nullptr},
    {"CGamePoppingFist", nullptr},  {"CGameMagicOrb", nullptr},     {"CGameCannon", nullptr},
    {"CGameCrackWall", nullptr},    {"CGameDropWaterPoint", nullptr},
};

// The next white-space separated token, whatever its length; false at the end of the file.
bool ReadToken(FILE* file, std::string* token)
{
  token->clear();
  int c = std::fgetc(file);
  while (c != EOF && std::isspace(c)) c = std::fgetc(file);
  while (c != EOF && !std::isspace(c)) {
    token->push_back(static_cast<char>(c));
    c = std::fgetc(file);
  }
  if (c != EOF) std::ungetc(c, file);
  return !token->empty();
}

}  // namespace

// "%d" into two characters keeps one digit; the dot is searched from the end.
std::string StageFileName(const std::string& basePath, int stageNumber)
{
  char digit[2] = {};
  std::snprintf(digit, sizeof digit, "%d", stageNumber);
  const size_t dot = basePath.rfind('.');
  if (dot == std::string::npos) return "";
  std::string name = basePath;
  name.insert(dot, std::string(".") + digit);
  return name;
}

// The end of the file is tested before each entry; a name that cannot be read ends it.
std::vector<StageEntry> ReadStageEntries(FILE* file)
{
  std::vector<StageEntry> entries;
  std::string name;
  while (!std::feof(file)) {
    StageEntry entry;
    D3DXMatrixIdentity(&entry.world);
    if (!ReadToken(file, &name)) break;
    // Numbers that are not there stay 0; the text after them is read as the next entry.
    if (std::fscanf(file, "%f", &entry.world._41) == 1 && std::fscanf(file, "%f", &entry.world._42) == 1) {
      std::fscanf(file, "%f", &entry.world._43);
    }
    if (name.size() >= nameBufferSize) continue;
    entry.name = name;
    entries.push_back(entry);
  }
  return entries;
}

// Exact, case-sensitive comparisons in table order; the first match is built.
void CreateActorByName(const std::string& name, const D3DXMATRIX& world,
                       std::vector<std::shared_ptr<CActorBase>>& actors)
{
  for (const ActorKind& kind : actorKinds) {
    if (name != kind.name) continue;
    if (kind.construct) actors.push_back(kind.construct(world));
    return;
  }
}

// Map, player and camera first, then the file's gimmicks in file order. A stage number
// outside 1 to 8 (an edited save file) has no stage file and is treated as a missing one.
void CSceneGame::LoadStage()
{
  actors.push_back(std::make_shared<CGameMap>());
  if (player) actors.push_back(player);
  if (camera) actors.push_back(camera);

  CApplication* application = CApplication::GetInstance();
  const int stage = application->stageNumber;
  FILE* file = nullptr;
  if (stage >= 1 && stage <= 8) file = std::fopen(StageFileName("res/dat/map.dat", stage).c_str(), "r");
  if (!file) {
    MessageBoxA(application->window, "ファイルオープンに失敗しました", "失敗", MB_OK);
    nextScene = CreateSceneByName("CSceneTitle");
    return;
  }
  const std::vector<StageEntry> entries = ReadStageEntries(file);
  std::fclose(file);
  for (const StageEntry& entry : entries) CreateActorByName(entry.name, entry.world, actors);
}
