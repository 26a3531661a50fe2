// CSceneBase: one screen of the game (title, stage, ending). The main loop owns the
// current scene through a shared pointer and asks it each frame for the next one.
#pragma once

#include <memory>
#include <string>

class CSceneBase : public std::enable_shared_from_this<CSceneBase> {
public:
  // The class's own name; each scene returns its own static string.
  virtual const std::string& GetName() const;
  // Releases what the scene owns.
  virtual ~CSceneBase();
  // Called once, when the scene becomes current; loading happens here.
  virtual void Init() = 0;
  // Called once on the outgoing scene just before the switch, with the incoming one.
  virtual void Uninit(std::shared_ptr<CSceneBase> incoming) = 0;
  // One frame of logic: itself to stay, another scene to switch, empty to end the program.
  virtual std::shared_ptr<CSceneBase> Update() = 0;
  // The frame's 3D pass.
  virtual void Draw() = 0;
  // The frame's 2D pass, inside the sprite batch.
  virtual void DrawSprite() = 0;
  // Whether this frame's passes overwrite every back-buffer pixel (and clear the depth
  // they use), so that the loop need not clear the back buffer first.
  virtual bool DrawsWholeScreen() const { return false; }
};

// A new, default-constructed scene of the named class, or empty for any other name.
std::shared_ptr<CSceneBase> CreateSceneByName(const std::string& name);
