// The DDS reader on hand-built files (uncompressed, DXT1/3/5, mips, cube maps, broken
// headers) and DDS loading through D3DX into 2D and cube textures.
#include "render_fixture.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include <stb/stb_image_write.h>

#include "dds_reader.h"
#include "ready_pixels.h"

namespace {

// A DDS header for the given size and pixel format; the pixel data is appended by the caller.
std::vector<uint8_t> DdsHeader(uint32_t width, uint32_t height, uint32_t mips, uint32_t fourCC, uint32_t bits,
                               uint32_t alphaMask, bool cube)
{
  std::vector<uint8_t> h(128, 0);
  auto put = [&h](size_t at, uint32_t v) { std::memcpy(&h[at], &v, 4); };
  std::memcpy(h.data(), "DDS ", 4);
  put(4, 124);
  put(8, 0x1007 | (mips > 1 ? 0x20000 : 0));
  put(12, height);
  put(16, width);
  put(28, mips);
  put(76, 32);
  if (fourCC) {
    put(80, 0x4);
    put(84, fourCC);
  } else {
    put(80, 0x40 | (alphaMask ? 0x1 : 0));
    put(88, bits);
    put(92, 0x00FF0000);
    put(96, 0x0000FF00);
    put(100, 0x000000FF);
    put(104, alphaMask);
  }
  put(108, 0x1000 | (mips > 1 ? 0x400008 : 0) | (cube ? 0x8 : 0));
  put(112, cube ? 0xFE00 : 0);
  return h;
}

void Append32(std::vector<uint8_t>& bytes, uint32_t v)
{
  for (int i = 0; i < 4; ++i) bytes.push_back((uint8_t)(v >> (8 * i)));
}

// Pixel (x, y) of a decoded image as ARGB.
D3DCOLOR At(const DdsImage& image, size_t index, uint32_t x, uint32_t y, uint32_t width)
{
  const uint8_t* p = &image.images[index][((size_t)y * width + x) * 4];
  return (D3DCOLOR)p[3] << 24 | (D3DCOLOR)p[2] << 16 | (D3DCOLOR)p[1] << 8 | p[0];
}

}  // namespace

// 32-bit ARGB with two mip levels reads back texel for texel, level by level.
TEST(DdsReader, UncompressedWithMips)
{
  std::vector<uint8_t> file = DdsHeader(2, 2, 2, 0, 32, 0xFF000000, false);
  for (uint32_t c : {0xFFFF0000u, 0x8000FF00u, 0x000000FFu, 0xFF123456u, 0xFFABCDEFu}) Append32(file, c);
  DdsImage image;
  std::string error;
  ASSERT_TRUE(ReadDds(file.data(), file.size(), &image, &error)) << error;
  EXPECT_EQ(image.width, 2u);
  EXPECT_EQ(image.levels, 2u);
  EXPECT_FALSE(image.cube);
  EXPECT_EQ(image.fileFormat, D3DFMT_A8R8G8B8);
  EXPECT_EQ(At(image, 0, 0, 0, 2), 0xFFFF0000u);
  EXPECT_EQ(At(image, 0, 1, 0, 2), 0x8000FF00u);
  EXPECT_EQ(At(image, 0, 0, 1, 2), 0x000000FFu);
  EXPECT_EQ(At(image, 1, 0, 0, 1), 0xFFABCDEFu);
}

// 24-bit RGB without alpha reads as opaque.
TEST(DdsReader, TwentyFourBitIsOpaque)
{
  std::vector<uint8_t> file = DdsHeader(1, 1, 1, 0, 24, 0, false);
  file.insert(file.end(), {0x56, 0x34, 0x12});
  DdsImage image;
  ASSERT_TRUE(ReadDds(file.data(), file.size(), &image, nullptr));
  EXPECT_EQ(image.fileFormat, D3DFMT_R8G8B8);
  EXPECT_EQ(At(image, 0, 0, 0, 1), 0xFF123456u);
}

