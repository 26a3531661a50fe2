// The ending's pictures under res/ending/. Each is laid out around where its sequence
// draws it: the climbing mage is centred on the screen and stops with its top edge at
// y 0, the two charge glows are drawn 150 and 800 pixels right and 150 down from its
// corner; the outside glow sits 590 right of and 375 above the tower picture's corner;
// the space tower stands one tower-width from the left with its glow 65 left of and
// 125 above it; the credit pages scroll up the right half of the screen.
#include <cmath>
#include <cstdint>

#include "art/ending_art.h"
#include "art/lettering.h"
#include "art/title_art.h"
#include "image/canvas.h"
#include "image/noise.h"

namespace contentgen {

namespace {

const float kPi = 3.14159265358979f;
const int kWidth = 1280, kHeight = 720;
// The climbing picture: wide enough that both glows stand beside the mage, its centre line.
const int kPlayerWidth = 1150;
const float kPlayerCentre = 575;
// The charge glow's size; the sequence places its corner, so its middle is 100 further.
const int kChargeSize = 200;
// The outside tower is lowered by this much in its picture and cut off below this row
// of the drawing (where its rock hides it); its star's middle is this far down the drawing.
const int kTowerDrop = 150, kTowerCut = 480;
const float kTowerStarY = 26;
// The outside glow: 100 wide so that it is centred on the tower's line at x 640, tall
// enough to reach from 375 above the picture down to the star.
const int kMagicWidth = 100, kMagicHeight = 600;
// The space tower is drawn twice as large and shrunk.
const int kSpaceTowerWidth = 260, kSpaceTowerHeight = 470;
const int kSpaceMagicWidth = 390, kSpaceMagicHeight = 400;
const int kPageWidth = 600, kPageHeight = 680;

// An even spread of numbers in 0..1 from an index (value noise bunches towards the
// middle, so stars are scattered with this instead).
float Scatter(uint32_t index, uint32_t seed)
{
  uint32_t h = index * 2654435761u ^ seed * 2246822519u;
  h ^= h >> 15;
  h *= 2246822519u;
  h ^= h >> 13;
  return static_cast<float>(h & 0xFFFFFF) / static_cast<float>(0x1000000);
}

// One line of lettering, set in a canvas of its own box (so the outline pass stays
// small) and laid onto the picture there.
bool AddLine(const CArtContext& context, CCanvas* canvas, const std::string& text, Rect box, float size,
             const LetteringStyle& style, std::string* error)
{
  const int width = static_cast<int>(box.x1 - box.x0), height = static_cast<int>(box.y1 - box.y0);
  CCanvas line(width, height);
  line.Clear({0, 0, 0, 0});
  const float margin = style.outlineWidth + 2;
  if (!DrawLettering(context.font, &line, text, Rect{margin, 0, width - margin, static_cast<float>(height)}, size,
                     style, error)) {
    return false;
  }
  canvas->Composite(line, static_cast<int>(box.x0), static_cast<int>(box.y0));
  return true;
}

// Light lettering with a dark line, as the menus set their Japanese captions, or gold
// with a thin line, as they set their English lines.
LetteringStyle CaptionStyle(const CPalette& palette, bool gold)
{
  return LightStyle(palette, palette.Get(gold ? "gold" : "light_warm"), palette.Get(gold ? "gold" : "shade_mid"),
                    gold ? 2.5f : 4.0f, gold ? 0.0f : 3.0f);
}

// The top floor from inside: a round shaft of brick lit from the opening above, with
// two arched windows showing the sky and a gold band round the wall.
CCanvas DrawWall(const CPalette& palette)
{
  CCanvas canvas(kWidth, kHeight);
  const Color light = palette.Get("stone_light"), mid = palette.Get("stone_mid"), dark = palette.Get("stone_dark");
  const Color mortar = palette.Get("mortar"), warm = palette.Get("sun_glow");
  canvas.Shade([&](float x, float y, Color) {
    // The wall curves away on both sides: bricks narrow and darken towards the edges.
    const float theta = std::asin(std::fmax(-0.99f, std::fmin(0.99f, (x - 640.0f) / 700.0f)));
    const float u = theta * 600.0f;
    const int row = static_cast<int>(std::floor(y / 36.0f));
    const float along = std::fmod(u + 2000.0f + (row % 2) * 40.0f, 80.0f);
    const float across = std::fmod(y, 36.0f);
    const float edge = std::fmin(std::fmin(along, 80.0f - along) * std::cos(theta), std::fmin(across, 36.0f - across));
    const float n = FractalNoise(u / 30.0f, y / 30.0f, 71, 3);
    const float tone = 0.2f * static_cast<float>((row * 7 + static_cast<int>((u + 2000.0f) / 80.0f)) % 3) + 0.3f * n;
    Color brick = tone < 0.5f ? Mix(light, mid, tone * 2.0f) : Mix(mid, dark, tone - 0.5f);
    brick = Mix(mortar, brick, std::fmin(1.0f, std::fmax(0.0f, (edge - 1.5f) / 1.5f)));
    const float shade = 0.3f + 0.7f * std::pow(std::cos(theta), 1.5f);
    const float lit = std::exp(-std::hypot(x - 640.0f, y + 120.0f) / 520.0f);
    return Mix(Scale(brick, shade), warm, 0.55f * lit);
  });
  // The gold band runs round the shaft, so it bends down towards the edges.
  std::vector<Vec2> band;
  for (int i = 0; i <= 32; ++i) {
    const float x = i * 40.0f;
    band.push_back({x, 540 + 40 * (1 - std::cos(std::asin(std::fmin(0.99f, std::fabs(x - 640) / 700))))});
  }
  for (int i = 32; i >= 0; --i) band.push_back({band[i].x, band[i].y + 22});
  const CPolygon ring(band);
  canvas.OutlineOutside(ring, 4, palette.Get("outline"));
  canvas.Fill(ring, CPaint::Linear(0, 540, 0, 600, {{0, palette.Get("gold")}, {1, palette.Get("gold_dark")}}));
  // Three windows onto the sky at different heights, as a stairway's windows climb.
  const float windows[3][3] = {{200, 250, 40}, {560, 90, 52}, {1050, 170, 44}};
  for (const auto& w : windows) {
    const float x = w[0], y = w[1], half = w[2];
    const CRoundedRect window(x - half, y, x + half, y + 5 * half, half);
    canvas.OutlineOutside(window, 6, palette.Get("outline"));
    canvas.Fill(window,
                CPaint::Linear(0, y, 0, y + 5 * half, {{0, palette.Get("sky_high")}, {1, palette.Get("sky_horizon")}}));
    canvas.Fill(CIntersection(CLine(x - half, y + 2.2f * half, x + half, y + 2.2f * half, 6), window),
                CPaint::Solid(palette.Get("stone_dark")));
    canvas.Fill(CIntersection(CLine(x, y, x, y + 5 * half, 6), window), CPaint::Solid(palette.Get("stone_dark")));
  }
  // Light falling from the open top.
  canvas.Glow(CEllipse(640, -60, 380, 90), 260, WithAlpha(palette.Get("sun"), 0.6f));
  return canvas;
}

// The same mage as the title's, on its floating rock, both arms raised: it rides the
// rock up the shaft and stops at the top with its head at y 250.
CCanvas DrawClimbingPlayer(const CPalette& palette)
{
  CCanvas canvas(kPlayerWidth, kHeight);
  canvas.Clear({0, 0, 0, 0});
  const float cx = kPlayerCentre, oy = -110;
  DrawMageRock(&canvas, palette, cx, oy);
  DrawMageBoots(&canvas, palette, cx, oy);
  DrawMageRobe(&canvas, palette, cx, oy);
  DrawArm(&canvas, palette, cx - 55, 495 + oy, cx - 165, 400 + oy);
  DrawArm(&canvas, palette, cx + 55, 495 + oy, cx + 165, 400 + oy);
  DrawSpark(&canvas, palette, cx - 200, 365 + oy, 24, "magic_red", "magic_red_light");
  DrawSpark(&canvas, palette, cx + 200, 365 + oy, 24, "magic_blue", "magic_blue_light");
  DrawMageHead(&canvas, palette, cx, 360 + oy);
  return canvas;
}

// The gathering magic: a golden light with a four-pointed spark and a thin ring.
CCanvas DrawChargeGlow(const CPalette& palette)
{
  CCanvas canvas(kChargeSize, kChargeSize);
  canvas.Clear({0, 0, 0, 0});
  const float c = kChargeSize * 0.5f;
  canvas.Glow(CCircle(c, c, 20), 76, WithAlpha(palette.Get("sun_glow"), 0.9f));
  canvas.Stroke(CCircle(c, c, 62), 3, CPaint::Solid(WithAlpha(palette.Get("light_warm"), 0.8f)));
  canvas.Fill(CCircle(c, c, 30), CPaint::Radial(c, c, 30, {{0, Color{1, 1, 1, 1}}, {1, palette.Get("sun")}}));
  canvas.Fill(CPolygon(StarPoints(c, c, 70, 9, 4, 0)),
              CPaint::Radial(c, c, 70, {{0, Color{1, 1, 1, 1}}, {1, WithAlpha(palette.Get("sun"), 0)}}));
  return canvas;
}

// A narration panel: a dark plate with a gold rim, two lines of Japanese and an English
// line under them.
bool DrawNarration(const CArtContext& context, const char* first, const char* second, const char* latin,
                   CCanvas* canvas, std::string* error)
{
  const CPalette& palette = context.palette;
  const float w = static_cast<float>(canvas->Width()), h = static_cast<float>(canvas->Height());
  canvas->Clear({0, 0, 0, 0});
  const Color top = WithAlpha(Mix(palette.Get("outline"), palette.Get("robe_dark"), 0.4f), 0.88f);
  DrawPlate(canvas, palette, PlateLook{8, 10, 26, 4, 6, top, 0.92f, 3});
  const LetteringStyle caption = CaptionStyle(palette, false);
  return AddLine(context, canvas, first, Rect{30, 22, w - 30, 84}, 44, caption, error) &&
         AddLine(context, canvas, second, Rect{30, 82, w - 30, 144}, 44, caption, error) &&
         AddLine(context, canvas, latin, Rect{30, 146, w - 30, h - 16}, 24, CaptionStyle(palette, true), error);
}

// The tower seen from outside, centred on the screen and lowered so that the glow has
// room above it, cut short to stand on its own floating rock, which the cloud layer
// hides until it takes off.
CCanvas DrawOutsideTower(const CPalette& palette)
{
  CCanvas tower(kWidth, kHeight);
  tower.Clear({0, 0, 0, 0});
  DrawTower(&tower, palette, 640);
  for (int y = kTowerCut; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) tower.SetPixel(x, y, {0, 0, 0, 0});
  }
  CCanvas canvas(kWidth, kHeight);
  canvas.Clear({0, 0, 0, 0});
  canvas.Composite(tower, 0, kTowerDrop);
  const Color outline = palette.Get("outline");
  const CPolygon rock({{450, 624}, {830, 624}, {770, 660}, {700, 700}, {640, 716}, {560, 695}, {500, 660}});
  canvas.OutlineOutside(rock, 6, outline);
  canvas.Fill(rock, CPaint::Linear(0, 624, 0, 716, {{0, palette.Get("stone_mid")}, {1, palette.Get("stone_dark")}}));
  const CEllipse top(640, 622, 192, 30);
  canvas.OutlineOutside(top, 6, outline);
  canvas.Fill(top, CPaint::Linear(450, 0, 830, 0, {{0, palette.Get("floor_light")}, {1, palette.Get("floor_dark")}}));
  return canvas;
}

// The magic pouring from the star on the roof: a bright knot at the star and a beam
// of light rising from it to the top of the sky.
CCanvas DrawTowerMagic(const CPalette& palette)
{
  CCanvas canvas(kMagicWidth, kMagicHeight);
  canvas.Clear({0, 0, 0, 0});
  const float c = kMagicWidth * 0.5f, knot = kTowerStarY + kTowerDrop + 375.0f;
  canvas.Fill(CRoundedRect(c - 34, 0, c + 34, knot, 34),
              CPaint::Linear(0, 0, 0, knot,
                             {{0, WithAlpha(palette.Get("magic_blue_light"), 0)},
                              {0.5f, WithAlpha(palette.Get("magic_blue_light"), 0.45f)},
                              {1, WithAlpha(palette.Get("magic_blue_light"), 0.8f)}}));
  canvas.Fill(
      CRoundedRect(c - 10, 0, c + 10, knot, 10),
      CPaint::Linear(0, 0, 0, knot,
                     {{0, WithAlpha(Color{1, 1, 1, 1}, 0)}, {0.5f, Color{1, 1, 1, 0.7f}}, {1, Color{1, 1, 1, 1}}}));
  canvas.Glow(CCircle(c, knot, 18), 32, WithAlpha(palette.Get("magic_blue_light"), 0.95f));
  canvas.Fill(
      CPolygon(StarPoints(c, knot, 46, 7, 4, 0)),
      CPaint::Radial(c, knot, 46, {{0, Color{1, 1, 1, 1}}, {1, WithAlpha(palette.Get("magic_blue_light"), 0)}}));
  return canvas;
}

// The cloud layer in front of the tower's foot, and one cloud drifting by on the left.
CCanvas DrawOutsideCloud(const CPalette& palette)
{
  CCanvas canvas(kWidth, kHeight + 24);
  canvas.Clear({0, 0, 0, 0});
  DrawCloud(&canvas, palette, 250, 250, 44, 1.0f, 3);
  const float band[9][3] = {{70, 690, 84},   {330, 712, 76}, {600, 690, 86}, {860, 708, 78}, {1110, 692, 86},
                            {1260, 720, 70}, {470, 744, 72}, {740, 746, 72}, {990, 748, 70}};
  for (const auto& c : band) DrawCloud(&canvas, palette, c[0], c[1], c[2], 1.0f, 3);
  return canvas;
}

// Deep space that tiles top to bottom: the noise repeats every 720 pixels and every
// star near an edge is drawn again one screen away.
CCanvas DrawSpace(const CPalette& palette)
{
  CCanvas canvas(kWidth, kHeight);
  const Color night = Scale(palette.Get("outline"), 0.8f), deep = palette.Get("robe_dark");
  const Color blue = palette.Get("magic_blue"), pink = palette.Get("magic_red_light");
  canvas.Shade([&](float x, float y, Color) {
    const float cloud = FractalNoise(x / 160.0f, y / 90.0f, 83, 4, 8);
    const float tint = FractalNoise(x / 160.0f + 3.5f, y / 90.0f, 89, 3, 8);
    Color sky = Mix(night, deep, 0.9f * std::fmax(0.0f, cloud - 0.35f));
    sky = Mix(sky, tint > 0.55f ? pink : blue, 0.35f * std::fmax(0.0f, cloud - 0.5f));
    return WithAlpha(sky, 1);
  });
  for (uint32_t i = 0; i < 260; ++i) {
    const float x = 1280 * Scatter(i, 97), y = 720 * Scatter(i, 101);
    const float size = 0.6f + 1.6f * std::pow(Scatter(i, 103), 3.0f);
    const Color star = Mix(Color{1, 1, 1, 1}, i % 3 ? palette.Get("sun") : palette.Get("magic_blue_light"), 0.4f);
    for (const float dy : {-720.0f, 0.0f, 720.0f}) {
      if (size > 1.5f) canvas.Glow(CCircle(x, y + dy, size * 0.5f), size * 3, WithAlpha(star, 0.5f));
      canvas.Fill(CCircle(x, y + dy, size), CPaint::Solid(star));
    }
  }
  for (uint32_t i = 0; i < 9; ++i) {
    const float x = 1280 * Scatter(i, 107), y = 720 * Scatter(i, 109);
    for (const float dy : {-720.0f, 0.0f, 720.0f}) {
      canvas.Fill(CPolygon(StarPoints(x, y + dy, 9, 1.6f, 4, 0)), CPaint::Solid(Color{1, 1, 1, 0.9f}));
    }
  }
  return canvas;
}

// The tower on its rock, small, drawn at twice the size and shrunk for clean lines.
CCanvas DrawSpaceTower(const CPalette& palette)
{
  CCanvas canvas(kSpaceTowerWidth * 2, kSpaceTowerHeight * 2);
  canvas.Clear({0, 0, 0, 0});
  const float cx = kSpaceTowerWidth;
  DrawTower(&canvas, palette, cx);
  const Color outline = palette.Get("outline");
  const CPolygon rock({{cx - 200, 706},
                       {cx + 200, 706},
                       {cx + 140, 790},
                       {cx + 50, 900},
                       {cx - 30, 930},
                       {cx - 110, 840},
                       {cx - 170, 760}});
  canvas.OutlineOutside(rock, 8, outline);
  canvas.Fill(rock, CPaint::Linear(0, 706, 0, 930, {{0, palette.Get("stone_mid")}, {1, palette.Get("stone_dark")}}));
  const CEllipse top(cx, 704, 204, 34);
  canvas.OutlineOutside(top, 8, outline);
  canvas.Fill(
      top, CPaint::Linear(cx - 204, 0, cx + 204, 0, {{0, palette.Get("floor_light")}, {1, palette.Get("floor_dark")}}));
  return canvas.Downsample(2);
}

// The light round the flying tower's star (at 195, 138 here) and a trail of sparks.
CCanvas DrawSpaceMagic(const CPalette& palette)
{
  CCanvas canvas(kSpaceMagicWidth, kSpaceMagicHeight);
  canvas.Clear({0, 0, 0, 0});
  const float cx = kSpaceMagicWidth * 0.5f, cy = 138;
  canvas.Glow(CCircle(cx, cy, 16), 150, WithAlpha(palette.Get("magic_blue_light"), 0.7f));
  canvas.Stroke(CCircle(cx, cy, 70), 2.5f, CPaint::Solid(WithAlpha(palette.Get("light_warm"), 0.7f)));
  canvas.Stroke(CCircle(cx, cy, 120), 1.5f, CPaint::Solid(WithAlpha(palette.Get("magic_blue_light"), 0.5f)));
  canvas.Fill(CPolygon(StarPoints(cx, cy, 60, 6, 4, 0)),
              CPaint::Radial(cx, cy, 60, {{0, Color{1, 1, 1, 1}}, {1, WithAlpha(palette.Get("sun"), 0)}}));
  for (int i = 0; i < 10; ++i) {
    const float angle = (i * 36.0f + 10) * kPi / 180, distance = 90 + 70 * ValueNoise(i * 2.3f, 1.1f, 113);
    const float x = cx + distance * std::cos(angle), y = cy + distance * std::sin(angle);
    canvas.Fill(CPolygon(StarPoints(x, y, 7, 1.5f, 4, 0)), CPaint::Solid(Color{1, 1, 1, 0.9f}));
  }
  return canvas;
}

// One line of a credit page: Japanese (or a name) above, its English or licence below.
struct CreditLine {
  const char* text;
  float size;
  bool gold;  // the English and licence lines, in gold
};

// A credit page: lines stacked from the top, centred, on a transparent picture.
bool DrawCreditPage(const CArtContext& context, const std::vector<CreditLine>& lines, CCanvas* canvas,
                    std::string* error)
{
  canvas->Clear({0, 0, 0, 0});
  const LetteringStyle caption = CaptionStyle(context.palette, false), latin = CaptionStyle(context.palette, true);
  float y = 20;
  for (const CreditLine& line : lines) {
    const float height = line.size * 1.45f;
    if (line.text[0] != '\0' && !AddLine(context, canvas, line.text, Rect{0, y, kPageWidth, y + height}, line.size,
                                         line.gold ? latin : caption, error)) {
      return false;
    }
    y += height;
  }
  return true;
}

// The five pages: the game, the libraries it calls, the graphics and the font, the
// tools it is built and tested with, and a thank-you. Licences as the packages' copyright
// files state them.
bool GenerateCreditPages(CArtContext& context, std::string* error)
{
  const std::vector<CreditLine> pages[5] = {{{"ソルベリカ", 64, false},
                                             {"SOLVERICA", 30, true},
                                             {"", 30, false},
                                             {"塔を のぼる まほうつかいの ものがたり", 30, false},
                                             {"A tale of a little mage and a tower", 22, true},
                                             {"", 30, false},
                                             {"プログラム・絵・音", 32, false},
                                             {"Program, pictures and sounds", 22, true},
                                             {"この ゲームの ために つくられました", 26, false},
                                             {"all made for this game", 22, true}},
                                            {{"つかわせて いただいた ライブラリ", 32, false},
                                             {"LIBRARIES", 24, true},
                                             {"", 16, false},
                                             {"SDL2", 40, false},
                                             {"zlib License", 22, true},
                                             {"libepoxy", 40, false},
                                             {"MIT License", 22, true},
                                             {"OpenAL Soft", 40, false},
                                             {"GNU LGPL 2 or later", 22, true},
                                             {"stb", 40, false},
                                             {"Public Domain / MIT License", 22, true}},
                                            {{"グラフィックスと フォント", 32, false},
                                             {"GRAPHICS AND FONTS", 24, true},
                                             {"", 16, false},
                                             {"Mesa (OpenGL)", 40, false},
                                             {"MIT License", 22, true},
                                             {"glslang", 40, false},
                                             {"BSD 3-Clause License", 22, true},
                                             {"M+ FONTS", 40, false},
                                             {"SIL Open Font License 1.1", 22, true},
                                             {"", 16, false},
                                             {"文字は M+ FONTS で かかれています", 24, false}},
                                            {{"つくる ための どうぐ", 32, false},
                                             {"TOOLS", 24, true},
                                             {"", 16, false},
                                             {"GCC", 36, false},
                                             {"GNU GPL 3 or later (runtime library exception)", 20, true},
                                             {"CMake", 36, false},
                                             {"BSD 3-Clause License", 20, true},
                                             {"Ninja", 36, false},
                                             {"Apache License 2.0", 20, true},
                                             {"GoogleTest", 36, false},
                                             {"BSD 3-Clause License", 20, true},
                                             {"Debian GNU/Linux", 36, false},
                                             {"and the free software of its many authors", 20, true}},
                                            {{"", 60, false},
                                             {"", 60, false},
                                             {"あそんでくれて", 52, false},
                                             {"ありがとう！", 64, false},
                                             {"Thank you for playing!", 30, true},
                                             {"", 40, false},
                                             {"ソルベリカ", 40, false},
                                             {"SOLVERICA", 24, true}}};
  CCanvas page(kPageWidth, kPageHeight);
  for (int i = 0; i < 5; ++i) {
    const std::string path = "ending/endroll." + std::to_string(i + 1) + ".png";
    if (!DrawCreditPage(context, pages[i], &page, error) || !context.AddPng(path, page, error)) return false;
  }
  return true;
}

}  // namespace

