// Tests of the Win32 layer on SDL2, run headless (SDL_VIDEODRIVER=offscreen):
// window messages, the close path, keys by position, the cursor and its virtual
// stand-in, message-box answers, the clock and the atomic file move.
#include "test_seam.h"
#include "win32_internal.h"
#include "windows.h"

#include <gtest/gtest.h>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Every message the test window procedure saw, in order.
struct Seen {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Seen> seen;

// Records each message; closing goes through the default handling.
LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
  seen.push_back({message, wParam, lParam});
  if (message == WM_DESTROY) PostQuitMessage(0);
  if (message == WM_CLOSE) return DefWindowProcA(window, message, wParam, lParam);
  return 0;
}

// Registers the test class once per process.
void RegisterTestClass()
{
  static bool registered = false;
  if (registered) return;
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = RecordingProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = "TestWindow";
  ASSERT_NE(RegisterClassExA(&windowClass), 0);
  registered = true;
}

// Drains the queue, dispatching everything; returns true if WM_QUIT came out.
bool Pump()
{
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) return true;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return false;
}

// A fresh window at screen (100, 50), 640 x 360, destroyed afterwards.
class WindowTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    RegisterTestClass();
    seen.clear();
    window = CreateWindowExA(0, "TestWindow", "test", WS_CAPTION | WS_SYSMENU, 100, 50, 640, 360, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
  }
  void TearDown() override
  {
    while (ShowCursor(TRUE) < 0) {}
    ShowCursor(FALSE);
    if (IsWindow(window)) DestroyWindow(window);
    Pump();
    Win32TestReleaseKeys();
    Win32TestUseRealClock();
  }
  HWND window = nullptr;
};

}  // namespace

TEST(Win32Class, RegistrationRejectsDuplicatesAndBadStructures)
{
  RegisterTestClass();
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = RecordingProc;
  windowClass.lpszClassName = "TestWindow";
  EXPECT_EQ(RegisterClassExA(&windowClass), 0) << "a second class of the same name";
  windowClass.lpszClassName = "Other";
  windowClass.cbSize = 4;
  EXPECT_EQ(RegisterClassExA(&windowClass), 0) << "wrong structure size";
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = nullptr;
  EXPECT_EQ(RegisterClassExA(&windowClass), 0) << "no window procedure";
  EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "x", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(LoadIconA(nullptr, "NOSUCHICON"), nullptr);
  EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), nullptr);
}

TEST_F(WindowTest, CreationSendsCreateAndSizeBeforeReturning)
{
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].message, static_cast<UINT>(WM_CREATE));
  EXPECT_EQ(seen[1].message, static_cast<UINT>(WM_SIZE));
  EXPECT_EQ(LOWORD(seen[1].lParam), 640);
  EXPECT_EQ(HIWORD(seen[1].lParam), 360);
  RECT client = {};
  ASSERT_TRUE(GetClientRect(window, &client));
  EXPECT_EQ(client.left, 0);
  EXPECT_EQ(client.right, 640);
  EXPECT_EQ(client.bottom, 360);
  RECT outer = {};
  ASSERT_TRUE(GetWindowRect(window, &outer));
  EXPECT_EQ(outer.left, 100);
  EXPECT_EQ(outer.top, 50);
  EXPECT_EQ(outer.right - outer.left, 640);
  EXPECT_NE(Win32GetSDLWindow(window), nullptr);
}

TEST_F(WindowTest, MoveWindowDeliversTheNewSizeSynchronously)
{
  seen.clear();
  ASSERT_TRUE(MoveWindow(window, 100, 50, 1280, 720, TRUE));
  ASSERT_EQ(seen.size(), 1u) << "WM_SIZE must arrive inside MoveWindow";
  EXPECT_EQ(seen[0].message, static_cast<UINT>(WM_SIZE));
  EXPECT_EQ(LOWORD(seen[0].lParam), 1280);
  EXPECT_EQ(HIWORD(seen[0].lParam), 720);
  RECT client = {};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 1280);
  EXPECT_EQ(client.bottom, 720);
  EXPECT_FALSE(MoveWindow(window, 0, 0, 0, 720, TRUE));
}

