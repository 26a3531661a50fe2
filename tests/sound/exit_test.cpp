// The sound device is closed whichever way a program leaves. The probe program (the
// game's sound code: the device, streamed music, an effect, sounds held by static
// objects) is run twelve times at once in each of its four ways out; on two cores the runs
// crowd each other as a busy machine's do. Every run must end with status 0, and
// OpenAL must not find a device still open when it shuts down (which, with the stream
// thread still calling it, ended test programs in an assertion).
#include "../support/shell_run.h"
#include "wav_bytes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Runs `runs` copies of the probe for each way at the same time; each leaves its status
// and standard error in the folder.
void RunProbesAtOnce(const std::string& dir, const char* const* ways, int wayCount, int runs)
{
  std::string script = "cd '" + dir + "' && for i in $(seq " + std::to_string(runs) + "); do";
  for (int w = 0; w < wayCount; ++w) {
    const std::string way = ways[w];
    script += " ('" SOUND_EXIT_PROBE "' " + way + " >/dev/null 2>" + way + ".$i.err; echo $? >" + way + ".$i.status) &";
  }
  script += " done; wait";
  const Ran ran = RunCommand(script);
  ASSERT_EQ(ran.status, 0) << ran.output;
}

TEST(SoundExit, EveryWayOutClosesTheDeviceUnderLoad)
{
  const std::string dir = wavbytes::MakeTempDir();
  ASSERT_FALSE(dir.empty());
  const char* const ways[] = {"return", "exit", "thread", "uninit"};
  const int runs = 12;  // 48 at once: a sanitizer build's processes are large
  RunProbesAtOnce(dir, ways, 4, runs);
  for (const char* way : ways) {
    int clean = 0;
    for (int i = 1; i <= runs; ++i) {
      const std::string name = dir + "/" + way + "." + std::to_string(i);
      const std::string status = ReadText(name + ".status");
      const std::string errors = ReadText(name + ".err");
      EXPECT_EQ(status, "0\n") << way << " run " << i << " ended with " << status << errors;
      EXPECT_EQ(errors.find("not closed"), std::string::npos) << way << " run " << i << ": " << errors;
      EXPECT_EQ(errors.find("ssertion"), std::string::npos) << way << " run " << i << ": " << errors;
      if (status == "0\n" && errors.empty()) ++clean;
    }
    std::printf("%s: %d of %d runs clean\n", way, clean, runs);
  }
  wavbytes::RemoveTempDir(dir);
}

}  // namespace
