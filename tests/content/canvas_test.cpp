// The canvas draws what it is asked where it is asked: shapes cover their inside and
// nothing beyond a one-pixel edge, gradients run the right way, glows and shadows
// land where they should, and PNG, DDS and normal-map output carry the pixels.
#include <gtest/gtest.h>

#include <stb_image.h>

#include <cmath>

#include "image/canvas.h"
#include "image/image_writers.h"
#include "image/noise.h"
#include "dds_reader.h"

using namespace contentgen;

namespace {

const Color kRed{1, 0, 0, 1};
const Color kBlue{0, 0, 1, 1};

// Sum of alpha: the covered area in pixels, anti-aliased edges counted by their share.
double CoveredArea(const CCanvas& canvas)
{
  double sum = 0;
  for (int y = 0; y < canvas.Height(); ++y) {
    for (int x = 0; x < canvas.Width(); ++x) sum += canvas.Pixel(x, y).a;
  }
  return sum;
}

}  // namespace

TEST(Canvas, CircleCoversItsAreaAndNothingFarOutside)
{
  CCanvas canvas(64, 64);
  canvas.Fill(CCircle(20, 30, 10), CPaint::Solid(kRed));
  EXPECT_FLOAT_EQ(canvas.Pixel(20, 30).a, 1);
  EXPECT_FLOAT_EQ(canvas.Pixel(20, 30).r, 1);
  EXPECT_FLOAT_EQ(canvas.Pixel(20, 21).a, 1);  // just inside the top
  EXPECT_FLOAT_EQ(canvas.Pixel(20, 18).a, 0);  // beyond the edge
  EXPECT_FLOAT_EQ(canvas.Pixel(40, 30).a, 0);  // elsewhere
  EXPECT_NEAR(CoveredArea(canvas), 3.14159 * 100, 3.14159 * 100 * 0.01);
  // The edge is smooth: some pixels are partly covered.
  int partial = 0;
  for (int x = 0; x < 64; ++x) {
    const float a = canvas.Pixel(x, 30).a;
    partial += (a > 0 && a < 1) ? 1 : 0;
  }
  EXPECT_GE(partial, 1);
}

TEST(Canvas, EllipseRoundedRectPolygonAndLineLandInTheirBounds)
{
  CCanvas ellipse(64, 64);
  ellipse.Fill(CEllipse(32, 32, 20, 8), CPaint::Solid(kRed));
  EXPECT_FLOAT_EQ(ellipse.Pixel(50, 32).a, 1);
  EXPECT_FLOAT_EQ(ellipse.Pixel(32, 42).a, 0);
  EXPECT_NEAR(CoveredArea(ellipse), 3.14159 * 160, 3.14159 * 160 * 0.02);

  CCanvas rect(64, 64);
  rect.Fill(CRoundedRect(10, 20, 40, 30, 4), CPaint::Solid(kRed));
  EXPECT_FLOAT_EQ(rect.Pixel(10, 25).a, 1);  // left edge, mid height
  EXPECT_FLOAT_EQ(rect.Pixel(39, 25).a, 1);
  EXPECT_FLOAT_EQ(rect.Pixel(41, 25).a, 0);
  EXPECT_LT(rect.Pixel(10, 20).a, 0.5f);                            // the rounded corner is cut
  EXPECT_NEAR(CoveredArea(rect), 300 - 4 * (16 - 3.14159 * 4), 2);  // four corners of r = 4 cut

  CCanvas triangle(64, 64);
  triangle.Fill(CPolygon({{0, 0}, {40, 0}, {0, 40}}), CPaint::Solid(kRed));
  EXPECT_FLOAT_EQ(triangle.Pixel(5, 5).a, 1);
  EXPECT_FLOAT_EQ(triangle.Pixel(30, 30).a, 0);
  EXPECT_NEAR(CoveredArea(triangle), 800, 8);

  CCanvas line(64, 64);
  line.Fill(CLine(10, 10, 50, 10, 4), CPaint::Solid(kRed));
  EXPECT_FLOAT_EQ(line.Pixel(30, 10).a, 1);
  EXPECT_FLOAT_EQ(line.Pixel(30, 14).a, 0);
  EXPECT_NEAR(CoveredArea(line), 40 * 4 + 3.14159 * 4, 3);
}

