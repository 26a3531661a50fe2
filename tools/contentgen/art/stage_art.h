// The stages in res/: the tower's shared map surfaces, and each stage source built by
// the stage builder into its map meshes and stage file.
#pragma once

#include <string>

namespace contentgen {

class CArtContext;
// The shared map surfaces and, for each stage source there is, its meshes and stage file.
bool GenerateStages(CArtContext& context, std::string* error);

}  // namespace contentgen
