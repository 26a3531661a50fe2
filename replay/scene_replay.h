// CSceneReplay: a replay played back. It runs a stage (CSceneGame) inside itself and
// feeds each update the recorded input of its tick, with the attempt's seed, so the
// stage goes exactly as it went. In a window a line says it is a replay; Space pauses,
// Tab cycles x1, x2, x4, Escape leaves to the title, and the end returns there too.
// Verifying, it runs one tick per frame, reads no keys and stops at the last tick.
#pragma once

#include "replay/replay_file.h"
#include "scene/scene_base.h"

#include <memory>
#include <string>

class CSceneGame;
class CSpriteFont;

// How a played replay ended, beside how the recording said it would.
struct ReplayOutcome {
  int ticksPlayed = 0;
  int clearTick = -1;             // the stage clock at the goal, -1 when it was not reached
  float position[3] = {0, 0, 0};  // the player's feet after the last tick
  bool stageEndedEarly = false;   // the stage moved on before the recording ended
  // Whether it ended as recorded: every tick played, the same clear tick, and the same
  // place to the bit.
  bool Matches(const ReplayHeader& header, int recordedTicks) const;
};

class CSceneReplay : public CSceneBase {
public:
  CSceneReplay(ReplayFile replay, bool verifying);
  ~CSceneReplay() override;
  // "CSceneReplay".
  const std::string& GetName() const override;
  // The recorded stage starts with the recording's seed, fade and magic setting, the
  // cursor held.
  void Init() override;
  // The stage ends; the cursor, the stage number, the magic setting and the save go
  // back to the player.
  void Uninit(std::shared_ptr<CSceneBase> incoming) override;
  // The frame's ticks (none while paused); the title once it is over or left.
  std::shared_ptr<CSceneBase> Update() override;
  // The stage's 3D pass.
  void Draw() override;
  // The stage's 2D pass and the replay's line.
  void DrawSprite() override;
  bool DrawsWholeScreen() const override;

  // Whether every tick has run, or the stage moved on before.
  bool Finished() const;
  const ReplayOutcome& Outcome() const { return outcome; }
  const ReplayFile& Replay() const { return replay; }

private:
  // Runs the next recorded tick through the stage's update.
  void RunTick();
  // Space, Tab and Escape from the real keyboard; true when Escape asked to leave.
  bool ReadControls();
  // The replay's line: stage, tick, speed or pause.
  std::string StatusLine() const;

  ReplayFile replay;
  bool verifying;
  std::shared_ptr<CSceneGame> stage;
  std::unique_ptr<CSpriteFont> font;
  ReplayOutcome outcome;
  size_t nextTick = 0;
  int speed = 1;
  bool paused = false;
  int fadeAfterLastTick = -1;  // the fade as the last tick left it (pauses keep it)
  int framesSinceEnd = 0;
  int savedStageNumber = 1;
  bool savedMagicToggle = false;  // the player's own setting, back after the replay
};