TEST(Canvas, GradientsRunFromFirstToLastStop)
{
  CCanvas canvas(100, 10);
  canvas.Fill(CRoundedRect(0, 0, 100, 10, 0), CPaint::Linear(0, 0, 100, 0, {{0, kRed}, {1, kBlue}}));
  EXPECT_GT(canvas.Pixel(0, 5).r, 0.98f);
  EXPECT_GT(canvas.Pixel(99, 5).b, 0.98f);
  EXPECT_NEAR(canvas.Pixel(50, 5).r, 0.5f, 0.02f);

  CCanvas radial(64, 64);
  radial.Fill(CCircle(32, 32, 32), CPaint::Radial(32, 32, 30, {{0, kRed}, {1, kBlue}}));
  EXPECT_GT(radial.Pixel(32, 32).r, 0.95f);
  EXPECT_GT(radial.Pixel(32, 2).b, 0.95f);
  EXPECT_NEAR(radial.Pixel(47, 32).r, 0.5f, 0.05f);
}

TEST(Canvas, OutlineSitsOutsideTheEdge)
{
  CCanvas canvas(64, 64);
  const CCircle circle(32, 32, 10);
  canvas.Fill(circle, CPaint::Solid(kRed));
  canvas.OutlineOutside(circle, 3, kBlue);
  EXPECT_FLOAT_EQ(canvas.Pixel(32, 32).r, 1);  // inside untouched
  EXPECT_FLOAT_EQ(canvas.Pixel(32, 25).r, 1);
  EXPECT_GT(canvas.Pixel(32, 20).b, 0.99f);    // 1.5 px outside: the band
  EXPECT_FLOAT_EQ(canvas.Pixel(32, 16).a, 0);  // beyond the band
}

TEST(Canvas, GlowFadesOutwardsAndStopsAtItsRadius)
{
  CCanvas canvas(100, 100);
  canvas.Glow(CCircle(50, 50, 10), 20, kBlue);
  const float near = canvas.Pixel(50, 37).a, mid = canvas.Pixel(50, 33).a, far = canvas.Pixel(50, 25).a;
  EXPECT_FLOAT_EQ(canvas.Pixel(50, 50).a, 1);
  EXPECT_GT(near, mid);
  EXPECT_GT(mid, far);
  EXPECT_GT(far, 0);
  EXPECT_FLOAT_EQ(canvas.Pixel(50, 19).a, 0);  // 21 px beyond the edge
}

TEST(Canvas, DropShadowIsOffset)
{
  CCanvas canvas(100, 100);
  canvas.DropShadow(CCircle(30, 30, 10), 30, 20, 2, Color{0, 0, 0, 0.5f});
  EXPECT_FLOAT_EQ(canvas.Pixel(30, 30).a, 0);  // nothing under the shape itself
  EXPECT_NEAR(canvas.Pixel(60, 50).a, 0.5f, 1e-4);
  EXPECT_FLOAT_EQ(canvas.Pixel(60, 35).a, 0);
}

TEST(Canvas, CompositeBlendsOverWithOpacity)
{
  CCanvas base(8, 8), layer(4, 4);
  base.Clear(kRed);
  layer.Clear(kBlue);
  base.Composite(layer, 2, 2, 0.25f);
  EXPECT_NEAR(base.Pixel(3, 3).r, 0.75f, 1e-5);
  EXPECT_NEAR(base.Pixel(3, 3).b, 0.25f, 1e-5);
  EXPECT_FLOAT_EQ(base.Pixel(1, 1).r, 1);
  EXPECT_FLOAT_EQ(base.Pixel(6, 6).r, 1);  // outside the layer
  // A transparent canvas under a half-transparent colour keeps the colour unmixed.
  CCanvas clear(2, 2);
  clear.BlendPixel(0, 0, kBlue, 0.5f);
  EXPECT_FLOAT_EQ(clear.Pixel(0, 0).b, 1);
  EXPECT_FLOAT_EQ(clear.Pixel(0, 0).a, 0.5f);
}

TEST(Canvas, DownsampleAveragesBlocks)
{
  CCanvas canvas(4, 2);
  canvas.Fill(CRoundedRect(0, 0, 1, 2, 0), CPaint::Solid(kRed));  // left column of the first block
  const CCanvas small = canvas.Downsample(2);
  ASSERT_EQ(small.Width(), 2);
  ASSERT_EQ(small.Height(), 1);
  EXPECT_NEAR(small.Pixel(0, 0).a, 0.5f, 1e-5);
  EXPECT_NEAR(small.Pixel(0, 0).r, 1.0f, 1e-5);  // premultiplied: colour not darkened
  EXPECT_FLOAT_EQ(small.Pixel(1, 0).a, 0);
}

