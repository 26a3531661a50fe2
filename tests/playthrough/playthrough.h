// The playthrough harness: the real program (CApplication's start-up and main loop,
// one frame at a time) headless on llvmpipe with sound on the null driver, a fixed
// clock and therefore a fixed random seed, driven only through the input path: keys
// held, mouse motion, button presses and clicks, message-box answers. Route helpers
// walk, turn, look, hold buttons, wait and click menu buttons by their picture; a
// failing step prints where the player was and what it waited for, and saves a
// screenshot.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "d3dx9math.h"
#include "scene/scene_base.h"

class CSceneGame;
class CSceneTitle;
class CGamePlayer;
class CGameCamera;
class CSpriteText;
class CActorBase;
struct MenuButton;

// How often a route that is not looking at the picture still draws a frame: often enough
// that drawing runs through the states the route passes, rarely enough to keep routes
// cheap on llvmpipe, where a drawn frame costs a thousand updates.
const int kRouteDrawInterval = 120;

// Holds the loop's scene for the routes and the benchmark: it passes every call on,
// switches scenes the way the loop does (the old one's Uninit with the new one, the
// application's ReleaseBetweenScenes, then the new one's Init), counts the frames drawn
// and times updates and loads.
class CDrawGate : public CSceneBase {
public:
  std::shared_ptr<CSceneBase> inner;
  unsigned drawnFrames = 0;  // 3D passes the loop actually asked for and ran
  // Timings for the frame benchmark, in milliseconds: each scene update (without the
  // next scene's Init), and each Init of a scene switched to (with the release before it).
  std::vector<double> updateMilliseconds;
  std::vector<double> initMilliseconds;
  std::vector<double> initCpuMilliseconds;  // the same Inits in the main thread's CPU time

  explicit CDrawGate(std::shared_ptr<CSceneBase> first) : inner(std::move(first)) {}
  // The scene inside.
  const std::string& GetName() const override { return inner->GetName(); }
  // The inner scene starts.
  void Init() override { inner->Init(); }
  // The inner scene ends.
  void Uninit(std::shared_ptr<CSceneBase> incoming) override { inner->Uninit(incoming); }
  // The inner frame; a successor replaces the inner scene here instead of the gate.
  std::shared_ptr<CSceneBase> Update() override;
  // The 3D pass, counted.
  void Draw() override;
  // The sprite pass.
  void DrawSprite() override { inner->DrawSprite(); }
  // The inner scene's answer.
  bool DrawsWholeScreen() const override { return inner->DrawsWholeScreen(); }
};

class PlaythroughTest : public ::testing::Test {
protected:
  // The title as the loop's first scene, as at program start; stage 1, no input.
  void SetUp() override;
  // Ends the loop and drops queued input.
  void TearDown() override;

  // ---- frames and drawing ----
  // One frame through the loop's 16 ms gate; false when the program ended.
  bool Frame();
  // count frames; a test failure if the program ends.
  void Frames(int count);
  // Draws only every nth frame from now on (1: every frame).
  void DrawEvery(int n);
  // Saves the frame as a PNG under $SOLVERICA_SCREENSHOTS or the scratch folder; when
  // the last frame was left undrawn, one more frame runs and is drawn first.
  void Screenshot(const std::string& name);

  // ---- the input path ----
  // Holds or releases a key.
  void Key(int virtualKey, bool down);
  // Down now, up after one frame: the next frames see one edge.
  void TapKey(int virtualKey);
  // Left button down and up: the next update sees one click.
  void Click();
  // Moves the mouse by window pixels.
  void MoveMouse(int dx, int dy);
  // Puts the visible pointer at a back-buffer pixel.
  void PointAt(float x, float y);
  // Points at the middle of the shown menu button with this picture and clicks it;
  // fails when no such button is on screen.
  void ClickButton(const std::string& picturePath);
  // The middle of the shown menu button with this picture, in back-buffer pixels;
  // false (and a failure) when no such button is on screen.
  bool ButtonCentre(const std::string& picturePath, float* x, float* y);
  // From the title: a click opens the menu, Start begins a new game; true once the
  // stage runs.
  bool StartNewGame();
  // Space during the opening flight, then the stage fades in; true once it has.
  bool SkipOpening();
  // Start-up runs once per test process, so a restart is what a new process would see
  // without a new device: the loop ended, the stage back to its default, the save file
  // read by start-up's own reader, and the title as the first scene.
  void RestartProgram();
  // Title, Continue by its picture, then the stage; true once it runs.
  bool ContinueFromTitle();

