// libFuzzer target for the stage source reader and checker: any bytes are checked
// without a crash or a hang, every note points inside the text (a line that exists, a
// column within it or just past its end) with a printable one-line message, the counts
// agree with the notes, and a source with no errors builds meshes the engine can load.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "mesh/xfile_writer.h"
#include "stage/stage_checker.h"

namespace {

// The 1-based line's length in bytes, or -1 when the text has no such line.
long LineLength(const std::string& text, int line)
{
  size_t start = 0;
  for (int i = 1; i < line; ++i) {
    start = text.find('\n', start);
    if (start == std::string::npos) return -1;
    ++start;
  }
  const size_t end = text.find('\n', start);
  return static_cast<long>((end == std::string::npos ? text.size() : end) - start);
}

}  // namespace

// One input, checked whole.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  const std::string text(reinterpret_cast<const char*>(data), size);
  stagebuild::StageGeometry geometry;
  const stagebuild::StageCheckResult result = stagebuild::CheckStageSource(text, &geometry);
  int errors = 0, warnings = 0;
  for (const stagebuild::StageNote& note : result.notes) {
    ++(note.kind == stagebuild::StageNoteKind::Error ? errors : warnings);
    if (note.message.empty() || note.line < 1 || note.column < 1) std::abort();
    for (const char c : note.message) {
      if (c < ' ' || c > '~') std::abort();
    }
    const long length = LineLength(text, note.line);
    // "no goal" and "no solids" stand at the last line, which may be empty or unended.
    if (length >= 0 && note.column > length + 1 + 3) std::abort();  // + 3: a byte order mark
  }
  if (errors != result.errors || warnings != result.warnings) std::abort();
  if (result.errors > 0) return 0;
  std::string x, error;
  if (!stagebuild::FormatXFile(geometry.map, "map.x", &x, &error)) std::abort();
  if (!stagebuild::FormatXFile(geometry.depthMap, "depth_map.x", &x, &error)) std::abort();
  return 0;
}
