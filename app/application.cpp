// CApplication: start-up, the window procedure, the 16 ms main loop with its input
// snapshot and fade, and the frame's drawing order.
#include "app/application.h"

#include "app/action_input.h"
#include "app/focus_pause.h"
#include "app/input.h"
#include "app/records.h"
#include "app/settings_apply.h"
#include "app/source_stage.h"
#include "app/stage_watch.h"
#include "app/start_up.h"
#include "app/tick_counter.h"
#include "app/version.h"
#include "app/window_keys.h"
#include "engine/graphics.h"
#include "engine/sound.h"
#include "scene/scene_base.h"
#include "replay/replay_run.h"
#include "scene/scene_game.h"
#include "scene/scene_records.h"
#include "scene/scene_title.h"
#include "shader/shader_manager.h"
#include "win32_comforts.h"

#include <cstdlib>

namespace {

const UINT clientAreaWidth = 1280;
const UINT clientAreaHeight = 720;
const DWORD frameMilliseconds = 16;
// At most this many updates in a row go undrawn while the loop catches up with the
// clock; then a frame is drawn whatever is owed, so the picture never freezes.
const int maxUndrawnUpdates = 5;

// Statics of the main loop: the last frame's start and the scene it runs.
DWORD lastFrameStart = 0;
std::shared_ptr<CSceneBase> currentScene;
unsigned frameCount = 0;
int undrawnInARow = 0;

// The update ticks for the window benchmark, when $SOLVERICA_TICK_COUNTER names a file.
CTickCounter& BenchTicks()
{
  static CTickCounter counter(std::getenv("SOLVERICA_TICK_COUNTER"));
  return counter;
}

// The registered window procedure: everything goes to the application.
LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  return CApplication::GetInstance()->WindowProc(hwnd, message, wParam, lParam);
}

// The start of the update that is due now. Updates keep a fixed 16 ms step, so an
// update run late is followed at once by the ones it owes; a debt larger than one
// drawn frame can repay is forgiven, and the game slows down instead. A gap of a
// second or more (a stall, a clock set anew) owes nothing.
DWORD NextFrameStart(DWORD now, DWORD last)
{
  const DWORD behind = now - last;
  const DWORD mostOwed = (maxUndrawnUpdates + 1) * frameMilliseconds;
  if (behind >= 1000) return now;
  if (behind >= mostOwed) return now - (mostOwed - frameMilliseconds);
  return last + frameMilliseconds;
}

// Light 0 never changes, but the toon effect reads it every frame: during the puddle
// pass the light comes from below the mirror.
void CopyLightToToon(IDirect3DDevice9* device)
{
  CShaderManager* shaders = CShaderManager::GetInstance();
  if (!shaders->toon.effect) return;
  D3DLIGHT9 light = {};
  device->GetLight(0, &light);
  D3DVECTOR direction = light.Direction;
  if (shaders->puddlePass) direction.y = -direction.y;
  shaders->toon.effect->SetValue("g_light_direction", &direction, 12);
  shaders->toon.effect->SetValue("g_light_color", &light.Diffuse, 16);
}

}  // namespace

// Zero-filled, then the defaults: identity fade matrix, fade step 5, stage 1.
CApplication::CApplication()
    : instance(nullptr),
      window(nullptr),
      clientWidth(0),
      clientHeight(0),
      cursorHome{0, 0},
      fadeMatrix(),
      fadeOut(0),
      fadeAlpha(0),
      fadeStep(5),
      stageNumber(1),
      input()
{
  D3DXMatrixIdentity(&fadeMatrix);
}

// Created on first use; lives until the process ends.
CApplication* CApplication::GetInstance()
{
  static CApplication application;
  return &application;
}