// DXT1: endpoints red and blue, four-colour mode; index patterns pick each palette entry.
// DXT1 three-colour mode gives transparent black for index 3.
TEST(DdsReader, Dxt1Blocks)
{
  std::vector<uint8_t> file = DdsHeader(4, 4, 1, D3DFMT_DXT1, 0, 0, false);
  // c0 = red 0xF800, c1 = blue 0x001F; row 0 indices 0,1,2,3, other rows 0.
  file.insert(file.end(), {0x00, 0xF8, 0x1F, 0x00, 0xE4, 0x00, 0x00, 0x00});
  DdsImage image;
  ASSERT_TRUE(ReadDds(file.data(), file.size(), &image, nullptr));
  EXPECT_EQ(At(image, 0, 0, 0, 4), 0xFFFF0000u);
  EXPECT_EQ(At(image, 0, 1, 0, 4), 0xFF0000FFu);
  EXPECT_EQ(At(image, 0, 2, 0, 4), 0xFFAA0055u);  // 2/3 red + 1/3 blue
  EXPECT_EQ(At(image, 0, 3, 0, 4), 0xFF5500AAu);
  EXPECT_EQ(At(image, 0, 0, 3, 4), 0xFFFF0000u);
  EXPECT_FALSE(image.hasAlpha);

  std::vector<uint8_t> punch = DdsHeader(4, 4, 1, D3DFMT_DXT1, 0, 0, false);
  punch.insert(punch.end(), {0x1F, 0x00, 0x00, 0xF8, 0xE4, 0x00, 0x00, 0x00});  // c0 < c1
  ASSERT_TRUE(ReadDds(punch.data(), punch.size(), &image, nullptr));
  EXPECT_EQ(At(image, 0, 2, 0, 4), 0xFF7F007Fu);  // the average
  EXPECT_EQ(At(image, 0, 3, 0, 4), 0x00000000u);
  EXPECT_TRUE(image.hasAlpha);
}

// DXT3 explicit alpha and DXT5 interpolated alpha.
TEST(DdsReader, Dxt3AndDxt5Alpha)
{
  std::vector<uint8_t> dxt3 = DdsHeader(4, 4, 1, D3DFMT_DXT3, 0, 0, false);
  dxt3.insert(dxt3.end(), {0xF0, 0x00, 0, 0, 0, 0, 0, 0});        // texel 0 alpha 0, texel 1 alpha 15
  dxt3.insert(dxt3.end(), {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0});  // white
  DdsImage image;
  ASSERT_TRUE(ReadDds(dxt3.data(), dxt3.size(), &image, nullptr));
  EXPECT_EQ(At(image, 0, 0, 0, 4), 0x00FFFFFFu);
  EXPECT_EQ(At(image, 0, 1, 0, 4), 0xFFFFFFFFu);

  std::vector<uint8_t> dxt5 = DdsHeader(4, 4, 1, D3DFMT_DXT5, 0, 0, false);
  // a0 = 255, a1 = 0 (eight-value mode); texel 0 index 0, texel 1 index 1, texel 2 index 2.
  const uint64_t indices = 0 | (1ull << 3) | (2ull << 6);
  dxt5.insert(dxt5.end(), {255, 0});
  for (int i = 0; i < 6; ++i) dxt5.push_back((uint8_t)(indices >> (8 * i)));
  dxt5.insert(dxt5.end(), {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0});
  ASSERT_TRUE(ReadDds(dxt5.data(), dxt5.size(), &image, nullptr));
  EXPECT_EQ(ChannelA(At(image, 0, 0, 0, 4)), 255);
  EXPECT_EQ(ChannelA(At(image, 0, 1, 0, 4)), 0);
  EXPECT_EQ(ChannelA(At(image, 0, 2, 0, 4)), (6 * 255 + 3) / 7);
}

// Odd sizes decode partial blocks without overrunning.
TEST(DdsReader, PartialBlocks)
{
  std::vector<uint8_t> file = DdsHeader(5, 3, 1, D3DFMT_DXT1, 0, 0, false);
  for (int block = 0; block < 2; ++block) file.insert(file.end(), {0x00, 0xF8, 0x1F, 0x00, 0, 0, 0, 0});
  DdsImage image;
  ASSERT_TRUE(ReadDds(file.data(), file.size(), &image, nullptr));
  ASSERT_EQ(image.images[0].size(), 5u * 3u * 4u);
  EXPECT_EQ(At(image, 0, 4, 2, 5), 0xFFFF0000u);
}

