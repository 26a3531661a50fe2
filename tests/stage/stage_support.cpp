// ScratchFolder's file writer.
#include "stage_support.h"

#include <fstream>

// Binary, so that a test controls every line ending.
void ScratchFolder::Write(const std::string& relative, const std::string& text) const
{
  std::ofstream(path / relative, std::ios::binary) << text;
}
