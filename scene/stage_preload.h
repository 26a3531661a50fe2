// CStagePreload: the pictures and meshes every stage shows whatever its number (the HUD
// and menu sprites, the magic, the player), put into the graphics caches one a frame
// while the title waits, so that the first stage load reads only what is its own.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class CStagePreload {
public:
  // Every asset on the list, pictures (.png) and meshes (.x, with their pictures).
  static const std::vector<std::string>& Paths();

  // Puts the next asset not yet cached into its cache; false once the list is done or
  // there is no device to load with.
  bool LoadNext();

private:
  size_t next = 0;
};
