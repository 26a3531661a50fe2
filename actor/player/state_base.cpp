// CStateBase: its name.
#include "actor/player/state_base.h"

namespace {
const std::string stateBaseName = "CStateBase";
}  // namespace

// "CStateBase".
const std::string& CStateBase::GetName() const
{
  return stateBaseName;
}

// Nothing to release.
CStateBase::~CStateBase() = default;
