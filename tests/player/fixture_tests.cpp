// The torch and the drop-water point in a small stage: a torch lights its fire only
// after it has landed and crackles only near the player outside the scripted phases; a
// puddle mirrors what is near and not too far below, never another puddle, gives the
// render targets back, drips, and makes the player's steps splash.
#include "actor/gimmick/game_drop_water_point.h"
#include "actor/gimmick/game_torch.h"
#include "effect/effect_base.h"
#include "player_world.h"
#include "shader/shader_manager.h"
#include "test_seam.h"

namespace {

// An actor that counts how often it is drawn inside a puddle's reflection and outside.
class CSpyActor : public CBlockActor {
public:
  CSpyActor(float x, float y, float z) : CBlockActor("CSpyActor", x, y, z) {}
  void Draw() override
  {
    if (CShaderManager::GetInstance()->puddlePass) {
      ++mirrored;
    } else {
      ++plain;
    }
  }
  int mirrored = 0;
  int plain = 0;
};

// An effect of a chosen class at a position.
class CNamedEffect : public CEffectBase {
public:
  CNamedEffect(const std::string& className, float x, float y, float z) : name(className)
  {
    world._41 = x;
    world._42 = y;
    world._43 = z;
  }
  const std::string& GetName() const override { return name; }
  void Update() override {}
  void Draw() override {}
  std::string name;
};

}  // namespace

class FixtureTest : public PlayerWorld {
protected:
  // A translation.
  static D3DXMATRIX At(float x, float y, float z)
  {
    D3DXMATRIX placement;
    D3DXMatrixTranslation(&placement, x, y, z);
    return placement;
  }
  std::shared_ptr<CGameTorch> PlaceTorch(float x, float y, float z)
  {
    auto torch = std::make_shared<CGameTorch>(At(x, y, z));
    scene->actors.push_back(torch);
    return torch;
  }
  std::shared_ptr<CGameDropWaterPoint> PlacePuddle(float x, float y, float z)
  {
    auto puddle = std::make_shared<CGameDropWaterPoint>(At(x, y, z));
    scene->actors.push_back(puddle);
    return puddle;
  }
};

TEST_F(FixtureTest, ATorchInMidAirLightsOnlyAfterLanding)
{
  auto torch = PlaceTorch(6.0f, 3.0f, 6.0f);
  ASSERT_NE(torch->mesh, nullptr);
  EXPECT_NE(torch->mesh->mesh, nullptr) << "res/game/object/torch.x";
  int frames = 0;
  while (!torch->settled && frames < 100) {
    EXPECT_EQ(torch->fireRequest, 1) << "no fire while falling, frame " << frames;
    Step();
    ++frames;
  }
  ASSERT_EQ(torch->settled, 1);
  EXPECT_GE(frames, 12) << "a fall of 3 at 0.2 a frame";
  EXPECT_NEAR(torch->world._42, 0.01f, 0.02f) << "standing on the floor";
  EXPECT_EQ(torch->fireRequest, 1) << "the landing frame asks for no fire yet";
  Step();
  EXPECT_EQ(torch->fireRequest, 0) << "the fire comes the frame after";
}

TEST_F(FixtureTest, ATorchCracklesNearThePlayerOutsideTheScriptedPhases)
{
  auto torch = PlaceTorch(3.0f, 0.0f, 0.0f);
  auto far = PlaceTorch(3.6f, 0.0f, 0.0f);
  ASSERT_NE(torch->torchSound->buffer, nullptr) << "res/sound/torch_fire.wav";
  Step();
  EXPECT_EQ(torch->torchSound->playing, 1) << "3 away: within hearing";
  EXPECT_EQ(far->torchSound->playing, 0) << "3.6 away: out of hearing";
  int* phases[] = {&scene->cameraEvent, &scene->orbObtained, &scene->goalReached, &scene->paused};
  for (int* phase : phases) {
    *phase = 1;
    Step();
    EXPECT_EQ(torch->torchSound->playing, 0);
    *phase = 0;
    Step();
    EXPECT_EQ(torch->torchSound->playing, 1);
  }
}

TEST_F(FixtureTest, APuddleMirrorsWhatIsNearAndNotTooFarBelow)
{
  auto puddle = PlacePuddle(0.0f, 1.0f, 0.0f);
  EXPECT_EQ(puddle->radius, 5.0f);
  EXPECT_TRUE(puddle->ReflectsActor(CBlockActor("CGameMetalBlock", 0.0f, 0.5f, 0.0f))) << "0.5 below";
  EXPECT_FALSE(puddle->ReflectsActor(CBlockActor("CGameMetalBlock", 0.0f, 0.4f, 0.0f))) << "0.6 below";
  EXPECT_TRUE(puddle->ReflectsActor(CBlockActor("CGameMetalBlock", 0.0f, 4.0f, 0.0f))) << "above, within reach";
  EXPECT_TRUE(puddle->ReflectsActor(CBlockActor("CGameTorch", 5.0f, 1.0f, 0.0f))) << "at the edge of its reach";
  EXPECT_FALSE(puddle->ReflectsActor(CBlockActor("CGameTorch", 5.1f, 1.0f, 0.0f))) << "past it";
  for (const char* name : {"CGameMap", "CGameDebug", "CGameCamera", "CGameDropWaterPoint"}) {
    EXPECT_FALSE(puddle->ReflectsActor(CBlockActor(name, 1.0f, 1.0f, 0.0f))) << name;
  }
  EXPECT_TRUE(puddle->ReflectsEffect(CNamedEffect("CEffectTorchFire", 0.0f, 2.0f, 4.0f)));
  EXPECT_FALSE(puddle->ReflectsEffect(CNamedEffect("CEffectTorchFire", 0.0f, 2.0f, 6.0f))) << "too far";
  EXPECT_TRUE(puddle->ReflectsEffect(CNamedEffect("CEffectMagicRay", 0.0f, 2.0f, 60.0f))) << "rays at any distance";
  EXPECT_FALSE(puddle->ReflectsEffect(CNamedEffect("CEffectMagicRay", 0.0f, 0.4f, 1.0f))) << "but not from below";
}

