// DDS reading: header checks, then every face and level decoded to B, G, R, A bytes.
// Sizes are checked against the bytes present before anything is read, in 64-bit
// arithmetic, and sides are capped, so a hostile header can neither overrun nor
// make us allocate gigabytes.
#include "dds_reader.h"

#include <cstring>

namespace {

const uint32_t kMaxSide = 16384;
const uint32_t kHeaderSize = 124;
const uint32_t kPixelFormatSize = 32;
const uint32_t kFlagFourCC = 0x4;
const uint32_t kFlagRgb = 0x40;
const uint32_t kFlagAlphaPixels = 0x1;
const uint32_t kFlagAlphaOnly = 0x2;
const uint32_t kFlagLuminance = 0x20000;
const uint32_t kCapsMipmap = 0x400000;
const uint32_t kCaps2Cubemap = 0x200;
const uint32_t kCaps2AllFaces = 0xFC00;
const uint32_t kHeaderFlagMipCount = 0x20000;

// Little-endian 32-bit read; the caller has checked the bounds.
uint32_t Read32(const uint8_t* p)
{
  return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

// How one uncompressed channel sits in a pixel: shift and width of its mask.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;
};

// Shift and width of a channel mask (empty for 0).
Channel MakeChannel(uint32_t mask)
{
  Channel c;
  c.mask = mask;
  if (!mask) return c;
  while (!((mask >> c.shift) & 1)) ++c.shift;
  while (c.shift + c.bits < 32 && ((mask >> (c.shift + c.bits)) & 1)) ++c.bits;
  return c;
}

// A channel's value scaled to 0..255; a missing channel reads as `fallback`.
uint8_t Extract(uint32_t pixel, const Channel& c, uint8_t fallback)
{
  if (!c.mask) return fallback;
  const uint32_t value = (pixel & c.mask) >> c.shift;
  const uint32_t maxValue = c.bits >= 32 ? 0xffffffffu : ((1u << c.bits) - 1);
  if (maxValue == 0) return fallback;
  return (uint8_t)(((uint64_t)value * 255 + maxValue / 2) / maxValue);
}

// RGB 5:6:5 to 8-bit channels.
void Expand565(uint16_t c, uint8_t rgb[3])
{
  rgb[0] = (uint8_t)(((c >> 11) & 31) * 255 / 31);
  rgb[1] = (uint8_t)(((c >> 5) & 63) * 255 / 63);
  rgb[2] = (uint8_t)((c & 31) * 255 / 31);
}

// Decodes one 8-byte DXT colour block into a 4x4 BGRA tile; DXT1 may use the 3-colour mode.
void DecodeColourBlock(const uint8_t* block, bool dxt1, uint8_t tile[16][4])
{
  const uint16_t c0 = (uint16_t)(block[0] | (block[1] << 8));
  const uint16_t c1 = (uint16_t)(block[2] | (block[3] << 8));
  uint8_t palette[4][4];  // r, g, b, a
  Expand565(c0, palette[0]);
  Expand565(c1, palette[1]);
  palette[0][3] = palette[1][3] = 255;
  if (c0 > c1 || !dxt1) {
    for (int k = 0; k < 3; ++k) {
      palette[2][k] = (uint8_t)((2 * palette[0][k] + palette[1][k] + 1) / 3);
      palette[3][k] = (uint8_t)((palette[0][k] + 2 * palette[1][k] + 1) / 3);
    }
    palette[2][3] = palette[3][3] = 255;
  } else {
    for (int k = 0; k < 3; ++k) {
      palette[2][k] = (uint8_t)((palette[0][k] + palette[1][k]) / 2);
      palette[3][k] = 0;
    }
    palette[2][3] = 255;
    palette[3][3] = 0;
  }
  const uint32_t bits = Read32(block + 4);
  for (int i = 0; i < 16; ++i) {
    const uint8_t* p = palette[(bits >> (2 * i)) & 3];
    tile[i][0] = p[2];
    tile[i][1] = p[1];
    tile[i][2] = p[0];
    tile[i][3] = p[3];
  }
}

// DXT3: explicit 4-bit alphas.
void DecodeExplicitAlpha(const uint8_t* block, uint8_t tile[16][4])
{
  for (int i = 0; i < 16; ++i) {
    const uint8_t nibble = (uint8_t)((block[i / 2] >> ((i & 1) * 4)) & 15);
    tile[i][3] = (uint8_t)(nibble * 17);
  }
}

// DXT5: two endpoints and 3-bit indices.
void DecodeInterpolatedAlpha(const uint8_t* block, uint8_t tile[16][4])
{
  const uint32_t a0 = block[0], a1 = block[1];
  uint8_t palette[8];
  palette[0] = (uint8_t)a0;
  palette[1] = (uint8_t)a1;
  if (a0 > a1) {
    for (uint32_t k = 1; k < 7; ++k) palette[k + 1] = (uint8_t)(((7 - k) * a0 + k * a1 + 3) / 7);
  } else {
    for (uint32_t k = 1; k < 5; ++k) palette[k + 1] = (uint8_t)(((5 - k) * a0 + k * a1 + 2) / 5);
    palette[6] = 0;
    palette[7] = 255;
  }
  uint64_t bits = 0;
  for (int i = 0; i < 6; ++i) bits |= (uint64_t)block[2 + i] << (8 * i);
  for (int i = 0; i < 16; ++i) tile[i][3] = palette[(bits >> (3 * i)) & 7];
}

// The Direct3D format a masked layout stands for, as D3DX reports it; layouts with no
// name of their own report the nearest 32-bit one.
D3DFORMAT MaskedFormat(uint32_t pfFlags, uint32_t bitCount, uint32_t redMask, uint32_t alphaMask)
{
  if (pfFlags & kFlagLuminance) {
    if (bitCount == 8) return alphaMask ? D3DFMT_A4L4 : D3DFMT_L8;
    return D3DFMT_A8L8;
  }
  if (!(pfFlags & kFlagRgb)) return D3DFMT_A8;
  if (bitCount == 16) {
    if (redMask == 0xf800) return D3DFMT_R5G6B5;
    if (redMask == 0x7c00) return alphaMask ? D3DFMT_A1R5G5B5 : D3DFMT_X1R5G5B5;
    if (redMask == 0x0f00) return alphaMask ? D3DFMT_A4R4G4B4 : D3DFMT_X4R4G4B4;
  }
  if (bitCount == 24) return D3DFMT_R8G8B8;
  return alphaMask ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
}

// Bytes one level occupies in the file.
uint64_t LevelBytes(D3DFORMAT format, uint32_t bitsPerPixel, uint32_t w, uint32_t h)
{
  const uint64_t blocks = (uint64_t)((w + 3) / 4) * ((h + 3) / 4);
  if (format == D3DFMT_DXT1) return blocks * 8;
  if (format == D3DFMT_DXT3 || format == D3DFMT_DXT5) return blocks * 16;
  return (uint64_t)w * h * (bitsPerPixel / 8);
}

// The pixel layout of the file: a DXT format, or channels given by their masks.
struct PixelLayout {
  D3DFORMAT format = D3DFMT_UNKNOWN;
  uint32_t bitCount = 0;
  Channel red, green, blue, alpha;
};

// Reads the 32-byte pixel format (its size already checked); null on success, otherwise
// why it is refused.
const char* ReadPixelFormat(const uint8_t* pf, PixelLayout* layout)
{
  const uint32_t pfFlags = Read32(pf + 4);
  const uint32_t fourCC = Read32(pf + 8);
  const uint32_t bitCount = Read32(pf + 12);
  layout->bitCount = bitCount;
  if (pfFlags & kFlagFourCC) {
    if (fourCC != D3DFMT_DXT1 && fourCC != D3DFMT_DXT3 && fourCC != D3DFMT_DXT5) return "unsupported compressed format";
    layout->format = (D3DFORMAT)fourCC;
    return nullptr;
  }
  if (!(pfFlags & (kFlagRgb | kFlagLuminance | kFlagAlphaOnly))) return "unsupported pixel format";
  if (bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32) return "unsupported bit count";
  Channel& red = layout->red;
  Channel& green = layout->green;
  Channel& blue = layout->blue;
  Channel& alpha = layout->alpha;
  if (pfFlags & (kFlagRgb | kFlagLuminance)) red = MakeChannel(Read32(pf + 16));
  if (pfFlags & kFlagRgb) {
    green = MakeChannel(Read32(pf + 20));
    blue = MakeChannel(Read32(pf + 24));
  }
  // Luminance is grey: the one mask feeds all three colours.
  if (pfFlags & kFlagLuminance) green = blue = red;
  if (pfFlags & (kFlagAlphaPixels | kFlagAlphaOnly)) alpha = MakeChannel(Read32(pf + 28));
  const uint64_t limit = bitCount == 32 ? 0xffffffffull : (1ull << bitCount) - 1;
  if ((uint64_t)(red.mask | green.mask | blue.mask | alpha.mask) > limit) return "masks wider than the pixel";
  if (!red.mask && !green.mask && !blue.mask && !alpha.mask) return "no channel masks";
  layout->format = MaskedFormat(pfFlags, bitCount, red.mask, alpha.mask);
  return nullptr;
}

// True for the block-compressed formats.
bool IsDxt(D3DFORMAT format)
{
  return format == D3DFMT_DXT1 || format == D3DFMT_DXT3 || format == D3DFMT_DXT5;
}

// Decodes one w x h level of DXT blocks into BGRA; a DXT1 block using its transparent
// colour marks the image as having alpha.
void DecodeBlocks(const uint8_t* p, D3DFORMAT format, uint32_t w, uint32_t h, uint8_t* out, bool* hasAlpha)
{
  const uint32_t blockBytes = format == D3DFMT_DXT1 ? 8 : 16;
  for (uint32_t by = 0; by < (h + 3) / 4; ++by) {
    for (uint32_t bx = 0; bx < (w + 3) / 4; ++bx) {
      uint8_t tile[16][4];
      const uint8_t* block = p + ((size_t)by * ((w + 3) / 4) + bx) * blockBytes;
      if (format == D3DFMT_DXT1) {
        DecodeColourBlock(block, true, tile);
        for (int i = 0; i < 16; ++i)
          if (tile[i][3] == 0) *hasAlpha = true;
      } else {
        DecodeColourBlock(block + 8, false, tile);
        if (format == D3DFMT_DXT3)
          DecodeExplicitAlpha(block, tile);
        else
          DecodeInterpolatedAlpha(block, tile);
      }
      for (uint32_t i = 0; i < 16; ++i) {
        const uint32_t x = bx * 4 + (i & 3), y = by * 4 + (i >> 2);
        if (x < w && y < h) std::memcpy(&out[((size_t)y * w + x) * 4], tile[i], 4);
      }
    }
  }
}

// Decodes one w x h level of masked pixels into BGRA; missing alpha reads as opaque.
void DecodeMasked(const uint8_t* p, const PixelLayout& layout, uint32_t w, uint32_t h, uint8_t* out)
{
  const uint32_t bytes = layout.bitCount / 8;
  for (size_t i = 0; i < (size_t)w * h; ++i) {
    const uint8_t* s = p + i * bytes;
    uint32_t pixel = 0;
    for (uint32_t b = 0; b < bytes; ++b) pixel |= (uint32_t)s[b] << (8 * b);
    out[i * 4 + 0] = Extract(pixel, layout.blue, 0);
    out[i * 4 + 1] = Extract(pixel, layout.green, 0);
    out[i * 4 + 2] = Extract(pixel, layout.red, 0);
    out[i * 4 + 3] = Extract(pixel, layout.alpha, 255);
  }
}

}  // namespace

