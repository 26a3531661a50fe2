// CApplication: the process's frame. It opens the window and the device, runs the
// 16 ms main loop that drives the current scene, draws the black fade over every
// frame, takes the per-frame input snapshot and keeps the save data.
#pragma once

#include "windows.h"
#include "d3dx9math.h"
#include "engine/texture.h"

#include <memory>
#include <string>

class CSceneBase;

// Keyboard and mouse as the next frame's update sees them; every member is a flag.
struct InputSnapshot {
  int escapePressed;  // Escape went down (once per press)
  int spacePressed;   // Space went down (once per press)
  int clicked;        // a mouse button went down since the last frame
  int leftButton;     // left button held
  int rightButton;    // right button held
  int leftPressed;    // the left button went down since the last frame (a tap included)
  int rightPressed;   // the right button went down since the last frame
  int keyW;
  int keyS;
  int keyA;
  int keyD;
  int keyShift;
};

class CApplication {
public:
  HINSTANCE instance;
  HWND window;
  UINT clientWidth;
  UINT clientHeight;
  POINT cursorHome;
  D3DXMATRIX fadeMatrix;
  OstrelLibrary::CTexture fadeTexture;
  int fadeOut;
  int fadeAlpha;
  int fadeStep;
  int stageNumber;
  InputSnapshot input;
  // False leaves frames undrawn the way catching up does (no clear, no present), for
  // tests that need only the updates.
  bool drawingAllowed = true;
  // True while a replay plays: the save file is left as the player left it.
  bool saveWritesHeld = false;

  // The one instance, created with its defaults on first use.
  static CApplication* GetInstance();

  // Creates the window, the device and every start-up resource; false ends the program.
  bool Initialize(HINSTANCE module);
  // The main loop from the title, or from the scene given; returns when the program is
  // to end.
  void Run(std::shared_ptr<CSceneBase> firstScene = nullptr);
  // The window's message handler.
  LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // Resizes the window so that its client area is exactly 1280 x 720.
  void AdjustClientSize(HWND hwnd);
  // Reads the reached stage from the save file into stageNumber; a damaged file is set
  // aside as <save>.bad and stage 1 is played.
  void LoadSaveData();
  // Writes stageNumber to the save file.
  void WriteSaveData();

  // The title, or the game scene at once for a stage played from its source (whose
  // stage number it then sets).
  std::shared_ptr<CSceneBase> FirstScene();
  // The loop in pieces, so that a test can run it one step at a time.
  // Makes the scene current and starts it.
  void BeginLoop(std::shared_ptr<CSceneBase> firstScene);
  // One pass: one message, or one frame when 16 ms have passed, or a wait until one of
  // them is due. False when the program is to end.
  bool RunOnce();
  // Passes of the loop until one frame has run; false when the program is to end.
  bool StepFrame();
  // One frame: update, scene switch, input snapshot, fade, drawing. False when the
  // scene returned no successor (nothing is drawn then). When drawing has fallen behind
  // the clock, the frames owed run without drawing, a few in a row at most.
  bool RunFrame();
  // Ends the current scene and starts the next one, as a frame's update does when it
  // returns another scene.
  void SwitchScene(std::shared_ptr<CSceneBase> next);
  // Between the outgoing scene's end and the incoming one's start: the renderer lets go
  // of the pictures the outgoing scene released, for the incoming one's loading.
  void ReleaseBetweenScenes();
  // Releases the current scene.
  void EndLoop();
  // Gives back everything that holds the device (the fade texel, the shaders) and
  // finalizes the graphics, so that the device really ends there.
  void ReleaseGraphics();

  // Moves fadeAlpha one step towards the side fadeOut asks for (a replay running
  // several updates in one frame steps it after each).
  void StepFade();

private:
  CApplication();
  // The input snapshot, taken after the update.
  void TakeInputSnapshot();
  // Draws the current scene and the fade over it.
  void DrawFrame();
  // Whether the frame just updated is drawn: not while updates are owed, unless too
  // many in a row went undrawn already.
  bool ShouldDrawThisFrame();
};

// The scene the main loop is running (empty outside the loop).
std::shared_ptr<CSceneBase> GetCurrentScene();

// How many frames the main loop has run.
unsigned GetFrameCount();

// The number of stages of the game being played: stage numbers run from 1 to this.
int GameStageCount();

// Checks the text of a save file and reads its stage. The text is decimal integers as
// "%d" reads them (an optional sign, digits) separated by blanks; the last one counts
// and must name a stage from 1 to lastStage. Returns "" and sets *stage for a good
// save; otherwise says what is wrong (for a message) and leaves *stage alone.
std::string ParseSaveText(const char* text, size_t length, int lastStage, int* stage);