TEST(Canvas, ShrinkToWeighsEachPixelByTheAreaItCovers)
{
  // Three pixels onto two: the first output pixel covers one and a half source pixels.
  CCanvas canvas(3, 1);
  canvas.Fill(CRoundedRect(0, 0, 1, 1, 0), CPaint::Solid(kRed));
  const CCanvas small = canvas.ShrinkTo(2, 1);
  ASSERT_EQ(small.Width(), 2);
  EXPECT_NEAR(small.Pixel(0, 0).a, 2.0f / 3.0f, 1e-5);
  EXPECT_NEAR(small.Pixel(0, 0).r, 1.0f, 1e-5);
  EXPECT_FLOAT_EQ(small.Pixel(1, 0).a, 0);
  // Coverage is kept: a 256-wide half-filled canvas stays half covered at 48.
  CCanvas wide(256, 256);
  wide.Fill(CRoundedRect(0, 0, 100, 256, 0), CPaint::Solid(kBlue));
  const CCanvas icon = wide.ShrinkTo(48, 48);
  float coverage = 0;
  for (int x = 0; x < 48; ++x) coverage += icon.Pixel(x, 20).a;
  EXPECT_NEAR(coverage / 48, 100.0f / 256.0f, 1e-3);
  EXPECT_EQ(wide.ShrinkTo(64, 64).ToRgba8(), wide.Downsample(4).ToRgba8()) << "a whole factor is a box filter";
}

TEST(Noise, IsRepeatableTileableAndInRange)
{
  EXPECT_EQ(ValueNoise(3.3f, 4.7f, 5), ValueNoise(3.3f, 4.7f, 5));
  EXPECT_NE(ValueNoise(3.3f, 4.7f, 5), ValueNoise(3.3f, 4.7f, 6));
  EXPECT_NEAR(ValueNoise(0.25f, 1.5f, 9, 4), ValueNoise(4.25f, 1.5f, 9, 4), 1e-6);
  EXPECT_NEAR(FractalNoise(0.25f, 1.5f, 9, 4, 4), FractalNoise(0.25f, 5.5f, 9, 4, 4), 1e-6);
  for (int i = 0; i < 1000; ++i) {
    const float v = FractalNoise3(i * 0.37f, i * 0.11f, i * 0.05f, 3, 4);
    ASSERT_GE(v, 0);
    ASSERT_LE(v, 1);
  }
}

TEST(ImageWriters, PngRoundTripsThePixels)
{
  CCanvas canvas(16, 8);
  canvas.Fill(CCircle(8, 4, 3), CPaint::Solid(Color{0.2f, 0.4f, 0.6f, 1}));
  const std::vector<uint8_t> png = EncodePng(canvas);
  EXPECT_EQ(png, EncodePng(canvas));
  int w = 0, h = 0, n = 0;
  uint8_t* pixels = stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &w, &h, &n, 4);
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(w, 16);
  EXPECT_EQ(h, 8);
  const uint8_t* centre = pixels + (4 * 16 + 8) * 4;
  EXPECT_EQ(centre[0], 51);
  EXPECT_EQ(centre[1], 102);
  EXPECT_EQ(centre[2], 153);
  EXPECT_EQ(centre[3], 255);
  EXPECT_EQ(pixels[3], 0);  // corner transparent
  stbi_image_free(pixels);
}

TEST(ImageWriters, CubeDdsHasTheCubeHeaderAndBgraFaces)
{
  std::vector<CCanvas> faces;
  for (int i = 0; i < 6; ++i) {
    faces.emplace_back(4, 4);
    faces.back().Clear(Color{i / 5.0f, 0.5f, 1.0f, 1.0f});
  }
  const std::vector<uint8_t> dds = EncodeCubeDds(faces);
  // Each face carries its chain: 4 x 4, 2 x 2, 1 x 1.
  ASSERT_EQ(dds.size(), 128u + 6 * (16 + 4 + 1) * 4);
  auto u32 = [&](size_t at) { return dds[at] | dds[at + 1] << 8 | dds[at + 2] << 16 | uint32_t(dds[at + 3]) << 24; };
  EXPECT_EQ(std::string(dds.begin(), dds.begin() + 4), "DDS ");
  EXPECT_EQ(u32(4), 124u);
  EXPECT_EQ(u32(12), 4u);                  // height
  EXPECT_EQ(u32(16), 4u);                  // width
  EXPECT_EQ(u32(28), 3u);                  // mip levels
  EXPECT_EQ(u32(80), 0x41u);               // RGB with alpha
  EXPECT_EQ(u32(88), 32u);                 // bits
  EXPECT_EQ(u32(92), 0x00FF0000u);         // red mask: A8R8G8B8
  EXPECT_EQ(u32(108) & 0x1008u, 0x1008u);  // texture, complex
  EXPECT_EQ(u32(112), 0xFE00u);            // cube map with all six faces
  const size_t face5 = 128 + 5 * 84;
  EXPECT_EQ(dds[face5 + 0], 255);  // blue first
  EXPECT_EQ(dds[face5 + 1], 128);
  EXPECT_EQ(dds[face5 + 2], 255);  // red of face 5 is 1.0
  EXPECT_EQ(dds[128 + 2], 0);      // red of face 0 is 0
  faces.pop_back();
  EXPECT_TRUE(EncodeCubeDds(faces).empty());
}

