// The entry of every test program: headless video and the silent sound device unless
// the caller chose otherwise, so a test behaves the same from ctest, a shell or gdb.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("ALSOFT_DRIVERS", "null", 0);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
