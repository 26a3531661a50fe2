// The queue of generated files.
#include "art/art_context.h"

#include "core/output.h"
#include "image/image_writers.h"
#include "mesh/xfile_writer.h"
#include "ready_pixels.h"

namespace contentgen {

// The mesh and stage types of the stage builder, used here as our own.
using namespace stagebuild;

// A later file of the same name replaces the earlier one.
void CArtContext::AddFile(const std::string& relative, std::vector<uint8_t> bytes)
{
  queued[relative] = std::move(bytes);
}

namespace {

// Pictures drawn only texel for pixel (title, ending, menus and HUD, the icons) are
// loaded without mip levels; every other picture is a texture that needs them.
bool NeedsMipChain(const std::string& relative)
{
  for (const char* folder : {"title/", "ending/", "game/sprite/", "icons/"}) {
    if (relative.rfind(folder, 0) == 0) return false;
  }
  return relative != "icon.png";
}

// Pictures a stage loads get their pixels ready to upload beside them, so that a
// stage starts without inflating PNGs; the title's and ending's are loaded outside a stage.
bool NeedsReadyPixels(const std::string& relative)
{
  return relative.rfind("game/", 0) == 0;
}

}  // namespace

// PNG through stb_image_write; a texture also gets its mip chain made here, and a
// picture a stage loads its pixels ready to upload, so that loading only uploads them.
bool CArtContext::AddPng(const std::string& relative, const CCanvas& canvas, std::string* error)
{
  std::vector<uint8_t> png = EncodePng(canvas);
  if (png.empty()) {
    *error = Res(relative) + ": PNG encoding failed";
    return false;
  }
  if (NeedsReadyPixels(relative)) AddFile(BesideFileName(relative, ".top.dds"), EncodeTopDds(canvas, png));
  AddFile(relative, std::move(png));
  if (NeedsMipChain(relative)) {
    std::vector<uint8_t> mips = EncodeMipDds(canvas);
    if (!mips.empty()) AddFile(BesideFileName(relative, ".mips.dds"), std::move(mips));
  }
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