// A texture's chain below its top: half size down to 1 x 1, each texel the mean of
// the two by two above it with clear texels lending no colour; the reader sees it so.
TEST(ImageWriters, MipChainHalvesDownToOneTexel)
{
  CCanvas picture(4, 2);
  picture.SetPixel(0, 0, kRed);
  picture.SetPixel(1, 1, kRed);  // (1, 0) and (0, 1) stay clear
  for (int y = 0; y < 2; ++y) {
    picture.SetPixel(2, y, kBlue);
    picture.SetPixel(3, y, Color{1, 1, 1, 1});
  }
  const std::vector<uint8_t> dds = EncodeMipDds(picture);
  DdsImage chain;
  std::string error;
  ASSERT_TRUE(ReadDds(dds.data(), dds.size(), &chain, &error)) << error;
  EXPECT_EQ(chain.width, 2u);
  EXPECT_EQ(chain.height, 1u);
  ASSERT_EQ(chain.levels, 2u);  // 2 x 1, 1 x 1
  ASSERT_EQ(chain.images[0].size(), 8u);
  // B, G, R, A: half-covered pure red, then the mean of blue and white.
  const int expected[8] = {0, 0, 255, 128, 255, 128, 128, 255};
  for (int i = 0; i < 8; ++i) EXPECT_NEAR(chain.images[0][i], expected[i], 1) << i;
  // The last level weighs the half-clear red by its coverage: a third red, two thirds
  // the blue-white mean.
  ASSERT_EQ(chain.images[1].size(), 4u);
  EXPECT_NEAR(chain.images[1][2], 255 / 3.0 + 255 / 3.0, 1.0);  // red: 1/3 * 1 + 2/3 * 0.5
  EXPECT_NEAR(chain.images[1][3], 255 * 0.75, 1.0);
  EXPECT_TRUE(EncodeMipDds(CCanvas(1, 1)).empty());
}

TEST(ImageWriters, CubeFacesPointAlongTheirAxes)
{
  const float axes[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
  for (int face = 0; face < 6; ++face) {
    float x, y, z;
    CubeFaceDirection(face, 0, 0, &x, &y, &z);
    EXPECT_EQ(x, axes[face][0]);
    EXPECT_EQ(y, axes[face][1]);
    EXPECT_EQ(z, axes[face][2]);
  }
  float x, y, z;
  CubeFaceDirection(4, 0, -1, &x, &y, &z);  // top of the +z face looks up
  EXPECT_EQ(y, 1);
  CubeFaceDirection(4, 1, 0, &x, &y, &z);  // right of the +z face is +x
  EXPECT_EQ(x, 1);
}

TEST(ImageWriters, NormalMapFlatAndTilted)
{
  CCanvas flat(8, 8);
  flat.Clear(Color{0.5f, 0.5f, 0.5f, 1});
  const CCanvas flatNormals = HeightToNormalMap(flat, 4, kNormalMapFlat);
  EXPECT_NEAR(flatNormals.Pixel(3, 3).r, kNormalMapFlat, 1e-6);
  EXPECT_NEAR(flatNormals.Pixel(3, 3).g, kNormalMapFlat, 1e-6);
  EXPECT_NEAR(flatNormals.Pixel(3, 3).b, 1, 1e-6);
  // Height rising to the right: the normal leans left (red below flat).
  CCanvas ramp(8, 8);
  ramp.Shade([](float x, float, Color) { return Color{x / 8, x / 8, x / 8, 1}; });
  const CCanvas rampNormals = HeightToNormalMap(ramp, 4, 0.5f);
  EXPECT_LT(rampNormals.Pixel(3, 3).r, 0.45f);
  EXPECT_NEAR(rampNormals.Pixel(3, 3).g, 0.5f, 1e-6);
}
