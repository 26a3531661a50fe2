// CSceneReplay: playback of a stage attempt tick by tick.
#include "replay/scene_replay.h"

#include "actor/actor_base.h"
#include "app/application.h"
#include "app/input.h"
#include "app/settings.h"
#include "replay/stage_attempt.h"
#include "scene/scene_game.h"
#include "sprite/sprite_font.h"
#include "win32_comforts.h"

#include <cstdio>
#include <cstring>

namespace {
const std::string sceneReplayName = "CSceneReplay";
// How long the last picture stays before the title returns: two seconds.
const int framesShownAtEnd = 125;
}  // namespace

// Positions are compared as bits: a replay either ends where it ended or it does not.
bool ReplayOutcome::Matches(const ReplayHeader& header, int recordedTicks) const
{
  return !stageEndedEarly && ticksPlayed == recordedTicks && clearTick == header.clearTick &&
         std::memcmp(position, header.endPosition, sizeof position) == 0;
}

// Nothing runs until Init.
CSceneReplay::CSceneReplay(ReplayFile played, bool verify) : replay(std::move(played)), verifying(verify)
{
}

CSceneReplay::~CSceneReplay() = default;

const std::string& CSceneReplay::GetName() const
{
  return sceneReplayName;
}

// The stage is the recorded one, begun as the recording began.
void CSceneReplay::Init()
{
  CApplication* application = CApplication::GetInstance();
  savedStageNumber = application->stageNumber;
  application->stageNumber = replay.header.stage;
  application->saveWritesHeld = true;
  savedMagicToggle = RunSettings().magicToggle;
  RunSettings().magicToggle = replay.header.magicToggle;
  Win32HoldCursor(true);
  PlayNextAttemptWithSeed(replay.header.seed);
  stage = std::make_shared<CSceneGame>();
  stage->Init();
  application->fadeAlpha = replay.header.startFade;
  fadeAfterLastTick = replay.header.startFade;
  if (!verifying) font = std::make_unique<CSpriteFont>();
}

// The player's own stage number, magic setting and save come back.
void CSceneReplay::Uninit(std::shared_ptr<CSceneBase> incoming)
{
  if (!stage) return;
  stage->Uninit(incoming);
  stage.reset();
  CApplication* application = CApplication::GetInstance();
  application->stageNumber = savedStageNumber;
  application->saveWritesHeld = false;
  RunSettings().magicToggle = savedMagicToggle;
  Win32HoldCursor(false);
}

// The fade follows the ticks, not the frames: after a paused frame it is put back where
// the last tick left it, and between ticks of one frame it takes the step the loop
// would have taken.
std::shared_ptr<CSceneBase> CSceneReplay::Update()
{
  const std::shared_ptr<CSceneBase> self = shared_from_this();
  if (!stage) return self;
  if (!verifying && ReadControls()) return CreateSceneByName("CSceneTitle");
  if (Finished()) {
    if (verifying || ++framesSinceEnd >= framesShownAtEnd) return CreateSceneByName("CSceneTitle");
    return self;
  }
  CApplication* application = CApplication::GetInstance();
  application->fadeAlpha = fadeAfterLastTick;
  const int ticks = (paused && !verifying) ? 0 : (verifying ? 1 : speed);
  for (int i = 0; i < ticks && !Finished(); ++i) {
    if (i > 0) application->StepFade();
    RunTick();
  }
  const int shown = application->fadeAlpha;
  application->StepFade();
  fadeAfterLastTick = application->fadeAlpha;
  application->fadeAlpha = shown;
  return self;
}

// The recorded input, the update, and what the tick changed.
void CSceneReplay::RunTick()
{
  ApplyTickInput(replay.ticks[nextTick]);
  const std::shared_ptr<CSceneBase> next = stage->Update();
  ++nextTick;
  outcome.ticksPlayed = static_cast<int>(nextTick);
  if (stage->goalReached && outcome.clearTick < 0) outcome.clearTick = stage->StageTicks();
  PlayerPosition(*stage, outcome.position);
  if (next != stage && nextTick < replay.ticks.size()) outcome.stageEndedEarly = true;
}

// Each key is asked once a frame, as TriggerKey wants.
bool CSceneReplay::ReadControls()
{
  const bool escape = TriggerKey(VK_ESCAPE);
  if (TriggerKey(VK_SPACE)) paused = !paused;
  if (TriggerKey(VK_TAB)) speed = speed >= 4 ? 1 : speed * 2;
  return escape;
}

// Over once the last tick ran or the stage asked for another scene before it.
bool CSceneReplay::Finished() const
{
  return nextTick >= replay.ticks.size() || outcome.stageEndedEarly;
}

// The stage draws itself.
void CSceneReplay::Draw()
{
  if (stage) stage->Draw();
}

// The stage's sprites, then the line on top at the bottom left.
void CSceneReplay::DrawSprite()
{
  if (!stage) return;
  stage->DrawSprite();
  if (font && font->IsLoaded()) font->Draw(StatusLine(), 24.0f, 672.0f, 0.6f, 0xFFFFFFFF);
}

bool CSceneReplay::DrawsWholeScreen() const
{
  return stage && stage->DrawsWholeScreen();
}

// "REPLAY  stage 3  12.3 s  x2", PAUSED or END in place of the speed.
std::string CSceneReplay::StatusLine() const
{
  char line[96];
  const double seconds = static_cast<double>(nextTick) * 0.016;
  const char* state = Finished() ? "END" : paused ? "PAUSED" : speed == 4 ? "x4" : speed == 2 ? "x2" : "x1";
  std::snprintf(line, sizeof line, "REPLAY  stage %d  %.1f s  %s   Space pause  Tab speed  Esc title",
                replay.header.stage, seconds, state);
  return line;
}
