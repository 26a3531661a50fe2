// The command line: --fullscreen and --windowed answer the start-up question for this
// run (the settings file is left alone), --replay plays a replay (--verify checks it
// headless), --check-stage FILE checks a stage source and ends, --stage FILE plays one
// (--watch reloads it on each save), --stage-set NAME|DIR plays a stage set, --help
// and --version print and end the program.
#pragma once

#include "app/settings.h"

#include <string>

enum class CommandLineAction { Run, PrintHelp, PrintVersion, CheckStage, Fail };

struct CommandLineResult {
  CommandLineAction action = CommandLineAction::Run;
  bool overridesFullScreen = false;
  FullScreenChoice fullScreen = FullScreenChoice::Ask;
  std::string message;        // what to print for help, version or a failure
  std::string replayPath;     // --replay FILE: play this replay
  bool verifyReplay = false;  // --verify: check it headless instead
  std::string stageSource;    // the file of --check-stage or --stage
  bool watchStage = false;    // --watch: with --stage, rebuild the stage when its file is saved
  std::string stageSet;       // --stage-set NAME|DIR: play this stage set
};

// Reads the arguments, argv[0] excluded.
CommandLineResult ParseCommandLine(int argc, const char* const* argv);

// The --help text.
std::string HelpText();
// The --version line.
std::string VersionText();