// Start-up in its fixed order; a false return ends the program.
bool CApplication::Initialize(HINSTANCE module)
{
  instance = module;
  // The records page's rows play their stage's best run.
  CSceneRecords::playRun = PlayBestRun;
  // Stage pictures and meshes come and go with every stage: keep their holes out of the heap.
  ULONG lowFragmentation = HEAP_LOW_FRAGMENTATION;
  HeapSetInformation(GetProcessHeap(), HeapCompatibilityInformation, &lowFragmentation, sizeof lowFragmentation);

  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof(WNDCLASSEXA);
  windowClass.style = 0;
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.cbClsExtra = 0;
  windowClass.cbWndExtra = 0;
  windowClass.hInstance = module;
  windowClass.hIcon = LoadIconA(module, "MYICON");
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszMenuName = nullptr;
  windowClass.lpszClassName = "Window";
  windowClass.hIconSm = LoadIconA(module, "MYICON");
  if (!RegisterClassExA(&windowClass)) return false;

  window = CreateWindowExA(0, "Window", "ソルベリカ　Ver." SOLVERICA_VERSION,
                           WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0, 0,
                           clientAreaWidth, clientAreaHeight, nullptr, nullptr, module, nullptr);
  AdjustClientSize(window);
  timeBeginPeriod(1);

  const bool fullScreen = ChooseFullScreen(window);
  // Ended while the question was open: the rest of start-up would only delay the end.
  if (Win32EndSignal() != 0) return false;

  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  if (!graphics->Init(window, clientWidth, clientHeight, fullScreen)) {
    MessageBoxA(window, "Direct3D初期化に失敗しました", "失敗", MB_OK);
    return false;
  }
  graphics->SetDefaultStates();

  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);

  const UINT backBufferWidth = graphics->presentParameters.BackBufferWidth;
  const UINT backBufferHeight = graphics->presentParameters.BackBufferHeight;
  POINT home = {static_cast<LONG>(backBufferWidth / 2), static_cast<LONG>(backBufferHeight / 2)};
  ClientToScreen(window, &home);
  cursorHome = home;
  SetCursorPos(cursorHome.x, cursorHome.y);

  fadeTexture.Create(graphics->device, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED);
  fadeTexture.Fill(0xFFFFFFFF);
  D3DXMatrixScaling(&fadeMatrix, static_cast<float>(backBufferWidth), static_cast<float>(backBufferHeight), 1.0f);

  CShaderManager* shaders = CShaderManager::GetInstance();
  shaders->toon.Load();
  shaders->outline.Load();
  shaders->blur.Load();
  shaders->shadowMap.Load();
  shaders->puddle.Load();
  ApplyPictureQuality(RunSettings().pictureQuality);  // automatic: a software renderer gets the lighter picture

  // The ending's shake still draws from rand(); stages have their own seeded generator.
  std::srand(timeGetTime());

  OstrelLibrary::InitSound(window);

  LoadSaveData();
  ReloadGameRecords();  // read now, so a damaged file is named at start-up
  return true;
}

