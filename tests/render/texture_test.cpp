// CTexture, CDepthBuffer and the texture cache: loading real files, exact sizes, the cache's
// identity and its memory of failed loads, Fill, and reference counting.
#include "render_fixture.h"

#include <filesystem>
#include <fstream>

#include <stb/stb_image_write.h>

#include "engine/depth_buffer.h"
#include "engine/screen_picture.h"

using OstrelLibrary::CDepthBuffer;
using OstrelLibrary::CTexture;

namespace {

// A 3 x 5 picture with a distinct colour per texel.
std::vector<D3DCOLOR> OddPicture()
{
  std::vector<D3DCOLOR> pixels(15);
  for (int i = 0; i < 15; ++i) pixels[i] = 0xFF000000 | (D3DCOLOR)(i * 16) << 16 | (D3DCOLOR)(255 - i * 16);
  return pixels;
}

}  // namespace

// A 3 x 5 TGA keeps its exact size, its texels and their order (row 0 at the top).
TEST_F(RenderTest, LoadKeepsNonPowerOfTwoSizeAndTexels)
{
  const std::string path = TestScratchDir() + "/odd.tga";
  ASSERT_TRUE(WriteTga(path, 3, 5, OddPicture()));
  CTexture texture;
  ASSERT_TRUE(texture.LoadFromFile(device, path));
  EXPECT_EQ(texture.path, path);
  EXPECT_EQ(texture.imageInfo.Width, 3u);
  EXPECT_EQ(texture.imageInfo.Height, 5u);
  EXPECT_EQ(texture.imageInfo.ImageFileFormat, D3DXIFF_TGA);
  EXPECT_EQ(texture.sourceRect.left, 0);
  EXPECT_EQ(texture.sourceRect.top, 0);
  EXPECT_EQ(texture.sourceRect.right, 3);
  EXPECT_EQ(texture.sourceRect.bottom, 5);
  D3DSURFACE_DESC desc;
  ASSERT_EQ(texture.surface->GetDesc(&desc), D3D_OK);
  EXPECT_EQ(desc.Width, 3u);
  EXPECT_EQ(desc.Height, 5u);
  EXPECT_EQ(texture.texture->GetLevelCount(), 3u);  // 3x5, 1x2, 1x1
  EXPECT_EQ(ReadSurface(texture.surface), OddPicture());
}

// Pictures of the title, ending, menus and HUD get one level; every other image its chain.
TEST_F(RenderTest, ScreenPicturesLoadWithoutMipChains)
{
  EXPECT_TRUE(OstrelLibrary::IsScreenPicture("res/title/picture/title_background.png"));
  EXPECT_TRUE(OstrelLibrary::IsScreenPicture("res/ending/end_1.png"));
  EXPECT_TRUE(OstrelLibrary::IsScreenPicture("res/game/sprite/pause.png"));
  EXPECT_FALSE(OstrelLibrary::IsScreenPicture("res/game/object/block.png"));
  EXPECT_FALSE(OstrelLibrary::IsScreenPicture("res/shader/puddle_wave.png"));
  const std::string folder = TestScratchDir() + "/res/title";
  std::filesystem::create_directories(folder);
  ASSERT_TRUE(WriteTga(folder + "/odd.tga", 3, 5, OddPicture()));
  CTexture picture;
  ASSERT_TRUE(picture.LoadFromFile(device, folder + "/odd.tga"));
  EXPECT_EQ(picture.texture->GetLevelCount(), 1u);
  EXPECT_EQ(ReadSurface(picture.surface), OddPicture());
}

// Loaded through the sprite batcher, the odd-sized picture appears texel for pixel.
TEST_F(RenderTest, LoadedPictureDrawsTexelForPixel)
{
  const std::string path = TestScratchDir() + "/odd_draw.tga";
  ASSERT_TRUE(WriteTga(path, 3, 5, OddPicture()));
  const std::shared_ptr<CTexture> texture = graphics->GetTexture(device, path);
  ASSERT_NE(texture->texture, nullptr);
  D3DXMATRIX at;
  D3DXMatrixTranslation(&at, 500, 300, 0);
  graphics->sprite->Begin(D3DXSPRITE_ALPHABLEND);
  graphics->DrawTexture(*texture, &at, 0xFFFFFFFF);
  graphics->sprite->End();
  const std::vector<D3DCOLOR> picture = OddPicture();
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_TRUE(RgbNear(BackBufferPixel(500 + x, 300 + y), picture[y * 3 + x], 1));
}

