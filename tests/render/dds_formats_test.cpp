// The uncompressed DDS layouts texture tools write by channel masks (16-bit 565, 1555,
// 4444 and their X forms, 8-bit luminance, luminance with alpha, alpha only), laid out
// byte for byte as the legacy DX9 writers put them: the pitch flag and pitch, the
// texture caps, a cube map's complex caps and all six faces.
#include "render_fixture.h"

#include <cstring>
#include <fstream>

#include "dds_reader.h"

namespace {

// One uncompressed layout: pixel-format flags, bits and the four masks.
struct Layout {
  uint32_t flags;
  uint32_t bits;
  uint32_t red, green, blue, alpha;
};

const Layout kR5G6B5 = {0x40, 16, 0xF800, 0x07E0, 0x001F, 0};
const Layout kA1R5G5B5 = {0x41, 16, 0x7C00, 0x03E0, 0x001F, 0x8000};
const Layout kX1R5G5B5 = {0x40, 16, 0x7C00, 0x03E0, 0x001F, 0};
const Layout kA4R4G4B4 = {0x41, 16, 0x0F00, 0x00F0, 0x000F, 0xF000};
const Layout kX4R4G4B4 = {0x40, 16, 0x0F00, 0x00F0, 0x000F, 0};
const Layout kL8 = {0x20000, 8, 0xFF, 0, 0, 0};
const Layout kA8L8 = {0x20001, 16, 0x00FF, 0, 0, 0xFF00};
const Layout kA4L4 = {0x20001, 8, 0x0F, 0, 0, 0xF0};
const Layout kA8 = {0x2, 8, 0, 0, 0, 0xFF};

// The header as a DX9 writer leaves it: caps, size, pixel format and pitch flags with the
// pitch, mip count and mip caps only when there are levels, cube caps for six faces.
std::vector<uint8_t> ToolHeader(uint32_t side, uint32_t mips, const Layout& layout, bool cube)
{
  std::vector<uint8_t> h(128, 0);
  auto put = [&h](size_t at, uint32_t v) { std::memcpy(&h[at], &v, 4); };
  std::memcpy(h.data(), "DDS ", 4);
  put(4, 124);
  put(8, 0x100F | (mips > 1 ? 0x20000 : 0));
  put(12, side);
  put(16, side);
  put(20, (side * layout.bits + 7) / 8);
  put(28, mips > 1 ? mips : 0);
  put(76, 32);
  put(80, layout.flags);
  put(88, layout.bits);
  put(92, layout.red);
  put(96, layout.green);
  put(100, layout.blue);
  put(104, layout.alpha);
  put(108, 0x1000 | (mips > 1 ? 0x400008 : 0) | (cube ? 0x8 : 0));
  put(112, cube ? 0xFE00 : 0);
  return h;
}

// Appends pixels of the layout's width, little-endian.
void AppendPixels(std::vector<uint8_t>& bytes, const Layout& layout, std::initializer_list<uint32_t> pixels)
{
  for (uint32_t pixel : pixels)
    for (uint32_t b = 0; b < layout.bits / 8; ++b) bytes.push_back((uint8_t)(pixel >> (8 * b)));
}

// Texel i of level `index` as ARGB.
D3DCOLOR Texel(const DdsImage& image, size_t index, size_t i)
{
  const uint8_t* p = &image.images[index][i * 4];
  return (D3DCOLOR)p[3] << 24 | (D3DCOLOR)p[2] << 16 | (D3DCOLOR)p[1] << 8 | p[0];
}

// Reads a one-level 2 x 1 file of the layout; the two texels as ARGB.
std::vector<D3DCOLOR> ReadTwo(const Layout& layout, uint32_t first, uint32_t second, D3DFORMAT* format)
{
  std::vector<uint8_t> file = ToolHeader(2, 1, layout, false);
  std::memcpy(&file[12], "\x01\0\0\0", 4);  // one row
  AppendPixels(file, layout, {first, second});
  DdsImage image;
  std::string error;
  EXPECT_TRUE(ReadDds(file.data(), file.size(), &image, &error)) << error;
  if (image.images.empty()) return {};
  *format = image.fileFormat;
  return {Texel(image, 0, 0), Texel(image, 0, 1)};
}

}  // namespace

// Each 16-bit layout: its D3D format, full channels at 255, a mid value rounded from its
// bits (5 bits: 16 -> 132, 6 bits: 32 -> 130, 4 bits: 8 -> 136), X forms opaque.
TEST(DdsFormats, SixteenBitLayoutsExpandEveryChannel)
{
  D3DFORMAT format = D3DFMT_UNKNOWN;
  EXPECT_EQ(ReadTwo(kR5G6B5, 0xF800, (16u << 11) | (32u << 5) | 16u, &format),
            (std::vector<D3DCOLOR>{0xFFFF0000, 0xFF848284}));
  EXPECT_EQ(format, D3DFMT_R5G6B5);
  EXPECT_EQ(ReadTwo(kA1R5G5B5, 0x801F, 0x7C00, &format), (std::vector<D3DCOLOR>{0xFF0000FF, 0x00FF0000}));
  EXPECT_EQ(format, D3DFMT_A1R5G5B5);
  EXPECT_EQ(ReadTwo(kX1R5G5B5, 0x83E0, 0x0000, &format), (std::vector<D3DCOLOR>{0xFF00FF00, 0xFF000000}))
      << "the unused top bit is no alpha";
  EXPECT_EQ(format, D3DFMT_X1R5G5B5);
  EXPECT_EQ(ReadTwo(kA4R4G4B4, 0x8F08, 0xF0F0, &format), (std::vector<D3DCOLOR>{0x88FF0088, 0xFF00FF00}));
  EXPECT_EQ(format, D3DFMT_A4R4G4B4);
  EXPECT_EQ(ReadTwo(kX4R4G4B4, 0xF00F, 0x0F00, &format), (std::vector<D3DCOLOR>{0xFF0000FF, 0xFFFF0000}));
  EXPECT_EQ(format, D3DFMT_X4R4G4B4);
}

