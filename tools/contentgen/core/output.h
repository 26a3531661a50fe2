// Writing generated files: atomically (temporary file renamed over the target) and
// only when the bytes differ, so an unchanged file keeps its time stamp and a failed
// run never leaves a half-written file behind.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace contentgen {

// Writes bytes to path (directories created as needed) unless the file already holds
// exactly these bytes. Returns false and fills error on failure.
bool WriteFileAtomic(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error);

// Reads a whole file; false when it cannot be opened.
bool ReadFile(const std::string& path, std::vector<uint8_t>* bytes);

// Number of files WriteFileAtomic actually wrote (changed) since start, for the run summary.
int WrittenFileCount();

}  // namespace contentgen
