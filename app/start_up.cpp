// The run's start and end: flags first (so --help never reads or complains about a
// file), then the settings file, then the data folder; at the end, the exit status.
#include "app/start_up.h"

#include "app/application.h"
#include "app/command_line.h"
#include "app/settings.h"
#include "app/source_stage.h"
#include "app/stage_set.h"
#include "app/stage_watch.h"
#include "app/user_paths.h"
#include "stage/stage_checker.h"
#include "dsound.h"
#include "engine/sound.h"
#include "replay/replay_run.h"
#include "win32_comforts.h"

#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace {

// Runs from the folder that holds res/: the build folder, or the installed data
// folder, whose save file then lives under the user's data home.
void EnterDataFolder()
{
  bool installed = false;
  const std::string data = FindGameData(ExecutableDir(), &installed);
  if (data.empty() || chdir(data.c_str()) != 0) return;  // as before: res/ from the working folder
  if (!installed) return;
  const std::string save = InstalledSaveFilePath();
  MakeFolders(save.substr(0, save.rfind('/')));
  SetSaveFilePath(save);
}

// A relative path names a file from the folder the program was started in, which it
// leaves for the data folder.
std::string FromStartFolder(const std::string& path)
{
  if (path.empty() || path[0] == '/') return path;
  char here[4096];
  if (!getcwd(here, sizeof here)) return path;
  return std::string(here) + "/" + path;
}

// A replay is checked before the window opens: a file it cannot use ends the run with
// code 2. Verifying runs headless and silent; watching, the question is not asked.
// `file` is the replay's path from the data folder; messages name it as given.
bool PrepareReplayRun(const CommandLineResult& flags, const std::string& file, int* exitCode)
{
  ReplayFile replay;
  const std::string wrong = LoadReplayForPlay(file, &replay, flags.replayPath);
  if (!wrong.empty()) {
    std::fprintf(stderr, "solverica: %s\n", wrong.c_str());
    *exitCode = 2;
    return false;
  }
  PrepareReplay(flags.replayPath, replay, flags.verifyReplay);
  if (flags.verifyReplay) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("ALSOFT_DRIVERS", "null", 1);
    RunSettings().fullScreen = FullScreenChoice::No;
  } else if (!flags.overridesFullScreen) {
    RunSettings().fullScreen = FullScreenChoice::No;
  }
  return true;
}

}  // namespace

// Help and version go to standard output, a bad flag to standard error with code 2.
bool PrepareRun(int argc, const char* const* argv, int* exitCode)
{
  MarkProgramStart();
  const CommandLineResult flags = ParseCommandLine(argc > 0 ? argc - 1 : 0, argv + (argc > 0 ? 1 : 0));
  if (flags.action == CommandLineAction::CheckStage) {
    std::string report;
    *exitCode = stagebuild::CheckStageFile(flags.stageSource, &report);
    std::fputs(report.c_str(), *exitCode == stagebuild::kStageCheckUnreadable ? stderr : stdout);
    return false;
  }
  if (flags.action != CommandLineAction::Run) {
    const bool failed = flags.action == CommandLineAction::Fail;
    std::fputs(flags.message.c_str(), failed ? stderr : stdout);
    *exitCode = failed ? 2 : 0;
    return false;
  }
  Settings& settings = RunSettings();
  ProgramSettingsFile().Load(SettingsFilePath(), &settings);
  if (flags.overridesFullScreen) settings.fullScreen = flags.fullScreen;
  const std::string replayFile = FromStartFolder(flags.replayPath);
  // The source is named from where the player ran the game, before the data folder.
  std::error_code failed;
  const std::string source =
      flags.stageSource.empty() ? "" : std::filesystem::absolute(flags.stageSource, failed).string();
  const std::string stageSet = StageSetArgumentFromStartFolder(flags.stageSet);
  EnterDataFolder();
  if (!flags.replayPath.empty()) return PrepareReplayRun(flags, replayFile, exitCode);
  if (!stageSet.empty()) return PrepareStageSetRun(stageSet, exitCode);
  if (source.empty()) return true;
  std::string report;
  const bool built = BuildSourceStage(source, &report);
  std::fputs(report.c_str(), stderr);
  if (!built) *exitCode = 1;
  if (built && flags.watchStage) StartStageWatch();
  return built;
}

// Before the window opens, so a disabled gamepad is never opened at all.
void ApplyRunSettings()
{
  const Settings& settings = RunSettings();
  Win32SetLookOptions(settings.mouseSensitivity, settings.invertLook);
  Win32EnableGamepad(settings.gamepad);
  DirectSoundSetGroupGain(DSOUND_GROUP_MUSIC, settings.musicVolume / 100.0f);
  DirectSoundSetGroupGain(DSOUND_GROUP_EFFECTS, settings.effectsVolume / 100.0f);
}

// "Ask" keeps the question as it always was; yes or no answer it silently.
bool ChooseFullScreen(HWND window)
{
  switch (RunSettings().fullScreen) {
  case FullScreenChoice::Yes:
    return true;
  case FullScreenChoice::No:
    return false;
  default:
    return MessageBoxA(window, "フルスクリーンにしますか？", "確認", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) ==
           IDYES;
  }
}

// The scene's sounds are gone with it; closing the device now ends the mixer cleanly.
int FinishRun()
{
  CApplication::GetInstance()->ReleaseGraphics();
  RemoveSourceStage();
  OstrelLibrary::UninitSound();
  CoUninitialize();
  return Win32EndSignal() == SIGINT ? 128 + SIGINT : 0;
}
