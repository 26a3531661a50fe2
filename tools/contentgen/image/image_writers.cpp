// PNG, DDS and normal-map output.
#include "image/image_writers.h"

#include <stb_image_write.h>

#include <algorithm>
#include <cmath>

#include "core/output.h"
#include "ready_pixels.h"

namespace contentgen {

namespace {

// stb_image_write callback appending to a byte vector.
void AppendBytes(void* context, void* data, int size)
{
  auto* out = static_cast<std::vector<uint8_t>*>(context);
  const auto* bytes = static_cast<const uint8_t*>(data);
  out->insert(out->end(), bytes, bytes + size);
}

// Little-endian 32-bit value into the byte vector.
void Put32(std::vector<uint8_t>* out, uint32_t value)
{
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// The DDS header of an uncompressed A8R8G8B8 texture with `levels` mip levels: a 2D
// texture, or a cube map whose six faces follow each other, each with its levels.
void PutDdsHeader(std::vector<uint8_t>* out, uint32_t width, uint32_t height, uint32_t levels, bool cube)
{
  out->insert(out->end(), {'D', 'D', 'S', ' '});
  Put32(out, 124);                                                                    // dwSize
  Put32(out, 0x1 | 0x2 | 0x4 | 0x8 | 0x1000 | (levels > 1 ? 0x20000 : 0));            // ... PIXELFORMAT | MIPMAPCOUNT
  Put32(out, height);                                                                 // dwHeight
  Put32(out, width);                                                                  // dwWidth
  Put32(out, width * 4);                                                              // dwPitchOrLinearSize
  Put32(out, 0);                                                                      // dwDepth
  Put32(out, levels);                                                                 // dwMipMapCount
  for (int i = 0; i < 11; ++i) Put32(out, 0);                                         // dwReserved1
  Put32(out, 32);                                                                     // ddspf.dwSize
  Put32(out, 0x40 | 0x1);                                                             // DDPF_RGB | DDPF_ALPHAPIXELS
  Put32(out, 0);                                                                      // dwFourCC
  Put32(out, 32);                                                                     // dwRGBBitCount
  Put32(out, 0x00FF0000);                                                             // R mask
  Put32(out, 0x0000FF00);                                                             // G mask
  Put32(out, 0x000000FF);                                                             // B mask
  Put32(out, 0xFF000000);                                                             // A mask
  Put32(out, 0x1000 | (cube || levels > 1 ? 0x8 : 0) | (levels > 1 ? 0x400000 : 0));  // TEXTURE | COMPLEX | MIPMAP
  Put32(out, cube ? 0x200 | 0xFC00 : 0);  // DDSCAPS2_CUBEMAP and all six faces
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);  // dwReserved2
}

// One level's pixels as B, G, R, A bytes after the header.
void PutBgra(std::vector<uint8_t>* out, const CCanvas& level)
{
  const std::vector<uint8_t> rgba = level.ToRgba8();
  for (size_t i = 0; i < rgba.size(); i += 4) out->insert(out->end(), {rgba[i + 2], rgba[i + 1], rgba[i], rgba[i + 3]});
}

// The picture's mip levels from full size down to 1 x 1.
std::vector<CCanvas> MipChain(const CCanvas& picture)
{
  std::vector<CCanvas> chain = {picture};
  while (chain.back().Width() > 1 || chain.back().Height() > 1) chain.push_back(HalfLevel(chain.back()));
  return chain;
}

}  // namespace

// Each pixel averages the up to two by two it covers, premultiplied, so that clear
// texels lend no colour to their neighbours.
CCanvas HalfLevel(const CCanvas& level)
{
  CCanvas out(std::max(level.Width() / 2, 1), std::max(level.Height() / 2, 1));
  const int stepX = level.Width() > 1 ? 2 : 1, stepY = level.Height() > 1 ? 2 : 1;
  for (int y = 0; y < out.Height(); ++y) {
    for (int x = 0; x < out.Width(); ++x) {
      Color sum;
      for (int dy = 0; dy < stepY; ++dy) {
        for (int dx = 0; dx < stepX; ++dx) {
          const Color p = level.Pixel(x * stepX + dx, y * stepY + dy);
          sum = {sum.r + p.r * p.a, sum.g + p.g * p.a, sum.b + p.b * p.a, sum.a + p.a};
        }
      }
      const float alpha = sum.a / static_cast<float>(stepX * stepY);
      if (sum.a > 0) out.SetPixel(x, y, {sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, alpha});
    }
  }
  return out;
}

// Levels 1.. of the chain, the first of them as the file's top level.
std::vector<uint8_t> EncodeMipDds(const CCanvas& picture)
{
  std::vector<uint8_t> out;
  if (picture.Width() < 2 && picture.Height() < 2) return out;
  const std::vector<CCanvas> chain = MipChain(HalfLevel(picture));
  PutDdsHeader(&out, static_cast<uint32_t>(chain[0].Width()), static_cast<uint32_t>(chain[0].Height()),
               static_cast<uint32_t>(chain.size()), false);
  for (const CCanvas& level : chain) PutBgra(&out, level);
  return out;
}

// The picture itself as a one-level DDS, marked with the PNG it stands for.
std::vector<uint8_t> EncodeTopDds(const CCanvas& picture, const std::vector<uint8_t>& png)
{
  std::vector<uint8_t> out;
  PutDdsHeader(&out, static_cast<uint32_t>(picture.Width()), static_cast<uint32_t>(picture.Height()), 1, false);
  MarkReadyPixels(&out, png);
  PutBgra(&out, picture);
  return out;
}

// stb's PNG writer, to memory.
std::vector<uint8_t> EncodePng(const CCanvas& canvas)
{
  const std::vector<uint8_t> rgba = canvas.ToRgba8();
  std::vector<uint8_t> png;
  stbi_write_png_to_func(AppendBytes, &png, canvas.Width(), canvas.Height(), 4, rgba.data(), canvas.Width() * 4);
  return png;
}

// Encode and write.
bool WritePng(const CCanvas& canvas, const std::string& path, std::string* error)
{
  const std::vector<uint8_t> png = EncodePng(canvas);
  if (png.empty()) {
    *error = path + ": PNG encoding failed";
    return false;
  }
  return WriteFileAtomic(path, png, error);
}

// Header (124 bytes after the magic) then the faces, each B, G, R, A per texel.
std::vector<uint8_t> EncodeCubeDds(const std::vector<CCanvas>& faces)
{
  std::vector<uint8_t> out;
  if (faces.size() != 6) return out;
  const int size = faces[0].Width();
  for (const CCanvas& face : faces) {
    if (face.Width() != size || face.Height() != size) return out;
  }
  std::vector<std::vector<CCanvas>> chains;
  for (const CCanvas& face : faces) chains.push_back(MipChain(face));
  const uint32_t size32 = static_cast<uint32_t>(size);
  PutDdsHeader(&out, size32, size32, static_cast<uint32_t>(chains[0].size()), true);
  for (const std::vector<CCanvas>& chain : chains) {
    for (const CCanvas& level : chain) PutBgra(&out, level);
  }
  return out;
}

// Direct3D's cube face axes (u right, v down when looking out from the centre).
void CubeFaceDirection(int face, float u, float v, float* x, float* y, float* z)
{
  switch (face) {
  case 0:
    *x = 1;
    *y = -v;
    *z = -u;
    break;
  case 1:
    *x = -1;
    *y = -v;
    *z = u;
    break;
  case 2:
    *x = u;
    *y = 1;
    *z = v;
    break;
  case 3:
    *x = u;
    *y = -1;
    *z = -v;
    break;
  case 4:
    *x = u;
    *y = -v;
    *z = 1;
    break;
  default:
    *x = -u;
    *y = -v;
    *z = -1;
    break;
  }
}

// Central differences of the height, wrapped so tiling textures stay seamless.
CCanvas HeightToNormalMap(const CCanvas& height, float strength, float flat)
{
  const int w = height.Width(), h = height.Height();
  CCanvas out(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const float left = height.Pixel((x + w - 1) % w, y).r, right = height.Pixel((x + 1) % w, y).r;
      const float up = height.Pixel(x, (y + h - 1) % h).r, down = height.Pixel(x, (y + 1) % h).r;
      // Height rising to the right tilts the normal left; rising downwards tilts it up.
      const float nx = -(right - left) * 0.5f * strength, ny = (down - up) * 0.5f * strength;
      const float len = std::sqrt(nx * nx + ny * ny + 1.0f);
      out.SetPixel(x, y,
                   {std::clamp(flat + nx / len * 0.5f, 0.0f, 1.0f), std::clamp(flat + ny / len * 0.5f, 0.0f, 1.0f),
                    1.0f / len, 1.0f});
    }
  }
  return out;
}

}  // namespace contentgen