// Broken files are refused: truncation, bad magic or sizes, impossible mip counts,
// incomplete cube maps, unknown formats.
TEST(DdsReader, RejectsMalformedFiles)
{
  DdsImage image;
  std::string error;
  const std::vector<uint8_t> good = [] {
    std::vector<uint8_t> f = DdsHeader(4, 4, 1, D3DFMT_DXT1, 0, 0, false);
    f.insert(f.end(), 8, 0);
    return f;
  }();
  ASSERT_TRUE(ReadDds(good.data(), good.size(), &image, &error));
  EXPECT_FALSE(ReadDds(good.data(), good.size() - 1, &image, &error));
  EXPECT_FALSE(ReadDds(good.data(), 100, &image, &error));
  EXPECT_FALSE(ReadDds(nullptr, 0, &image, &error));

  std::vector<uint8_t> bad = good;
  bad[0] = 'X';
  EXPECT_FALSE(ReadDds(bad.data(), bad.size(), &image, &error));
  bad = DdsHeader(0x7fffffff, 0x7fffffff, 1, D3DFMT_DXT1, 0, 0, false);
  bad.insert(bad.end(), 8, 0);
  EXPECT_FALSE(ReadDds(bad.data(), bad.size(), &image, &error));
  bad = DdsHeader(4, 4, 9, D3DFMT_DXT1, 0, 0, false);  // a 4 x 4 image has 3 levels at most
  bad.insert(bad.end(), 200, 0);
  EXPECT_FALSE(ReadDds(bad.data(), bad.size(), &image, &error));
  bad = DdsHeader(4, 4, 1, 0x31545845 /* 'ETX1' */, 0, 0, false);
  bad.insert(bad.end(), 64, 0);
  EXPECT_FALSE(ReadDds(bad.data(), bad.size(), &image, &error));
  bad = DdsHeader(4, 4, 1, D3DFMT_DXT1, 0, 0, true);  // cube with one face's data
  bad.insert(bad.end(), 8, 0);
  EXPECT_FALSE(ReadDds(bad.data(), bad.size(), &image, &error));
  bad = DdsHeader(4, 2, 1, D3DFMT_DXT1, 0, 0, true);  // cube faces must be square
  bad.insert(bad.end(), 48, 0);
  EXPECT_FALSE(ReadDds(bad.data(), bad.size(), &image, &error));
}

// A six-face cube map decodes each face in file order.
TEST(DdsReader, CubeMapFaces)
{
  std::vector<uint8_t> file = DdsHeader(1, 1, 1, 0, 32, 0xFF000000, true);
  for (uint32_t face = 0; face < 6; ++face) Append32(file, 0xFF000000 | face * 0x10);
  DdsImage image;
  ASSERT_TRUE(ReadDds(file.data(), file.size(), &image, nullptr));
  ASSERT_TRUE(image.cube);
  ASSERT_EQ(image.images.size(), 6u);
  for (uint32_t face = 0; face < 6; ++face) EXPECT_EQ(At(image, face, 0, 0, 1), 0xFF000000 | face * 0x10);
}

