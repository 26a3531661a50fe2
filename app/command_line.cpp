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
    result.action = CommandLineAction::Fail;
    result.message = std::string("solverica: unknown option '") + flag + "'\nTry 'solverica --help'.\n";
    return result;
  }
  return result;
}

// Usage, flags, keys and files.
std::string HelpText()
{
  return "Usage: solverica [--fullscreen | --windowed]\n"
         "A 3D puzzle-action game: climb the tower by magic.\n"
         "\n"
         "  --fullscreen  start full screen without asking\n"
         "  --windowed    start in a window without asking\n"
         "  --help        show this help and exit\n"
         "  --version     show the version and exit\n"
         "\n"
         "Keys: Alt+Enter or F11 full screen on/off, F12 screenshot.\n"
         "Settings: $XDG_CONFIG_HOME/solverica/settings.ini (default ~/.config)\n"
         "  fullscreen = ask | yes | no, mouse_sensitivity = 0.1..10, invert_look = yes | no,\n"
         "  music_volume = 0..100, effects_volume = 0..100, gamepad = yes | no,\n"
         "  magic_toggle = yes | no, colour_symbols = yes | no\n"
         "Screenshots: <pictures folder>/Solverica/ (xdg-user-dir PICTURES)\n";
}

// Name and version, as the window's title shows it.
std::string VersionText()
{
  return "Solverica " SOLVERICA_VERSION "\n";
}
