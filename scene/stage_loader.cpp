// The actor factory and LoadStage, the game scene's own step; the factory stands apart
// so that gimmicks queued during play use the same table. The file itself is read in
// stage_file.cpp.
#include "scene/stage_loader.h"

#include <cstdio>

#include "actor/actor_base.h"
#include "actor/game_map.h"
#include "actor/gimmick/game_button.h"
#include "actor/gimmick/game_cannon.h"
#include "actor/gimmick/game_crack_wall.h"
#include "actor/gimmick/game_door.h"
#include "actor/gimmick/game_drop_water_point.h"
#include "actor/gimmick/game_goal.h"
#include "actor/gimmick/game_liver.h"
#include "actor/gimmick/game_magic_orb.h"
#include "actor/gimmick/game_metal_block.h"
#include "actor/gimmick/game_metal_lift.h"
#include "actor/gimmick/game_popping_fist.h"
#include "actor/gimmick/game_rotation_door.h"
#include "actor/gimmick/game_torch.h"
#include "actor/gimmick/game_wood_lift.h"
#include "app/application.h"
#include "app/source_stage.h"
#include "engine/asset_report.h"
#include "scene/scene_game.h"
#include "windows.h"

namespace {

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
    {"CGameMetalBlock", Construct<CGameMetalBlock>},
    {"CGameLiver", Construct<CGameLiver>},
    {"CGameWoodLift", Construct<CGameWoodLift>},
    {"CGameTorch", Construct<CGameTorch>},
    {"CGameGoal", Construct<CGameGoal>},
    {"CGameButton", Construct<CGameButton>},
    {"CGameDoor", Construct<CGameDoor>},
    {"CGameRotationDoor", Construct<CGameRotationDoor>},
    {"CGameMetalLift", Construct<CGameMetalLift>},
    {"CGamePoppingFist", Construct<CGamePoppingFist>},
    {"CGameMagicOrb", Construct<CGameMagicOrb>},
    {"CGameCannon", Construct<CGameCannon>},
    {"CGameCrackWall", Construct<CGameCrackWall>},
    {"CGameDropWaterPoint", Construct<CGameDropWaterPoint>},
};

// True when the factory table knows the name (built yet or not).
bool IsKnownActorName(const std::string& name)
{
  for (const ActorKind& kind : actorKinds) {
    if (name == kind.name) return true;
  }
  return false;
}

// The first entry a stage file's author cannot have meant: an unknown class name or an
// entry without its three coordinates. Empty when every entry reads whole.
std::string FirstDamagedEntry(const std::vector<StageEntry>& entries)
{
  for (size_t i = 0; i < entries.size(); ++i) {
    const std::string number = "entry " + std::to_string(i + 1);
    if (!IsKnownActorName(entries[i].name)) return number + " names no known class";
    if (entries[i].numbersRead < 3) return number + " lacks its position";
  }
  return "";
}

}  // namespace

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
// outside the game's stages has no stage file and is treated as a missing one.
void CSceneGame::LoadStage()
{
  actors.push_back(std::make_shared<CGameMap>());
  if (player) actors.push_back(player);
  if (camera) actors.push_back(camera);

  CApplication* application = CApplication::GetInstance();
  const int stage = application->stageNumber;
  FILE* file = nullptr;
  const bool fromSource = CurrentSourceStage().active;
  const std::string path = fromSource ? CurrentSourceStage().stageFile : StageFileName("res/dat/map.dat", stage);
  const bool stageExists = fromSource || (stage >= 1 && stage <= GameStageCount());
  if (stageExists) file = std::fopen(path.c_str(), "r");
  if (!file) {
    if (stageExists)
      OstrelLibrary::ReportUnusableAsset(path, "cannot be opened");
    else
      OstrelLibrary::ReportAssetFailure("stage " + std::to_string(stage), "no stage file for this number");
    MessageBoxA(application->window, "ファイルオープンに失敗しました", "失敗", MB_OK);
    nextScene = CreateSceneByName("CSceneTitle");
    return;
  }
  const std::vector<StageEntry> entries = ReadStageEntries(file);
  std::fclose(file);
  // Unknown names still create nothing, as before; the file is named for whoever edits it.
  const std::string damage = FirstDamagedEntry(entries);
  if (!damage.empty()) OstrelLibrary::ReportAssetFailure(path, damage);
  for (const StageEntry& entry : entries) CreateActorByName(entry.name, entry.world, actors);
}
