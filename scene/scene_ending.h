// CSceneEnding: plays the ending after the last stage, one sequence at a time, each
// replaced by the next behind a fade to black; Escape skips to the title at any moment.
#pragma once

#include <memory>

#include "scene/scene_base.h"

class CSpriteBase;

class CSceneEnding : public CSceneBase {
public:
  std::shared_ptr<CSpriteBase> endingSprite;  // the running sequence
  int skipping = 0;                           // Escape seen: the title at the next full black

  CSceneEnding() = default;
  CSceneEnding(const CSceneEnding&) = delete;
  CSceneEnding& operator=(const CSceneEnding&) = delete;

  // "CSceneEnding".
  const std::string& GetName() const override;
  // Lets go of the running sequence, and with it its music.
  ~CSceneEnding() override;
  // The first sequence, a fade in from the stage's black, the cursor hidden.
  void Init() override;
  // Lets go of the running sequence and the ending's pictures before the switch.
  void Uninit(std::shared_ptr<CSceneBase> incoming) override;
  // The sequence, the skip, and at full black the next sequence or the title.
  std::shared_ptr<CSceneBase> Update() override;
  // The ending has no 3D pass.
  void Draw() override;
  // The running sequence.
  void DrawSprite() override;

private:
  // Replaces the running sequence by the one `make` builds, the old one's pictures first released.
  void NextSequence(std::shared_ptr<CSpriteBase> (*make)());
};