// Every ending picture at its path.
bool GenerateEndingArt(CArtContext& context, std::string* error)
{
  const CPalette& palette = context.palette;
  if (!context.AddPng("ending/ending_wall.png", DrawWall(palette), error) ||
      !context.AddPng("ending/ending_player.png", DrawClimbingPlayer(palette), error) ||
      !context.AddPng("ending/ending_charge.png", DrawChargeGlow(palette), error) ||
      !context.AddPng("ending/ending_background.png", DrawSky(palette), error) ||
      !context.AddPng("ending/ending_tower.png", DrawOutsideTower(palette), error) ||
      !context.AddPng("ending/ending_magic.png", DrawTowerMagic(palette), error) ||
      !context.AddPng("ending/ending_cloud.png", DrawOutsideCloud(palette), error) ||
      !context.AddPng("ending/ending_space.png", DrawSpace(palette), error) ||
      !context.AddPng("ending/ending_space_tower.png", DrawSpaceTower(palette), error) ||
      !context.AddPng("ending/ending_space_magic.png", DrawSpaceMagic(palette), error)) {
    return false;
  }
  CCanvas narration(1160, 200);
  if (!DrawNarration(context, "いくつもの しかけを のりこえて、",
                     "まほうつかいは とうとう 塔の てっぺんに たどりついた。",
                     "Past every trap and puzzle, the little mage reached the top of the tower.", &narration, error) ||
      !context.AddPng("ending/ending_narration_1.png", narration, error)) {
    return false;
  }
  if (!DrawNarration(context, "あつめた 魔法を ぜんぶ こめると、", "塔は ふるえだし、空の かなたへ うかびあがった――",
                     "With all the magic it had gathered, the tower shook and rose into the sky.", &narration, error) ||
      !context.AddPng("ending/ending_narration_2.png", narration, error)) {
    return false;
  }
  return GenerateCreditPages(context, error);
}

}  // namespace contentgen