// DDS through D3DX: a 2D texture keeps the file's levels; a cube map's faces hold their texels.
TEST_F(RenderTest, DdsLoadsAsTextureAndCubeMap)
{
  const std::string dir = TestScratchDir();
  std::vector<uint8_t> flat = DdsHeader(2, 2, 2, 0, 32, 0xFF000000, false);
  for (uint32_t c : {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu, 0xFF808080u}) Append32(flat, c);
  std::ofstream(dir + "/flat.dds", std::ios::binary).write((const char*)flat.data(), (std::streamsize)flat.size());
  OstrelLibrary::CTexture texture;
  ASSERT_TRUE(texture.LoadFromFile(device, dir + "/flat.dds"));
  EXPECT_EQ(texture.imageInfo.ImageFileFormat, D3DXIFF_DDS);
  EXPECT_EQ(texture.imageInfo.MipLevels, 2u);
  EXPECT_EQ(ReadSurface(texture.surface), (std::vector<D3DCOLOR>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}));
  IDirect3DSurface9* level1 = nullptr;
  ASSERT_EQ(texture.texture->GetSurfaceLevel(1, &level1), D3D_OK);
  EXPECT_EQ(ReadSurface(level1), std::vector<D3DCOLOR>{0xFF808080});
  level1->Release();

  std::vector<uint8_t> cube = DdsHeader(2, 2, 1, 0, 32, 0xFF000000, true);
  for (uint32_t face = 0; face < 6; ++face)
    for (int i = 0; i < 4; ++i) Append32(cube, 0xFF000000 | (face * 40) << 16 | (uint32_t)i);
  std::ofstream(dir + "/sky.dds", std::ios::binary).write((const char*)cube.data(), (std::streamsize)cube.size());
  IDirect3DCubeTexture9* cubeTexture = nullptr;
  ASSERT_EQ(D3DXCreateCubeTextureFromFileA(device, (dir + "/sky.dds").c_str(), &cubeTexture), D3D_OK);
  EXPECT_EQ(cubeTexture->GetLevelCount(), 2u);  // full chain made for a one-level file
  for (uint32_t face = 0; face < 6; ++face) {
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(cubeTexture->GetCubeMapSurface((D3DCUBEMAP_FACES)face, 0, &surface), D3D_OK);
    const std::vector<D3DCOLOR> texels = ReadSurface(surface);
    ASSERT_EQ(texels.size(), 4u);
    EXPECT_EQ(texels[3], 0xFF000000 | (face * 40) << 16 | 3u);
    surface->Release();
    // The level the file lacks is the mean of the four texels, made on the CPU.
    ASSERT_EQ(cubeTexture->GetCubeMapSurface((D3DCUBEMAP_FACES)face, 1, &surface), D3D_OK);
    EXPECT_EQ(ReadSurface(surface), std::vector<D3DCOLOR>{0xFF000000 | (face * 40) << 16 | 2u});
    surface->Release();
  }
  EXPECT_EQ(cubeTexture->Release(), 0u);
  IDirect3DCubeTexture9* notCube = nullptr;
  EXPECT_NE(D3DXCreateCubeTextureFromFileA(device, (dir + "/flat.dds").c_str(), &notCube), D3D_OK);
  EXPECT_EQ(notCube, nullptr);
}

namespace {

// Writes bytes to a file.
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
  std::ofstream(path, std::ios::binary).write((const char*)bytes.data(), (std::streamsize)bytes.size());
}

}  // namespace

// A picture's lower levels come from the chain made at build time beside it
// (name.mips.dds) when that fits the picture; otherwise they are halved on loading,
// each texel the mean of the two by two above it.
TEST_F(RenderTest, MipLevelsComeFromTheBuiltChainElseAreHalved)
{
  const std::string dir = TestScratchDir();
  // 4 x 2: a red and black block beside a white and blue one.
  const std::vector<D3DCOLOR> picture = {0xFFFF0000, 0xFF000000, 0xFFFFFFFF, 0xFF0000FF,
                                         0xFF000000, 0xFFFF0000, 0xFFFFFFFF, 0xFF0000FF};
  for (const char* name : {"halved", "built", "wrong"}) ASSERT_TRUE(WriteTga(dir + "/" + name + ".tga", 4, 2, picture));
  std::vector<uint8_t> built = DdsHeader(2, 1, 2, 0, 32, 0xFF000000, false);
  for (uint32_t c : {0xFF00FF00u, 0xFF112233u, 0xFF445566u}) Append32(built, c);
  WriteBytes(dir + "/built.mips.dds", built);
  std::vector<uint8_t> wrong = DdsHeader(1, 1, 1, 0, 32, 0xFF000000, false);  // not half of 4 x 2
  Append32(wrong, 0xFF00FF00u);
  WriteBytes(dir + "/wrong.mips.dds", wrong);

  // Levels 1 and 2 of a picture loaded with its full chain.
  const auto LowerLevels = [this](IDirect3DDevice9* on, const std::string& path) {
    std::vector<std::vector<D3DCOLOR>> levels;
    OstrelLibrary::CTexture texture;
    if (!texture.LoadFromFile(on, path) || texture.texture->GetLevelCount() != 3) return levels;
    for (UINT level = 1; level < 3; ++level) {
      IDirect3DSurface9* surface = nullptr;
      texture.texture->GetSurfaceLevel(level, &surface);
      levels.push_back(ReadSurface(surface));
      surface->Release();
    }
    return levels;
  };
  const std::vector<std::vector<D3DCOLOR>> halvedLevels = {{0xFF800000, 0xFF8080FF}, {0xFF804080}};
  EXPECT_EQ(LowerLevels(device, dir + "/halved.tga"), halvedLevels);
  EXPECT_EQ(LowerLevels(device, dir + "/wrong.tga"), halvedLevels);
  EXPECT_EQ(LowerLevels(device, dir + "/built.tga"),
            (std::vector<std::vector<D3DCOLOR>>{{0xFF00FF00, 0xFF112233}, {0xFF445566}}));
}

