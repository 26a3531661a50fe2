// The title tests' world: the application started once per process in a scratch
// folder (save file holding stage 5, empty stage files, the generated pictures and
// sounds linked in), a fixed clock, and helpers that click, point and step frames
// through the real loop.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "../support/back_buffer_pixel.h"
#include "app/application.h"
#include "app/input.h"
#include "scene/scene_game.h"
#include "scene/scene_title.h"
#include "sprite/sprite_menu.h"
#include "sprite/sprite_title.h"
#include "test_seam.h"

// The stage the scratch save file holds.
constexpr int kSavedStage = 5;

class TitleTest : public ::testing::Test {
protected:
  // A fresh title as the loop's first scene, stage 5 in memory, no fade, no input.
  void SetUp() override;
  // Ends the loop and drops what the test left queued.
  void TearDown() override;

  // Runs frames through the loop's 16 ms gate; fails the test if the program ends.
  void Frames(int count);
  // Presses and releases the left button: the next frame's update sees one click.
  void Click();
  // Puts the pointer at a back-buffer pixel.
  void PointAt(float x, float y);
  // Points at the middle of a button.
  void PointAtButton(const MenuButton& button);
  // Points somewhere no button is.
  void PointAway();
  // Presses and releases a key; the frame after next sees the edge.
  void TapKey(int virtualKey);

  // The running scene, as the title (null when it is something else).
  std::shared_ptr<CSceneTitle> Title() const;
  // The prompt, first of the front list.
  CTitleClickToStart& Prompt() const;
  // The logo, second.
  CTitleLogo& Logo() const;
  // The Start / Continue menu, third.
  CTitleOption& Option() const;
  // Clicks the prompt and steps the frame that sees it: the menu's first frame.
  void OpenMenu();
  // Steps until the menu accepts clicks (its seventh frame is next).
  void WaitUntilReady();

  // The whole back buffer as a PNG in $SOLVERICA_SCREENSHOTS, or the scratch folder.
  void Screenshot(const std::string& name);
  // The save file's text.
  std::string SaveFileText() const;

  CApplication* application = nullptr;
};

// The scratch folder the game runs in.
std::string TitleScratchDir();
