// The actor base without a device: magic, turning, moving, the weak links.
#include "scene/scene_game.h"
#include "stage_support.h"

TEST(SetMagic, RotationDoorCombinesBothColours)
{
  CTestActor door("CGameRotationDoor");
  door.SetMagic(Red);
  EXPECT_EQ(door.magicColour, Red);
  door.SetMagic(Blue);
  EXPECT_EQ(door.magicColour, Both) << "holding red, receiving blue";
  door.SetMagic(Red);
  EXPECT_EQ(door.magicColour, Both) << "holding both keeps both";
  door.SetMagic(Blue);
  EXPECT_EQ(door.magicColour, Both);
  door.SetMagic(None);
  EXPECT_EQ(door.magicColour, None);
  door.SetMagic(Blue);
  door.SetMagic(Red);
  EXPECT_EQ(door.magicColour, Both) << "holding blue, receiving red";
  door.SetMagic(None);
  door.SetMagic(Blue);
  door.SetMagic(Blue);
  EXPECT_EQ(door.magicColour, Blue) << "the same colour twice is just that colour";
}

TEST(SetMagic, OtherActorsTakeTheNewerColour)
{
  CTestActor block("CGameMetalBlock");
  block.SetMagic(Red);
  block.SetMagic(Blue);
  EXPECT_EQ(block.magicColour, Blue);
  block.SetMagic(Red);
  EXPECT_EQ(block.magicColour, Red);
  block.SetMagic(None);
  EXPECT_EQ(block.magicColour, None);
}

TEST(TurnStep, DeadZoneWholeAngleAndSides)
{
  D3DXVECTOR3 from(0, 0, 1), to(0.001f, 0, 1);
  EXPECT_EQ(TurnStep(from, to, 10.0f, 0.1f), 0.0f) << "closer than the dead zone";

  from = D3DXVECTOR3(0, 0, 2);
  to = D3DXVECTOR3(1, 0, 1);
  const float turn = TurnStep(from, to, 90.0f, 0.1f);
  EXPECT_NEAR(turn, -45.0f, 1e-3f) << "the whole angle, with its sign, when the step allows";
  EXPECT_NEAR(D3DXVec3Length(&from), 1.0f, 1e-6f) << "normalised in place";
  EXPECT_NEAR(to.x, 0.7071068f, 1e-6f);

  from = D3DXVECTOR3(0, 0, 1);
  to = D3DXVECTOR3(-1, 0, 1);
  EXPECT_NEAR(TurnStep(from, to, 10.0f, 0.1f), 10.0f, 1e-5f) << "the other side, limited";
  from = D3DXVECTOR3(0, 0, 1);
  to = D3DXVECTOR3(1, 0, 1);
  EXPECT_NEAR(TurnStep(from, to, 10.0f, 0.1f), -10.0f, 1e-5f);

  from = D3DXVECTOR3(0, 0, 1);
  to = D3DXVECTOR3(0, 0, -1);
  EXPECT_NEAR(TurnStep(from, to, 10.0f, 0.1f), 10.0f, 1e-5f) << "opposite: turns right";
  from = D3DXVECTOR3(0, 0, 1);
  to = D3DXVECTOR3(0, 0, -1);
  EXPECT_NEAR(TurnStep(from, to, 500.0f, 0.1f), 180.0f, 1e-3f);
}

TEST(ActorBase, DefaultsMoveAndOwnSound)
{
  auto actor = std::make_shared<CTestActor>();
  EXPECT_EQ(actor->CActorBase::GetName(), "CActorBase");
  EXPECT_EQ(actor->fallSpeed, 0.2f);
  EXPECT_EQ(actor->radius, 0.3f);
  EXPECT_EQ(actor->height, 0.0f);
  EXPECT_EQ(actor->switchRange, 15.0f);
  EXPECT_EQ(actor->noHitDistance, -1.0f);
  EXPECT_EQ(actor->hardLandingFrames, 5);
  EXPECT_EQ(actor->world._44, 1.0f);
  actor->Move(1.0f, -2.0f, 3.5f);
  actor->Move(1.0f, 0.0f, 0.0f);
  EXPECT_EQ(actor->world._41, 2.0f);
  EXPECT_EQ(actor->world._42, -2.0f);
  EXPECT_EQ(actor->world._43, 3.5f);
  actor->sound = std::make_unique<OstrelLibrary::CSound>();  // deleted with the actor
  EXPECT_EQ(actor->GetActorMesh(), nullptr);
}

TEST(ActorBase, LinksRefillFromTheSceneOnlyWhenEmptyOrGone)
{
  auto scene = std::make_shared<CSceneGame>();
  CActorBase::currentScene = scene;
  auto firstPlayer = std::make_shared<CTestActor>("CGamePlayer");
  auto camera = std::make_shared<CTestActor>("CGameCamera");
  scene->player = firstPlayer;
  scene->camera = camera;

  CTestActor gimmick("CGameDoor");
  gimmick.RefreshPlayerLink();
  gimmick.RefreshCameraLink();
  EXPECT_EQ(gimmick.player.lock(), firstPlayer);
  EXPECT_EQ(gimmick.camera.lock(), camera);

  // A live link is kept even when the scene has another player.
  auto other = std::make_shared<CTestActor>("CGamePlayer");
  scene->player = other;
  gimmick.RefreshPlayerLink();
  EXPECT_EQ(gimmick.player.lock(), firstPlayer);

  // Gone and not replaced: the link stays expired and every use is skipped.
  firstPlayer.reset();
  scene->player.reset();
  other.reset();
  gimmick.RefreshPlayerLink();
  EXPECT_TRUE(gimmick.player.expired());

  // Without a scene the link is left as it is.
  auto late = std::make_shared<CTestActor>("CGamePlayer");
  scene->player = late;
  scene.reset();
  gimmick.RefreshPlayerLink();
  EXPECT_TRUE(gimmick.player.expired());
}