// The cache: one object per path string; other spellings of the same file are other keys;
// a failed load is remembered and not retried even after the file appears.
TEST_F(RenderTest, TextureCacheIdentityAndFailedLoads)
{
  const std::string dir = TestScratchDir();
  ASSERT_TRUE(WriteTga(dir + "/cached.tga", 3, 5, OddPicture()));
  const auto first = graphics->GetTexture(device, dir + "/cached.tga");
  const auto again = graphics->GetTexture(device, dir + "/cached.tga");
  const auto otherSpelling = graphics->GetTexture(device, dir + "//cached.tga");
  EXPECT_EQ(first.get(), again.get());
  EXPECT_NE(first.get(), otherSpelling.get());
  EXPECT_NE(first->texture, nullptr);
  EXPECT_NE(otherSpelling->texture, nullptr);

  const std::string late = dir + "/late.tga";
  const auto missing = graphics->GetTexture(device, late);
  EXPECT_EQ(missing->texture, nullptr);
  ASSERT_TRUE(WriteTga(late, 3, 5, OddPicture()));
  const auto stillMissing = graphics->GetTexture(device, late);
  EXPECT_EQ(stillMissing.get(), missing.get());
  EXPECT_EQ(stillMissing->texture, nullptr);
  EXPECT_EQ(graphics->textureCache.size(), 3u);

  graphics->Finalize();
  EXPECT_TRUE(graphics->textureCache.empty());
  // A holder outside the cache keeps its texture (and through it the device) alive.
  EXPECT_NE(first->texture, nullptr);
  EXPECT_EQ(first->imageInfo.Width, 3u);
}

// A scene's pictures leave the cache when it ends, but only those nothing else holds
// and only under the named folder; a dropped one loads afresh when asked for again.
TEST_F(RenderTest, UnheldTexturesUnderAFolderLeaveTheCache)
{
  const std::string dir = TestScratchDir();
  std::filesystem::create_directories(dir + "/scene");
  for (const char* name : {"/scene/held.tga", "/scene/unheld.tga", "/other.tga"})
    ASSERT_TRUE(WriteTga(dir + name, 3, 5, OddPicture()));
  const auto held = graphics->GetTexture(device, dir + "/scene/held.tga");
  const std::weak_ptr<CTexture> unheld = graphics->GetTexture(device, dir + "/scene/unheld.tga");
  graphics->GetTexture(device, dir + "/other.tga");
  ASSERT_EQ(graphics->textureCache.size(), 3u);

  graphics->ReleaseUnheldTextures(dir + "/scene/");
  EXPECT_EQ(graphics->textureCache.count(dir + "/scene/held.tga"), 1u);
  EXPECT_EQ(graphics->textureCache.count(dir + "/scene/unheld.tga"), 0u);
  EXPECT_EQ(graphics->textureCache.count(dir + "/other.tga"), 1u);
  EXPECT_TRUE(unheld.expired());
  EXPECT_EQ(ReadSurface(held->surface), OddPicture());
  const auto reloaded = graphics->GetTexture(device, dir + "/scene/unheld.tga");
  EXPECT_EQ(ReadSurface(reloaded->surface), OddPicture());
}

// Broken image files fail cleanly and leave the texture empty.
TEST_F(RenderTest, BrokenFilesLeaveTheTextureEmpty)
{
  const std::string path = TestScratchDir() + "/broken.png";
  {
    std::ofstream file(path, std::ios::binary);
    file << "\x89PNG\r\n\x1a\n this is not a picture";
  }
  CTexture texture;
  EXPECT_FALSE(texture.LoadFromFile(device, path));
  EXPECT_EQ(texture.texture, nullptr);
  EXPECT_EQ(texture.surface, nullptr);
  EXPECT_EQ(texture.sourceRect.right, 0);
}