// Forwards mouse buttons into the snapshot and tracks the client size.
LRESULT CApplication::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  switch (message) {
  case WM_DESTROY:
    PostQuitMessage(0);
    return 0;
  case WM_SIZE: {
    RECT client = {};
    GetClientRect(hwnd, &client);
    clientWidth = static_cast<UINT>(client.right);
    clientHeight = static_cast<UINT>(client.bottom);
    return 0;
  }
  case WM_LBUTTONDOWN:
    input.clicked = 1;
    RefreshHeldActions(&input, VK_LBUTTON);
    return 0;
  case WM_RBUTTONDOWN:
    input.clicked = 1;
    RefreshHeldActions(&input, VK_RBUTTON);
    return 0;
  case WM_LBUTTONUP:
  case WM_RBUTTONUP:
    RefreshHeldActions(&input);
    return 0;
  case WM_KILLFOCUS:
    NoteFocusLost();
    return 0;
  default:
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

// Grows the window by its frame so that the client area is 1280 x 720.
void CApplication::AdjustClientSize(HWND hwnd)
{
  RECT windowRect = {};
  RECT clientRect = {};
  GetWindowRect(hwnd, &windowRect);
  GetClientRect(hwnd, &clientRect);
  const int frameWidth = (windowRect.right - windowRect.left) - (clientRect.right - clientRect.left);
  const int frameHeight = (windowRect.bottom - windowRect.top) - (clientRect.bottom - clientRect.top);
  MoveWindow(hwnd, windowRect.left, windowRect.top, static_cast<int>(clientAreaWidth) + frameWidth,
             static_cast<int>(clientAreaHeight) + frameHeight, TRUE);
}

// The main loop, from the scene given, or else the first scene of the run.
void CApplication::Run(std::shared_ptr<CSceneBase> firstScene)
{
  timeBeginPeriod(1);
  BeginLoop(firstScene ? firstScene : FirstScene());
  while (RunOnce()) {}
  timeEndPeriod(1);
  EndLoop();
}

// No title before a stage a source gave: it is played at once.
std::shared_ptr<CSceneBase> CApplication::FirstScene()
{
  if (!CurrentSourceStage().active) return std::make_shared<CSceneTitle>();
  stageNumber = SourceStageNumber();
  return std::make_shared<CSceneGame>();
}

// Makes the first scene current and starts it.
void CApplication::BeginLoop(std::shared_ptr<CSceneBase> firstScene)
{
  // A loop begun over another (a replay checked from a stage) ends that one's scene
  // first, as EndLoop would, so its references to itself are let go.
  if (currentScene) EndLoop();
  currentScene = firstScene;
  // The first frame is due at once, with nothing owed.
  lastFrameStart = timeGetTime() - frameMilliseconds;
  undrawnInARow = 0;
  if (currentScene) currentScene->Init();
}

// The queue is always drained before a frame runs. Between frames the loop waits for
// the next message or the next frame's start instead of spinning: the 16 ms gate is
// unchanged, the idle CPU is not burnt. Behind the clock, updates follow each other.
bool CApplication::RunOnce()
{
  MSG msg;
  if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) return false;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
  }
  const DWORD now = timeGetTime();
  const DWORD elapsed = now - lastFrameStart;  // unsigned: survives the 2^32 wrap
  if (elapsed < frameMilliseconds) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, frameMilliseconds - elapsed, QS_ALLINPUT);
    return true;
  }
  lastFrameStart = NextFrameStart(now, lastFrameStart);
  return RunFrame();
}

// Draws unless the next update is already due and the catch-up may still go on.
bool CApplication::ShouldDrawThisFrame()
{
  if (!drawingAllowed) return false;
  const bool behind = timeGetTime() - lastFrameStart >= frameMilliseconds;
  if (behind && undrawnInARow < maxUndrawnUpdates) {
    ++undrawnInARow;
    return false;
  }
  undrawnInARow = 0;
  return true;
}

// Runs loop passes until the frame counter moves.
bool CApplication::StepFrame()
{
  const unsigned before = frameCount;
  while (frameCount == before) {
    if (!RunOnce()) return false;
  }
  return true;
}

// One frame in the fixed order: update, switch, snapshot, fade, window keys, draw (left
// out while the loop catches up with the clock).
bool CApplication::RunFrame()
{
  if (!currentScene) return false;
  ++frameCount;
  BenchTicks().Count();
  std::shared_ptr<CSceneBase> next = currentScene->Update();
  if (next != currentScene) {
    if (!next) return false;
    SwitchScene(next);
  }
  TakeInputSnapshot();
  StepFade();
  PollWindowKeys();
  if (ShouldDrawThisFrame()) DrawFrame();
  LookAtWatchedStage();
  return true;
}

// Lets the last scene go: its Uninit (with no successor) drops the links it keeps to
// itself, which would otherwise keep it, its actors and its music alive past the loop.
void CApplication::EndLoop()
{
  if (currentScene) currentScene->Uninit(nullptr);
  currentScene.reset();
}