TEST_F(WindowTest, ClosingGoesCloseDestroyQuitAndLeavesAStaleHandleHarmless)
{
  seen.clear();
  ASSERT_TRUE(PostMessageA(window, WM_CLOSE, 0, 0));
  EXPECT_TRUE(Pump()) << "WM_QUIT follows WM_DESTROY";
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].message, static_cast<UINT>(WM_CLOSE));
  EXPECT_EQ(seen[1].message, static_cast<UINT>(WM_DESTROY));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(Win32GetSDLWindow(window), nullptr);
  RECT rect = {};
  EXPECT_FALSE(GetClientRect(window, &rect));
  EXPECT_FALSE(PostMessageA(window, WM_USER, 0, 0));
  EXPECT_EQ(SendMessageA(window, WM_USER, 0, 0), 0);
  EXPECT_FALSE(DestroyWindow(window));
  EXPECT_FALSE(Pump()) << "WM_QUIT is delivered once";
}

TEST_F(WindowTest, QuitWaitsUntilEarlierMessagesAreTaken)
{
  PostQuitMessage(3);
  PostMessageA(window, WM_USER, 1, 0);
  PostMessageA(window, WM_USER, 2, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.wParam, 1u) << "peeking leaves it queued";
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 1u);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 2u);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(WindowTest, MouseButtonsBecomeMessagesWithBackBufferPositions)
{
  // The back buffer (1280 x 720) is shown at half size in the 640 x 360 window.
  Win32SetBackBufferMapping(window, 1280, 720, 0, 0, 640, 360);
  Win32TestPointMouse(100, 60);
  Win32TestMouseButton(VK_LBUTTON, true);
  EXPECT_NE(GetAsyncKeyState(VK_LBUTTON) & 0x8000, 0);
  Win32TestMouseButton(VK_LBUTTON, false);
  Win32TestMouseButton(VK_RBUTTON, true);
  Win32TestMouseButton(VK_RBUTTON, false);
  seen.clear();
  Pump();
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0].message, static_cast<UINT>(WM_LBUTTONDOWN));
  EXPECT_EQ(seen[0].wParam & MK_LBUTTON, static_cast<WPARAM>(MK_LBUTTON));
  EXPECT_EQ(GET_X_LPARAM(seen[0].lParam), 200);
  EXPECT_EQ(GET_Y_LPARAM(seen[0].lParam), 120);
  EXPECT_EQ(seen[1].message, static_cast<UINT>(WM_LBUTTONUP));
  EXPECT_EQ(seen[2].message, static_cast<UINT>(WM_RBUTTONDOWN));
  EXPECT_EQ(seen[3].message, static_cast<UINT>(WM_RBUTTONUP));
  EXPECT_EQ(GetAsyncKeyState(VK_LBUTTON), 0);
}

TEST_F(WindowTest, KeysAreReadByVirtualKeyWithTheHighBit)
{
  EXPECT_EQ(GetAsyncKeyState('W'), 0);
  Win32TestSetKey('W', true);
  EXPECT_LT(GetAsyncKeyState('W'), 0) << "the high bit makes the SHORT negative";
  EXPECT_EQ(GetAsyncKeyState('S'), 0);
  Win32TestSetKey(VK_LSHIFT, true);
  EXPECT_NE(GetAsyncKeyState(VK_SHIFT) & 0x8000, 0) << "either shift key is VK_SHIFT";
  Win32TestSetKey('W', false);
  EXPECT_EQ(GetAsyncKeyState('W'), 0);
  EXPECT_EQ(GetAsyncKeyState(-1), 0);
  EXPECT_EQ(GetAsyncKeyState(256), 0);
}

TEST_F(WindowTest, ScreenCoordinatesAreClientPlusWindowPosition)
{
  POINT point = {10, 20};
  ASSERT_TRUE(ClientToScreen(window, &point));
  EXPECT_EQ(point.x, 110);
  EXPECT_EQ(point.y, 70);
  ASSERT_TRUE(ScreenToClient(window, &point));
  EXPECT_EQ(point.x, 10);
  EXPECT_EQ(point.y, 20);
  // The visible pointer: SetCursorPos then GetCursorPos returns the same point.
  ASSERT_TRUE(SetCursorPos(100 + 320, 50 + 180));
  ASSERT_TRUE(GetCursorPos(&point));
  EXPECT_EQ(point.x, 420);
  EXPECT_EQ(point.y, 230);
}