// Fill of a 1 x 1 texture with 0xFFFFFFFF gives an opaque white texel; Create records
// size, format and one level; Release empties everything.
TEST_F(RenderTest, FillCreateAndRelease)
{
  CTexture texel;
  ASSERT_TRUE(texel.Create(device, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED));
  EXPECT_EQ(texel.imageInfo.Width, 1u);
  EXPECT_EQ(texel.imageInfo.Height, 1u);
  EXPECT_EQ(texel.imageInfo.Format, D3DFMT_A8R8G8B8);
  EXPECT_EQ(texel.imageInfo.MipLevels, 1u);
  ASSERT_TRUE(texel.Fill(0xFFFFFFFF));
  EXPECT_EQ(ReadSurface(texel.surface), std::vector<D3DCOLOR>{0xFFFFFFFF});

  CTexture wide;
  ASSERT_TRUE(wide.Create(device, 5, 3, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED));
  ASSERT_TRUE(wide.Fill(0x80123456));
  EXPECT_EQ(ReadSurface(wide.surface), std::vector<D3DCOLOR>(15, 0x80123456));

  wide.Release();
  EXPECT_EQ(wide.texture, nullptr);
  EXPECT_EQ(wide.surface, nullptr);
  EXPECT_EQ(wide.device, nullptr);
  EXPECT_EQ(wide.imageInfo.Width, 0u);
  EXPECT_FALSE(wide.Fill(0xFFFFFFFF));

  CTexture impossible;
  EXPECT_FALSE(impossible.Create(device, 4, 4, 0, D3DFMT_D24S8, D3DPOOL_MANAGED));  // no texture format
  EXPECT_EQ(impossible.texture, nullptr);
}

// Render-target formats the shaders use can be created and locked; float targets keep floats.
TEST_F(RenderTest, RenderTargetFormats)
{
  CTexture shadow, scene, plain;
  ASSERT_TRUE(shadow.Create(device, 64, 32, D3DUSAGE_RENDERTARGET, D3DFMT_R32F, D3DPOOL_DEFAULT));
  ASSERT_TRUE(scene.Create(device, 16, 16, D3DUSAGE_RENDERTARGET, D3DFMT_A16B16G16R16F, D3DPOOL_DEFAULT));
  ASSERT_TRUE(plain.Create(device, 8, 8, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT));
  EXPECT_EQ(shadow.imageInfo.Format, D3DFMT_R32F);

  ASSERT_EQ(device->SetRenderTarget(0, shadow.surface), D3D_OK);
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF800000, 1.0f, 0);  // red 0x80 = 0.50196
  device->SetRenderTarget(0, graphics->backBuffer);
  D3DLOCKED_RECT locked;
  ASSERT_EQ(shadow.texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
  EXPECT_EQ(locked.Pitch, 64 * 4);
  EXPECT_NEAR(static_cast<const float*>(locked.pBits)[64 * 31 + 63], 128.0f / 255.0f, 1e-4);
  shadow.texture->UnlockRect(0);

  CDepthBuffer depth;
  ASSERT_TRUE(depth.Create(device, 1024, 1024));
  EXPECT_EQ(depth.desc.Width, 1024u);
  EXPECT_EQ(depth.desc.Format, D3DFMT_D24S8);
  EXPECT_EQ(device->SetDepthStencilSurface(depth.surface), D3D_OK);

  // The shadow map's depth is a texture shaders can read; D24S8 as a plain texture is refused.
  CDepthBuffer sampled;
  ASSERT_TRUE(sampled.CreateSampled(device, 64, 32));
  ASSERT_NE(sampled.texture, nullptr);
  EXPECT_EQ(sampled.desc.Format, D3DFMT_D24S8);
  EXPECT_EQ(sampled.desc.Width, 64u);
  ASSERT_EQ(device->SetRenderTarget(0, shadow.surface), D3D_OK);
  EXPECT_EQ(device->SetDepthStencilSurface(sampled.surface), D3D_OK);
  EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3D_OK);
  device->SetRenderTarget(0, graphics->backBuffer);
  IDirect3DTexture9* plainDepth = nullptr;
  EXPECT_NE(D3DXCreateTexture(device, 8, 8, 1, 0, D3DFMT_D24S8, D3DPOOL_DEFAULT, &plainDepth), D3D_OK);
  EXPECT_EQ(plainDepth, nullptr);
  EXPECT_EQ(device->SetDepthStencilSurface(graphics->depthBuffer), D3D_OK);
}