// Edges of the back and pause actions (Escape and Space as made), the click and the
// button presses cleared, the held actions, all through the player's bindings.
void CApplication::TakeInputSnapshot()
{
  input.escapePressed = TriggerAction(GameAction::Back) ? 1 : 0;
  input.spacePressed = TriggerAction(GameAction::Pause) ? 1 : 0;
  if (TakeFocusPause()) input.spacePressed = 1;
  input.clicked = 0;
  input.leftPressed = 0;
  input.rightPressed = 0;
  RefreshHeldActions(&input);
  input.keyShift = (GetAsyncKeyState(VK_SHIFT) & 0x8000) ? 1 : 0;
}

// Thins the overlay while fading in, thickens it while fading out, within 0..255.
void CApplication::StepFade()
{
  if (fadeOut == 0 && fadeAlpha > 0) {
    fadeAlpha -= fadeStep;
    if (fadeAlpha < 0) fadeAlpha = 0;
  }
  if (fadeOut != 0 && fadeAlpha < 255) {
    fadeAlpha += fadeStep;
    if (fadeAlpha > 255) fadeAlpha = 255;
  }
}

// The outgoing scene ends and is let go, then the incoming one starts.
void CApplication::SwitchScene(std::shared_ptr<CSceneBase> next)
{
  currentScene->Uninit(next);
  currentScene = next;
  ReleaseBetweenScenes();
  currentScene->Init();
}

// The software renderer frees a released picture only when it reuses the frame records
// that drew it, and each new frame (a clear starts one) reuses the first finished record.
// Two clears with a flush between them start two, so the title's last frames let their
// pictures go before the next scene loads, which then refills that memory instead of
// growing past it. The back buffer's contents are discarded at every present, so
// clearing it here shows nowhere.
void CApplication::ReleaseBetweenScenes()
{
  IDirect3DDevice9* device = OstrelLibrary::CGraphics::GetInstance()->device;
  if (!device) return;
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
  IDirect3DQuery9* flush = nullptr;
  if (device->CreateQuery(D3DQUERYTYPE_EVENT, &flush) == D3D_OK) {
    flush->Issue(D3DISSUE_END);
    flush->GetData(nullptr, 0, D3DGETDATA_FLUSH);  // sends the clear on, without waiting
    flush->Release();
  }
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
}

// Clear, the scene's 3D pass, the sprite pass with the fade on top, present. Without
// a device (tests of the loop) only the scene's own passes run.
void CApplication::DrawFrame()
{
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  IDirect3DDevice9* device = graphics->device;

  if (device) {
    CopyLightToToon(device);
    // A scene that paints every pixel itself spares the clear.
    if (!currentScene->DrawsWholeScreen()) {
      device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0xFF000000, 1.0f, 0);
    }
    device->BeginScene();
  }
  currentScene->Draw();
  if (graphics->sprite) graphics->sprite->Begin(D3DXSPRITE_ALPHABLEND);
  currentScene->DrawSprite();
  // A fade at 0 is invisible: no full-screen quad for it.
  if (fadeTexture.texture && fadeAlpha > 0) {
    graphics->DrawTexture(fadeTexture, &fadeMatrix, static_cast<D3DCOLOR>(fadeAlpha) << 24);
  }
  if (graphics->sprite) graphics->sprite->End();
  if (device) {
    device->EndScene();
    TakeWantedScreenshot();
    device->Present(nullptr, nullptr, nullptr, nullptr);
  }
}

// The scene being run.
std::shared_ptr<CSceneBase> GetCurrentScene()
{
  return currentScene;
}

// Frames run so far.
unsigned GetFrameCount()
{
  return frameCount;
}

void CApplication::ReleaseGraphics()
{
  fadeTexture.Release();
  CShaderManager::GetInstance()->ReleaseAll();
  OstrelLibrary::CGraphics::GetInstance()->Finalize();
}
