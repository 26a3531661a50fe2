// CSceneTitlePage: what the title's pages (the records, the stage sets) share: the
// title's picture and music behind a dimmed page, and the fade on the way out, which
// lands on the title's menu unless the page has somewhere else to go.
#pragma once

#include <memory>
#include <vector>

#include "engine/sound.h"
#include "scene/scene_base.h"

class CSpriteBase;

class CSceneTitlePage : public CSceneBase {
public:
  std::vector<std::shared_ptr<CSpriteBase>> backSprites;  // the title's picture
  std::unique_ptr<OstrelLibrary::CSound> bgm = std::make_unique<OstrelLibrary::CSound>();
  int leaving = 0;  // the page is left; the screen fades out

  CSceneTitlePage() = default;
  CSceneTitlePage(const CSceneTitlePage&) = delete;
  CSceneTitlePage& operator=(const CSceneTitlePage&) = delete;

  // The sprites go, then the music.
  ~CSceneTitlePage() override;
  // The title's picture, the page and the title's music; fades in with the cursor shown.
  void Init() override;
  // Lets go of the sprites.
  void Uninit(std::shared_ptr<CSceneBase> incoming) override;
  // No 3D pass.
  void Draw() override;
  // The picture, the dimming overlay, the page.
  void DrawSprite() override;

protected:
  // The page itself, made by Init and drawn over the dimmed picture.
  virtual std::shared_ptr<CSpriteBase> MakePage() = 0;
  // The title's picture moves; false once the page is left (it then takes no input).
  bool UpdatePicture();
  // Starts the fade out.
  void Leave();
  // While leaving, the music fades; true at full black.
  bool FadedOut();
  // The title, at its menu rather than its click-to-start prompt.
  static std::shared_ptr<CSceneBase> TitleMenu();

private:
  std::shared_ptr<CSpriteBase> pageSprite;
};
