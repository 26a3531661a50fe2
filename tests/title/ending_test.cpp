// The ending's three sequences, each stepped frame by frame on its own: the climb, the
// narration and the charge; the shaking, rising tower; the scrolling space and the
// credit pages. The scene itself runs through the real loop in the playthrough tests.
#include "title_fixture.h"

#include <cstdlib>
#include <set>

#include "engine/graphics.h"
#include "sprite/sprite_ending.h"

namespace {

// Steps a sequence by itself, as the scene would once a frame.
void Step(CSpriteBase& sequence, int frames)
{
  for (int i = 0; i < frames; ++i) sequence.Update();
}

}  // namespace

// The title tests' world (device, sounds, pictures) with no scene needed: each sequence
// is stepped by hand.
using EndingTest = TitleTest;

TEST_F(EndingTest, TheClimbReachesTheTopInFrame240AndTheChargeSoundStartsInFrame241)
{
  CEndingInside inside;
  const float width = PictureWidth(inside.playerTexture);
  ASSERT_GT(width, 0.0f) << "res/ending/ending_player.png";
  EXPECT_FLOAT_EQ(inside.playerMatrix._41, 640.0f - width / 2);
  EXPECT_FLOAT_EQ(inside.playerMatrix._42, 720.0f);
  EXPECT_FLOAT_EQ(inside.narrationMatrix._42, 720.0f - PictureHeight(inside.narrationTexture)) << "on the bottom edge";
  EXPECT_EQ(inside.music.playing, 1) << "the stage music carries on from the first frame";

  Step(inside, 239);
  EXPECT_FLOAT_EQ(inside.playerMatrix._42, 3.0f);
  EXPECT_EQ(inside.chargeStarting, 1);
  EXPECT_EQ(inside.flashAlpha, 0);

  Step(inside, 1);  // frame 240: at the top, the charge and the flash begin
  EXPECT_FLOAT_EQ(inside.playerMatrix._42, 0.0f);
  EXPECT_EQ(inside.chargeStarting, 0);
  EXPECT_EQ(inside.chargeSound.playing, 0);
  EXPECT_EQ(inside.flashAlpha, 195) << "200, less 5 in the same frame";
  EXPECT_FLOAT_EQ(inside.chargeMatrixA._41, inside.playerMatrix._41 + 150.0f);
  EXPECT_FLOAT_EQ(inside.chargeMatrixA._42, 150.0f);
  EXPECT_FLOAT_EQ(inside.chargeMatrixB._41, inside.playerMatrix._41 + 800.0f);
  EXPECT_FLOAT_EQ(inside.chargeMatrixB._42, 150.0f);
  EXPECT_FLOAT_EQ(inside.flashMatrix._11, 1280.0f);
  EXPECT_FLOAT_EQ(inside.flashMatrix._22, 720.0f);
  EXPECT_EQ(inside.chargeAlpha, 10);

  Step(inside, 1);  // frame 241
  EXPECT_EQ(inside.chargeSound.playing, 1);
  EXPECT_FLOAT_EQ(inside.playerMatrix._42, 0.0f) << "the player stays at the top";

  // The flash is gone 39 frames after it began and never goes below 0; the glows pulse.
  Step(inside, 24);  // frame 265
  EXPECT_EQ(inside.chargeAlpha, 255);
  EXPECT_EQ(inside.chargeFalling, 1);
  Step(inside, 14);  // frame 279
  EXPECT_EQ(inside.flashAlpha, 0);
  EXPECT_EQ(inside.chargeAlpha, 115);
  Step(inside, 5);
  EXPECT_EQ(inside.flashAlpha, 0);
}