// Luminance is grey in all three colours; its alpha comes from its own mask.
TEST(DdsFormats, LuminanceAndAlphaLayoutsReadAsGreyAndAlpha)
{
  D3DFORMAT format = D3DFMT_UNKNOWN;
  EXPECT_EQ(ReadTwo(kL8, 0x00, 0x80, &format), (std::vector<D3DCOLOR>{0xFF000000, 0xFF808080}));
  EXPECT_EQ(format, D3DFMT_L8);
  EXPECT_EQ(ReadTwo(kA8L8, 0x40FF, 0xFF10, &format), (std::vector<D3DCOLOR>{0x40FFFFFF, 0xFF101010}));
  EXPECT_EQ(format, D3DFMT_A8L8);
  EXPECT_EQ(ReadTwo(kA4L4, 0xF8, 0x0F, &format), (std::vector<D3DCOLOR>{0xFF888888, 0x00FFFFFF}));
  EXPECT_EQ(format, D3DFMT_A4L4);
  EXPECT_EQ(ReadTwo(kA8, 0x7F, 0xFF, &format), (std::vector<D3DCOLOR>{0x7F000000, 0xFF000000}));
  EXPECT_EQ(format, D3DFMT_A8);
}

// A 16-bit cube map with its mip chain, as the tools write environment maps: faces in
// order, each with all its levels.
TEST(DdsFormats, SixteenBitCubeMapWithMipsReadsEveryFaceAndLevel)
{
  std::vector<uint8_t> file = ToolHeader(2, 2, kR5G6B5, true);
  for (uint32_t face = 0; face < 6; ++face) {
    AppendPixels(file, kR5G6B5, {face, face, face, face});
    AppendPixels(file, kR5G6B5, {0xFFFF});
  }
  DdsImage image;
  std::string error;
  ASSERT_TRUE(ReadDds(file.data(), file.size(), &image, &error)) << error;
  ASSERT_TRUE(image.cube);
  EXPECT_EQ(image.levels, 2u);
  for (uint32_t face = 0; face < 6; ++face) {
    EXPECT_EQ(Texel(image, face * 2, 3), 0xFF000000 | (face * 255 + 15) / 31) << face;
    EXPECT_EQ(Texel(image, face * 2 + 1, 0), 0xFFFFFFFFu);
  }
  file.resize(file.size() - 2);
  EXPECT_FALSE(ReadDds(file.data(), file.size(), &image, &error)) << "the last level is cut";
}

// Layouts that name no channel, masks beyond the pixel and odd bit counts are refused.
TEST(DdsFormats, ImpossibleMasksAndBitCountsAreRefused)
{
  DdsImage image;
  std::string error;
  for (const Layout& layout :
       {Layout{0x40, 16, 0x1F0000, 0, 0, 0}, Layout{0x40, 16, 0, 0, 0, 0}, Layout{0x20000, 8, 0x100, 0, 0, 0},
        Layout{0x40, 12, 0xF00, 0xF0, 0xF, 0}, Layout{0x40, 0, 0, 0, 0, 0}}) {
    std::vector<uint8_t> file = ToolHeader(2, 1, layout, false);
    file.insert(file.end(), 16, 0);
    EXPECT_FALSE(ReadDds(file.data(), file.size(), &image, &error)) << layout.bits << " " << layout.red;
  }
}

// Through D3DX: a 4444 file becomes a 2D texture and an L8 file a cube map, texel for texel.
TEST_F(RenderTest, SixteenBitAndLuminanceFilesLoadAsTextureAndCubeMap)
{
  const std::string dir = TestScratchDir();
  std::vector<uint8_t> flat = ToolHeader(2, 1, kA4R4G4B4, false);
  AppendPixels(flat, kA4R4G4B4, {0xFF00, 0x80F0, 0xF00F, 0x0FFF});
  std::ofstream(dir + "/argb4444.dds", std::ios::binary).write((const char*)flat.data(), (std::streamsize)flat.size());
  OstrelLibrary::CTexture texture;
  ASSERT_TRUE(texture.LoadFromFile(device, dir + "/argb4444.dds"));
  EXPECT_EQ(texture.imageInfo.Format, D3DFMT_A4R4G4B4);
  EXPECT_EQ(ReadSurface(texture.surface), (std::vector<D3DCOLOR>{0xFFFF0000, 0x8800FF00, 0xFF0000FF, 0x00FFFFFF}));

  std::vector<uint8_t> cube = ToolHeader(1, 1, kL8, true);
  for (uint8_t face = 0; face < 6; ++face) cube.push_back((uint8_t)(face * 50));
  std::ofstream(dir + "/grey_sky.dds", std::ios::binary).write((const char*)cube.data(), (std::streamsize)cube.size());
  IDirect3DCubeTexture9* cubeTexture = nullptr;
  ASSERT_EQ(D3DXCreateCubeTextureFromFileA(device, (dir + "/grey_sky.dds").c_str(), &cubeTexture), D3D_OK);
  for (uint32_t face = 0; face < 6; ++face) {
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(cubeTexture->GetCubeMapSurface((D3DCUBEMAP_FACES)face, 0, &surface), D3D_OK);
    const D3DCOLOR grey = face * 50;
    EXPECT_EQ(ReadSurface(surface), std::vector<D3DCOLOR>{0xFF000000 | grey << 16 | grey << 8 | grey});
    surface->Release();
  }
  EXPECT_EQ(cubeTexture->Release(), 0u);
}