// Surfaces count on their texture: the texture lives while a surface is held.
TEST_F(RenderTest, SurfacesKeepTheirTextureAlive)
{
  IDirect3DTexture9* texture = nullptr;
  ASSERT_EQ(D3DXCreateTexture(device, 4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
  IDirect3DSurface9* surface = nullptr;
  ASSERT_EQ(texture->GetSurfaceLevel(0, &surface), D3D_OK);
  EXPECT_EQ(texture->Release(), 1u);  // the surface's reference remains
  D3DSURFACE_DESC desc;
  EXPECT_EQ(surface->GetDesc(&desc), D3D_OK);
  EXPECT_EQ(desc.Width, 4u);
  EXPECT_EQ(surface->Release(), 0u);
}

// PNG, BMP and JPEG load through the same path: exact texels for the lossless ones, close
// ones for JPEG, and the file's own format reported.
TEST_F(RenderTest, LoadsPngBmpAndJpeg)
{
  const std::string dir = TestScratchDir();
  std::vector<uint8_t> rgba(15 * 4), rgb(15 * 3);
  const std::vector<D3DCOLOR> picture = OddPicture();
  for (int i = 0; i < 15; ++i) {
    rgba[i * 4 + 0] = rgb[i * 3 + 0] = (uint8_t)ChannelR(picture[i]);
    rgba[i * 4 + 1] = rgb[i * 3 + 1] = (uint8_t)ChannelG(picture[i]);
    rgba[i * 4 + 2] = rgb[i * 3 + 2] = (uint8_t)ChannelB(picture[i]);
    rgba[i * 4 + 3] = (uint8_t)(i * 17);
  }
  ASSERT_TRUE(stbi_write_png((dir + "/p.png").c_str(), 3, 5, 4, rgba.data(), 12));
  ASSERT_TRUE(stbi_write_bmp((dir + "/p.bmp").c_str(), 3, 5, 3, rgb.data()));
  ASSERT_TRUE(stbi_write_jpg((dir + "/p.jpg").c_str(), 3, 5, 3, rgb.data(), 100));

  CTexture png, bmp, jpg;
  ASSERT_TRUE(png.LoadFromFile(device, dir + "/p.png"));
  ASSERT_TRUE(bmp.LoadFromFile(device, dir + "/p.bmp"));
  ASSERT_TRUE(jpg.LoadFromFile(device, dir + "/p.jpg"));
  EXPECT_EQ(png.imageInfo.ImageFileFormat, D3DXIFF_PNG);
  EXPECT_EQ(png.imageInfo.Format, D3DFMT_A8R8G8B8);
  EXPECT_EQ(bmp.imageInfo.ImageFileFormat, D3DXIFF_BMP);
  EXPECT_EQ(bmp.imageInfo.Format, D3DFMT_X8R8G8B8);
  EXPECT_EQ(jpg.imageInfo.ImageFileFormat, D3DXIFF_JPG);
  const std::vector<D3DCOLOR> fromPng = ReadSurface(png.surface), fromBmp = ReadSurface(bmp.surface),
                              fromJpg = ReadSurface(jpg.surface);
  ASSERT_EQ(fromPng.size(), 15u);
  ASSERT_EQ(fromJpg.size(), 15u);
  for (int i = 0; i < 15; ++i) {
    EXPECT_EQ(fromPng[i], (picture[i] & 0x00FFFFFF) | (D3DCOLOR)(i * 17) << 24);
    EXPECT_EQ(fromBmp[i], picture[i]);
    EXPECT_TRUE(RgbNear(fromJpg[i], picture[i], 48)) << i;  // tiny JPEGs smear colour
  }
}

// The short loader rounds sides up to powers of two (3 x 5 becomes 4 x 8), resampling.
TEST_F(RenderTest, DefaultSizeRoundsUpToPowersOfTwo)
{
  const std::string path = TestScratchDir() + "/round.tga";
  ASSERT_TRUE(WriteTga(path, 3, 5, std::vector<D3DCOLOR>(15, 0xFF336699)));
  IDirect3DTexture9* texture = nullptr;
  ASSERT_EQ(D3DXCreateTextureFromFileA(device, path.c_str(), &texture), D3D_OK);
  D3DSURFACE_DESC desc;
  texture->GetLevelDesc(0, &desc);
  EXPECT_EQ(desc.Width, 4u);
  EXPECT_EQ(desc.Height, 8u);
  EXPECT_EQ(texture->GetLevelCount(), 4u);
  IDirect3DSurface9* surface = nullptr;
  texture->GetSurfaceLevel(0, &surface);
  for (const D3DCOLOR c : ReadSurface(surface)) EXPECT_EQ(c, 0xFF336699u);
  surface->Release();
  texture->Release();
}

namespace {

// A width x height layer, transparent black but for a block of distinct colours, some
// of them half transparent.
std::vector<D3DCOLOR> LayerPicture(int width, int height, const RECT& block)
{
  std::vector<D3DCOLOR> pixels((size_t)width * height, 0);
  for (LONG y = block.top; y < block.bottom; ++y)
    for (LONG x = block.left; x < block.right; ++x)
      pixels[(size_t)y * width + x] = ((x + y) % 3 == 0 ? 0x80000000u : 0xFF000000u) | (D3DCOLOR)(x * 9) << 16 |
                                      (D3DCOLOR)(y * 7) << 8 | (D3DCOLOR)(200 - x);
  return pixels;
}

// Draws a picture at a place; the back buffer is read by the caller.
void DrawAt(OstrelLibrary::CGraphics* graphics, const CTexture& texture, float x, float y)
{
  D3DXMATRIX at;
  D3DXMatrixTranslation(&at, x, y, 0);
  graphics->sprite->Begin(D3DXSPRITE_ALPHABLEND);
  graphics->DrawTexture(texture, &at, 0xFFFFFFFF);
  graphics->sprite->End();
}

// The block picture loaded twice: from a folder whose pictures lose their empty border
// (res/<subfolder>, trimmed) and from the scratch folder's top (kept whole).
::testing::AssertionResult LoadTrimmedAndWhole(IDirect3DDevice9* device, const std::string& subfolder,
                                               const std::string& name, CTexture* trimmed, CTexture* whole)
{
  const std::string folder = TestScratchDir() + "/res/" + subfolder;
  std::filesystem::create_directories(folder);
  const std::vector<D3DCOLOR> pixels = LayerPicture(40, 30, {10, 5, 20, 15});
  if (!WriteTga(folder + "/" + name, 40, 30, pixels) || !WriteTga(TestScratchDir() + "/" + name, 40, 30, pixels))
    return ::testing::AssertionFailure() << "cannot write " << name;
  if (!trimmed->LoadFromFile(device, folder + "/" + name) ||
      !whole->LoadFromFile(device, TestScratchDir() + "/" + name))
    return ::testing::AssertionFailure() << "cannot load " << name;
  return ::testing::AssertionSuccess();
}

}  // namespace

// The part of a layer worth keeping: what differs from a transparent first texel, with a
// border of one texel where the picture goes on; all of an opaque-cornered picture.
TEST_F(RenderTest, KeptPartOfLayerIsWhatShowsWithABorder)
{
  using OstrelLibrary::KeptPartOfLayer;
  std::vector<D3DCOLOR> pixels = LayerPicture(40, 30, {10, 5, 20, 15});
  RECT kept = KeptPartOfLayer(pixels.data(), 40, 30, 40);
  EXPECT_EQ(kept.left, 9);
  EXPECT_EQ(kept.top, 4);
  EXPECT_EQ(kept.right, 21);
  EXPECT_EQ(kept.bottom, 16);
  // Reaching the right and bottom edges: no border past them.
  pixels = LayerPicture(40, 30, {30, 20, 40, 30});
  kept = KeptPartOfLayer(pixels.data(), 40, 30, 40);
  EXPECT_EQ(kept.left, 29);
  EXPECT_EQ(kept.top, 19);
  EXPECT_EQ(kept.right, 40);
  EXPECT_EQ(kept.bottom, 30);
  // A transparent texel of another colour counts as something shown.
  pixels = LayerPicture(40, 30, {10, 5, 20, 15});
  pixels[2 * 40 + 35] = 0x00FF0000;
  EXPECT_EQ(KeptPartOfLayer(pixels.data(), 40, 30, 40).right, 37);
  EXPECT_EQ(KeptPartOfLayer(pixels.data(), 40, 30, 40).top, 1);
  // An opaque first texel keeps everything; an empty picture keeps one texel.
  pixels[0] = 0xFF000000;
  EXPECT_EQ(KeptPartOfLayer(pixels.data(), 40, 30, 40).right, 40);
  EXPECT_EQ(KeptPartOfLayer(pixels.data(), 40, 30, 40).bottom, 30);
  const std::vector<D3DCOLOR> empty(40 * 30, 0);
  EXPECT_EQ(KeptPartOfLayer(empty.data(), 40, 30, 40).right, 1);
  // Rows read at the pitch, not the width.
  std::vector<D3DCOLOR> wide(64 * 30, 0);
  wide[10 * 64 + 50] = 0xFF112233;
  EXPECT_EQ(KeptPartOfLayer(wide.data(), 40, 30, 64).right, 1);
}

// A screen picture keeps only its shown part, yet reports the file's size and draws the
// same pixels as the whole picture, at whole and at fractional places.
TEST_F(RenderTest, LayerWithoutItsEmptyBorderDrawsAsTheWholePicture)
{
  const std::string folder = TestScratchDir() + "/res/title/picture";
  const std::vector<D3DCOLOR> pixels = LayerPicture(40, 30, {10, 5, 20, 15});
  CTexture layer;
  CTexture whole;
  ASSERT_TRUE(LoadTrimmedAndWhole(device, "title/picture", "layer.tga", &layer, &whole));
  EXPECT_EQ(layer.imageInfo.Width, 40u);
  EXPECT_EQ(layer.imageInfo.Height, 30u);
  D3DSURFACE_DESC desc;
  ASSERT_EQ(layer.surface->GetDesc(&desc), D3D_OK);
  EXPECT_EQ(desc.Width, 12u);
  EXPECT_EQ(desc.Height, 12u);
  EXPECT_EQ(layer.keptOrigin.x, 9);
  EXPECT_EQ(layer.keptOrigin.y, 4);
  EXPECT_EQ(layer.sourceRect.right, 12);
  // The whole file's level 0 holds the same texels where they overlap.
  const std::vector<D3DCOLOR> kept = ReadSurface(layer.surface);
  EXPECT_EQ(kept[0], 0u);
  EXPECT_EQ(kept[1 * 12 + 1], pixels[5 * 40 + 10]);
  EXPECT_EQ(kept[10 * 12 + 10], pixels[14 * 40 + 19]);
  for (const float place : {300.0f, 300.4f, 300.75f}) {
    ClearBackBuffer(0xFF405060);
    DrawAt(graphics, whole, place, place - 100.0f);
    const std::vector<D3DCOLOR> fromWhole = ReadSurface(graphics->backBuffer);
    ClearBackBuffer(0xFF405060);
    DrawAt(graphics, layer, place, place - 100.0f);
    const std::vector<D3DCOLOR> fromLayer = ReadSurface(graphics->backBuffer);
    EXPECT_NE(fromLayer[(size_t)(200 + 10) * 1280 + 315], 0xFF405060u) << "the block is drawn";
    EXPECT_TRUE(fromLayer == fromWhole) << "at " << place;
  }
  // A picture with no empty border is left whole.
  ASSERT_TRUE(WriteTga(folder + "/full.tga", 3, 5, OddPicture()));
  CTexture full;
  ASSERT_TRUE(full.LoadFromFile(device, folder + "/full.tga"));
  ASSERT_EQ(full.surface->GetDesc(&desc), D3D_OK);
  EXPECT_EQ(desc.Width, 3u);
  EXPECT_EQ(full.keptOrigin.x, 0);
}

// Cells of a sheet without its empty border draw as from the whole sheet: one inside the
// kept part, one across its edge, one wholly outside it (nothing), at whole and
// fractional places.
TEST_F(RenderTest, CellsOfAPictureWithoutItsBorderDrawAsFromTheWholeSheet)
{
  CTexture trimmed;
  CTexture whole;
  ASSERT_TRUE(LoadTrimmedAndWhole(device, "game/sprite", "sheet.tga", &trimmed, &whole));
  ASSERT_EQ(trimmed.keptOrigin.x, 9);
  for (const RECT& cell : {RECT{12, 6, 18, 12}, RECT{0, 0, 14, 10}, RECT{25, 18, 40, 30}}) {
    for (const float place : {200.0f, 200.5f}) {
      D3DXMATRIX at;
      D3DXMatrixTranslation(&at, place, place, 0);
      std::vector<D3DCOLOR> drawn[2];
      for (int i = 0; i < 2; ++i) {
        ClearBackBuffer(0xFF102030);
        graphics->sprite->Begin(D3DXSPRITE_ALPHABLEND);
        graphics->DrawTexturePart(i == 0 ? whole : trimmed, cell, &at, 0xFFFFFFFF);
        graphics->sprite->End();
        drawn[i] = ReadSurface(graphics->backBuffer);
      }
      EXPECT_TRUE(drawn[0] == drawn[1]) << "cell from " << cell.left << ", " << cell.top << " at " << place;
    }
  }
  // The cell inside the kept part shows its texels.
  EXPECT_EQ(BackBufferPixel(200, 200), 0xFF102030u);  // the last cell is all empty
  ClearBackBuffer(0xFF102030);
  D3DXMATRIX at;
  D3DXMatrixTranslation(&at, 100, 100, 0);
  graphics->sprite->Begin(D3DXSPRITE_ALPHABLEND);
  graphics->DrawTexturePart(trimmed, RECT{12, 6, 18, 12}, &at, 0xFFFFFFFF);
  graphics->sprite->End();
  EXPECT_TRUE(RgbNear(BackBufferPixel(101, 100), LayerPicture(40, 30, {10, 5, 20, 15})[6 * 40 + 13], 1));
}
