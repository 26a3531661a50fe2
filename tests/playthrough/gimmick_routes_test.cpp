// Gimmick routes on the playground (res/test/gimmicks/, standing in for stage 8 so
// that both magics are unlocked): each starts by Continue from a save file holding 8,
// skips the opening, and tries one gimmick through the input path alone.
#include "playthrough.h"

#include <cmath>
#include <fstream>

#include "actor/gimmick/game_popping_fist.h"
#include "actor/player/game_player.h"
#include "scene/scene_game.h"

namespace {

const int playgroundStage = 8;
const bool playgroundUsed = PlaythroughUseTestStage(playgroundStage, "test/gimmicks");

}  // namespace

class GimmickRouteTest : public PlaythroughTest {
protected:
  // The playground, running, the opening skipped.
  void SetUp() override
  {
    PlaythroughTest::SetUp();
    ASSERT_TRUE(playgroundUsed);
    std::ofstream("res/dat/save.dat", std::ios::binary) << playgroundStage << "\n";
    RestartProgram();
    ASSERT_TRUE(ContinueFromTitle());
    ASSERT_TRUE(SkipOpening());
  }

  // The stage's gimmick of the class standing nearest (x, z), or null.
  template <class T>
  std::shared_ptr<T> Gimmick(const std::string& name, float x, float z) const
  {
    std::shared_ptr<T> nearest;
    float best = 1e9f;
    for (const std::shared_ptr<CActorBase>& actor : Game()->actors) {
      if (actor->GetName() != name) continue;
      const float d = std::hypot(actor->world._41 - x, actor->world._43 - z);
      if (d < best) {
        best = d;
        nearest = std::static_pointer_cast<T>(actor);
      }
    }
    return nearest;
  }
};

// Crossing the fist's line within its reach: the punch carries the player east.
TEST_F(GimmickRouteTest, APoppingFistShovesThePlayerAlongX)
{
  DrawEvery(20);
  const auto fist = Gimmick<CGamePoppingFist>("CGamePoppingFist", -32.0f, -40.0f);
  ASSERT_NE(fist, nullptr);
  ASSERT_TRUE(WalkTo(-29.5f, -30.0f, 0.3f, 1500));
  EXPECT_EQ(fist->popping, 0);
  EXPECT_GT(fist->glow, 0.5f) << "it glows its warning as the player comes near";
  ASSERT_TRUE(WalkTo(-29.5f, -46.0f, 0.3f, 400, [&] { return fist->popping != 0; }));
  ASSERT_EQ(fist->popping, 1) << "the player crossed the fist's line";
  const float startX = PlayerPosition().x;
  Frames(7);
  Screenshot("gimmick-fist-punch.png");
  ASSERT_TRUE(WaitFor([&] { return fist->popping == 0; }, 40, "the punch to reach its end"));
  EXPECT_GT(PlayerPosition().x - startX, 7.0f) << "shoved along +x with the fist";
  EXPECT_NEAR(PlayerPosition().y, 0.0f, 0.05f) << "still on the floor";
}
