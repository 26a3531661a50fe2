// Fuzzes the DDS reader: any bytes must be refused or decoded, never read out of bounds,
// and a decoded image must be as large as its header says.
#include <cstdlib>

#include "dds_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  DdsImage image;
  std::string error;
  if (!ReadDds(data, size, &image, &error)) return 0;
  const size_t faces = image.cube ? 6 : 1;
  if (image.images.size() != faces * image.levels) std::abort();
  for (size_t face = 0; face < faces; ++face)
    for (uint32_t level = 0; level < image.levels; ++level) {
      const size_t w = DdsLevelSize(image.width, level), h = DdsLevelSize(image.height, level);
      if (image.images[face * image.levels + level].size() != w * h * 4) std::abort();
    }
  return 0;
}
