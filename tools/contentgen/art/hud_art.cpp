// The HUD pictures. Everything the game tints at draw time (the ray, its head, the
// banner's glow) is drawn light so the tint shows; the message box's texts are laid
// out on pictures of the box's own size, because the game draws them at its place.
#include "art/hud_art.h"

#include <cmath>
#include <string>

#include "art/art_context.h"
#include "art/lettering.h"

namespace contentgen {

namespace {

const float kPi = 3.14159265f;

// Each floor's name, low stone halls to the open summit, with its Latin line.
struct StageName {
  const char* japanese;
  const char* latin;
};
const StageName kStageNames[8] = {{"石の大広間", "THE STONE HALLS"},    {"古い工房", "THE OLD WORKSHOPS"},
                                  {"歯車の間", "THE HALL OF GEARS"},    {"鉄の倉庫", "THE IRON STOREHOUSE"},
                                  {"大砲の回廊", "THE CANNON GALLERY"}, {"からくりの塔", "THE CLOCKWORK SPIRE"},
                                  {"風の階段", "THE STAIR OF WINDS"},   {"空の頂", "THE SUMMIT UNDER THE SKY"}};

// The box of the orb message; the hint and the messages share its size.
const int kBoxWidth = 880;
const int kBoxHeight = 240;

// The banner: a dark ribbon with gold rims, "STAGE n" on the left, the floor's name
// and its Latin line in the middle (left empty for a stage set's, which names the set).
bool DrawBanner(const CArtContext& context, int stage, bool named, CCanvas* canvas, std::string* error)
{
  const CPalette& palette = context.palette;
  const float w = static_cast<float>(canvas->Width()), h = static_cast<float>(canvas->Height());
  const Color top = WithAlpha(Mix(palette.Get("robe_dark"), palette.Get("outline"), 0.3f), 0.92f);
  DrawPlate(canvas, palette, PlateLook{8, 10, 18, 4, 6, top, 0.92f, 4});
  canvas->Stroke(CRoundedRect(16, 16, w - 16, h - 18, 12), 1.5f,
                 CPaint::Solid(WithAlpha(palette.Get("light_warm"), 0.4f)));
  const float split = 190;
  canvas->Fill(CLine(split, 26, split, h - 28, 2), CPaint::Solid(WithAlpha(palette.Get("gold"), 0.8f)));

  const LetteringStyle gold = LightStyle(palette, palette.Get("light_warm"), palette.Get("gold"), 4, 0);
  if (!DrawLettering(context.font, canvas, "STAGE", Rect{24, 18, split - 12, 52}, 30, gold, error)) return false;
  if (!DrawLettering(context.font, canvas, std::to_string(stage), Rect{24, 46, split - 12, h - 18}, 62, gold, error)) {
    return false;
  }
  if (!named) return true;  // a stage set's banner: the game writes the set's name on it
  const StageName& name = kStageNames[stage - 1];
  const LetteringStyle big = LightStyle(palette, Color{1, 1, 1, 1}, palette.Get("shade_mid"), 5, 3);
  if (!DrawLettering(context.font, canvas, name.japanese, Rect{split + 16, 14, w - 28, h * 0.68f}, 66, big, error)) {
    return false;
  }
  const LetteringStyle small = LightStyle(palette, palette.Get("gold"), palette.Get("gold"), 3, 0);
  return DrawLettering(context.font, canvas, name.latin, Rect{split + 16, h * 0.66f, w - 28, h - 18}, 24, small, error);
}

// Six frames of a horizontal beam 180 wide: a white core in a soft glow, with two
// waves of light that tile across segments and move on each frame.
CCanvas DrawRaySheet()
{
  const int width = 180, frame = 40, frames = 6;
  CCanvas sheet(width, frame * frames);
  sheet.Clear({0, 0, 0, 0});
  sheet.Shade([&](float x, float y, Color) {
    const int k = static_cast<int>(y) / frame;
    const float local = y - k * frame - frame * 0.5f;
    const float phase = 2 * kPi * k / frames;
    const float waveA = 9 * std::sin(2 * kPi * x / width * 2 + phase);
    const float waveB = 7 * std::sin(2 * kPi * x / width * 3 - phase * 2);
    const float core = std::exp(-local * local / 30.0f);
    const float glow = std::exp(-local * local / 160.0f) * 0.8f;
    const float strandA = std::exp(-(local - waveA) * (local - waveA) / 5.0f) * 0.8f;
    const float strandB = std::exp(-(local - waveB) * (local - waveB) / 5.0f) * 0.6f;
    const float alpha = std::fmin(1.0f, core + glow + strandA + strandB);
    const float white = std::fmin(1.0f, 0.55f + core);
    return Color{white, white, white, alpha};
  });
  return sheet;
}

// The ray's head: a four-pointed star in a round glow, white for the tint.
CCanvas DrawRayHead()
{
  const float size = 120, c = size * 0.5f;
  CCanvas head(120, 120);
  head.Clear({0, 0, 0, 0});
  head.Fill(CCircle(c, c, 56),
            CPaint::Radial(
                c, c, 56,
                {{0, Color{1, 1, 1, 0.9f}}, {0.35f, Color{0.9f, 0.9f, 0.9f, 0.45f}}, {1, Color{0.8f, 0.8f, 0.8f, 0}}}));
  head.Fill(CPolygon(StarPoints(c, c, 54, 9, 4, 0)),
            CPaint::Radial(c, c, 54, {{0, Color{1, 1, 1, 1}}, {1, Color{1, 1, 1, 0.3f}}}));
  head.Fill(CPolygon(StarPoints(c, c, 30, 6, 4, 45)), CPaint::Solid(Color{1, 1, 1, 0.8f}));
  head.Fill(CCircle(c, c, 12), CPaint::Solid(Color{1, 1, 1, 1}));
  return head;
}

// The hint in the bottom-left corner, kept clear of the screen's edges.
bool DrawSpaceSkip(const CArtContext& context, CCanvas* canvas, std::string* error)
{
  const CPalette& palette = context.palette;
  const float w = static_cast<float>(canvas->Width()), h = static_cast<float>(canvas->Height());
  const LetteringStyle light = LightStyle(palette, Color{1, 1, 1, 1}, palette.Get("sky_horizon"), 4, 3);
  if (!DrawLettering(context.font, canvas, "スペースキーでスキップ", Rect{24, 6, w - 12, h * 0.62f}, 40, light,
                     error)) {
    return false;
  }
  const LetteringStyle gold = LightStyle(palette, palette.Get("gold"), palette.Get("gold"), 3, 0);
  return DrawLettering(context.font, canvas, "SPACE : SKIP", Rect{24, h * 0.6f, w - 12, h - 12}, 22, gold, error);
}

// Eight cells of 53 x 74, one character each: "ステージクリア！". The game grows each
// letter from its top-left corner, so the ink sits a little left and up in its cell.
bool DrawClearLetters(const CArtContext& context, CCanvas* canvas, std::string* error)
{
  const CPalette& palette = context.palette;
  const char* const letters[8] = {"ス", "テ", "ー", "ジ", "ク", "リ", "ア", "！"};
  const LetteringStyle style = LightStyle(palette, palette.Get("light_warm"), palette.Get("gold"), 4, 2);
  for (int i = 0; i < 8; ++i) {
    CCanvas cell(53, 74);
    cell.Clear({0, 0, 0, 0});
    if (!DrawLettering(context.font, &cell, letters[i], Rect{4, 8, 47, 66}, 48, style, error)) return false;
    canvas->Composite(cell, 53 * i, 0);
  }
  return true;
}

// The message box: a parchment card with a gold rim and a magic-blue inner line.
CCanvas DrawTextBox(const CPalette& palette)
{
  const float w = kBoxWidth, h = kBoxHeight;
  CCanvas box(kBoxWidth, kBoxHeight);
  box.Clear({0, 0, 0, 0});
  const CRoundedRect card(10, 8, w - 10, h - 12, 22);
  box.DropShadow(card, 0, 5, 7, WithAlpha(palette.Get("outline"), 0.55f));
  box.Fill(card, CPaint::Linear(
                     0, 8, 0, h - 12,
                     {{0, WithAlpha(palette.Get("robe_dark"), 0.94f)}, {1, WithAlpha(palette.Get("outline"), 0.94f)}}));
  box.Stroke(card, 5, CPaint::Solid(palette.Get("gold")));
  box.Stroke(CRoundedRect(20, 18, w - 20, h - 22, 14), 1.5f,
             CPaint::Solid(WithAlpha(palette.Get("light_warm"), 0.35f)));
  for (const float x : {36.0f, w - 36.0f}) {
    box.Fill(CPolygon(StarPoints(x, 40, 11, 4, 4, 0)), CPaint::Solid(palette.Get("gold")));
  }
  return box;
}

// "クリックでとじる" in the lower right of the box, with a small arrow.
bool DrawCloseHint(const CArtContext& context, CCanvas* canvas, std::string* error)
{
  const CPalette& palette = context.palette;
  const float w = kBoxWidth, h = kBoxHeight;
  const LetteringStyle style = LightStyle(palette, palette.Get("gold"), palette.Get("gold_dark"), 3, 0);
  if (!DrawLettering(context.font, canvas, "クリックでとじる  CLICK TO CLOSE", Rect{w - 420, h - 58, w - 62, h - 26},
                     24, style, error)) {
    return false;
  }
  canvas->Fill(CPolygon({{w - 54, h - 50}, {w - 38, h - 42}, {w - 54, h - 34}}), CPaint::Solid(palette.Get("gold")));
  return true;
}

// A message: its heading in the magic's colour, what the magic does, which button
// casts it, and a short English line.
bool DrawMessage(const CArtContext& context, const char* colourName, const std::string& heading,
                 const std::string& body, const std::string& latin, CCanvas* canvas, std::string* error)
{
  const CPalette& palette = context.palette;
  const float w = kBoxWidth;
  const LetteringStyle title = LightStyle(palette, Color{1, 1, 1, 1}, palette.Get(colourName), 5, 3);
  if (!DrawLettering(context.font, canvas, heading, Rect{60, 22, w - 60, 86}, 50, title, error)) return false;
  const LetteringStyle text = LightStyle(palette, palette.Get("light_warm"), palette.Get("shade_mid"), 3, 0);
  if (!DrawLettering(context.font, canvas, body, Rect{50, 94, w - 50, 140}, 34, text, error)) return false;
  const LetteringStyle small = LightStyle(palette, palette.Get("sky_horizon"), palette.Get("sky_horizon"), 3, 0);
  return DrawLettering(context.font, canvas, latin, Rect{50, 144, w - 50, 176}, 24, small, error);
}

}  // namespace

// Every banner, the ray sheet and head, the hint, the lettering and the message box.
bool GenerateHudArt(CArtContext& context, std::string* error)
{
  for (int stage = 1; stage <= 8; ++stage) {
    CCanvas banner(800, 130);
    banner.Clear({0, 0, 0, 0});
    const std::string path = "game/sprite/stage_title." + std::to_string(stage) + ".png";
    if (!DrawBanner(context, stage, true, &banner, error) || !context.AddPng(path, banner, error)) return false;
    CCanvas setBanner(800, 130);
    setBanner.Clear({0, 0, 0, 0});
    const std::string setPath = "game/sprite/stage_title_set." + std::to_string(stage) + ".png";
    if (!DrawBanner(context, stage, false, &setBanner, error) || !context.AddPng(setPath, setBanner, error)) {
      return false;
    }
  }
  if (!context.AddPng("game/sprite/title_ray.png", DrawRaySheet(), error)) return false;
  if (!context.AddPng("game/sprite/title_end.png", DrawRayHead(), error)) return false;
  CCanvas skip(440, 96);
  skip.Clear({0, 0, 0, 0});
  if (!DrawSpaceSkip(context, &skip, error) || !context.AddPng("game/sprite/space_skip.png", skip, error)) return false;
  CCanvas clear(53 * 8, 74);
  clear.Clear({0, 0, 0, 0});
  if (!DrawClearLetters(context, &clear, error) || !context.AddPng("game/sprite/stage_clear.png", clear, error)) {
    return false;
  }
  if (!context.AddPng("game/sprite/text_box.png", DrawTextBox(context.palette), error)) return false;
  CCanvas hint(kBoxWidth, kBoxHeight);
  hint.Clear({0, 0, 0, 0});
  if (!DrawCloseHint(context, &hint, error) || !context.AddPng("game/sprite/click_to_close.png", hint, error)) {
    return false;
  }
  CCanvas blue(kBoxWidth, kBoxHeight);
  blue.Clear({0, 0, 0, 0});
  if (!DrawMessage(context, "magic_blue", "引力の魔法をおぼえた！",
                   "左クリックで青い魔法。金属を自分のほうへ引きよせる。",
                   "LEFT CLICK: BLUE MAGIC PULLS METAL TOWARDS YOU", &blue, error) ||
      !context.AddPng("game/sprite/inryoku_text.png", blue, error)) {
    return false;
  }
  CCanvas red(kBoxWidth, kBoxHeight);
  red.Clear({0, 0, 0, 0});
  return DrawMessage(context, "magic_red", "斥力の魔法をおぼえた！", "右クリックで赤い魔法。金属を遠くへおしかえす。",
                     "RIGHT CLICK: RED MAGIC PUSHES METAL AWAY", &red, error) &&
         context.AddPng("game/sprite/sekiryoku_text.png", red, error);
}

}  // namespace contentgen
