// Watching a played stage source: the file's stamp looked at five times a second from
// the main loop between frames (no thread, no busy loop, no clock in an update), the
// rebuild through the one stage builder (RebuildSourceStage), and what a reloaded scene
// carries over.
#include "app/stage_watch.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "actor/game_camera.h"
#include "actor/player/game_player.h"
#include "app/application.h"
#include "app/source_stage.h"
#include "engine/graphics.h"
#include "scene/scene_game.h"
#include "sprite/sprite_stage_error.h"
#include "windows.h"

namespace {

const unsigned kLookInterval = 200;  // milliseconds between looks at the file

// What a reload takes from the scene it replaces.
struct Carried {
  bool pending = false;
  D3DXVECTOR3 feet{0.0f, 0.0f, 0.0f};
  float bodyYaw = 0.0f;
  float cameraYaw = 0.0f, cameraPitch = 0.0f;
  std::string oldFolder;           // the previous build's meshes leave the cache
  long long savedNanoseconds = 0;  // the save's time, for the reload figure
  bool drawnNoted = true;          // the figure is said once per reload
};

struct Watch {
  CFileChangeWatch files;
  std::string error;
  Carried carried;
  bool reloadReady = false;  // a save was built; the scene takes it at its next update
};

std::unique_ptr<Watch> g_watch;

// Nanoseconds since the epoch now, on the clock file times are kept in.
long long NowNanoseconds()
{
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// The feet, the body's turn and the camera of the scene about to be replaced.
Carried CarryFrom(const CSceneGame& running)
{
  Carried carried;
  carried.pending = true;
  carried.drawnNoted = false;
  if (const CGamePlayer* player = dynamic_cast<const CGamePlayer*>(running.player.get())) {
    carried.feet = D3DXVECTOR3(player->position._41, player->position._42, player->position._43);
    carried.bodyYaw = player->angles.y;
  }
  if (const CGameCamera* camera = dynamic_cast<const CGameCamera*>(running.camera.get())) {
    carried.cameraYaw = camera->yaw;
    carried.cameraPitch = camera->pitch;
  }
  return carried;
}

// The file's name without its folder.
std::string BaseName(const std::string& path)
{
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

// Equal stamps name the same version.
bool FileStamp::operator==(const FileStamp& other) const
{
  return exists == other.exists && inode == other.inode && size == other.size &&
         modifiedNanoseconds == other.modifiedNanoseconds;
}

// stat's inode, size and modification time to the nanosecond.
FileStamp StampOf(const std::string& path)
{
  FileStamp stamp;
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return stamp;
  stamp.exists = true;
  stamp.inode = info.st_ino;
  stamp.size = info.st_size;
  stamp.modifiedNanoseconds = static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec;
  return stamp;
}

// The version there now is the one already seen.
CFileChangeWatch::CFileChangeWatch(std::string path, unsigned intervalMilliseconds)
    : path(std::move(path)), interval(intervalMilliseconds), seen(StampOf(this->path))
{
}

// Unsigned differences keep the interval right across the clock's wrap.
bool CFileChangeWatch::Changed(unsigned now)
{
  if (looked && now - lastLook < interval) return false;
  looked = true;
  lastLook = now;
  const FileStamp stamp = StampOf(path);
  if (!stamp.exists || stamp == seen) return false;
  seen = stamp;
  return true;
}

// The floor is the highest top under the feet that is not above them.
bool IsStandingRoom(const std::vector<stagebuild::StageSolid>& solids, float x, float y, float z, float halfWidth,
                    float height)
{
  const float step = 0.25f;  // what the feet may stand below a top and still be on it
  bool floor = false;
  for (const stagebuild::StageSolid& solid : solids) {
    const bool under = x >= solid.lo.x && x <= solid.hi.x && z >= solid.lo.z && z <= solid.hi.z;
    if (under) {
      const float top = solid.TopAt(x, z);
      if (top <= y + step && top >= y - 3.0f) floor = true;
    }
    const bool beside = x + halfWidth > solid.lo.x && x - halfWidth < solid.hi.x && z + halfWidth > solid.lo.z &&
                        z - halfWidth < solid.hi.z;
    if (!beside) continue;
    const float cx = std::max(solid.lo.x, std::min(x, solid.hi.x));
    const float cz = std::max(solid.lo.z, std::min(z, solid.hi.z));
    if (solid.TopAt(cx, cz) > y + step && solid.lo.y < y + height) return false;
  }
  return floor;
}

void StartStageWatch()
{
  g_watch = std::make_unique<Watch>(Watch{CFileChangeWatch(CurrentSourceStage().sourcePath, kLookInterval), "", {}});
}

bool StageWatchActive()
{
  return g_watch != nullptr;
}

// The same report is said once, however many saves repeat it. The folder the running
// scene loaded from is the one let go after the reload, however many builds come first.
void LookAtWatchedStage()
{
  if (!g_watch || !g_watch->files.Changed(timeGetTime())) return;
  std::string report;
  const std::string oldFolder = CurrentSourceStage().folder;
  if (!RebuildSourceStage(&report)) {
    if (report.empty()) report = CurrentSourceStage().sourcePath + ": does not build\n";
    if (report != g_watch->error) std::fputs(report.c_str(), stderr);
    g_watch->error = report;
    return;
  }
  std::fputs(report.c_str(), stderr);  // warnings, if any
  g_watch->error.clear();
  if (!g_watch->reloadReady) g_watch->carried.oldFolder = oldFolder;
  g_watch->carried.savedNanoseconds = g_watch->files.Seen().modifiedNanoseconds;
  g_watch->reloadReady = true;
}

// The place and the view are taken as the running scene leaves them.
std::shared_ptr<CSceneBase> ReloadWatchedStage(CSceneGame& running)
{
  if (!g_watch || !g_watch->reloadReady) return nullptr;
  g_watch->reloadReady = false;
  Carried carried = CarryFrom(running);
  carried.oldFolder = g_watch->carried.oldFolder;
  carried.savedNanoseconds = g_watch->carried.savedNanoseconds;
  g_watch->carried = carried;
  CApplication::GetInstance()->stageNumber = SourceStageNumber();
  return std::make_shared<CSceneGame>();
}

// The carried place is kept only where the new stage still has room for the player.
void StageWatchSceneBegins(CSceneGame& scene)
{
  if (!g_watch) return;
  scene.sprites.push_back(std::make_shared<CSpriteStageError>());
  Carried& carried = g_watch->carried;
  if (!carried.pending) return;
  carried.pending = false;
  // The previous build's meshes and the pictures named through its folder.
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  graphics->ReleaseUnheldMeshes(carried.oldFolder + "/");
  graphics->ReleaseUnheldTextures(carried.oldFolder + "/");
  scene.cameraEvent = 0;
  CApplication* application = CApplication::GetInstance();
  application->fadeAlpha = 0;
  application->fadeOut = 0;
  if (CGameCamera* camera = dynamic_cast<CGameCamera*>(scene.camera.get())) {
    camera->yaw = carried.cameraYaw;
    camera->pitch = carried.cameraPitch;
  }
  CGamePlayer* player = dynamic_cast<CGamePlayer*>(scene.player.get());
  const D3DXVECTOR3& feet = carried.feet;
  if (player && IsStandingRoom(CurrentSourceStage().solids, feet.x, feet.y, feet.z)) {
    D3DXMatrixTranslation(&player->position, feet.x, feet.y, feet.z);
    player->angles.y = carried.bodyYaw;
  }
}

const std::string& StageWatchError()
{
  static const std::string none;
  return g_watch ? g_watch->error : none;
}

// Lines naming the file with its folder are shortened to the file's name; the count
// at the end is left out (the lines above it say it).
std::vector<std::string> StageWatchBandLines()
{
  std::vector<std::string> lines;
  const std::string& report = StageWatchError();
  const std::string path = CurrentSourceStage().sourcePath;
  const std::string name = BaseName(path);
  size_t start = 0;
  while (start < report.size()) {
    const size_t end = report.find('\n', start);
    std::string line = report.substr(start, end == std::string::npos ? std::string::npos : end - start);
    start = end == std::string::npos ? report.size() : end + 1;
    if (!path.empty() && line.rfind(path, 0) == 0) line = name + line.substr(path.size());
    const bool summary = line.find(" error, ") != std::string::npos || line.find(" errors, ") != std::string::npos;
    if (!line.empty() && !summary) lines.push_back(line);
  }
  return lines;
}

void NoteStageWatchDrawn()
{
  if (!g_watch || g_watch->carried.drawnNoted) return;
  Carried& carried = g_watch->carried;
  carried.drawnNoted = true;
  const double afterSave = static_cast<double>(NowNanoseconds() - carried.savedNanoseconds) / 1e6;
  std::fprintf(stderr, "solverica: %s reloaded: built in %.0f ms, first drawn %.0f ms after the save\n",
               CurrentSourceStage().sourcePath.c_str(), CurrentSourceStage().buildMilliseconds, afterSave);
}

void StopStageWatch()
{
  g_watch.reset();
}
