// PNG, DDS and normal-map output.
#include "image/image_writers.h"

#include <stb_image_write.h>

#include <algorithm>
#include <cmath>

#include "core/output.h"

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

}  // namespace

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
  const uint32_t size32 = static_cast<uint32_t>(size);
  out.insert(out.end(), {'D', 'D', 'S', ' '});
  Put32(&out, 124);                             // dwSize
  Put32(&out, 0x1 | 0x2 | 0x4 | 0x8 | 0x1000);  // CAPS | HEIGHT | WIDTH | PITCH | PIXELFORMAT
  Put32(&out, size32);                          // dwHeight
  Put32(&out, size32);                          // dwWidth
  Put32(&out, size32 * 4);                      // dwPitchOrLinearSize
  Put32(&out, 0);                               // dwDepth
  Put32(&out, 1);                               // dwMipMapCount
  for (int i = 0; i < 11; ++i) Put32(&out, 0);  // dwReserved1
  Put32(&out, 32);                              // ddspf.dwSize
  Put32(&out, 0x40 | 0x1);                      // DDPF_RGB | DDPF_ALPHAPIXELS
  Put32(&out, 0);                               // dwFourCC
  Put32(&out, 32);                              // dwRGBBitCount
  Put32(&out, 0x00FF0000);                      // R mask
  Put32(&out, 0x0000FF00);                      // G mask
  Put32(&out, 0x000000FF);                      // B mask
  Put32(&out, 0xFF000000);                      // A mask
  Put32(&out, 0x1000 | 0x8);                    // DDSCAPS_TEXTURE | DDSCAPS_COMPLEX
  Put32(&out, 0x200 | 0xFC00);                  // DDSCAPS2_CUBEMAP and all six faces
  Put32(&out, 0);
  Put32(&out, 0);
  Put32(&out, 0);  // dwReserved2
  for (const CCanvas& face : faces) {
    const std::vector<uint8_t> rgba = face.ToRgba8();
    for (size_t i = 0; i < rgba.size(); i += 4) {
      out.insert(out.end(), {rgba[i + 2], rgba[i + 1], rgba[i], rgba[i + 3]});
    }
  }
  return out;
}

// Direct3D's cube face axes (u right, v down when looking out from the centre).
void CubeFaceDirection(int face, float u, float v, float* x, float* y, float* z)
{
  switch (face) {
    case 0: *x = 1; *y = -v; *z = -u; break;
    case 1: *x = -1; *y = -v; *z = u; break;
    case 2: *x = u; *y = 1; *z = v; break;
    case 3: *x = u; *y = -1; *z = -v; break;
    case 4: *x = u; *y = -v; *z = 1; break;
    default: *x = -u; *y = -v; *z = -1; break;
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
      out.SetPixel(x, y, {std::clamp(flat + nx / len * 0.5f, 0.0f, 1.0f), std::clamp(flat + ny / len * 0.5f, 0.0f, 1.0f),
                          1.0f / len, 1.0f});
    }
  }
  return out;
}

}  // namespace contentgen
