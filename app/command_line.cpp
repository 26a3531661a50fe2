// Command-line flags and the help text that documents them.
#include "app/command_line.h"

#include "app/version.h"

#include <cstring>

// Every flag, in the order given; the last of --fullscreen and --windowed wins.
CommandLineResult ParseCommandLine(int argc, const char* const* argv)
{
  CommandLineResult result;
  for (int i = 0; i < argc; ++i) {
    const char* flag = argv[i];
    if (std::strcmp(flag, "--help") == 0 || std::strcmp(flag, "-h") == 0) {
      result.action = CommandLineAction::PrintHelp;
      result.message = HelpText();
      return result;
    }
    if (std::strcmp(flag, "--version") == 0) {
      result.action = CommandLineAction::PrintVersion;
      result.message = VersionText();
      return result;
    }
    if (std::strcmp(flag, "--fullscreen") == 0 || std::strcmp(flag, "--windowed") == 0) {
      result.overridesFullScreen = true;
      result.fullScreen = flag[2] == 'f' ? FullScreenChoice::Yes : FullScreenChoice::No;
      continue;
    }
    if (std::strcmp(flag, "--replay") == 0 && i + 1 < argc) {
      result.replayPath = argv[++i];
      continue;
    }
    if (std::strcmp(flag, "--verify") == 0) {
      result.verifyReplay = true;
      continue;
    }
    if (std::strcmp(flag, "--watch") == 0) {
      result.watchStage = true;
      continue;
    }
    if (std::strcmp(flag, "--stage-set") == 0) {
      if (i + 1 >= argc) {
        result.action = CommandLineAction::Fail;
        result.message = "solverica: --stage-set needs a set's name or folder\nTry 'solverica --help'.\n";
        return result;
      }
      result.stageSet = argv[++i];
      continue;
    }
    const bool check = std::strcmp(flag, "--check-stage") == 0;
    if (check || std::strcmp(flag, "--stage") == 0) {
      if (i + 1 >= argc) {
        result.action = CommandLineAction::Fail;
        result.message = std::string("solverica: ") + flag + " needs a stage source file\nTry 'solverica --help'.\n";
        return result;
      }
      result.stageSource = argv[++i];
      if (check) result.action = CommandLineAction::CheckStage;
      continue;
    }
    result.action = CommandLineAction::Fail;
    const bool missingFile = std::strcmp(flag, "--replay") == 0;
    result.message = missingFile ? std::string("solverica: --replay needs a file\n")
                                 : std::string("solverica: unknown option '") + flag + "'\n";
    result.message += "Try 'solverica --help'.\n";
    return result;
  }
  if (!result.stageSet.empty() && !result.stageSource.empty() && result.action == CommandLineAction::Run) {
    result.action = CommandLineAction::Fail;
    result.message = "solverica: --stage and --stage-set play one thing each: give one\nTry 'solverica --help'.\n";
  }
  if (result.verifyReplay && result.replayPath.empty()) {
    result.action = CommandLineAction::Fail;
    result.message = "solverica: --verify checks a replay: give --replay FILE\nTry 'solverica --help'.\n";
  }
  const bool playsStage = result.action == CommandLineAction::Run && !result.stageSource.empty();
  if (result.watchStage && !playsStage && result.action != CommandLineAction::Fail) {
    result.action = CommandLineAction::Fail;
    result.message = "solverica: --watch reloads a stage source: give --stage FILE\nTry 'solverica --help'.\n";
  }
  return result;
}

// Usage, flags, keys and files.
std::string HelpText()
{
  return "Usage: solverica [--fullscreen | --windowed] [--stage FILE [--watch] | --stage-set NAME|DIR]\n"
         "       solverica --check-stage FILE\n"
         "       solverica --replay FILE [--verify]\n"
         "A 3D puzzle-action game: climb the tower by magic.\n"
         "\n"
         "  --fullscreen         start full screen without asking\n"
         "  --windowed           start in a window without asking\n"
         "  --stage FILE         play a stage source at once (see stage-format.md)\n"
         "  --watch              with --stage: rebuild and reload the stage each time FILE is\n"
         "                       saved, keeping the player's place; errors show on screen\n"
         "  --stage-set NAME|DIR play a stage set: an installed one by name, or a folder of\n"
         "                       stage1.txt .. stage8.txt; exit 1 when it cannot be played\n"
         "  --check-stage FILE   check a stage source and exit: 0 sound, 1 errors, 2 unreadable\n"
         "  --replay FILE        play a replay (Space pause, Tab x1/x2/x4, Escape title)\n"
         "  --verify             with --replay: check it headless, as fast as it runs; exit 0\n"
         "                       when it ends as recorded, 1 when it does not, 2 when it\n"
         "                       cannot be used\n"
         "  --help               show this help and exit\n"
         "  --version            show the version and exit\n"
         "\n"
         "Keys: Alt+Enter or F11 full screen on/off, F12 screenshot.\n"
         "Settings: $XDG_CONFIG_HOME/solverica/settings.ini (default ~/.config)\n"
         "  fullscreen = ask | yes | no, mouse_sensitivity = 0.1..10, invert_look = yes | no,\n"
         "  music_volume = 0..100, effects_volume = 0..100, gamepad = yes | no,\n"
         "  magic_toggle = yes | no, colour_symbols = yes | no, show_timer = yes | no\n"
         "Screenshots: <pictures folder>/Solverica/ (xdg-user-dir PICTURES)\n"
         "Replays: replays/ beside the save file (every stage attempt; the best clear of\n"
         "  each stage and the last 20 attempts are kept)\n"
         "Stage sets: stages/NAME/ beside the save file (installed: $XDG_DATA_HOME/solverica)\n";
}

// Name and version, as the window's title shows it.
std::string VersionText()
{
  return "Solverica " SOLVERICA_VERSION "\n";
}