TEST_F(FixtureTest, TwoPuddlesDoNotMirrorEachOtherAndGiveTheTargetsBack)
{
  auto first = PlacePuddle(0.0f, 0.0f, 4.0f);
  auto second = PlacePuddle(2.0f, 0.0f, 4.0f);
  auto spy = std::make_shared<CSpyActor>(1.0f, 0.5f, 4.0f);
  auto below = std::make_shared<CSpyActor>(1.0f, -0.6f, 4.0f);
  scene->actors.push_back(spy);
  scene->actors.push_back(below);
  Step();  // the camera's matrices reach the effects
  CShaderManager* shaders = CShaderManager::GetInstance();
  IDirect3DSurface9* targetBefore = nullptr;
  IDirect3DSurface9* depthBefore = nullptr;
  device->GetRenderTarget(0, &targetBefore);
  device->GetDepthStencilSurface(&depthBefore);

  first->Draw();
  second->Draw();
  EXPECT_EQ(spy->mirrored, 2) << "once in each puddle, never inside a puddle inside a puddle";
  EXPECT_EQ(below->mirrored, 0) << "0.6 below the water";
  EXPECT_EQ(shaders->puddlePass, 0);

  IDirect3DSurface9* targetAfter = nullptr;
  IDirect3DSurface9* depthAfter = nullptr;
  device->GetRenderTarget(0, &targetAfter);
  device->GetDepthStencilSurface(&depthAfter);
  EXPECT_EQ(targetAfter, targetBefore);
  EXPECT_EQ(depthAfter, depthBefore);
  for (IDirect3DSurface9* surface : {targetBefore, depthBefore, targetAfter, depthAfter}) {
    if (surface) surface->Release();
  }

  // Inside a reflection a puddle draws nothing at all.
  shaders->puddlePass = 1;
  second->Draw();
  EXPECT_EQ(spy->mirrored, 2);
  shaders->puddlePass = 0;

  // Holding Q hides the puddles.
  Win32TestSetKey('Q', true);
  first->Draw();
  Win32TestSetKey('Q', false);
  EXPECT_EQ(spy->mirrored, 2);
}

TEST_F(FixtureTest, APuddleRipplesAndDripsEveryThreeToSixSeconds)
{
  auto puddle = PlacePuddle(0.0f, 0.0f, 4.0f);
  Step();
  EXPECT_GE(puddle->dropTimer, 180) << "the first drop fell in the first frame";
  EXPECT_LE(puddle->dropTimer, 359);
  EXPECT_NEAR(puddle->rippleOffset.x, 0.004f, 1e-6f);
  EXPECT_NEAR(puddle->rippleOffset.y, 0.002f, 1e-6f);
  const int timer = puddle->dropTimer;
  scene->paused = 1;
  Step(5);
  EXPECT_EQ(puddle->dropTimer, timer) << "a menu holds the drips";
  scene->paused = 0;
  Step(300);
  EXPECT_GE(puddle->rippleOffset.x, 0.0f);
  EXPECT_LE(puddle->rippleOffset.x, 1.0f) << "the scroll wraps";
  EXPECT_NEAR(puddle->rippleOffset.x, 301 * 0.004f - 1.0f, 1e-3f);
}

TEST_F(FixtureTest, StepsWithinReachOfAPuddleSplash)
{
  auto foot = std::static_pointer_cast<CPlayerFoot>(player->bodyParts[3]);
  ASSERT_NE(foot->puddleSound->buffer, nullptr) << "res/sound/puddle.wav";
  auto puddle = PlacePuddle(0.0f, 0.0f, 1.5f);
  Hold(1, 0, 0, 0);  // walking towards +z, into the puddle's reach
  int frames = 0;
  while (!foot->puddleSound->playing && !foot->footstepSound->playing && frames < 60) {
    Step();
    ++frames;
  }
  Hold(0, 0, 0, 0);
  const D3DXVECTOR3 offset = Feet() - D3DXVECTOR3(0.0f, 0.0f, 1.5f);
  EXPECT_LE(D3DXVec3Length(&offset), 1.75f);
  EXPECT_EQ(foot->puddleSound->playing, 1) << "a splash inside 1.75";
  EXPECT_EQ(foot->footstepSound->playing, 0);

  // Out of reach the step is a plain footstep.
  puddle->world._43 = 30.0f;
  foot->puddleSound->Stop();
  Hold(1, 0, 0, 0);
  frames = 0;
  while (!foot->puddleSound->playing && !foot->footstepSound->playing && frames < 60) {
    Step();
    ++frames;
  }
  Hold(0, 0, 0, 0);
  EXPECT_EQ(foot->footstepSound->playing, 1);
  EXPECT_EQ(foot->puddleSound->playing, 0);
}
