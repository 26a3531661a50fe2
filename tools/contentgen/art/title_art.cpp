// The title screen and the stage menus' pictures. The title: the tower under a wide
// sky (the tower on the right, the little mage on a floating rock on the left, the sun
// in the top-left corner), a cloud layer that bobs over it, the sun's rays that pulse,
// the logo, the prompt and the two buttons. Positions are chosen around where the
// title scene places each picture: logo top at y 50, prompt 250 below the centre,
// Continue 160 and Start 275 below. The menus' buttons fit their 100-pixel spacing.
#include <cmath>

#include "art/lettering.h"
#include "art/title_art.h"
#include "image/canvas.h"
#include "image/noise.h"

namespace contentgen {

namespace {

const float kPi = 3.14159265358979f;
const int kWidth = 1280, kHeight = 720;
// The cloud layer rises by up to 20 pixels, so it reaches that far below the screen.
const int kCloudHeight = 744;
// Where the sun sits; the rays fan out from here and the tower is lit from this side.
const float kSunX = 150, kSunY = 60;

}  // namespace

// A cloud made of overlapping puffs with a flat-ish bottom, light on top, shaded under.
void DrawCloud(CCanvas* canvas, const CPalette& palette, float cx, float cy, float size, float opacity, float lineWidth)
{
  const float offsets[7][3] = {{-1.1f, 0.15f, 0.55f}, {-0.55f, -0.2f, 0.75f}, {0.1f, -0.35f, 0.9f},
                               {0.75f, -0.1f, 0.7f},  {1.25f, 0.2f, 0.5f},    {-0.2f, 0.25f, 0.7f},
                               {0.5f, 0.3f, 0.65f}};
  CCanvas layer(canvas->Width(), canvas->Height());
  layer.Clear({0, 0, 0, 0});
  const Color top = palette.Get("cloud"), under = palette.Get("cloud_shade");
  for (const auto& o : offsets) {
    const CCircle puff(cx + o[0] * size, cy + o[1] * size, o[2] * size);
    if (lineWidth > 0) layer.OutlineOutside(puff, lineWidth, WithAlpha(palette.Get("cloud_sea_deep"), 0.8f));
  }
  for (const auto& o : offsets) {
    const CCircle puff(cx + o[0] * size, cy + o[1] * size, o[2] * size);
    layer.Fill(puff, CPaint::Linear(0, cy - size, 0, cy + size, {{0, top}, {0.55f, top}, {1, under}}));
  }
  canvas->Composite(layer, 0, 0, opacity);
}

// The sky with the sun in the top-left corner, distant clouds and islands, and the
// cloud sea along the bottom.
CCanvas DrawSky(const CPalette& palette)
{
  CCanvas canvas(kWidth, kHeight);
  const Color zenith = palette.Get("sky_zenith"), high = palette.Get("sky_high"), horizon = palette.Get("sky_horizon"),
              sunGlow = palette.Get("sun_glow");
  canvas.Shade([&](float x, float y, Color) {
    const float t = y / kHeight;
    Color sky = t < 0.45f ? Mix(zenith, high, t / 0.45f) : Mix(high, horizon, std::fmin(1.0f, (t - 0.45f) / 0.4f));
    const float d = std::hypot(x - kSunX, y - kSunY);
    sky = Mix(sky, sunGlow, 0.75f * std::exp(-d / 260.0f));
    const float haze = FractalNoise(x / 180.0f, y / 60.0f, 7, 4);
    return Mix(sky, palette.Get("cloud"), 0.12f * haze * t);
  });
  // The sun: a bright disc in a soft halo.
  canvas.Glow(CCircle(kSunX, kSunY, 46), 90, WithAlpha(palette.Get("sun_glow"), 0.7f));
  canvas.Fill(CCircle(kSunX, kSunY, 46), CPaint::Solid(palette.Get("sun")));

  // Far clouds and two floating islands, pale with distance and without lines.
  DrawCloud(&canvas, palette, 520, 470, 60, 0.55f, 0);
  DrawCloud(&canvas, palette, 760, 430, 45, 0.45f, 0);
  DrawCloud(&canvas, palette, 1230, 330, 50, 0.5f, 0);
  const Color far = Mix(palette.Get("shade_cool"), palette.Get("sky_horizon"), 0.45f);
  const Color farTop = Mix(palette.Get("floor_light"), palette.Get("sky_horizon"), 0.55f);
  const float islands[2][3] = {{640, 380, 70}, {540, 300, 38}};
  for (const auto& island : islands) {
    const float x = island[0], y = island[1], r = island[2];
    canvas.Fill(CPolygon({{x - r, y},
                          {x - r * 0.75f, y + r * 0.35f},
                          {x - r * 0.45f, y + r * 0.5f},
                          {x - r * 0.2f, y + r * 0.95f},
                          {x + r * 0.05f, y + r * 0.7f},
                          {x + r * 0.3f, y + r * 0.85f},
                          {x + r * 0.55f, y + r * 0.4f},
                          {x + r * 0.85f, y + r * 0.25f},
                          {x + r, y}}),
                CPaint::Linear(0, y, 0, y + r, {{0, far}, {1, WithAlpha(far, 0.6f)}}));
    canvas.Fill(CEllipse(x, y, r, r * 0.22f), CPaint::Solid(farTop));
  }

  // The cloud sea the tower rises from.
  canvas.Fill(CRoundedRect(-10, 600, kWidth + 10, kHeight + 10, 0),
              CPaint::Linear(0, 600, 0, kHeight, {{0, palette.Get("cloud")}, {1, palette.Get("cloud_shade")}}));
  for (int i = 0; i < 14; ++i) {
    const float x = i * 100.0f - 20, r = 60 + 25 * ValueNoise(i * 1.7f, 0.5f, 3);
    canvas.Fill(CCircle(x, 610 + 10 * ValueNoise(i * 2.3f, 1.5f, 5), r),
                CPaint::Linear(0, 540, 0, 700, {{0, palette.Get("cloud")}, {1, palette.Get("cloud_shade")}}));
  }

  return canvas;
}

// The tower: a tapering stone body lit from the sun's side, gold rings, warm windows,
// a crown and a violet pointed roof with a star; its centre line at cx, the star's tip
// near the top edge, the body running on below y 720.
void DrawTower(CCanvas* target, const CPalette& palette, float cx)
{
  CCanvas& canvas = *target;
  const Color outline = palette.Get("outline");
  const float baseHalf = 112, topHalf = 82, topY = 240, baseY = 740;
  auto halfWidthAt = [&](float y) { return topHalf + (baseHalf - topHalf) * (y - topY) / (baseY - topY); };
  const CPolygon body({{cx - baseHalf, baseY}, {cx + baseHalf, baseY}, {cx + topHalf, topY}, {cx - topHalf, topY}});
  canvas.OutlineOutside(body, 6, outline);
  canvas.Fill(body, CPaint::Linear(cx - baseHalf, 0, cx + baseHalf, 0,
                                   {{0, palette.Get("stone_light")},
                                    {0.45f, palette.Get("stone_light")},
                                    {0.75f, palette.Get("stone_mid")},
                                    {1, palette.Get("stone_dark")}}));
  // Courses of stone: mortar lines and staggered joints, inside the body only.
  const Color mortar = WithAlpha(palette.Get("mortar"), 0.45f);
  for (int row = 0; row * 30.0f + topY < baseY; ++row) {
    const float y = topY + 30.0f * row;
    const float half = halfWidthAt(y);
    canvas.Fill(CIntersection(CLine(cx - half, y, cx + half, y, 2), body), CPaint::Solid(mortar));
    for (int j = 0; j < 6; ++j) {
      const float u = (j + (row % 2 ? 0.5f : 0.0f)) / 5.5f;
      const float x = cx - half + 2 * half * u;
      canvas.Fill(CIntersection(CLine(x, y, x, y + 30, 2), body), CPaint::Solid(mortar));
    }
  }
  // Rings round the tower, one per few floors.
  for (const float y : {330.0f, 470.0f, 600.0f}) {
    const float half = halfWidthAt(y) + 8;
    const CRoundedRect ring(cx - half, y - 9, cx + half, y + 9, 6);
    canvas.OutlineOutside(ring, 4, outline);
    canvas.Fill(ring,
                CPaint::Linear(cx - half, 0, cx + half, 0,
                               {{0, palette.Get("gold")}, {0.6f, palette.Get("gold")}, {1, palette.Get("gold_dark")}}));
  }
  // Arched windows with light behind them.
  const float windows[5][2] = {{cx - 30, 270}, {cx + 28, 385}, {cx - 35, 405}, {cx, 520}, {cx + 40, 650}};
  for (const auto& w : windows) {
    const CRoundedRect window(w[0] - 13, w[1], w[0] + 13, w[1] + 46, 13);
    canvas.OutlineOutside(window, 4, outline);
    canvas.Fill(window, CPaint::Linear(0, w[1], 0, w[1] + 46, {{0, palette.Get("sun")}, {1, palette.Get("sun_glow")}}));
  }
  // The crown with its battlements.
  const CRoundedRect crown(cx - 100, 196, cx + 100, 246, 8);
  for (int i = 0; i < 5; ++i) {
    const float x = cx - 92 + i * 42;
    const CRoundedRect merlon(x, 172, x + 26, 200, 4);
    canvas.OutlineOutside(merlon, 5, outline);
    canvas.Fill(merlon, CPaint::Linear(cx - 100, 0, cx + 100, 0,
                                       {{0, palette.Get("stone_light")}, {1, palette.Get("stone_mid")}}));
  }
  canvas.OutlineOutside(crown, 6, outline);
  canvas.Fill(crown,
              CPaint::Linear(
                  cx - 100, 0, cx + 100, 0,
                  {{0, palette.Get("stone_light")}, {0.6f, palette.Get("stone_mid")}, {1, palette.Get("stone_dark")}}));
  canvas.Fill(CIntersection(CLine(cx - 100, 221, cx + 100, 221, 2), crown), CPaint::Solid(mortar));
  // The roof rises from inside the crown, with a gold star on its tip.
  const CPolygon roof({{cx - 74, 178}, {cx + 74, 178}, {cx + 6, 28}, {cx - 6, 28}});
  canvas.OutlineOutside(roof, 6, outline);
  canvas.Fill(roof, CPaint::Linear(
                        cx - 74, 0, cx + 74, 0,
                        {{0, palette.Get("robe_light")}, {0.45f, palette.Get("robe")}, {1, palette.Get("robe_dark")}}));
  const CPolygon star(StarPoints(cx, 26, 22, 9, 5, -90));
  canvas.Glow(CCircle(cx, 26, 10), 26, WithAlpha(palette.Get("sun_glow"), 0.8f));
  canvas.OutlineOutside(star, 4, outline);
  canvas.Fill(star, CPaint::Solid(palette.Get("gold")));
}

namespace {

// The sky, the tower on the right and the two magics floating by it.
CCanvas DrawBackground(const CPalette& palette)
{
  CCanvas canvas = DrawSky(palette);
  const Color outline = palette.Get("outline");
  DrawTower(&canvas, palette, 1000);

  // The two magics float by the tower: attraction on the sun's side, repulsion beyond.
  const float crystals[2][2] = {{860, 330}, {1150, 500}};
  const char* cores[2] = {"magic_blue", "magic_red"};
  const char* halos[2] = {"magic_blue_light", "magic_red_light"};
  for (int i = 0; i < 2; ++i) {
    const float x = crystals[i][0], y = crystals[i][1];
    const CPolygon gem({{x, y - 30}, {x + 17, y}, {x, y + 30}, {x - 17, y}});
    canvas.Glow(CCircle(x, y, 14), 40, WithAlpha(palette.Get(halos[i]), 0.8f));
    canvas.OutlineOutside(gem, 4, outline);
    canvas.Fill(gem,
                CPaint::Linear(x - 17, y - 30, x + 17, y + 30,
                               {{0, Color{1, 1, 1, 1}}, {0.35f, palette.Get(halos[i])}, {1, palette.Get(cores[i])}}));
  }
  return canvas;
}

// The bobbing layer: a band of big clouds across the bottom and one drifting past
// the tower's flank.
CCanvas DrawCloudLayer(const CPalette& palette)
{
  CCanvas canvas(kWidth, kCloudHeight);
  canvas.Clear({0, 0, 0, 0});
  DrawCloud(&canvas, palette, 1190, 430, 42, 1.0f, 3);
  const float band[8][3] = {{60, 700, 80},   {300, 725, 70},  {560, 735, 62}, {800, 728, 66},
                            {1010, 705, 84}, {1220, 690, 78}, {430, 745, 70}, {690, 750, 70}};
  for (const auto& c : band) DrawCloud(&canvas, palette, c[0], c[1], c[2], 1.0f, 3);
  return canvas;
}

}  // namespace

// One sleeve and its gloved hand; the sleeve starts inside the robe.
void DrawArm(CCanvas* canvas, const CPalette& palette, float x0, float y0, float x1, float y1)
{
  const Color outline = palette.Get("outline");
  const CLine sleeve(x0, y0, x1, y1, 40);
  const CCircle hand(x1 + (x1 - x0) * 0.12f, y1 + (y1 - y0) * 0.12f, 24);
  canvas->OutlineOutside(sleeve, 5, outline);
  canvas->Fill(sleeve, CPaint::Linear(x0, y0, x1, y1, {{0, palette.Get("robe")}, {1, palette.Get("robe_light")}}));
  const CCircle cuff(x1, y1, 23);
  canvas->OutlineOutside(cuff, 4, outline);
  canvas->Fill(cuff, CPaint::Solid(palette.Get("trim")));
  canvas->OutlineOutside(hand, 5, outline);
  canvas->Fill(hand, CPaint::Radial(x1 - 6, y1 - 6, 30, {{0, palette.Get("glove")}, {1, palette.Get("shade_mid")}}));
}

// A four-pointed spark of magic with its halo.
void DrawSpark(CCanvas* canvas, const CPalette& palette, float x, float y, float size, const char* core,
               const char* halo)
{
  const CPolygon star(StarPoints(x, y, size, size * 0.3f, 4, 0));
  canvas->Glow(CCircle(x, y, size * 0.4f), size * 1.3f, WithAlpha(palette.Get(halo), 0.85f));
  canvas->OutlineOutside(star, 4, palette.Get("outline"));
  canvas->Fill(
      star, CPaint::Radial(x, y, size, {{0, Color{1, 1, 1, 1}}, {0.45f, palette.Get(core)}, {1, palette.Get(core)}}));
}

// The floating rock the mage stands on.
void DrawMageRock(CCanvas* canvas, const CPalette& palette, float cx, float oy)
{
  const Color outline = palette.Get("outline");
  const CPolygon rock({{cx - 170, 668 + oy},
                       {cx + 170, 668 + oy},
                       {cx + 90, 720 + oy},
                       {cx + 20, 760 + oy},
                       {cx - 60, 740 + oy},
                       {cx - 130, 700 + oy}});
  canvas->OutlineOutside(rock, 6, outline);
  canvas->Fill(
      rock, CPaint::Linear(0, 668 + oy, 0, 760 + oy, {{0, palette.Get("stone_mid")}, {1, palette.Get("stone_dark")}}));
  const CEllipse top(cx, 664 + oy, 172, 30);
  canvas->OutlineOutside(top, 6, outline);
  canvas->Fill(
      top, CPaint::Linear(cx - 172, 0, cx + 172, 0, {{0, palette.Get("floor_light")}, {1, palette.Get("floor_dark")}}));
}

// The mage's boots peeking out under the hem; oy moves the figure down.
void DrawMageBoots(CCanvas* canvas, const CPalette& palette, float cx, float oy)
{
  const Color outline = palette.Get("outline");
  for (const float bx : {cx - 45, cx + 45}) {
    const CEllipse boot(bx, 648 + oy, 36, 20);
    canvas->OutlineOutside(boot, 5, outline);
    canvas->Fill(boot,
                 CPaint::Linear(0, 630 + oy, 0, 668 + oy, {{0, palette.Get("boot")}, {1, palette.Get("boot_sole")}}));
  }
}

// The mage's robe: a bell from the collar to the hem, gold band and small stars.
void DrawMageRobe(CCanvas* canvas, const CPalette& palette, float cx, float oy)
{
  const Color outline = palette.Get("outline");
  const CPolygon robe({{cx - 42, 452 + oy},
                       {cx - 72, 478 + oy},
                       {cx - 92, 540 + oy},
                       {cx - 110, 600 + oy},
                       {cx - 128, 640 + oy},
                       {cx + 128, 640 + oy},
                       {cx + 110, 600 + oy},
                       {cx + 92, 540 + oy},
                       {cx + 72, 478 + oy},
                       {cx + 42, 452 + oy}});
  canvas->OutlineOutside(robe, 6, outline);
  canvas->Fill(robe, CPaint::Linear(
                         0, 452 + oy, 0, 640 + oy,
                         {{0, palette.Get("robe_light")}, {0.4f, palette.Get("robe")}, {1, palette.Get("robe_dark")}}));
  canvas->Fill(CIntersection(CRoundedRect(cx - 140, 612 + oy, cx + 140, 660 + oy, 0), robe),
               CPaint::Solid(palette.Get("trim")));
  canvas->Fill(CIntersection(CRoundedRect(cx - 140, 620 + oy, cx + 140, 624 + oy, 0), robe),
               CPaint::Solid(palette.Get("gold_dark")));
  const float stars[5][2] = {{cx - 55, 560}, {cx + 40, 530}, {cx - 10, 590}, {cx + 75, 590}, {cx - 80, 600}};
  for (const auto& s : stars) {
    canvas->Fill(CIntersection(CPolygon(StarPoints(s[0], s[1] + oy, 9, 4, 5, -90)), robe),
                 CPaint::Solid(palette.Get("trim")));
  }
  const CEllipse collar(cx, 458 + oy, 62, 20);
  canvas->OutlineOutside(collar, 5, outline);
  canvas->Fill(collar, CPaint::Solid(palette.Get("collar")));
}

// The mage's head centred at (hx, hy): hood tip and pom-pom behind, the hood, its gold
// rim, the face.
void DrawMageHead(CCanvas* canvas, const CPalette& palette, float hx, float hy)
{
  const Color outline = palette.Get("outline");
  const CPolygon tip({{hx - 60, hy - 95}, {hx + 40, hy - 112}, {hx - 120, hy - 70}, {hx - 150, hy - 40}});
  canvas->OutlineOutside(tip, 6, outline);
  canvas->Fill(tip, CPaint::Linear(hx + 40, 0, hx - 150, 0, {{0, palette.Get("robe")}, {1, palette.Get("robe_dark")}}));
  const CCircle pom(hx - 152, hy - 36, 20);
  canvas->OutlineOutside(pom, 5, outline);
  canvas->Fill(pom, CPaint::Radial(hx - 158, hy - 42, 24, {{0, palette.Get("collar")}, {1, palette.Get("trim")}}));
  const CCircle hood(hx, hy, 116);
  canvas->OutlineOutside(hood, 6, outline);
  canvas->Fill(hood, CPaint::Radial(
                         hx - 40, hy - 50, 190,
                         {{0, palette.Get("robe_light")}, {0.5f, palette.Get("robe")}, {1, palette.Get("robe_dark")}}));
  const CCircle rim(hx, hy + 16, 96);
  canvas->Fill(rim, CPaint::Solid(palette.Get("trim")));
  canvas->Stroke(rim, 2, CPaint::Solid(palette.Get("gold_dark")));
  const CCircle face(hx, hy + 20, 86);
  canvas->Fill(face,
               CPaint::Linear(0, hy - 60, 0, hy + 106, {{0, palette.Get("skin")}, {1, palette.Get("skin_shade")}}));
  // Eyes with catch-lights, cheeks and a small smile.
  for (const float side : {-1.0f, 1.0f}) {
    const float ex = hx + side * 32, ey = hy + 24;
    canvas->Fill(CEllipse(ex, ey, 12, 20), CPaint::Solid(palette.Get("eye")));
    canvas->Fill(CCircle(ex + 4, ey - 8, 5), CPaint::Solid(palette.Get("eye_shine")));
    canvas->Fill(CCircle(ex - 4, ey + 8, 2.5f), CPaint::Solid(palette.Get("eye_shine")));
    canvas->Fill(CEllipse(hx + side * 56, hy + 56, 17, 9), CPaint::Solid(WithAlpha(palette.Get("blush"), 0.6f)));
  }
  for (int i = 0; i < 8; ++i) {
    const float a0 = (30 + i * 15) * kPi / 180, a1 = (30 + (i + 1) * 15) * kPi / 180;
    canvas->Fill(CLine(hx + 14 * std::cos(a0), hy + 52 + 10 * std::sin(a0), hx + 14 * std::cos(a1),
                       hy + 52 + 10 * std::sin(a1), 4),
                 CPaint::Solid(palette.Get("mouth")));
  }
}

namespace {

// The little mage, large, on a floating rock: blue magic in the left hand (raised
// towards the tower), red in the right.
CCanvas DrawPlayer(const CPalette& palette)
{
  CCanvas canvas(kWidth, kHeight);
  canvas.Clear({0, 0, 0, 0});
  const Color outline = palette.Get("outline");
  const float cx = 255, oy = 40;  // the figure's centre line and how far it sits below the design grid

  DrawMageRock(&canvas, palette, cx, oy);
  canvas.DropShadow(CEllipse(cx, 660 + oy, 110, 14), 0, 0, 8, WithAlpha(outline, 0.35f));

  DrawMageBoots(&canvas, palette, cx, oy);

  // The right arm (screen left) hangs out to the side with a red spark.
  DrawArm(&canvas, palette, cx - 50, 500 + oy, cx - 128, 570 + oy);

  DrawMageRobe(&canvas, palette, cx, oy);

  // The left arm (screen right) reaches up towards the tower with blue magic.
  DrawArm(&canvas, palette, cx + 55, 495 + oy, cx + 150, 420 + oy);
  DrawSpark(&canvas, palette, cx + 188, 384 + oy, 30, "magic_blue", "magic_blue_light");
  DrawSpark(&canvas, palette, cx - 150, 602 + oy, 20, "magic_red", "magic_red_light");

  DrawMageHead(&canvas, palette, cx, 360 + oy);
  return canvas;
}

// Sunbeams fanning from the top-left corner, with a few motes of light in them.
CCanvas DrawRays(const CPalette& palette)
{
  CCanvas canvas(kWidth, kHeight);
  canvas.Clear({0, 0, 0, 0});
  const Color sun = palette.Get("sun");
  const float beams[6][2] = {{12, 4}, {24, 6}, {35, 3}, {46, 7}, {60, 4}, {73, 5}};
  for (const auto& beam : beams) {
    const float a0 = (beam[0] - beam[1]) * kPi / 180, a1 = (beam[0] + beam[1]) * kPi / 180, reach = 1500;
    const CPolygon wedge({{kSunX, kSunY},
                          {kSunX + reach * std::cos(a0), kSunY + reach * std::sin(a0)},
                          {kSunX + reach * std::cos(a1), kSunY + reach * std::sin(a1)}});
    canvas.Fill(wedge,
                CPaint::Radial(kSunX, kSunY, 1100,
                               {{0, WithAlpha(sun, 0.5f)}, {0.5f, WithAlpha(sun, 0.18f)}, {1, WithAlpha(sun, 0)}}));
  }
  for (int i = 0; i < 18; ++i) {
    const float angle = (10 + 65 * ValueNoise(i * 3.1f, 0.2f, 11)) * kPi / 180;
    const float distance = 160 + 700 * ValueNoise(i * 1.9f, 4.4f, 13);
    const float x = kSunX + distance * std::cos(angle), y = kSunY + distance * std::sin(angle);
    const float size = 4 + 5 * ValueNoise(i * 2.7f, 8.1f, 17);
    canvas.Glow(CCircle(x, y, size * 0.3f), size * 1.5f, WithAlpha(sun, 0.7f));
    canvas.Fill(CPolygon(StarPoints(x, y, size, size * 0.3f, 4, 0)), CPaint::Solid(Color{1, 1, 1, 0.95f}));
  }
  return canvas;
}

// "ソルベリカ" in warm gold with a double line, a spark of each magic, and the Latin
// name on a gold rule beneath.
bool DrawLogo(const CArtContext& context, CCanvas* canvas, std::string* error)
{
  const CPalette& palette = context.palette;
  const float width = static_cast<float>(canvas->Width());
  CCanvas title(canvas->Width(), canvas->Height());
  title.Clear({0, 0, 0, 0});
  LetteringStyle big;
  big.top = palette.Get("light_warm");
  big.bottom = palette.Get("gold");
  big.outline = palette.Get("robe_dark");
  big.outlineWidth = 8;
  big.shadowOffset = 0;
  if (!DrawLettering(context.font, &title, "ソルベリカ", Rect{70, 6, width - 70, 176}, 160, big, error)) return false;
  canvas->Composite(GrowAlpha(title, 4, palette.Get("outline")), 0, 7, 0.5f);
  canvas->Composite(GrowAlpha(title, 4, palette.Get("outline")), 0, 0);
  canvas->Composite(title, 0, 0);
  DrawSpark(canvas, palette, 58, 60, 34, "magic_blue", "magic_blue_light");
  DrawSpark(canvas, palette, width - 58, 60, 34, "magic_red", "magic_red_light");

  const std::string latin = "S O L V E R I C A";
  const float latinHeight = 40;
  const float half = context.font.MeasureWidth(latin, latinHeight) * 0.5f + 24;
  const float y = 206, mid = width * 0.5f;
  for (const float side : {-1.0f, 1.0f}) {
    const float inner = mid + side * half, outer = mid + side * (half + 150);
    const CLine rule(inner, y, outer, y, 5);
    const CPolygon diamond({{outer, y - 9}, {outer + side * 9, y}, {outer, y + 9}, {outer - side * 9, y}});
    canvas->OutlineOutside(rule, 3, palette.Get("outline"));
    canvas->OutlineOutside(diamond, 3, palette.Get("outline"));
    canvas->Fill(rule, CPaint::Solid(palette.Get("gold")));
    canvas->Fill(diamond, CPaint::Solid(palette.Get("gold")));
  }
  const LetteringStyle small = LightStyle(palette, Color{1, 1, 1, 1}, palette.Get("magic_blue_light"), 4, 3);
  return DrawLettering(context.font, canvas, latin, Rect{mid - half, 180, mid + half, 234}, latinHeight, small, error);
}

// The blinking prompt: Japanese above, English beneath.
bool DrawClickToStart(const CArtContext& context, CCanvas* canvas, std::string* error)
{
  const CPalette& palette = context.palette;
  const float width = static_cast<float>(canvas->Width());
  LetteringStyle style = LightStyle(palette, Color{1, 1, 1, 1}, palette.Get("sky_horizon"), 5, 4);
  if (!DrawLettering(context.font, canvas, "クリックしてスタート", Rect{10, 4, width - 10, 66}, 52, style, error)) {
    return false;
  }
  style = LightStyle(palette, palette.Get("gold"), palette.Get("gold"), 3, 0);
  return DrawLettering(context.font, canvas, "- CLICK TO START -", Rect{10, 64, width - 10, 94}, 24, style, error);
}

// Draws one picture onto a transparent canvas and queues it.
bool AddLettering(CArtContext& context, const std::string& path, int width, int height,
                  bool (*draw)(const CArtContext&, CCanvas*, std::string*), std::string* error)
{
  CCanvas canvas(width, height);
  canvas.Clear({0, 0, 0, 0});
  return draw(context, &canvas, error) && context.AddPng(path, canvas, error);
}

// A menu button picture, queued.
bool AddButton(CArtContext& context, const std::string& path, int width, int height, const std::string& caption,
               const std::string& latin, std::string* error)
{
  CCanvas canvas(width, height);
  canvas.Clear({0, 0, 0, 0});
  return DrawMenuButton(context, width, height, caption, latin, &canvas, error) && context.AddPng(path, canvas, error);
}

// The heading of a menu: a large word with a small Latin one under it.
bool DrawHeading(const CArtContext& context, CCanvas* canvas, const std::string& caption, const std::string& latin,
                 std::string* error)
{
  const CPalette& palette = context.palette;
  const float width = static_cast<float>(canvas->Width()), height = static_cast<float>(canvas->Height());
  LetteringStyle style = LightStyle(palette, Color{1, 1, 1, 1}, palette.Get("shade_mid"), 6, 4);
  const float split = height * 0.7f;
  if (!DrawLettering(context.font, canvas, caption, Rect{12, 4, width - 12, split}, split - 8, style, error)) {
    return false;
  }
  style = LightStyle(palette, palette.Get("gold"), palette.Get("gold"), 3, 0);
  return DrawLettering(context.font, canvas, latin, Rect{12, split - 4, width - 12, height - 4}, height * 0.22f, style,
                       error);
}

}  // namespace

// Every title picture at its path.
bool GenerateTitleArt(CArtContext& context, std::string* error)
{
  const CPalette& palette = context.palette;
  if (!context.AddPng("title/picture/title_background.png", DrawBackground(palette), error)) return false;
  if (!context.AddPng("title/picture/title_cloud.png", DrawCloudLayer(palette), error)) return false;
  if (!context.AddPng("title/picture/title_player.png", DrawPlayer(palette), error)) return false;
  if (!context.AddPng("title/picture/title_ray.png", DrawRays(palette), error)) return false;
  if (!AddLettering(context, "title/char/logo.png", 940, 244, DrawLogo, error)) return false;
  if (!AddLettering(context, "title/char/click_to_start.png", 620, 100, DrawClickToStart, error)) return false;
  if (!AddButton(context, "title/char/start.png", 420, 100, "はじめから", "NEW GAME", error)) return false;
  if (!AddButton(context, "title/char/continue.png", 420, 100, "つづきから", "CONTINUE", error)) return false;
  return GenerateRecordsArt(context, error);
}

// The records page: its smaller title button, its heading and its way back.
bool GenerateRecordsArt(CArtContext& context, std::string* error)
{
  CCanvas heading(520, 150);
  heading.Clear({0, 0, 0, 0});
  if (!DrawHeading(context, &heading, "きろく", "R E C O R D S", error) ||
      !context.AddPng("title/char/records_heading.png", heading, error)) {
    return false;
  }
  return AddButton(context, "title/char/records.png", 280, 72, "きろく", "RECORDS", error) &&
         AddButton(context, "title/char/back.png", 280, 72, "もどる", "BACK", error) &&
         GenerateStageSetsArt(context, error);
}

// The stage sets' chooser: its button in the title's other bottom corner, as large as
// the records button, and its heading.
bool GenerateStageSetsArt(CArtContext& context, std::string* error)
{
  CCanvas heading(640, 150);
  heading.Clear({0, 0, 0, 0});
  if (!DrawHeading(context, &heading, "ステージセット", "S T A G E   S E T S", error) ||
      !context.AddPng("title/char/stage_sets_heading.png", heading, error)) {
    return false;
  }
  return AddButton(context, "title/char/stage_sets.png", 280, 72, "ステージ", "STAGE SETS", error);
}

// The pause menu and the return-to-title question; each button fits the 100-pixel
// spacing the menus use.
bool GenerateMenuArt(CArtContext& context, std::string* error)
{
  CCanvas pause(520, 150);
  pause.Clear({0, 0, 0, 0});
  if (!DrawHeading(context, &pause, "ポーズ", "P A U S E", error) ||
      !context.AddPng("game/sprite/pause.png", pause, error)) {
    return false;
  }
  CCanvas question(900, 140);
  question.Clear({0, 0, 0, 0});
  if (!DrawHeading(context, &question, "タイトルにもどりますか？", "RETURN TO THE TITLE?", error) ||
      !context.AddPng("game/sprite/do_you_to_title.png", question, error)) {
    return false;
  }
  CCanvas options(520, 150);
  options.Clear({0, 0, 0, 0});
  if (!DrawHeading(context, &options, "せってい", "O P T I O N S", error) ||
      !context.AddPng("game/sprite/options_heading.png", options, error)) {
    return false;
  }
  // The smaller button of the title's and the pause menu's corner, as large as the
  // records button it stands above, and the options page's way back.
  if (!AddButton(context, "game/sprite/options.png", 280, 72, "せってい", "OPTIONS", error) ||
      !AddButton(context, "game/sprite/back.png", 260, 76, "もどる", "BACK", error)) {
    return false;
  }
  // A stage played from its source has no title to return to: Escape asks to quit.
  CCanvas quit(900, 140);
  quit.Clear({0, 0, 0, 0});
  if (!DrawHeading(context, &quit, "ゲームを終了しますか？", "QUIT THE GAME?", error) ||
      !context.AddPng("game/sprite/do_you_quit.png", quit, error)) {
    return false;
  }
  return AddButton(context, "game/sprite/restart.png", 420, 90, "ゲームにもどる", "RESUME", error) &&
         AddButton(context, "game/sprite/retry.png", 420, 90, "やりなおす", "RETRY", error) &&
         AddButton(context, "game/sprite/to_title.png", 420, 90, "タイトルへ", "TO TITLE", error) &&
         AddButton(context, "game/sprite/yes.png", 300, 96, "はい", "YES", error) &&
         AddButton(context, "game/sprite/no.png", 300, 96, "いいえ", "NO", error);
}

}  // namespace contentgen