TEST_F(EndingTest, TheOrbSoundGreetsOnlyTheFirstPanelAndTheSequenceEndsInFrame344)
{
  CEndingInside inside;
  ASSERT_EQ(inside.narrationTexture->path, "res/ending/ending_narration_1.png");
  ASSERT_NE(inside.narrationTexture->texture, nullptr);
  Step(inside, 85);
  EXPECT_EQ(inside.narrationAlpha, 255);
  EXPECT_EQ(inside.narrationShown, 0);
  EXPECT_EQ(inside.orbSound.playing, 0);
  Step(inside, 1);  // frame 86: full, turning
  EXPECT_EQ(inside.narrationShown, 1);
  EXPECT_EQ(inside.orbSound.playing, 1);

  Step(inside, 85);  // frame 171
  EXPECT_EQ(inside.narrationAlpha, 0);
  EXPECT_EQ(inside.narrationTexture->path, "res/ending/ending_narration_1.png");
  Step(inside, 1);  // frame 172: the second panel, at the same place
  EXPECT_EQ(inside.narrationTexture->path, "res/ending/ending_narration_2.png");
  EXPECT_NE(inside.narrationTexture->texture, nullptr);
  EXPECT_EQ(inside.narrationShown, 0);
  EXPECT_FLOAT_EQ(inside.narrationMatrix._42, 720.0f - PictureHeight(inside.narrationTexture));

  // Even with the first chime over, the second panel brings no second one.
  inside.orbSound.Stop();
  Step(inside, 86);  // frame 258: the second panel is full
  EXPECT_EQ(inside.narrationShown, 1);
  EXPECT_EQ(inside.orbSound.playing, 0);

  Step(inside, 85);  // frame 343
  EXPECT_EQ(application->fadeOut, 0);
  EXPECT_EQ(inside.music.volume, 0);
  Step(inside, 1);  // frame 344: the second panel has faded out
  EXPECT_EQ(application->fadeOut, 1);
  EXPECT_EQ(inside.music.volume, -80);
  Step(inside, 1);
  EXPECT_EQ(inside.music.volume, -160) << "the music keeps sinking until the scene moves on";
  EXPECT_EQ(inside.narrationAlpha, 0);
}

TEST_F(EndingTest, TheOutsideTowerKeepsStillThenShakesFromTheSeededGeneratorThenTakesOff)
{
  std::srand(4321);
  CEndingOutside outside;
  const float height = PictureHeight(outside.towerTexture);
  ASSERT_GT(height, 0.0f) << "res/ending/ending_tower.png";
  Step(outside, 59);
  EXPECT_FLOAT_EQ(outside.towerMatrix._41, 0.0f);
  EXPECT_FLOAT_EQ(outside.towerMatrix._42, 0.0f);
  EXPECT_EQ(outside.rumbleSound.playing, 0);
  EXPECT_EQ(outside.alpha, 118) << "the glow rises from 0 by 2";

  // Frames 60 to 258: a new offset every frame, drawn from the same generator.
  std::srand(4321);
  std::vector<int> expected;
  for (int i = 0; i < 2 * 199; ++i) expected.push_back(std::rand() % 10);
  std::srand(4321);
  std::set<int> seen;
  for (int frame = 60; frame <= 258; ++frame) {
    const int x = expected[2 * (frame - 60)], y = expected[2 * (frame - 60) + 1];
    Step(outside, 1);
    ASSERT_FLOAT_EQ(outside.shakeMatrix._41, static_cast<float>(x)) << "frame " << frame;
    ASSERT_FLOAT_EQ(outside.shakeMatrix._42, static_cast<float>(y)) << "frame " << frame;
    ASSERT_FLOAT_EQ(outside.towerMatrix._42, static_cast<float>(y)) << "the tower has not risen yet";
    EXPECT_FLOAT_EQ(outside.magicMatrix._41, outside.towerMatrix._41 + 590.0f);
    EXPECT_FLOAT_EQ(outside.magicMatrix._42, outside.towerMatrix._42 - 375.0f);
    seen.insert(x * 10 + y);
  }
  EXPECT_GT(seen.size(), 50u) << "the offsets vary";
  EXPECT_EQ(outside.rumbleSound.playing, 1);
  EXPECT_EQ(outside.raySound.playing, 0);

  Step(outside, 1);  // frame 259: take-off
  EXPECT_EQ(outside.rumbleSound.playing, 0);
  EXPECT_EQ(outside.raySound.playing, 1);
  EXPECT_FLOAT_EQ(outside.towerPositionMatrix._42, -2.0f);

  // It has left the screen once it is more than its own height up: 361 frames of rising.
  const int rising = static_cast<int>(height / 2.0f) + 1;
  Step(outside, rising - 2);
  EXPECT_EQ(application->fadeOut, 0);
  EXPECT_EQ(outside.raySound.volume, 0);
  Step(outside, 1);
  EXPECT_EQ(application->fadeOut, 1);
  EXPECT_EQ(outside.raySound.volume, -35);
  Step(outside, 1);
  EXPECT_EQ(outside.raySound.volume, -70);
  EXPECT_GE(outside.alpha, 120) << "the glow never dims below 120 once lit";
  EXPECT_LE(outside.alpha, 255);
}