TEST_F(WindowTest, ShowCursorKeepsWindowsDisplayCounter)
{
  const int calls = Win32TestShowCursorCalls();
  EXPECT_EQ(ShowCursor(FALSE), -1);
  EXPECT_TRUE(Win32TestCursorHidden());
  EXPECT_EQ(ShowCursor(FALSE), -2);
  EXPECT_EQ(ShowCursor(TRUE), -1);
  EXPECT_TRUE(Win32TestCursorHidden()) << "one show does not undo two hides";
  EXPECT_EQ(ShowCursor(TRUE), 0);
  EXPECT_FALSE(Win32TestCursorHidden());
  EXPECT_EQ(Win32TestShowCursorCalls() - calls, 4);
}

TEST_F(WindowTest, HiddenCursorIsVirtualAndFollowsRelativeMotion)
{
  Win32SetBackBufferMapping(window, 640, 360, 0, 0, 640, 360);
  const POINT home = {100 + 320, 50 + 180};
  Win32TestPointMouse(5, 5);
  ShowCursor(FALSE);
  SetCursorPos(home.x, home.y);
  POINT point = {};
  GetCursorPos(&point);
  EXPECT_EQ(point.x, home.x);
  EXPECT_EQ(point.y, home.y);
  Win32TestMoveMouse(12, -7);
  GetCursorPos(&point);
  EXPECT_EQ(point.x - home.x, 12);
  EXPECT_EQ(point.y - home.y, -7);
  // Mouse look re-centres every frame; motion keeps adding up from there.
  SetCursorPos(home.x, home.y);
  Win32TestMoveMouse(-3, 4);
  GetCursorPos(&point);
  EXPECT_EQ(point.x - home.x, -3);
  EXPECT_EQ(point.y - home.y, 4);
  // The virtual cursor stays on the back buffer, as the pointer stays in the window.
  Win32TestMoveMouse(-5000, 5000);
  GetCursorPos(&point);
  EXPECT_EQ(point.x, 100);
  EXPECT_EQ(point.y, 50 + 359);
  // Showing the cursor again puts the pointer where the virtual one was left.
  SetCursorPos(home.x + 10, home.y + 20);
  ShowCursor(TRUE);
  GetCursorPos(&point);
  EXPECT_EQ(point.x, home.x + 10);
  EXPECT_EQ(point.y, home.y + 20);
}

TEST_F(WindowTest, ScaledViewTurnsWindowPixelsIntoBackBufferPixels)
{
  // Full screen: a 1280 x 720 back buffer letterboxed at 1.5x into a 1920 x 1200 screen.
  MoveWindow(window, 0, 0, 1920, 1200, TRUE);
  Win32SetBackBufferMapping(window, 1280, 720, 0, 60, 1920, 1080);
  Win32TestPointMouse(960, 600);
  POINT point = {};
  GetCursorPos(&point);
  EXPECT_EQ(point.x, 640);
  EXPECT_EQ(point.y, 360);
  // Relative motion is scaled too: 30 window pixels are 20 back-buffer pixels.
  ShowCursor(FALSE);
  SetCursorPos(640, 360);
  Win32TestMoveMouse(30, -15);
  GetCursorPos(&point);
  EXPECT_EQ(point.x, 660);
  EXPECT_EQ(point.y, 350);
  ShowCursor(TRUE);
  // Positions round-trip through the scaled view.
  for (int x : {0, 1, 639, 1279}) {
    SetCursorPos(x, 719);
    GetCursorPos(&point);
    EXPECT_EQ(point.x, x);
    EXPECT_EQ(point.y, 719);
  }
}