// A PNG's pixels made ready beside it at build time (name.top.dds) are uploaded instead
// of decoding the PNG, and the texture still describes the PNG. A twin whose mark names
// other PNG bytes (the PNG edited after the build), or of another size, is ignored and
// the PNG decoded.
TEST_F(RenderTest, PngPixelsComeFromTheReadyTwinMadeFromThatPngOnly)
{
  const std::string dir = TestScratchDir();
  const uint8_t rgb[2 * 1 * 3] = {255, 0, 0, 0, 0, 255};  // opaque red, blue: no alpha channel
  for (const char* name : {"ready", "edited", "resized"}) {
    ASSERT_TRUE(stbi_write_png((dir + "/" + name + ".png").c_str(), 2, 1, 3, rgb, 6));
  }
  std::vector<uint8_t> png;
  {
    std::ifstream in(dir + "/ready.png", std::ios::binary);
    png.assign(std::istreambuf_iterator<char>(in), {});
  }
  std::vector<uint8_t> ready = DdsHeader(2, 1, 1, 0, 32, 0xFF000000, false);
  MarkReadyPixels(&ready, png);
  for (uint32_t c : {0xFF00FF00u, 0xFF112233u}) Append32(ready, c);
  WriteBytes(dir + "/ready.top.dds", ready);
  std::vector<uint8_t> edited = ready;
  MarkReadyPixels(&edited, std::vector<uint8_t>(png.begin(), png.end() - 1));
  WriteBytes(dir + "/edited.top.dds", edited);
  std::vector<uint8_t> resized = DdsHeader(1, 1, 1, 0, 32, 0xFF000000, false);
  MarkReadyPixels(&resized, png);
  Append32(resized, 0xFF00FF00u);
  WriteBytes(dir + "/resized.top.dds", resized);

  OstrelLibrary::CTexture fromTwin, afterEdit, afterResize;
  ASSERT_TRUE(fromTwin.LoadFromFile(device, dir + "/ready.png"));
  ASSERT_TRUE(afterEdit.LoadFromFile(device, dir + "/edited.png"));
  ASSERT_TRUE(afterResize.LoadFromFile(device, dir + "/resized.png"));
  EXPECT_EQ(ReadSurface(fromTwin.surface), (std::vector<D3DCOLOR>{0xFF00FF00, 0xFF112233}));
  EXPECT_EQ(ReadSurface(afterEdit.surface), (std::vector<D3DCOLOR>{0xFFFF0000, 0xFF0000FF}));
  EXPECT_EQ(ReadSurface(afterResize.surface), (std::vector<D3DCOLOR>{0xFFFF0000, 0xFF0000FF}));
  for (const OstrelLibrary::CTexture* texture : {&fromTwin, &afterEdit, &afterResize}) {
    EXPECT_EQ(texture->imageInfo.ImageFileFormat, D3DXIFF_PNG);
    EXPECT_EQ(texture->imageInfo.Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(texture->imageInfo.Width, 2u);
  }
}
