// The queue of generated files.
#include "art/art_context.h"

#include "core/output.h"
#include "image/image_writers.h"
#include "mesh/xfile_writer.h"

namespace contentgen {

// A later file of the same name replaces the earlier one.
void CArtContext::AddFile(const std::string& relative, std::vector<uint8_t> bytes)
{
  queued[relative] = std::move(bytes);
}

// PNG through stb_image_write.
bool CArtContext::AddPng(const std::string& relative, const CCanvas& canvas, std::string* error)
{
  std::vector<uint8_t> png = EncodePng(canvas);
  if (png.empty()) {
    *error = Res(relative) + ": PNG encoding failed";
    return false;
  }
  AddFile(relative, std::move(png));
  return true;
}

// Text .x.
bool CArtContext::AddMesh(const std::string& relative, const CMeshData& mesh, std::string* error)
{
  std::string text;
  if (!FormatXFile(mesh, Res(relative), &text, error)) return false;
  AddFile(relative, std::vector<uint8_t>(text.begin(), text.end()));
  return true;
}

// In name order, stopping at the first failure.
bool CArtContext::WriteQueued(std::string* error)
{
  for (const auto& [relative, bytes] : queued) {
    if (!WriteFileAtomic(Res(relative), bytes, error)) return false;
  }
  queued.clear();
  return true;
}

}  // namespace contentgen