TEST(Win32MessageBox, HeadlessAnswersTheDefaultButtonAndQueuedAnswersComeFirst)
{
  Win32TestTakeMessageBoxes();
  EXPECT_EQ(MessageBoxA(nullptr, "フルスクリーンにしますか？", "確認", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2),
            IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "q", "c", MB_YESNO), IDYES);
  EXPECT_EQ(MessageBoxA(nullptr, "ファイルオープンに失敗しました", "失敗", MB_OK), IDOK);
  EXPECT_EQ(MessageBoxA(nullptr, "q", "c", MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
  Win32TestQueueMessageBoxAnswer(IDYES);
  Win32TestQueueMessageBoxAnswer(IDNO);
  EXPECT_EQ(Win32TestQueuedMessageBoxAnswers(), 2);
  EXPECT_EQ(MessageBoxA(nullptr, "a", "b", MB_YESNO | MB_DEFBUTTON2), IDYES);
  EXPECT_EQ(MessageBoxA(nullptr, "a", "b", MB_YESNO), IDNO);
  EXPECT_EQ(Win32TestQueuedMessageBoxAnswers(), 0);
  const std::vector<Win32MessageBoxRecord> boxes = Win32TestTakeMessageBoxes();
  ASSERT_EQ(boxes.size(), 6u);
  EXPECT_EQ(boxes[0].text, "フルスクリーンにしますか？");
  EXPECT_EQ(boxes[0].caption, "確認");
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2));
  EXPECT_EQ(boxes[0].answer, IDNO);
  EXPECT_EQ(boxes[4].answer, IDYES);
  EXPECT_TRUE(Win32TestTakeMessageBoxes().empty());
}

// A loader that quotes a damaged file hands the box raw bytes; only readable text is shown,
// Japanese kept, control bytes, stray and overlong UTF-8 replaced, an endless text cut.
TEST(Win32MessageBox, OnlyPrintableTextReachesTheBox)
{
  Win32TestTakeMessageBoxes();
  const std::string raw =
      std::string("line 1: bad word '\x01\x7f\xff\xfe") + "\xc0\xaf" + "\xed\xa0\x80" + "\xe3\x81" + "'\r\n失敗\tok";
  MessageBoxA(nullptr, raw.c_str(), "シェーダ\x1b[31m", MB_OK);
  MessageBoxA(nullptr, std::string(100000, 'x').c_str(), "long", MB_OK);
  const std::vector<Win32MessageBoxRecord> boxes = Win32TestTakeMessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "line 1: bad word '" + std::string(11, '?') + "'\n失敗\tok");
  EXPECT_EQ(boxes[0].caption, "シェーダ?[31m");
  EXPECT_LT(boxes[1].text.size(), 2100u);
  EXPECT_EQ(boxes[1].text.substr(boxes[1].text.size() - 3), "...");
}

TEST(Win32Clock, FixedClockWrapsAndWaitingMovesItOn)
{
  Win32TestSetClock(0xFFFFFFF0u);
  EXPECT_EQ(timeGetTime(), 0xFFFFFFF0u);
  Win32TestAdvanceClock(0x20);
  EXPECT_EQ(timeGetTime(), 0x10u) << "wraps at 2^32";
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 7, QS_ALLINPUT), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(timeGetTime(), 0x17u) << "a wait under the fixed clock lets simulated time pass";
  Win32TestUseRealClock();
  const DWORD before = timeGetTime();
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_GE(timeGetTime() - before, 19u) << "the real wait sleeps for the time asked";
  EXPECT_EQ(timeBeginPeriod(1), static_cast<MMRESULT>(TIMERR_NOERROR));
  EXPECT_EQ(timeEndPeriod(1), static_cast<MMRESULT>(TIMERR_NOERROR));
}

TEST(Win32Clock, WaitEndsAtOnceWhenAMessageIsQueued)
{
  PostMessageA(nullptr, WM_USER, 0, 0);
  const DWORD before = timeGetTime();
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 5000, QS_ALLINPUT), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_LT(timeGetTime() - before, 1000u);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
}