// Sides halve per level and stop at 1.
uint32_t DdsLevelSize(uint32_t size, uint32_t level)
{
  if (level >= 32) return 1;
  const uint32_t s = size >> level;
  return s ? s : 1;
}

// Parses the header, then decodes every face and level present.
bool ReadDds(const uint8_t* data, size_t size, DdsImage* image, std::string* error)
{
  *image = DdsImage();
  auto fail = [error](const char* why) {
    if (error) *error = why;
    return false;
  };
  if (!data || size < 4 + kHeaderSize) return fail("too short for a DDS header");
  if (std::memcmp(data, "DDS ", 4) != 0) return fail("not a DDS file");
  const uint8_t* h = data + 4;
  if (Read32(h) != kHeaderSize) return fail("bad header size");
  const uint32_t flags = Read32(h + 4);
  const uint32_t height = Read32(h + 8);
  const uint32_t width = Read32(h + 12);
  uint32_t mipCount = Read32(h + 24);
  const uint32_t caps = Read32(h + 104);
  const uint32_t caps2 = Read32(h + 108);
  if (Read32(h + 72) != kPixelFormatSize) return fail("bad pixel format size");
  if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) return fail("bad image size");
  PixelLayout layout;
  if (const char* why = ReadPixelFormat(h + 72, &layout)) return fail(why);
  const D3DFORMAT format = layout.format;

  uint32_t fullChain = 1;
  while ((width >> fullChain) || (height >> fullChain)) ++fullChain;
  if (!(flags & kHeaderFlagMipCount) && !(caps & kCapsMipmap)) mipCount = 1;
  if (mipCount == 0) mipCount = 1;
  if (mipCount > fullChain) return fail("more mip levels than the size allows");

  const bool cube = (caps2 & kCaps2Cubemap) != 0;
  if (cube && ((caps2 & kCaps2AllFaces) != kCaps2AllFaces || width != height))
    return fail("cube maps need six square faces");
  const uint32_t faces = cube ? 6 : 1;

  // Check that every level of every face is present before allocating anything.
  uint64_t needed = 4 + kHeaderSize;
  for (uint32_t face = 0; face < faces; ++face)
    for (uint32_t level = 0; level < mipCount; ++level)
      needed += LevelBytes(format, layout.bitCount, DdsLevelSize(width, level), DdsLevelSize(height, level));
  if (needed > size) return fail("file shorter than its images");

  image->width = width;
  image->height = height;
  image->levels = mipCount;
  image->cube = cube;
  image->fileFormat = format;
  image->hasAlpha = layout.alpha.mask != 0 || format == D3DFMT_DXT3 || format == D3DFMT_DXT5;
  image->images.resize((size_t)faces * mipCount);

  const uint8_t* p = data + 4 + kHeaderSize;
  for (uint32_t face = 0; face < faces; ++face) {
    for (uint32_t level = 0; level < mipCount; ++level) {
      const uint32_t w = DdsLevelSize(width, level);
      const uint32_t lh = DdsLevelSize(height, level);
      std::vector<uint8_t>& out = image->images[(size_t)face * mipCount + level];
      const size_t outBytes = (size_t)w * lh * 4;
      if (IsDxt(format)) {
        out.assign(outBytes, 0);
        DecodeBlocks(p, format, w, lh, out.data(), &image->hasAlpha);
      } else if (layout.bitCount == 32 && layout.blue.mask == 0xFF && layout.green.mask == 0xFF00 &&
                 layout.red.mask == 0xFF0000 && layout.alpha.mask == 0xFF000000) {
        // A8R8G8B8 already is B, G, R, A in memory: the common case, copied whole.
        out.assign(p, p + outBytes);
      } else {
        out.assign(outBytes, 0);
        DecodeMasked(p, layout, w, lh, out.data());
      }
      p += LevelBytes(format, layout.bitCount, w, lh);
    }
  }
  return true;
}