TEST_F(EndingTest, TheCloudBobsAsTheTitleCloudDoes)
{
  CEndingOutside outside;
  Step(outside, 100);
  EXPECT_NEAR(outside.cloudMatrix._42, -10.0f, 0.01f);
  Step(outside, 110);
  EXPECT_EQ(outside.cloudRising, 0) << "it turned at -20";
  EXPECT_GT(outside.cloudMatrix._42, -20.0f);
  EXPECT_LT(outside.cloudMatrix._42, -18.5f);
}

TEST_F(EndingTest, TheSpaceCopiesStayOneScreenApartAndPageFiveIsTheLast)
{
  CEndingSpace space;
  const float towerHeight = PictureHeight(space.towerTexture);
  ASSERT_GT(towerHeight, 0.0f) << "res/ending/ending_space_tower.png";
  EXPECT_FLOAT_EQ(space.towerPositionMatrix._41, PictureWidth(space.towerTexture));
  EXPECT_FLOAT_EQ(space.creditMatrix._41, 640.0f);
  Step(space, 1);
  EXPECT_EQ(space.music.playing, 1);
  EXPECT_EQ(space.alpha, 253) << "the glow starts falling from 255";

  std::vector<int> pages = {space.creditPage};
  int frame = 1, creditsDoneFrame = 0, fadeFrame = 0;
  while (frame < 6000 && !fadeFrame) {
    ASSERT_FLOAT_EQ(space.spaceMatrixB._42, space.spaceMatrixA._42 - 720.0f) << "frame " << frame;
    ASSERT_FLOAT_EQ(space.spaceMatrixB._41, space.spaceMatrixA._41);
    ASSERT_GE(space.spaceMatrixA._42, 0.0f);
    ASSERT_LE(space.spaceMatrixA._42, 720.0f);
    ASSERT_GE(space.shakeMatrix._41, 0.0f);
    ASSERT_LE(space.shakeMatrix._41, 3.0f);
    ASSERT_GE(space.shakeMatrix._42, 0.0f);
    ASSERT_LE(space.shakeMatrix._42, 3.0f);
    ASSERT_FLOAT_EQ(space.magicMatrix._41, space.towerMatrix._41 - 65.0f);
    ASSERT_FLOAT_EQ(space.magicMatrix._42, space.towerMatrix._42 - 125.0f);
    if (frame == 234) {
      EXPECT_FLOAT_EQ(space.towerPositionMatrix._42, 252.0f);
      EXPECT_FLOAT_EQ(space.creditMatrix._42, 720.0f) << "the credits wait for the tower";
    }
    if (frame == 235) {
      EXPECT_FLOAT_EQ(space.towerPositionMatrix._42, 250.0f);
      EXPECT_FLOAT_EQ(space.creditMatrix._42, 718.0f) << "and start with its stop";
    }
    if (frame == 236) {
      EXPECT_FLOAT_EQ(space.towerPositionMatrix._42, 250.0f);
    }
    Step(space, 1);
    ++frame;
    if (space.creditPage != pages.back()) {
      pages.push_back(space.creditPage);
      if (space.creditPage <= 5) {
        EXPECT_EQ(space.creditTexture->path, "res/ending/endroll." + std::to_string(space.creditPage) + ".png");
        EXPECT_NE(space.creditTexture->texture, nullptr);
        EXPECT_FLOAT_EQ(space.creditMatrix._42, 720.0f);
      }
    }
    if (space.creditsDone && !creditsDoneFrame) creditsDoneFrame = frame;
    if (application->fadeOut) fadeFrame = frame;
  }
  EXPECT_EQ(pages, (std::vector<int>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(space.creditTexture->path, "res/ending/endroll.5.png") << "no sixth page is loaded";
  // Five pages of (720 + 680) / 2 + 1 frames each from frame 235.
  EXPECT_EQ(creditsDoneFrame, 234 + 5 * 701);
  // Then the tower rises from 250 until it is three of its heights above the screen.
  EXPECT_EQ(fadeFrame, creditsDoneFrame + static_cast<int>((250.0f + 3 * towerHeight) / 2.0f) + 1);
  EXPECT_LT(space.towerPositionMatrix._42, -3 * towerHeight);
  EXPECT_GE(space.towerPositionMatrix._42, -3 * towerHeight - 2.0f);
}