TEST(Win32File, MoveFileExReplacesTheTargetOnlyWhenAsked)
{
  const std::string from = ::testing::TempDir() + "solverica_move_from";
  const std::string to = ::testing::TempDir() + "solverica_move_to";
  std::ofstream(from) << "new";
  std::ofstream(to) << "old";
  EXPECT_FALSE(MoveFileExA(from.c_str(), to.c_str(), 0)) << "target exists";
  EXPECT_TRUE(MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
  std::string content;
  std::ifstream(to) >> content;
  EXPECT_EQ(content, "new");
  EXPECT_FALSE(std::ifstream(from).good());
  EXPECT_FALSE(MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) << "source gone";
  std::remove(to.c_str());
}

TEST(Win32Class, TheIconResourceIsResIconPngWhenItExists)
{
  const std::filesystem::path previous = std::filesystem::current_path();
  const std::filesystem::path scratch = std::filesystem::path(::testing::TempDir()) / "solverica_icon";
  std::filesystem::remove_all(scratch);
  std::filesystem::create_directories(scratch / "res");
  std::filesystem::current_path(scratch);
  EXPECT_EQ(LoadIconA(GetModuleHandleA(nullptr), "MYICON"), nullptr) << "no file: SDL's default icon";
  const unsigned char pixels[4 * 4] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 128};
  ASSERT_NE(stbi_write_png("res/icon.png", 2, 2, 4, pixels, 8), 0);
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), "MYICON");
  EXPECT_NE(icon, nullptr);
  EXPECT_EQ(LoadIconA(GetModuleHandleA(nullptr), "MYICON"), icon) << "loaded once";
  EXPECT_EQ(LoadIconA(GetModuleHandleA(nullptr), IDI_APPLICATION), nullptr);
  // A class carrying the icon makes a window as usual.
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = RecordingProc;
  windowClass.hIcon = icon;
  windowClass.hIconSm = icon;
  windowClass.lpszClassName = "IconWindow";
  ASSERT_NE(RegisterClassExA(&windowClass), 0);
  HWND window = CreateWindowExA(0, "IconWindow", "icon", WS_CAPTION, 0, 0, 64, 64, nullptr, nullptr, nullptr, nullptr);
  EXPECT_NE(window, nullptr);
  DestroyWindow(window);
  Pump();
  std::filesystem::current_path(previous);
  std::filesystem::remove_all(scratch);
}

// The low-fragmentation request maps large blocks on their own and keeps small ones in
// the heap; anything else is refused.
TEST(Win32Heap, LowFragmentationMapsLargeBlocksOnTheirOwn)
{
  ULONG lowFragmentation = HEAP_LOW_FRAGMENTATION;
  ULONG other = 1;
  int notAHeap = 0;
  EXPECT_FALSE(HeapSetInformation(&notAHeap, HeapCompatibilityInformation, &lowFragmentation, sizeof(ULONG)));
  EXPECT_FALSE(HeapSetInformation(GetProcessHeap(), HeapCompatibilityInformation, &other, sizeof(ULONG)));
  EXPECT_FALSE(HeapSetInformation(GetProcessHeap(), HeapCompatibilityInformation, nullptr, sizeof(ULONG)));
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizers' allocator has no threshold to set";
#else
  ASSERT_TRUE(HeapSetInformation(GetProcessHeap(), HeapCompatibilityInformation, &lowFragmentation, sizeof(ULONG)));
  // A freed mapped block would move glibc's default threshold past these sizes. The
  // blocks are kept in volatile pointers so that the compiler cannot leave them out.
  void* volatile released = std::malloc(8 << 20);
  std::free(released);
  const size_t mappedBefore = mallinfo2().hblkhd;
  void* volatile large = std::malloc(600 * 1024);
  const size_t mappedWithLarge = mallinfo2().hblkhd;
  void* volatile small = std::malloc(400 * 1024);
  EXPECT_GE(mappedWithLarge, mappedBefore + 600 * 1024);
  EXPECT_EQ(mallinfo2().hblkhd, mappedWithLarge);
  std::free(small);
  std::free(large);
  // Small blocks freed from the heap's top, as a renderer's frame frees them, stay
  // there for the next frame instead of going back to the system one by one.
  std::vector<void*> frameBlocks;
  for (int i = 0; i < 48; ++i) frameBlocks.push_back(std::malloc(64 * 1024));
  for (auto block = frameBlocks.rbegin(); block != frameBlocks.rend(); ++block) std::free(*block);
  EXPECT_GE(mallinfo2().keepcost, 1u << 20);
#endif
}