  // ---- route helpers ----
  // Waits for the orb message box to settle, clicks it away and waits for the game to
  // resume; true once it has.
  bool CloseOrbMessage();
  // Steps frames until the condition holds; fails (with a report) after maxFrames.
  bool WaitFor(const std::function<bool()>& condition, int maxFrames, const std::string& what);
  // Holds W with the camera turned by mouse motion so that W heads to (x, z); stops
  // within tolerance (horizontal distance). Also stops when `until` holds, if given.
  // An orb message that comes up on the way is closed (CloseOrbMessage), then the walk
  // goes on.
  bool WalkTo(float x, float z, float tolerance, int maxFrames, const std::function<bool()>& until = nullptr);
  // Turns the camera by mouse motion until its yaw is the given heading (degrees).
  bool FaceDirection(float yawDegrees, int maxFrames = 120);
  // Turns the camera (yaw and pitch) by mouse motion towards a world point.
  bool LookAt(const D3DXVECTOR3& point, int maxFrames = 120);
  // Holds a mouse button for frames, or less when `until` holds first.
  void HoldMouseButton(int virtualKey, int frames, const std::function<bool()>& until = nullptr);

  // ---- the game's state ----
  // The scene the loop runs (inside the draw gate).
  std::shared_ptr<CSceneBase> CurrentScene() const;
  std::shared_ptr<CSceneTitle> Title() const;
  std::shared_ptr<CSceneGame> Game() const;
  CGamePlayer* Player() const;
  // The running stage's actor with this name, or null.
  std::shared_ptr<CActorBase> FindActor(const std::string& name) const;
  CGameCamera* Camera() const;
  // The stage's orb message box, or null.
  CSpriteText* OrbMessage() const;
  // The player's feet, or (999, 999, 999) without a stage.
  D3DXVECTOR3 PlayerPosition() const;
  // The save file's text.
  std::string SaveFileText() const;
  // The records file's text; empty when there is none.
  std::string RecordsFileText() const;
  // Where the player is and what the route was doing, for failure messages.
  std::string Report(const std::string& what) const;
  // Saves the frame of a failed step under playthrough-failures/ in the build folder
  // (kept for looking at) and returns its path.
  std::string SaveFailureScreenshot();

  CApplication* application = nullptr;
  std::shared_ptr<CDrawGate> gate;
  int drawEvery = 1;
  bool lastFrameDrawn = false;
  std::vector<double> frameMilliseconds;  // each frame's whole time, for the benchmark
  unsigned frameNumber = 0;
  int failures = 0;  // screenshots of failures get numbered names
};

// The scratch folder the program runs in.
std::string PlaythroughScratchDir();
// Makes the program's stage `stage` the one under res/<folder>/ (its map.x,
// depth_map.x and map.dat), for a test program that tries a test stage through the
// real stage loading; called from a static initialiser, before start-up.
bool PlaythroughUseTestStage(int stage, const std::string& folder);
// How long start-up (CApplication::Initialize) took, in milliseconds.
double PlaythroughStartupMilliseconds();
// The calling thread's CPU time in milliseconds: what a load costs even when other
// programs share the cores.
double ThreadCpuMilliseconds();
// Where failed steps leave their screenshots: playthrough-failures/ in the build folder.
std::string PlaythroughFailureDir();
// The build folder the tests were started in (the program runs in the scratch folder).
std::string PlaythroughBuildDir();
