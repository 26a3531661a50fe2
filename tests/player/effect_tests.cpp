// The effects in the player's world: the blast's 36 updates, the water drop that never
// meets anything and the one that splashes, the particle held where it was born, the
// rings' direction along a ray and without one, the scene's effect queue, and the
// crosshair turning red over a magic target.
#include <cmath>

#include "effect/effect_billboards.h"
#include "effect/effect_mesh.h"
#include "magic_world.h"
#include "sprite/sprite_alignment.h"

using EffectTest = MagicWorld;

TEST_F(EffectTest, TheBlastChangesCellEveryTwoFramesAndEndsOnItsThirtySixthUpdate)
{
  D3DXMATRIX at;
  D3DXMatrixTranslation(&at, 1.0f, 2.0f, 3.0f);
  CEffectBlast blast(at);
  ASSERT_GT(blast.TextureWidth(), 0.0f);
  EXPECT_EQ(blast.TextureWidth(), 18.0f * 128.0f) << "18 cells of 128";
  blast.Update();
  EXPECT_EQ(blast.frameIndex, 0);
  blast.Update();
  EXPECT_EQ(blast.frameIndex, 1);
  EXPECT_NEAR(blast.quad[0].u, 1.0f / 18.0f, 1e-6f);
  for (int i = 2; i < 35; ++i) blast.Update();
  EXPECT_EQ(blast.finished, 0) << "35 updates";
  EXPECT_EQ(blast.frameIndex, 17);
  blast.Update();
  EXPECT_EQ(blast.finished, 1) << "the 36th";
  EXPECT_EQ(blast.frameIndex, 17) << "stays on the last cell";
  EXPECT_NEAR(blast.world._41, 1.0f, 1e-5f);
}

TEST_F(EffectTest, ADropThatMeetsNothingFallsForever)
{
  D3DXMATRIX at;
  D3DXMatrixTranslation(&at, 100.0f, 5.0f, 100.0f);
  CEffectDropWater drop(at);
  for (int i = 0; i < 300; ++i) drop.Update();
  EXPECT_EQ(drop.finished, 0);
  EXPECT_EQ(drop.frameIndex, 0);
  EXPECT_EQ(drop.alpha, 255) << "faded in, capped";
  EXPECT_NEAR(drop.baseMatrix._42, 5.0f - 90.0f, 1e-2f);
}

TEST_F(EffectTest, ADropSplashesOnTheFloorThenFadesOutGrowing)
{
  D3DXMATRIX at;
  D3DXMatrixTranslation(&at, 0.0f, 3.0f, 0.0f);
  CEffectDropWater drop(at);
  int frames = 0;
  while (drop.frameIndex == 0 && frames < 50) {
    drop.Update();
    ++frames;
  }
  ASSERT_EQ(drop.frameIndex, 1) << "splashed";
  EXPECT_LE(drop.baseMatrix._42, 0.3f + 0.18f + 1e-4f) << "within one step of the floor, lifted";
  const int alphaAtSplash = drop.alpha + 16;  // the splash frame already faded once
  EXPECT_EQ(alphaAtSplash, std::min(16 * frames, 255));
  int fading = 1;
  while (!drop.finished && fading < 40) {
    drop.Update();
    ++fading;
  }
  EXPECT_EQ(drop.finished, 1);
  EXPECT_NEAR(drop.splashMatrix._11, std::pow(1.03f, static_cast<float>(fading)), 1e-3f);
  EXPECT_EQ(drop.quad[0].colour >> 24, 0u) << "faded out";
}

TEST_F(EffectTest, AParticleGrowsAndFadesWhereItWasBorn)
{
  D3DXMATRIX at;
  D3DXMatrixTranslation(&at, 2.0f, 1.0f, -1.0f);
  CEffectParticle particle(at, Red);
  ASSERT_TRUE(particle.mesh && particle.mesh->mesh) << "red_particle.x";
  int updates = 0;
  while (!particle.finished && updates < 40) {
    particle.Update();
    ++updates;
  }
  EXPECT_GE(updates, 25);
  EXPECT_LE(updates, 26) << "0.04 a frame from 1";
  EXPECT_NEAR(particle.world._41, 2.0f, 1e-5f) << "the pose it was born with";
  EXPECT_NEAR(particle.world._11, std::pow(1.04f, static_cast<float>(updates)), 1e-3f);
}

