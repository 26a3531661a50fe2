// Live edits of a stage played from its source (solverica --stage FILE --watch): the
// main loop asks a few times a second whether the file was saved since the last build;
// a save that builds restarts the scene on the new stage with the player's place (when
// it is still standing room) and the camera's direction carried over, one that does not
// keeps the running stage and leaves the checker's report for the on-screen band.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

#include "stage/stage_geometry.h"

class CSceneBase;
class CSceneGame;

// What tells one version of a file from another: a save by rename changes the inode,
// one by truncating and writing the time and usually the size.
struct FileStamp {
  bool exists = false;
  ino_t inode = 0;
  off_t size = 0;
  long long modifiedNanoseconds = 0;  // since the epoch
  bool operator==(const FileStamp& other) const;
  bool operator!=(const FileStamp& other) const { return !(*this == other); }
};

// The file's stamp now; `exists` false when it cannot be read (between an editor's
// removal and its write, say).
FileStamp StampOf(const std::string& path);

// Notices changes of one file by its stamp, looking at most once per interval.
class CFileChangeWatch {
public:
  CFileChangeWatch(std::string path, unsigned intervalMilliseconds);
  // True once for each new version of the file seen at a look due at `now`
  // (milliseconds on any clock); a missing file is no new version.
  bool Changed(unsigned now);
  // The stamp of the version last reported (or the one there at the start).
  const FileStamp& Seen() const { return seen; }

private:
  std::string path;
  unsigned interval;
  unsigned lastLook = 0;
  bool looked = false;
  FileStamp seen;
};

// True when the feet at (x, y, z) stand on a solid (its top at most 3 below, not above
// the feet) and no solid fills the body's room: a square `halfWidth` round the feet,
// from a little above them to `height`.
bool IsStandingRoom(const std::vector<stagebuild::StageSolid>& solids, float x, float y, float z,
                    float halfWidth = 0.3f, float height = 2.0f);

// Watches the built source stage's file from now on.
void StartStageWatch();
// Whether --watch is on.
bool StageWatchActive();
// Called by the main loop between frames (never from an update, which reads no clock):
// at most five times a second, looks at the file and builds a new version of it. A
// failed build is reported once on standard error and its report kept for the band.
void LookAtWatchedStage();
// Called first in the game scene's update: after a save that built, the scene to run
// instead (the same stage rebuilt), otherwise null.
std::shared_ptr<CSceneBase> ReloadWatchedStage(CSceneGame& running);
// Called at the end of the game scene's Init: the band's sprite, and after a reload
// the player's place and the camera's direction, with no opening flight.
void StageWatchSceneBegins(CSceneGame& scene);
// The report of the last save that did not build, empty once a save builds.
const std::string& StageWatchError();
// The band's lines: the report's error lines, the folder left out of the file's name.
std::vector<std::string> StageWatchBandLines();
// The first time a reloaded stage is drawn, says on standard error how long after the
// save that was.
void NoteStageWatchDrawn();
// Stops watching (the end of the run, or of a test).
void StopStageWatch();
