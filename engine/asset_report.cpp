// Reports of unusable assets: one line per path on standard error, in the form
// "solverica: res/sound/jump.wav: No such file or directory".
#include "asset_report.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>

#include <sys/stat.h>

namespace OstrelLibrary {

namespace {

// Paths already named, so that a file asked for by many owners is named once.
std::set<std::string>& ReportedPaths()
{
  static std::set<std::string> reported;
  return reported;
}

}  // namespace

// Opening and reading one byte tells a missing or unreadable file from a damaged one.
std::string AssetFailureReason(const std::string& path, const std::string& damage)
{
  if (path.empty()) return "no file named";
  struct stat status = {};
  if (stat(path.c_str(), &status) != 0) return std::strerror(errno);
  if (S_ISDIR(status.st_mode)) return std::strerror(EISDIR);
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return std::strerror(errno);
  char byte = 0;
  const size_t read = std::fread(&byte, 1, 1, file);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return "cannot be read";
  if (read == 0) return "empty file";
  return damage;
}

// Names the path once; later failures of the same path stay quiet.
void ReportAssetFailure(const std::string& path, const std::string& reason)
{
  if (!ReportedPaths().insert(path).second) return;
  std::fprintf(stderr, "solverica: %s: %s\n", path.c_str(), reason.c_str());
  std::fflush(stderr);
}

// The usual case: the reason worked out from the file itself.
void ReportUnusableAsset(const std::string& path, const std::string& damage)
{
  ReportAssetFailure(path, AssetFailureReason(path, damage));
}

// Only a file that does not exist counts; any other trouble is worth naming.
bool AssetIsMissing(const std::string& path)
{
  struct stat status = {};
  return stat(path.c_str(), &status) != 0 && errno == ENOENT;
}

}  // namespace OstrelLibrary