TEST_F(EffectTest, RingsRunHandToHeadExceptForALockedBlueRay)
{
  const auto place = [](CEffectMagicRay& ray, float handZ, float headZ) {
    D3DXMatrixTranslation(&ray.originMatrix, 0.0f, 1.0f, handZ);
    D3DXMatrixTranslation(&ray.headMatrix, 0.0f, 1.0f, headZ);
  };
  place(*redRay, 0.0f, 10.0f);
  place(*blueRay, 0.0f, 10.0f);
  CEffectRing red(Red);
  EXPECT_NEAR(red.world._43, 0.0f, 1e-5f) << "starts at the hand";
  blueRay->scrollDirection = 1;  // locked
  CEffectRing blue(Blue);
  EXPECT_NEAR(blue.world._43, 10.0f, 1e-5f) << "starts at the head";
  for (int i = 0; i < 50; ++i) {
    red.Update();
    blue.Update();
  }
  EXPECT_NEAR(red.world._43, 5.0f, 1e-3f);
  EXPECT_NEAR(blue.world._43, 5.0f, 1e-3f);
  EXPECT_NEAR(red.alpha, 0.5f, 1e-3f);
  place(*redRay, 0.0f, -10.0f);
  red.Update();
  EXPECT_NEAR(red.world._43, 5.1f, 1e-3f) << "the ring does not follow the ray afterwards";
}

TEST_F(EffectTest, ARingWithoutARayStaysAtTheOrigin)
{
  scene->effects.clear();
  CEffectRing ring(Red);
  int updates = 0;
  while (!ring.finished && updates < 200) {
    ring.Update();
    ++updates;
    ASSERT_EQ(ring.world._41, 0.0f);
    ASSERT_EQ(ring.world._42, 0.0f);
    ASSERT_EQ(ring.world._11, 1.0f);
  }
  EXPECT_EQ(ring.finished, 1);
  EXPECT_GE(updates, 100);
  EXPECT_LE(updates, 101);
}

TEST_F(EffectTest, TheQueueBuildsLiveEffectsAtTheEffectStepAndRemovesFinishedOnes)
{
  D3DXMATRIX at;
  D3DXMatrixTranslation(&at, 0.0f, 1.0f, 4.0f);
  scene->AddBlast(at);
  scene->AddParticle(at, Blue);
  scene->AddFugitiveDust(D3DXVECTOR3(0.0f, 1.0f, 0.0f), 0.75f, 0.12f);
  EXPECT_EQ(scene->pendingEffects.size(), 3u);
  EXPECT_EQ(scene->effects.size(), 4u) << "the live list is untouched";
  Step();
  EXPECT_EQ(scene->pendingEffects.size(), 0u);
  ASSERT_EQ(scene->effects.size(), 7u);
  bool dustFound = false;
  for (const auto& effect : scene->effects) {
    if (effect->GetName() != "CEffectFugitiveDust") continue;
    dustFound = true;
    EXPECT_NEAR(effect->baseMatrix._42, 1.0f - 2 * 0.12f, 1e-5f) << "the live dust stands twice its drop lower";
  }
  EXPECT_TRUE(dustFound);
  Step(40);
  EXPECT_EQ(scene->effects.size(), 4u) << "blast, particle and dust finished and were removed";
}

TEST_F(EffectTest, TheCrosshairTurnsRedAndLargerOverAMagicTarget)
{
  auto block = AddMetalBlock(0.0f, 0.0f, 8.0f);
  CSpriteAlignment crosshair;
  Step();
  crosshair.Update();
  EXPECT_EQ(crosshair.magicReady, 0) << "no magic on stage 1";
  EXPECT_EQ(crosshair.state, 1);
  EXPECT_EQ(crosshair.colour, 0xFFFF0000u);
  EXPECT_NEAR(crosshair.transform._11, 1.1f, 1e-6f);
  magic->blueUnlocked = 1;
  crosshair.Update();
  EXPECT_EQ(crosshair.magicReady, 1);
  camera->yaw = 90.0f;
  Step();
  crosshair.Update();
  EXPECT_EQ(camera->aimedName, "");
  EXPECT_EQ(crosshair.state, 0);
  EXPECT_EQ(crosshair.colour, 0xFFFFFFFFu);
  EXPECT_NEAR(crosshair.transform._11, 1.0f, 1e-6f);
  EXPECT_NEAR(crosshair.transform._41, 640.0f - 32.0f, 1e-3f) << "centred";
}
