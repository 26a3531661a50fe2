// The sprite base and MenuButton: the alpha pulse, placing a button, the hover
// highlight with its sound once per entry, and a button without a picture.
#include "title_fixture.h"

#include "engine/graphics.h"

namespace {

// A sprite that only exposes the base's behaviour.
class CPlainSprite : public CSpriteBase {
public:
  void Update() override {}
  void Draw() override {}
};

}  // namespace

TEST(SpritePulse, FallsToZeroTurnsRisesToFullAndTurnsAgain)
{
  CPlainSprite sprite;
  EXPECT_EQ(sprite.alpha, 255);
  EXPECT_EQ(sprite.phase, 1);
  EXPECT_EQ(sprite.GetName(), "CSpriteBase");
  int turnsDown = 0, turnsUp = 0;
  int previousPhase = sprite.phase;
  for (int frame = 0; frame < 400; ++frame) {
    sprite.PulseAlpha(3);
    ASSERT_GE(sprite.alpha, 0);
    ASSERT_LE(sprite.alpha, 255);
    if (sprite.phase != previousPhase) {
      if (sprite.phase == 0) {
        EXPECT_EQ(sprite.alpha, 0) << "turns at the bottom";
        ++turnsUp;
      } else {
        EXPECT_EQ(sprite.alpha, 255) << "turns at the top";
        ++turnsDown;
      }
    }
    previousPhase = sprite.phase;
  }
  // 86 steps down, 86 up, 86 down, 86 up: four turns in 400 steps.
  EXPECT_EQ(turnsUp, 2);
  EXPECT_EQ(turnsDown, 2);
  // 85 steps of 3 reach exactly 0; the turn comes with the step that would go below.
  CPlainSprite exact;
  for (int i = 0; i < 85; ++i) exact.PulseAlpha(3);
  EXPECT_EQ(exact.alpha, 0);
  EXPECT_EQ(exact.phase, 1);
  exact.PulseAlpha(3);
  EXPECT_EQ(exact.phase, 0);
  EXPECT_EQ(exact.AlphaColour(), 0x00FFFFFFu);
}

TEST_F(TitleTest, CenterButtonPlacesThePictureAroundTheMiddlePlusTheOffset)
{
  MenuButton button;
  button.texture = LoadSpriteTexture("res/title/char/start.png");
  const float width = PictureWidth(button.texture), height = PictureHeight(button.texture);
  ASSERT_GT(width, 0.0f);
  CenterButton(button, 30.0f, 275.0f);
  EXPECT_FLOAT_EQ(button.position._41, 640.0f - width * 0.5f + 30.0f);
  EXPECT_FLOAT_EQ(button.position._42, 360.0f - height * 0.5f + 275.0f);
  EXPECT_FLOAT_EQ(button.combined._41, button.position._41);
  EXPECT_FLOAT_EQ(button.combined._11, 1.0f);
}

TEST_F(TitleTest, HoverTintsGrowsFromTheCornerAndPlaysTheSoundOncePerEntry)
{
  CPlainSprite owner;
  owner.firstSound = LoadSpriteSound("res/sound/cursor.wav");
  ASSERT_NE(owner.firstSound->buffer, nullptr) << "the null audio driver still gives buffers";
  MenuButton button;
  button.texture = LoadSpriteTexture("res/title/char/start.png");
  CenterButton(button, 0.0f, 0.0f);
  const float x = button.position._41, y = button.position._42;

  PointAt(x + 10, y + 10);
  UpdateHover(owner, button);
  EXPECT_EQ(button.hovered, 1);
  EXPECT_EQ(button.colour, 0xFFFFFF00u);
  EXPECT_FLOAT_EQ(button.combined._11, 1.05f);
  EXPECT_FLOAT_EQ(button.combined._22, 1.05f);
  EXPECT_FLOAT_EQ(button.combined._41, x) << "grows from its top-left corner";
  EXPECT_FLOAT_EQ(button.combined._42, y);
  EXPECT_EQ(owner.firstSound->playing, 1);

  // Staying on the button does not play it again.
  owner.firstSound->playing = 0;
  UpdateHover(owner, button);
  EXPECT_EQ(owner.firstSound->playing, 0);

  PointAway();
  UpdateHover(owner, button);
  EXPECT_EQ(button.hovered, 0);
  EXPECT_EQ(button.colour, 0xFFFFFFFFu);
  EXPECT_FLOAT_EQ(button.combined._11, 1.0f);

  PointAt(x + 10, y + 10);
  UpdateHover(owner, button);
  EXPECT_EQ(button.hovered, 1);
  EXPECT_EQ(owner.firstSound->playing, 1) << "entering again plays the sound again";
}

TEST_F(TitleTest, AButtonWithoutAPictureCannotBeHoveredAndDrawsNothing)
{
  CPlainSprite owner;
  owner.firstSound = LoadSpriteSound("res/sound/no_such_sound.wav");
  MenuButton button;
  button.texture = LoadSpriteTexture("res/title/char/no_such_picture.png");
  CenterButton(button, 0.0f, 100.0f);
  EXPECT_FLOAT_EQ(button.position._41, 640.0f);
  EXPECT_FLOAT_EQ(button.position._42, 460.0f);
  // Right on its corner, and just above-left of it, where the 2 x 2 cursor box would touch it.
  for (const float d : {0.0f, -1.0f}) {
    PointAt(640.0f + d, 460.0f + d);
    UpdateHover(owner, button);
    EXPECT_EQ(button.hovered, 0);
  }
  Frames(1);  // the loop draws; drawing an empty picture must be harmless
  DrawButton(button);
  OstrelLibrary::CGraphics::GetInstance()->textureCache.erase("res/title/char/no_such_picture.png");
}
