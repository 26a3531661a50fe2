// CStateBase: the base of the player's states. The states are not alternatives: the
// player runs all of them every frame, and each decides from the scene's flags whether
// it has anything to do.
#pragma once

#include <string>

class CStateBase {
public:
  CStateBase() = default;
  CStateBase(const CStateBase&) = delete;
  CStateBase& operator=(const CStateBase&) = delete;

  // The class's own name string.
  virtual const std::string& GetName() const;
  // Nothing of its own.
  virtual ~CStateBase();
  // One frame of the state.
  virtual void Update() = 0;
};
